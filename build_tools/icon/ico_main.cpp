// vorlan-ico FILE: writes the program's chip logo as a Windows icon file
// (16, 24, 32, 48 and 256 pixels, 32-bit with alpha), rasterised from the
// logo's shapes with no toolkit, so that the Windows build makes its icon
// itself. Exit status 0 when the file was written.
#include <array>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <vector>

#include "app/logo.h"

namespace {

using vorlan::ChipShape;
using vorlan::LogoPoint;
using vorlan::LogoRect;

constexpr int kSamples = 4;  // per pixel and axis

bool Inside(const LogoRect& rect, double x, double y) {
    return x >= rect.left && x < rect.left + rect.width && y >= rect.top &&
           y < rect.top + rect.height;
}

// The body's rounded corners.
bool InsideRounded(const LogoRect& rect, double radius, double x, double y) {
    if (!Inside(rect, x, y))
        return false;
    const double cx = x < rect.left + radius                ? rect.left + radius
                      : x > rect.left + rect.width - radius ? rect.left + rect.width - radius
                                                            : x;
    const double cy = y < rect.top + radius                 ? rect.top + radius
                      : y > rect.top + rect.height - radius ? rect.top + rect.height - radius
                                                            : y;
    return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius;
}

bool InsidePolygon(const std::vector<LogoPoint>& polygon, double x, double y) {
    bool inside = false;
    for (std::size_t i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++) {
        const LogoPoint& a = polygon[i];
        const LogoPoint& b = polygon[j];
        if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x)
            inside = !inside;
    }
    return inside;
}

// 0 for nothing there, else 0xRRGGBB | 0x01000000.
std::uint32_t ColourAt(const ChipShape& chip, double x, double y) {
    if (InsidePolygon(chip.arrow, x, y))
        return vorlan::kChipAccentRgb | 0x01000000;
    if (InsideRounded(chip.body, vorlan::kChipCornerRadius * chip.body.width / 40.0 + 0.5, x, y))
        return vorlan::kChipBodyRgb | 0x01000000;
    for (const LogoRect& pin : chip.pins) {
        if (Inside(pin, x, y))
            return vorlan::kChipPinsRgb | 0x01000000;
    }
    return 0;
}

// BGRA, bottom row first, as an icon's bitmap holds it.
std::vector<std::uint8_t> Rasterise(int size) {
    const ChipShape chip = vorlan::ChipIn(vorlan::ChipLogoSquare(size, size));
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(size * size * 4));
    for (int row = 0; row < size; ++row) {
        for (int column = 0; column < size; ++column) {
            std::array<int, 4> sum = {};  // b, g, r, covered samples
            for (int sy = 0; sy < kSamples; ++sy) {
                for (int sx = 0; sx < kSamples; ++sx) {
                    const std::uint32_t colour =
                        ColourAt(chip, column + (sx + 0.5) / kSamples, row + (sy + 0.5) / kSamples);
                    if (colour == 0)
                        continue;
                    sum[0] += static_cast<int>(colour & 0xFF);
                    sum[1] += static_cast<int>((colour >> 8) & 0xFF);
                    sum[2] += static_cast<int>((colour >> 16) & 0xFF);
                    ++sum[3];
                }
            }
            const std::size_t at = static_cast<std::size_t>(((size - 1 - row) * size + column) * 4);
            if (sum[3] > 0) {
                for (int c = 0; c < 3; ++c)
                    pixels[at + static_cast<std::size_t>(c)] =
                        static_cast<std::uint8_t>(sum[c] / sum[3]);
            }
            pixels[at + 3] = static_cast<std::uint8_t>(sum[3] * 255 / (kSamples * kSamples));
        }
    }
    return pixels;
}

void Put16(std::vector<std::uint8_t>& out, unsigned value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}
void Put32(std::vector<std::uint8_t>& out, unsigned value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

// One icon image: BITMAPINFOHEADER (twice the height: colour, then mask),
// the pixels, and an AND mask of zeros (the alpha says what shows).
std::vector<std::uint8_t> IconImage(int size) {
    std::vector<std::uint8_t> image;
    Put32(image, 40);
    Put32(image, static_cast<unsigned>(size));
    Put32(image, static_cast<unsigned>(size * 2));
    Put16(image, 1);
    Put16(image, 32);
    for (int field = 0; field < 6; ++field) Put32(image, 0);
    const std::vector<std::uint8_t> pixels = Rasterise(size);
    image.insert(image.end(), pixels.begin(), pixels.end());
    const int maskStride = ((size + 31) / 32) * 4;
    image.resize(image.size() + static_cast<std::size_t>(maskStride * size), 0);
    return image;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "Usage: vorlan-ico FILE\n");
        return 2;
    }
    const int sizes[] = {16, 24, 32, 48, 256};
    std::vector<std::vector<std::uint8_t>> images;
    for (const int size : sizes) images.push_back(IconImage(size));

    std::vector<std::uint8_t> file;
    Put16(file, 0);
    Put16(file, 1);  // an icon
    Put16(file, static_cast<unsigned>(images.size()));
    unsigned offset = 6 + 16 * static_cast<unsigned>(images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        file.push_back(static_cast<std::uint8_t>(sizes[i] >= 256 ? 0 : sizes[i]));
        file.push_back(static_cast<std::uint8_t>(sizes[i] >= 256 ? 0 : sizes[i]));
        file.push_back(0);  // no palette
        file.push_back(0);
        Put16(file, 1);
        Put16(file, 32);
        Put32(file, static_cast<unsigned>(images[i].size()));
        Put32(file, offset);
        offset += static_cast<unsigned>(images[i].size());
    }
    for (const auto& image : images) file.insert(file.end(), image.begin(), image.end());

    std::ofstream out(argv[1], std::ios::binary);
    out.write(reinterpret_cast<const char*>(file.data()),
              static_cast<std::streamsize>(file.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "vorlan-ico: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
