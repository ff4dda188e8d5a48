// The lines of the Version list window: which firmware images the program
// carries, with chip, board, connector, features and preparation code of each.
// No toolkit here; the window puts the lines into its list box.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "catalogue/image_table.h"

namespace vorlan {

// The stored image of a slot (row = board code, column = family index).
using SlotReader = std::function<ImageDescriptor(int row, int column)>;

// The two fixed lines, then one line per listed image, in list order. By
// default the slots are read from the images the program carries
// (StoredSlot); the identity bytes inside the images are unmasked with
// ImageMask(0, ImageMaskFlag()). Reading does not change the images.
std::vector<std::string> FillVersionList(const SlotReader& readSlot = StoredSlot);

// One image line: n is the 0-based image line number (the board-name
// fall-back changes from the seventh image line on).
std::string AddVersionLine(int n, const std::string& chip, std::uint8_t board,
                           std::uint8_t preparation);

}  // namespace vorlan
