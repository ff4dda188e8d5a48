#include "app/window_titles.h"

#include "app/build_version.h"

namespace vorlan {

namespace {

const char* const kBuildDate = "Jan 11 2012";
const char* const kBuildTime = "09:38:55";

}  // namespace

std::string UpdaterTitle() {
    return std::string("Updater 2.7") + " - " + BuildVersion() + "   [ " + kBuildDate + " ]";
}

std::string UpgradeTitle() {
    return std::string("Upgrade 1.0") + " -   " + BuildVersion() + "   - " + kBuildDate;
}

std::string VersionListTitle(const std::string& productLabel) {
    return productLabel + "   [ " + kBuildTime + " - " + kBuildDate + " ]";
}

}  // namespace vorlan
