#include "catalogue/version_list.h"

#include <gtest/gtest.h>

#include <map>
#include <utility>
#include <vector>

#include "catalogue/board_names.h"

namespace vorlan {
namespace {

const std::string kRow2 = BoardNames[2];

TEST(VersionListTest, CarriedImagesGiveOneLineForTheDemo) {
    const std::vector<std::string> lines = FillVersionList();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "Device - Print          - Preparation");
    EXPECT_EQ(lines[1], "-------------------------------------");
    EXPECT_EQ(lines[2], "24HJ64 - DEMO-24HJ[16PIN] - CAN   [Code:04]");
    // Building the list twice does not add lines.
    EXPECT_EQ(FillVersionList(), lines);
}

TEST(VersionListTest, LineFormatFollowsBoardAndPreparation) {
    struct Case {
        int n;
        std::uint8_t board;
        std::uint8_t preparation;
        std::string expected;
    };
    const std::vector<Case> cases{
        {0, 14, 0x83, "24HJ64 - " + std::string(BoardNames[14]) + "[DB9] - RES  RES[Code:83]"},
        {0, 20, 0x10, "24HJ64 - " + std::string(BoardNames[20]) + "[RJ45] - UNKNOWN   [Code:10]"},
        {0, 21, 0x0A, "24HJ64 - " + std::string(BoardNames[21]) + "[6PIN] - ETH0   [Code:0a]"},
        {0, 3, 0x0B, "24HJ64 - " + std::string(BoardNames[3]) + "[16PIN] - UNKNOWN   [Code:0b]"},
        {0, 0, 0x83, "24HJ64 - " + kRow2 + "[14PIN] - UNKNOWN   [Code:83]"},
        {5, 25, 0x04, "24HJ64 - " + kRow2 + "[14PIN] - UNKNOWN   [Code:04]"},
        {6, 0, 0x04, "24HJ64 - UNK[16PIN] - UNKNOWN   [Code:04]"},
        {9, 200, 0x04, "24HJ64 - UNK[16PIN] - UNKNOWN   [Code:04]"},
        {0, 1, 0x00, "24HJ64 - UNK[UNK] - UNKNOWN   [Code:00]"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(AddVersionLine(c.n, "24HJ64", c.board, c.preparation), c.expected)
            << "n " << c.n << " board " << int(c.board);
    }
}

// A made-up set of images, stored with the build's mask.
class FakeImages {
public:
    void Put(int row, int family, std::uint8_t board, std::uint8_t preparation,
             std::size_t length = 0x500) {
        std::vector<std::uint8_t>& bytes = images_[{row, family}];
        bytes.assign(length, 0xFF);
        const std::size_t at = family == 6 ? 0x400 : 14;
        const std::uint8_t mask = ImageMask(0, ImageMaskFlag());
        if (at + 1 < length) {
            bytes[at] = board ^ mask;
            bytes[at + 1] = preparation ^ mask;
        }
    }
    SlotReader Reader() {
        return [this](int row, int column) {
            const auto found = images_.find({row, column});
            if (found == images_.end())
                return ImageDescriptor{};
            std::vector<std::uint8_t>& bytes = found->second;
            return ImageDescriptor{
                bytes.data(), 8, bytes.data(), static_cast<std::int32_t>(bytes.size()), nullptr, 0};
        };
    }

private:
    std::map<std::pair<int, int>, std::vector<std::uint8_t>> images_;
};

TEST(VersionListTest, BoardRowsListedOnlyWhenTheFamilyDefaultIsEmpty) {
    FakeImages images;
    for (int row : {5, 6, 7, 8, 11, 16, 19}) images.Put(row, 6, 0, 0x04);
    images.Put(0, 1, 4, 0x01);  // the default stands for the whole family
    images.Put(2, 1, 5, 0x05);
    images.Put(4, 0, 6, 0x06);
    images.Put(0, 5, 7, 0x07);
    images.Put(0, 7, 8, 0x08);  // dsPIC33FJ128 is never listed

    const std::vector<std::string> lines = FillVersionList(images.Reader());
    ASSERT_EQ(lines.size(), 2u + 10u);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(lines[2 + i], "24HJ64 - " + kRow2 + "[14PIN] - UNKNOWN   [Code:04]");
    }
    EXPECT_EQ(lines[8], "24HJ64 - UNK[16PIN] - UNKNOWN   [Code:04]");
    EXPECT_EQ(lines[9], "2580   - " + std::string(BoardNames[4]) + "[16PIN] - CAN+SPI   [Code:01]");
    EXPECT_EQ(lines[10], "258    - " + std::string(BoardNames[6]) + "[16PIN] - 2RES   [Code:06]");
    EXPECT_EQ(lines[11], "24J10  - " + std::string(BoardNames[7]) + "[16PIN] - CDC   [Code:07]");
}

TEST(VersionListTest, ImageTooShortForItsIdentityIsListedAsUnknown) {
    FakeImages images;
    images.Put(0, 6, 9, 0x04, 0x100);
    images.Put(0, 4, 9, 0x04, 15);
    const std::vector<std::string> lines = FillVersionList(images.Reader());
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[2], "24HJ64 - " + kRow2 + "[14PIN] - UNKNOWN   [Code:00]");
    EXPECT_EQ(lines[3], "2320   - " + kRow2 + "[14PIN] - UNKNOWN   [Code:00]");
}

}  // namespace
}  // namespace vorlan
