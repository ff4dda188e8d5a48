// Appending whole lines to a file that several processes share (a production
// line's log). Each call opens the file for appending only, writes the text
// in one system call and closes it: the system puts each write at the end as
// one piece, so lines of concurrent writers never overwrite or split each
// other, and earlier lines are never touched.
#pragma once

#include <string>

namespace vorlan {

// Appends text to the file, creating it when missing. Empty when done;
// otherwise the OS's word for why not. Blocks for as long as the file system
// takes.
std::string AppendToFile(const std::string& path, const std::string& text);

}  // namespace vorlan
