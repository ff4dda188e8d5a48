#include "app/logos.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

namespace vorlan {

namespace {

const QColor kChipBody(0x30, 0x38, 0x48);
const QColor kPins(0xA0, 0xA8, 0xB0);
const QColor kAccent(0x20, 0x90, 0x40);

// A chip with eight pins a side inside rect, an arrow pointing into it.
void PaintChip(QPainter& painter, const QRectF& rect) {
    const qreal pinLength = rect.width() * 0.14;
    const QRectF body = rect.adjusted(pinLength, pinLength * 0.4, -pinLength, -pinLength * 0.4);
    constexpr int kPinsPerSide = 5;
    const qreal step = body.height() / kPinsPerSide;
    painter.setPen(Qt::NoPen);
    painter.setBrush(kPins);
    for (int pin = 0; pin < kPinsPerSide; ++pin) {
        const qreal y = body.top() + step * (pin + 0.3);
        painter.drawRect(QRectF(rect.left(), y, pinLength, step * 0.4));
        painter.drawRect(QRectF(body.right(), y, pinLength, step * 0.4));
    }
    painter.setBrush(kChipBody);
    painter.drawRoundedRect(body, 2, 2);

    const QPointF centre = body.center();
    const qreal half = body.width() * 0.22;
    QPainterPath arrow;
    arrow.moveTo(centre.x() - half * 0.45, body.top() + body.height() * 0.18);
    arrow.lineTo(centre.x() + half * 0.45, body.top() + body.height() * 0.18);
    arrow.lineTo(centre.x() + half * 0.45, centre.y());
    arrow.lineTo(centre.x() + half, centre.y());
    arrow.lineTo(centre.x(), body.bottom() - body.height() * 0.15);
    arrow.lineTo(centre.x() - half, centre.y());
    arrow.lineTo(centre.x() - half * 0.45, centre.y());
    arrow.closeSubpath();
    painter.setBrush(kAccent);
    painter.drawPath(arrow);
}

QPixmap TransparentPixmap(QSize size) {
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

}  // namespace

QPixmap DrawChipLogo(QSize size) {
    QPixmap pixmap = TransparentPixmap(size);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal side = std::min(size.width(), size.height()) - 4.0;
    const QRectF square((size.width() - side) / 2.0, (size.height() - side) / 2.0, side, side);
    PaintChip(painter, square);
    return pixmap;
}

QPixmap DrawWordmarkLogo(QSize size) {
    QPixmap pixmap = TransparentPixmap(size);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal side = size.height() - 6.0;
    PaintChip(painter, QRectF(3.0, 3.0, side, side));

    QFont font(QStringLiteral("DejaVu Sans"));
    font.setBold(true);
    // The largest size at which the name fits beside the chip.
    const qreal room = size.width() - side - 12.0;
    for (int pixels = size.height() / 2; pixels > 6; --pixels) {
        font.setPixelSize(pixels);
        if (QFontMetricsF(font).horizontalAdvance(QStringLiteral("VORLAN")) <= room)
            break;
    }
    painter.setFont(font);
    painter.setPen(kChipBody);
    const QRectF textRect(side + 8.0, 0.0, size.width() - side - 10.0, size.height() * 0.68);
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignBottom, QStringLiteral("VORLAN"));

    QFont small = font;
    small.setBold(false);
    small.setPixelSize(std::max(8, size.height() / 5));
    painter.setFont(small);
    painter.setPen(kAccent);
    painter.drawText(
        QRectF(side + 9.0, size.height() * 0.68, size.width() - side - 10.0, size.height() * 0.3),
        Qt::AlignLeft | Qt::AlignTop, QStringLiteral("firmware updater"));
    return pixmap;
}

}  // namespace vorlan
