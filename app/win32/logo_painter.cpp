#include "app/win32/logo_painter.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "app/logo.h"
#include "app/win32/win32_controls.h"

namespace vorlan::win32 {

namespace {

COLORREF FromRgb(std::uint32_t rgb) {
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

int Round(double value) {
    return static_cast<int>(std::lround(value));
}

RECT ToRect(const LogoRect& rect, POINT origin) {
    return {origin.x + Round(rect.left), origin.y + Round(rect.top),
            origin.x + Round(rect.left + rect.width), origin.y + Round(rect.top + rect.height)};
}

void PaintChip(HDC dc, const LogoRect& square, POINT origin) {
    const ChipShape chip = ChipIn(square);
    for (const LogoRect& pin : chip.pins) {
        const RECT rect = ToRect(pin, origin);
        FillRect(dc, &rect, SolidBrush(FromRgb(kChipPinsRgb)));
    }
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
    HGDIOBJ oldBrush = SelectObject(dc, SolidBrush(FromRgb(kChipBodyRgb)));
    const RECT body = ToRect(chip.body, origin);
    const int corner = Round(2 * kChipCornerRadius);
    // A null pen leaves the right and bottom edge out; one pixel more.
    RoundRect(dc, body.left, body.top, body.right + 1, body.bottom + 1, corner, corner);
    std::vector<POINT> arrow;
    for (const LogoPoint& point : chip.arrow)
        arrow.push_back({origin.x + Round(point.x), origin.y + Round(point.y)});
    SelectObject(dc, SolidBrush(FromRgb(kChipAccentRgb)));
    Polygon(dc, arrow.data(), static_cast<int>(arrow.size()));
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
}

int Width(const RECT& rect) {
    return rect.right - rect.left;
}
int Height(const RECT& rect) {
    return rect.bottom - rect.top;
}

}  // namespace

void PaintChipLogo(HDC dc, const RECT& place) {
    PaintChip(dc, ChipLogoSquare(Width(place), Height(place)), {place.left, place.top});
}

void PaintWordmarkLogo(HDC dc, const RECT& place) {
    const int width = Width(place);
    const int height = Height(place);
    const POINT origin = {place.left, place.top};
    PaintChip(dc, WordmarkChipSquare(width, height), origin);

    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const std::wstring name = Widen(kWordmarkName);
    RECT nameBox = ToRect(WordmarkNameBox(width, height), origin);
    // The largest size at which the name fits beside the chip.
    HFONT font = nullptr;
    for (int pixels = height / 2; pixels > 6; --pixels) {
        font = Font(kSansFace, pixels, true);
        HGDIOBJ old = SelectObject(dc, font);
        SIZE size = {};
        GetTextExtentPoint32W(dc, name.c_str(), static_cast<int>(name.size()), &size);
        SelectObject(dc, old);
        if (size.cx <= Width(nameBox) - 2)
            break;
    }
    HGDIOBJ oldFont = SelectObject(dc, font);
    SetTextColor(dc, FromRgb(kChipBodyRgb));
    DrawTextW(dc, name.c_str(), -1, &nameBox, DT_LEFT | DT_BOTTOM | DT_SINGLELINE);

    const std::wstring tagline = Widen(kWordmarkTagline);
    RECT taglineBox = ToRect(WordmarkTaglineBox(width, height), origin);
    SelectObject(dc, Font(kSansFace, std::max(8, height / 5)));
    SetTextColor(dc, FromRgb(kChipAccentRgb));
    DrawTextW(dc, tagline.c_str(), -1, &taglineBox, DT_LEFT | DT_TOP | DT_SINGLELINE);
    SelectObject(dc, oldFont);
    SetBkMode(dc, oldMode);
}

}  // namespace vorlan::win32
