// Writes the image data of a build as C++ source for vorlan_engine
// (definitions for catalogue/image_data.h).
#pragma once

#include <map>
#include <string>
#include <utility>

#include "firmware_files/image_builder.h"
#include "build_tools/imagegen/firmware_list.h"

namespace imagegen {

// Images by (family, row); wired slots not in the map get placeholders.
using SlotImages = std::map<std::pair<int, int>, SlotImage>;

std::string ImageDataSource(const FirmwareList& list, const SlotImages& images);

}  // namespace imagegen
