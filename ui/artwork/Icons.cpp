// SPDX-License-Identifier: GPL-3.0-or-later
// The program icon and the setpoint button glyph, drawn as vectors at every size they are shown in.
#include "model/SpriteSet.h"
#include "ui/artwork/Artwork.h"
#include "ui/artwork/Paint.h"

#include <QFile>
#include <QPixmap>
#include <QPolygonF>

#include <cmath>

namespace vp7 {
namespace {

using namespace art;

// A transparent pixmap of `size` logical points at `ratio`, painted in a `units`-wide square space.
template <class Draw> QPixmap Vector(QSize size, qreal ratio, qreal units, Draw&& draw) {
    QPixmap pm(size * ratio);
    pm.setDevicePixelRatio(ratio);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    p.scale(size.width() / units, size.width() / units);
    draw(p);
    return pm;
}

// The positioner seen from the front: housing, display and, where there is room, the three keys.
void PaintIcon(QPainter& p, int pixels) {
    const QRectF body(5, 3, 54, 58);
    p.setPen(QPen(pal::kHousingEdge, 2.5));
    p.setBrush(Vertical(body, pal::kHousingLight, pal::kHousingDark));
    p.drawRoundedRect(body, 9, 9);
    const QRectF lcd(12, 11, 40, pixels >= 32 ? 22 : 28);
    p.setPen(QPen(QColor(0x12, 0x15, 0x18), 2.5));
    p.setBrush(QColor(QRgb(LcdUnlitColor)));
    p.drawRoundedRect(lcd, 2.5, 2.5);
    if (pixels >= 48)
        Label(p, lcd, QStringLiteral("VP7"), 14, QColor(0x10, 0x14, 0x10), Qt::AlignCenter, true);
    else {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x10, 0x14, 0x10));
        p.drawRect(QRectF(lcd.left() + 6, lcd.center().y() - 2.5, lcd.width() - 12, 5));
    }
    if (pixels < 32) return;
    for (qreal x : {20.0, 32.0, 44.0}) {
        p.setPen(QPen(QColor(0x20, 0x25, 0x2a), 1.5));
        p.setBrush(QColor(0xdc, 0xe0, 0xe4));
        p.drawRoundedRect(QRectF(x - 4.5, 41, 9, 9), 2, 2);
    }
}

void PaintSetpointGlyph(QPainter& p) {
    // A check mark confirming the value, set beside the control valve it goes to (32 x 22 units).
    const QColor ink(0x2b, 0x33, 0x3c);
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawPolygon(QPolygonF({{14, 10}, {14, 21}, {22, 15.5}}));
    p.drawPolygon(QPolygonF({{30, 10}, {30, 21}, {22, 15.5}}));
    p.drawRect(QRectF(21.2, 6, 1.6, 9.5));
    p.drawChord(QRectF(16, 1, 12, 10), 0, 180 * 16);
    p.setPen(QPen(QColor(0x1d, 0x9a, 0x3c), 3.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({{2, 11}, {6, 16}, {13, 4}}));
}

} // namespace

QString ProgramIconResource(int size) {
    return QStringLiteral(":/artwork/icon/%1.png").arg(size);
}

QIcon ProgramIcon() {
    QIcon icon;
    for (int size : kProgramIconSizes) {
        if (const QString carried = ProgramIconResource(size); QFile::exists(carried))
            icon.addFile(carried, QSize(size, size)); // read when first shown
        else
            icon.addPixmap(Vector(QSize(size, size), 1, 64, [size](QPainter& p) { PaintIcon(p, size); }));
    }
    return icon;
}

QIcon SetpointGlyph(double zoom) {
    QIcon icon;
    const QSize size(static_cast<int>(std::lround(32 * zoom)), static_cast<int>(std::lround(22 * zoom)));
    for (qreal ratio : {1.0, 2.0})
        icon.addPixmap(Vector(size, ratio, 32, [](QPainter& p) { PaintSetpointGlyph(p); }));
    return icon;
}

} // namespace vp7
