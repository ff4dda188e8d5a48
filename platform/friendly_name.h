// A port's friendly name fitted to the port list's limit: plain text work
// shared by the systems' port sources, no OS call.
#pragma once

#include <string>

namespace vorlan {

// label + tail in at most kFriendlyNameMaxBytes (199) bytes of UTF-8. A long
// label is cut at a character boundary and marked "..." so the name still
// ends in tail (which names the COM port); only an absurdly long tail loses
// its own start.
std::string FitFriendlyName(const std::string& label, const std::string& tail);

}  // namespace vorlan
