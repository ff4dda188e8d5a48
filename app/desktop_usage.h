// What `vorlan --help` prints: the desktop program's command line, its
// environment and its files. Needs no display and no QApplication.
#pragma once

#include <string>

namespace vorlan {

std::string DesktopUsage();

}  // namespace vorlan
