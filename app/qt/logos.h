// The Updater window's two logo pictures, drawn by the program itself on a
// transparent background. UI thread only (QPixmap).
#pragma once

#include <QPixmap>
#include <QSize>

namespace vorlan {

// Image1: a chip taking a download arrow.
QPixmap DrawChipLogo(QSize size);
// Image2: the chip beside the program's name.
QPixmap DrawWordmarkLogo(QSize size);

}  // namespace vorlan
