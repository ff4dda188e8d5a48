#include "catalogue/image_table.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace vorlan {
namespace {

class ImageTableTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetImageTable();
        BuildImageTable();
    }
    void TearDown() override {
        ResetImageTable();
        BuildImageTable();
    }
};

// The family-6 default image of this build (firmware/images.list): the demo.
TEST_F(ImageTableTest, DemoImageFillsThePic24DefaultSlot) {
    const ImageDescriptor& slot = ImageSlot(0, 6);
    ASSERT_EQ(slot.programLength, 64512);
    ASSERT_EQ(slot.headLength, 8);
    EXPECT_EQ(slot.eepromLength, 0);
    EXPECT_EQ(std::vector<std::uint8_t>(slot.headData, slot.headData + 8),
              std::vector<std::uint8_t>(slot.programData, slot.programData + 8));
    // The demo's reset instruction is a GOTO; the rest of flash is erased.
    EXPECT_EQ(slot.headData[2], 0x04);
    EXPECT_EQ(std::vector<std::uint8_t>(slot.programData + 64508, slot.programData + 64512),
              (std::vector<std::uint8_t>{0xFF, 0xFF, 0xFF, 0x00}));

    const std::uint8_t mask = ImageMask(0, ImageMaskFlag());
    EXPECT_EQ(slot.programData[0x400] ^ mask, ImageIdentity().boardCode);
    EXPECT_EQ(slot.programData[0x401] ^ mask, ImageIdentity().preparation);
}

TEST_F(ImageTableTest, OnlyWiredSlotsAreFilledAndEmptyOnesArePlaceholders) {
    for (int column = 0; column < kImageColumns; ++column) {
        for (int row = 0; row < kImageRows; ++row) {
            const std::int32_t length = ImageSlot(row, column).programLength;
            const bool wired = StoredSlot(row, column).programData != nullptr;
            if (row == 0 && column == 6)
                continue;
            EXPECT_EQ(length, wired ? 1 : 0) << "row " << row << " column " << column;
        }
    }
    // Rebuilding gives the same table.
    const std::uint8_t* demo = ImageSlot(0, 6).programData;
    BuildImageTable();
    EXPECT_EQ(ImageSlot(0, 6).programData, demo);
    EXPECT_EQ(ImageSlot(0, 6).programLength, 64512);
}

TEST_F(ImageTableTest, SelectImageFallsBackToTheFamilyDefault) {
    static std::array<std::uint8_t, 100> boardImage{};
    ImageSlotForTest(5, 6) =
        ImageDescriptor{boardImage.data(), 8, boardImage.data(), 100, boardImage.data(), 0};
    const std::uint8_t* demo = ImageSlot(0, 6).programData;

    struct Case {
        std::uint8_t chip;
        std::uint8_t board;
        const std::uint8_t* expected;
    };
    const std::vector<Case> cases{
        {254, 5, boardImage.data()},  // the board's own image
        {254, 6, demo},               // wired slot, empty: default
        {254, 3, demo},               // no slot for the board: default
        {254, 0, demo},
        {254, 255, demo},  // no row of its own
        {66, 255, ImageSlot(0, 0).programData},
        {7, 5, ImageSlot(0, 0).programData},  // unknown chip: column 0
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "chip " << int(c.chip) << " board " << int(c.board));
        SelectImage(c.chip, c.board);
        EXPECT_EQ(CurrentImage().programData, c.expected);
    }
}

TEST_F(ImageTableTest, EmptyDefaultLeavesAnEmptyCurrentImage) {
    SelectImage(66, 4);
    EXPECT_LE(CurrentImage().programLength, 1);
    SelectImage(199, 0);
    EXPECT_LE(CurrentImage().programLength, 1);
}

TEST(ImageMaskTest, MaskIsPositionPlusConstantWhenEnabled) {
    EXPECT_EQ(ImageMask(0, 0), 0);
    EXPECT_EQ(ImageMask(200, 0), 0);
    const std::uint8_t k = ImageMask(0, 1);
    EXPECT_EQ(ImageMask(3, 1), static_cast<std::uint8_t>(k + 3));
    EXPECT_EQ(ImageMask(255, 7), static_cast<std::uint8_t>(k + 255));
}

}  // namespace
}  // namespace vorlan
