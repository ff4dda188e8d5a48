#include "catalogue/chip_family.h"

#include <gtest/gtest.h>

#include <vector>

namespace vorlan {
namespace {

class ChipFamilyTest : public ::testing::Test {
protected:
    void SetUp() override { ResetFamilyParameters(); }
    void TearDown() override { ResetFamilyParameters(); }
};

std::vector<std::uint8_t> ValidJump() {
    const FamilyParameters& p = CurrentFamilyParameters();
    return {p.jumpBlock.begin(), p.jumpBlock.begin() + p.jumpBlockLength};
}

struct FamilyCase {
    std::uint8_t chip;
    int family;
    const char* statusName;
    std::uint8_t bios;
    std::vector<std::uint8_t> jump;
    std::int32_t bytesPerAddress;
    std::int32_t reservedTop;
};

TEST_F(ChipFamilyTest, EveryKnownChipGetsItsColumnJumpAndReserve) {
    const std::vector<FamilyCase> cases{
        {66, 0, "258", 4, {0x80, 0xEF, 0x3F, 0xF0}, 1, 320},
        {66, 0, "258", 5, {0x40, 0xEF, 0x3F, 0xF0}, 1, 448},
        {67, 1, "2580", 4, {0x80, 0xEF, 0x3F, 0xF0}, 1, 320},
        {67, 1, "2580", 5, {0x40, 0xEF, 0x3F, 0xF0}, 1, 448},
        {68, 2, "2480", 4, {0x80, 0xEF, 0x1F, 0xF0}, 1, 320},
        {68, 2, "2480", 5, {0x40, 0xEF, 0x1F, 0xF0}, 1, 448},
        {69, 3, "248", 4, {0x80, 0xEF, 0x1F, 0xF0}, 1, 320},
        {69, 3, "248", 5, {0x40, 0xEF, 0x1F, 0xF0}, 1, 448},
        {70, 4, "2320", 4, {0x80, 0xEF, 0x0F, 0xF0}, 1, 320},
        {70, 4, "2320", 5, {0x80, 0xEF, 0x0F, 0xF0}, 1, 448},
        {199, 5, "24j10", 4, {0x00, 0xEF, 0x1E, 0xF0}, 1, 320},
        {199, 5, "24j10", 200, {0x00, 0xEF, 0x1E, 0xF0}, 1, 448},
        {254, 6, "24HJ64", 4, {0x00, 0xA8, 0x04, 0, 0, 0, 0, 0}, 2, 320},
        {254, 6, "24HJ64", 5, {0x00, 0xA8, 0x04, 0, 0, 0, 0, 0}, 2, 448},
        {253, 7, "33FJ128", 4, {0x00, 0x54, 0x04, 0, 0x01, 0, 0, 0}, 2, 320},
        {253, 7, "33FJ128", 31, {0x00, 0x54, 0x04, 0, 0x01, 0, 0, 0}, 2, 448},
    };
    for (const FamilyCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "chip " << int(c.chip) << " bios " << int(c.bios));
        ResetFamilyParameters();
        EXPECT_EQ(ChipFamilyOf(c.chip), c.family);
        EXPECT_EQ(ChipStatusName(c.chip), c.statusName);
        SetFamilyParameters(c.chip, c.bios);
        const FamilyParameters& p = CurrentFamilyParameters();
        EXPECT_EQ(ValidJump(), c.jump);
        EXPECT_EQ(p.bytesPerAddress, c.bytesPerAddress);
        EXPECT_EQ(p.reservedTop, c.reservedTop);
        EXPECT_EQ(p.reservedTopJ, 1088);
    }
}

TEST_F(ChipFamilyTest, UnknownChipUsesColumnZeroAndKeepsThePreviousJump) {
    EXPECT_EQ(ChipFamilyOf(0), 0);
    EXPECT_EQ(ChipFamilyOf(65), 0);
    EXPECT_EQ(ChipFamilyOf(255), 0);
    EXPECT_TRUE(ChipStatusName(255).empty());

    SetFamilyParameters(68, 5);
    SetFamilyParameters(71, 2);
    const FamilyParameters& p = CurrentFamilyParameters();
    EXPECT_EQ(ValidJump(), (std::vector<std::uint8_t>{0x40, 0xEF, 0x1F, 0xF0}));
    EXPECT_EQ(p.bytesPerAddress, 1);
    EXPECT_EQ(p.reservedTop, 320);  // the reserve still follows the BIOS byte
}

TEST_F(ChipFamilyTest, Pic18AfterSixteenBitPartUsesFourBytesAndByteAddresses) {
    SetFamilyParameters(253, 9);
    SetFamilyParameters(66, 9);
    const FamilyParameters& p = CurrentFamilyParameters();
    EXPECT_EQ(p.jumpBlockLength, 4);
    EXPECT_EQ(p.bytesPerAddress, 1);
    EXPECT_EQ(ValidJump(), (std::vector<std::uint8_t>{0x40, 0xEF, 0x3F, 0xF0}));
    EXPECT_EQ(p.jumpBlock[4], 0x01);  // left over, unused at length 4
}

}  // namespace
}  // namespace vorlan
