// What the program's windows share in their look: the colours of the status
// operations as Qt colours, and the classic faces with their stand-ins.
// UI thread only.
#pragma once

#include <QColor>
#include <QFont>
#include <QString>

#include "engine/views.h"

class QLabel;
class QWidget;

namespace vorlan {

// Top byte 0: red in the lowest byte, then green, then blue. Top byte 0x80:
// a system colour by number (0x0F button face, 0x05 window, 0x08 window text);
// other system numbers are drawn as button face.
QColor ToQColor(StatusColour colour);

// Maps "MS Sans Serif", "Times" and "Courier" onto faces a Linux desktop has
// (DejaVu Sans, the URW Nimbus faces). Safe to call more than once.
void InstallFontSubstitutions();

// A face at a size in pixels, as the windows' design gives it.
QFont PixelFont(const QString& family, int pixels, bool bold = false);
inline const QString kDefaultFace = QStringLiteral("MS Sans Serif");

// Sets a fixed label's text at its design size in pixels, or smaller when the
// stand-in face would not fit the text into the label (no text is cut off),
// but never below smallestPixels.
inline constexpr int kSmallestFittedPixels = 10;
void SetFittedText(QLabel& label, const QString& text, int designPixels,
                   int smallestPixels = kSmallestFittedPixels);

// Makes the application title Qt's application name (the error display's
// caption); not the display name, which Qt would append to every window
// title. Safe to call more than once.
void InstallApplicationTitleSink();

// The platform's double-click interval in milliseconds, read at each call.
int QtDoubleClickMs();

// Paints the widget's background in the given colour from now on.
void SetBackground(QWidget& widget, const QColor& colour);

}  // namespace vorlan
