// The titles of the program's windows, built from the build version string.
#pragma once

#include <string>

namespace vorlan {

// "Updater 2.7 - <build version>   [ Jan 11 2012 ]"; also the caption of
// "Already in progress".
std::string UpdaterTitle();
// "Upgrade 1.0 -   <build version>   - Jan 11 2012"
std::string UpgradeTitle();
// The Version list window's title when the product label opens it:
// "<label>   [ 09:38:55 - Jan 11 2012 ]".
std::string VersionListTitle(const std::string& productLabel);

inline constexpr const char* kPortSetupTitle = "Setup";
inline constexpr const char* kVersionListDesignTitle = "Version ..";

}  // namespace vorlan
