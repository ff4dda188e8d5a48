// The Updater window's logos without a toolkit: which one a build shows, and
// the chip's shapes, which each toolkit paints (and the icon tool rasterises).
// Coordinates in pixels, fractional, y downwards.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vorlan {

// Which picture the Updater window shows, by the build version string:
// none for "KX700" or "PLM"; the wordmark (Image2) when none of "KX", "PLM",
// "D.", "DT.", "T.", "TELIX", "TELIM" is in it; else the chip (Image1).
enum class LogoChoice { kNone, kChip, kWordmark };
LogoChoice ChooseLogo(const std::string& buildVersion);

struct LogoRect {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
};
struct LogoPoint {
    double x = 0;
    double y = 0;
};

// A chip with five pins a side, a download arrow pointing into it.
struct ChipShape {
    std::vector<LogoRect> pins;
    LogoRect body;  // drawn with corners rounded by kChipCornerRadius
    std::vector<LogoPoint> arrow;
};
inline constexpr double kChipCornerRadius = 2.0;

// The colours, 0xRRGGBB.
inline constexpr std::uint32_t kChipBodyRgb = 0x303848;
inline constexpr std::uint32_t kChipPinsRgb = 0xA0A8B0;
inline constexpr std::uint32_t kChipAccentRgb = 0x209040;

// The chip filling a square.
ChipShape ChipIn(const LogoRect& square);
// The square of the chip logo in a picture of this size: centred, 2 pixels
// of margin.
LogoRect ChipLogoSquare(int width, int height);
// The wordmark logo: the chip's square at its left, and the box of the name
// "VORLAN" beside it (the line "firmware updater" goes below that box).
LogoRect WordmarkChipSquare(int width, int height);
LogoRect WordmarkNameBox(int width, int height);
LogoRect WordmarkTaglineBox(int width, int height);
inline constexpr const char* kWordmarkName = "VORLAN";
inline constexpr const char* kWordmarkTagline = "firmware updater";

}  // namespace vorlan
