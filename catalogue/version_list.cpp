#include "catalogue/version_list.h"

#include <array>
#include <cstdio>

#include "catalogue/board_names.h"

namespace vorlan {
namespace {

struct ListGroup {
    const char* chip;  // padded to six characters
    int family;
    std::vector<int> boardRows;  // tried only when the family default is empty
    std::size_t identityOffset;  // board code, then preparation
};

const std::array<ListGroup, 7> kGroups{{
    {"24HJ64", 6, {5, 6, 7, 8, 11, 16, 19}, 0x400},
    {"2580  ", 1, {2, 4, 5, 6}, 14},
    {"258   ", 0, {2, 4, 5, 6}, 14},
    {"2480  ", 2, {}, 14},
    {"248   ", 3, {}, 14},
    {"2320  ", 4, {}, 14},
    {"24J10 ", 5, {}, 14},
}};

}  // namespace

std::string AddVersionLine(int n, const std::string& chip, std::uint8_t board,
                           std::uint8_t preparation) {
    const auto code = static_cast<std::int8_t>(board);
    const char* name = BoardNames[0];
    const char* connector = ConnectorNames[3];
    const char* res = " ";
    const char* feature = "UNKNOWN";
    if (code > 0 && code < kBoardNameCount) {
        name = BoardNames[code];
        connector = ConnectorNames[code];
        if ((preparation & 0x80) != 0)
            res = "RES";
        const int row = preparation & 0x6F;
        if (row > 0 && row < kFeatureNameCount)
            feature = FeatureNames[row];
    } else if (static_cast<std::int8_t>(n) < 6) {
        name = BoardNames[2];
        connector = ConnectorNames[2];
    }
    char line[96];
    std::snprintf(line, sizeof line, "%s - %s[%s] - %s  %s[Code:%02x]", chip.c_str(), name,
                  connector, feature, res, preparation);
    return line;
}

std::vector<std::string> FillVersionList(const SlotReader& readSlot) {
    std::vector<std::string> lines{"Device - Print          - Preparation",
                                   "-------------------------------------"};
    const std::uint8_t mask = ImageMask(0, ImageMaskFlag());
    int n = 0;
    for (const ListGroup& group : kGroups) {
        std::vector<ImageDescriptor> listed;
        const ImageDescriptor standard = readSlot(0, group.family);
        if (standard.programLength > 1) {
            listed.push_back(standard);
        } else {
            for (int row : group.boardRows) {
                const ImageDescriptor slot = readSlot(row, group.family);
                if (slot.programLength > 1)
                    listed.push_back(slot);
            }
        }
        for (const ImageDescriptor& image : listed) {
            // An image too short to hold its identity bytes is listed as
            // unknown rather than read past its end.
            std::uint8_t board = 0;
            std::uint8_t preparation = 0;
            if (image.programData != nullptr &&
                static_cast<std::size_t>(image.programLength) > group.identityOffset + 1) {
                board = static_cast<std::uint8_t>(image.programData[group.identityOffset] ^ mask);
                preparation =
                    static_cast<std::uint8_t>(image.programData[group.identityOffset + 1] ^ mask);
            }
            lines.push_back(AddVersionLine(n, group.chip, board, preparation));
            ++n;
        }
    }
    return lines;
}

}  // namespace vorlan
