#include "app/logo.h"

#include <algorithm>

namespace vorlan {

namespace {

bool Contains(const std::string& text, const char* piece) {
    return text.find(piece) != std::string::npos;
}

}  // namespace

LogoChoice ChooseLogo(const std::string& buildVersion) {
    if (Contains(buildVersion, "KX700") || Contains(buildVersion, "PLM"))
        return LogoChoice::kNone;
    for (const char* piece : {"KX", "PLM", "D.", "DT.", "T.", "TELIX", "TELIM"}) {
        if (Contains(buildVersion, piece))
            return LogoChoice::kChip;  // the first logo, as designed
    }
    return LogoChoice::kWordmark;
}

ChipShape ChipIn(const LogoRect& rect) {
    ChipShape chip;
    const double pinLength = rect.width * 0.14;
    chip.body = {rect.left + pinLength, rect.top + pinLength * 0.4, rect.width - 2 * pinLength,
                 rect.height - pinLength * 0.8};
    const LogoRect& body = chip.body;
    constexpr int kPinsPerSide = 5;
    const double step = body.height / kPinsPerSide;
    for (int pin = 0; pin < kPinsPerSide; ++pin) {
        const double y = body.top + step * (pin + 0.3);
        chip.pins.push_back({rect.left, y, pinLength, step * 0.4});
        chip.pins.push_back({body.left + body.width, y, pinLength, step * 0.4});
    }
    const double centreX = body.left + body.width / 2;
    const double centreY = body.top + body.height / 2;
    const double half = body.width * 0.22;
    const double shaftTop = body.top + body.height * 0.18;
    const double tip = body.top + body.height * 0.85;
    chip.arrow = {{centreX - half * 0.45, shaftTop},
                  {centreX + half * 0.45, shaftTop},
                  {centreX + half * 0.45, centreY},
                  {centreX + half, centreY},
                  {centreX, tip},
                  {centreX - half, centreY},
                  {centreX - half * 0.45, centreY}};
    return chip;
}

LogoRect ChipLogoSquare(int width, int height) {
    const double side = std::min(width, height) - 4.0;
    return {(width - side) / 2.0, (height - side) / 2.0, side, side};
}

LogoRect WordmarkChipSquare(int, int height) {
    const double side = height - 6.0;
    return {3.0, 3.0, side, side};
}

LogoRect WordmarkNameBox(int width, int height) {
    const double side = height - 6.0;
    return {side + 8.0, 0.0, width - side - 10.0, height * 0.68};
}

LogoRect WordmarkTaglineBox(int width, int height) {
    const double side = height - 6.0;
    return {side + 9.0, height * 0.68, width - side - 10.0, height * 0.3};
}

}  // namespace vorlan
