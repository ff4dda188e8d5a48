// The Updater window's logos drawn with GDI, from the shapes of app/logo.h,
// on the window's own background. UI thread only.
#pragma once

#include <windows.h>

namespace vorlan::win32 {

// Image1: the chip taking a download arrow, centred in the rectangle.
void PaintChipLogo(HDC dc, const RECT& place);
// Image2: the chip beside the program's name.
void PaintWordmarkLogo(HDC dc, const RECT& place);

}  // namespace vorlan::win32
