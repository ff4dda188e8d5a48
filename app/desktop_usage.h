// What `vorlan --help` and `vorlan --version` print: the desktop program's
// command line, its environment and its files. Needs no display and no
// toolkit.
#pragma once

#include <optional>
#include <string>

namespace vorlan {

std::string DesktopUsage();

// Answers --help and --version as the first argument on standard output
// (a console attached first when the platform needs one) and gives the exit
// code; nothing for any other command line, which start-up reads.
std::optional<int> AnswerInfoArgument(int argc, char** argv, const char* projectVersion);

}  // namespace vorlan
