// Writing a whole text to a file descriptor, however many writes it takes.
#pragma once

#include <string>

namespace vorlan {

// Blocks until every byte is written; false on an error (errno tells which)
// or a write that takes nothing. An interrupted write is tried again.
bool WriteAll(int fd, const std::string& text);

}  // namespace vorlan
