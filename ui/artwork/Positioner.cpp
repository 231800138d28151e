// SPDX-License-Identifier: GPL-3.0-or-later
// The positioner housing: cast body with its lid seam, nameplate, the operating panel with display,
// keys and gear marks, the supply gauge, cable glands and the pneumatic ports.
#include "model/SpriteSet.h"
#include "ui/artwork/Paint.h"
#include "ui/artwork/Scene.h"

#include <QPolygonF>
#include <QRadialGradient>

#include <cmath>
#include <numbers>

namespace vp7::art {
namespace {

const QRectF kHousing(258.5, 14.5, 355, 400);
const QRectF kPlate(318.5, 36.5, 238, 142);
const QRectF kPanel(338.5, 204.5, 198, 198);
const QRectF kLcdBezel(345.5, 250.5, 170, 91);
const QRect kGlass(352, 257, 157, 78); // the flat display colour reaches past the segment area
constexpr qreal kKeyY = 355.5;
constexpr qreal kKeyX[] = {379.5, 431.5, 483.5};
const QRectF kGearTop(kGear90Place, ToQt(layout::GearTopSize));
const QRectF kGearBottom(kGear33Place, ToQt(layout::GearBottomSize));
constexpr qreal kPortX[] = {556, 580}; // output Y1, supply P

void Housing(QPainter& p) {
    DropShadow(p, kHousing, 16, 5);
    Bevel(p, kHousing, 16, Vertical(kHousing, pal::kHousingLight, pal::kHousingDark), true);
    // The lid seam: a dark groove with a lit lower lip.
    const QRectF seam = kHousing.adjusted(7, 7, -7, -7);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, 45), 1));
    p.drawRoundedRect(seam.translated(0.8, 0.8), 11, 11);
    p.setPen(QPen(QColor(0x25, 0x30, 0x3b), 1.2));
    p.drawRoundedRect(seam, 11, 11);
    for (QPointF c : {QPointF(277, 33), QPointF(595, 33), QPointF(277, 396), QPointF(595, 396)})
        Screw(p, c, 6.5, 15, Head::HexSocket);
}

void CableGlands(QPainter& p) {
    for (qreal y : {92.0, 206.0}) {
        p.fillRect(QRectF(244, y - 6, 4, 12), QColor(0x1d, 0x20, 0x23)); // the cable entering the compartment
        HexBody(p, QRectF(247.5, y - 10, 11, 20), Qt::Horizontal);
        HexBody(p, QRectF(244.5, y - 8, 4, 16), Qt::Horizontal);
    }
}

void Emblem(QPainter& p, QPointF c, qreal r, const QColor& color) {
    p.setPen(QPen(color, r * 0.16));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, r, r);
    // A control valve: two triangles nose to nose under a stem and actuator dome.
    const qreal s = r * 0.5;
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawPolygon(QPolygonF(
        {c + QPointF(-s * 1.1, -s * 0.2), c + QPointF(-s * 1.1, s * 1.1), c + QPointF(0, s * 0.45)}));
    p.drawPolygon(
        QPolygonF({c + QPointF(s * 1.1, -s * 0.2), c + QPointF(s * 1.1, s * 1.1), c + QPointF(0, s * 0.45)}));
    p.drawRect(QRectF(c.x() - s * 0.12, c.y() - s * 0.9, s * 0.24, s * 1.3));
    p.drawChord(QRectF(c.x() - s * 0.8, c.y() - s * 1.6, s * 1.6, s * 1.4), 0, 180 * 16);
}

void DataMatrix(QPainter& p, const QRectF& r) {
    // A fixed pseudo-random pattern; the solid L and the dotted edges make it read as a matrix code.
    constexpr int n = 12;
    const qreal cell = r.width() / n;
    p.fillRect(r, QColor(0xf2, 0xf3, 0xf4));
    unsigned bits = 0x9E3779B9u;
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            bits = bits * 1664525u + 1013904223u;
            const bool edge = x == 0 || y == n - 1;
            const bool dotted = (y == 0 && x % 2 == 0) || (x == n - 1 && y % 2 == 1);
            if (edge || dotted || (x > 0 && y < n - 1 && x < n - 1 && y > 0 && (bits >> 28) & 1u))
                p.fillRect(QRectF(r.left() + x * cell, r.top() + y * cell, cell, cell),
                           QColor(0x1a, 0x1e, 0x22));
        }
}

void Nameplate(QPainter& p) {
    DropShadow(p, kPlate, 4, 1.5);
    QPainterPath plate;
    plate.addRoundedRect(kPlate, 4, 4);
    p.setPen(Qt::NoPen);
    p.setBrush(Vertical(kPlate, QColor(0xe2, 0xe5, 0xe8), QColor(0xb6, 0xbc, 0xc2)));
    p.drawPath(plate);
    p.save();
    p.setClipPath(plate);
    for (qreal y = kPlate.top() + 1; y < kPlate.bottom(); y += 2) // brushed finish
        p.fillRect(QRectF(kPlate.left(), y, kPlate.width(), 0.6), QColor(255, 255, 255, 28));
    const QRectF stripe(kPlate.left(), kPlate.top(), kPlate.width(), 34);
    p.fillRect(stripe, Vertical(stripe, QColor(0x2a, 0x4b, 0x72), QColor(0x1a, 0x32, 0x50)));
    p.restore();
    Emblem(p, {stripe.left() + 22, stripe.center().y()}, 11, Qt::white);
    Label(p, QRectF(stripe.left() + 40, stripe.top(), 150, 34), QStringLiteral("KELDAR"), 21, Qt::white,
          Qt::AlignLeft | Qt::AlignVCenter, true, 3.5);
    const QColor ink(0x1d, 0x27, 0x33);
    Label(p, QRectF(332, 74, 78, 36), QStringLiteral("VP7"), 30, ink, Qt::AlignLeft | Qt::AlignVCenter, true);
    Label(p, QRectF(408, 78, 140, 28), QStringLiteral("Electropneumatic\npositioner"), 10, ink,
          Qt::AlignLeft | Qt::AlignVCenter);
    p.fillRect(QRectF(330, 113, 214, 0.8), QColor(0x7c, 0x85, 0x8e));
    const char* left[] = {"Input  4 \u2026 20 mA", "Supply  1.4 \u2026 7 bar", "Stroke  3 \u2026 130 mm",
                          "Ambient  \u221230 \u2026 +80 \u00b0C"};
    const char* right[] = {"Gear  33\u00b0 / 90\u00b0", "Enclosure  IP66", "S/N  7K20418"};
    for (int i = 0; i < 4; ++i)
        Label(p, QRectF(330, 117 + i * 14, 120, 13), QString::fromUtf8(left[i]), 9, ink,
              Qt::AlignLeft | Qt::AlignVCenter);
    for (int i = 0; i < 3; ++i)
        Label(p, QRectF(448, 117 + i * 14, 104, 13), QString::fromUtf8(right[i]), 9, ink,
              Qt::AlignLeft | Qt::AlignVCenter);
    DataMatrix(p, QRectF(526, 146, 22, 22));
    for (QPointF c : {kPlate.topLeft() + QPointF(6, 6), kPlate.topRight() + QPointF(-6, 6),
                      kPlate.bottomLeft() + QPointF(6, -6), kPlate.bottomRight() + QPointF(-6, -6)})
        Screw(p, c, 2.6, 0, Head::Dome);
}

// The gauge sits in the middle of the area its two sprites cover.
const QPointF kGaugeCentre((layout::SupplyGaugeArea.left + layout::SupplyGaugeArea.right) / 2.0,
                           (layout::SupplyGaugeArea.top + layout::SupplyGaugeArea.bottom) / 2.0);
constexpr qreal kGaugeRadius = 23;
constexpr double kSupplyBar = 6; // what a plant supply usually has

void Gauge(QPainter& p, QPointF c, qreal r, double bar) {
    DropShadow(p, QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r), r, 2);
    QRadialGradient ring(c - QPointF(r * 0.5, r * 0.5), r * 2);
    ring.setColorAt(0, QColor(0xf2, 0xf4, 0xf6));
    ring.setColorAt(1, QColor(0x4a, 0x51, 0x58));
    p.setPen(QPen(QColor(0x22, 0x27, 0x2c), 0.8));
    p.setBrush(ring);
    p.drawEllipse(c, r, r);
    p.setBrush(QColor(0xf4, 0xf3, 0xee));
    p.drawEllipse(c, r - 3, r - 3);
    // 0..10 bar over 270 degrees.
    const auto at = [&](double value, qreal radius) {
        const double a = (225.0 - 27.0 * value) * std::numbers::pi / 180.0;
        return c + QPointF(std::cos(a), -std::sin(a)) * radius;
    };
    for (int tick = 0; tick <= 10; ++tick) {
        p.setPen(QPen(QColor(0x22, 0x22, 0x22), tick % 5 == 0 ? 1.2 : 0.7));
        p.drawLine(at(tick, r - 4), at(tick, r - (tick % 5 == 0 ? 8.5 : 7)));
    }
    p.setPen(QPen(QColor(0xc8, 0x2a, 0x1c), 2.2, Qt::SolidLine, Qt::FlatCap));
    p.drawArc(QRectF(c.x() - r + 5.5, c.y() - r + 5.5, 2 * r - 11, 2 * r - 11), (225 - 27 * 10) * 16,
              27 * 2 * 16);
    Label(p, QRectF(c.x() - 10, c.y() + r * 0.3, 20, 9), QStringLiteral("bar"), 7, QColor(0x33, 0x33, 0x33));
    p.setPen(QPen(QColor(0x15, 0x15, 0x15), 1.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c, at(bar, r - 6));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x30, 0x30, 0x30));
    p.drawEllipse(c, 2.2, 2.2);
}

void Key(QPainter& p, qreal x, int symbol) {
    const QPointF c(x, kKeyY);
    Bevel(p, QRectF(c.x() - 12, c.y() - 12, 24, 24), 5, QColor(0x15, 0x18, 0x1b), false);
    const QRectF cap(c.x() - 9.5, c.y() - 9.5, 19, 19);
    p.setPen(QPen(QColor(0x4a, 0x51, 0x58), 0.8));
    p.setBrush(Vertical(cap, QColor(0xe6, 0xe9, 0xec), QColor(0xa7, 0xae, 0xb5)));
    p.drawRoundedRect(cap, 4, 4);
    p.setPen(QPen(QColor(255, 255, 255, 150), 0.8));
    p.drawLine(QPointF(cap.left() + 3, cap.top() + 1.2), QPointF(cap.right() - 3, cap.top() + 1.2));
    const QColor ink(0x1f, 0x24, 0x29);
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    if (symbol != 0) {
        p.drawRect(QRectF(c.x() - 4.5, c.y() - 1.1, 9, 2.2));
        if (symbol > 0) p.drawRect(QRectF(c.x() - 1.1, c.y() - 4.5, 2.2, 9));
        return;
    }
    // The mode key carries a hand: the usual mark for switching to manual operation.
    const qreal fingers[][2] = {{-3.1, 5.2}, {-1.1, 6.0}, {0.9, 5.6}, {2.9, 4.6}}; // x offset, length
    for (const auto& f : fingers)
        p.drawRoundedRect(QRectF(c.x() + f[0] - 0.75, c.y() - f[1], 1.5, f[1] + 1), 0.75, 0.75);
    p.drawRoundedRect(QRectF(c.x() - 3.9, c.y() - 0.5, 7.6, 5.6), 2, 2);
    QPainterPath thumb;
    thumb.moveTo(c + QPointF(-3.6, 3.2));
    thumb.lineTo(c + QPointF(-6.0, -0.2));
    p.strokePath(thumb, QPen(ink, 1.5, Qt::SolidLine, Qt::RoundCap));
}

} // namespace

// A key held on the keyboard, drawn over the picture: the cap sunk into its bezel, darker, with the
// shadow of the bezel's rim across its top.
QRect KeyPressedArea(int key) {
    return QRectF(kKeyX[key] - 12, kKeyY - 12, 24, 24).toAlignedRect();
}

void PaintKeyPressed(QPainter& p, int key) {
    const QPointF c(kKeyX[key], kKeyY);
    const QRectF cap(c.x() - 9.5, c.y() - 9.5, 19, 19);
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x0b, 0x0d, 0x0f), 1.6));
    p.setBrush(QColor(0x10, 0x14, 0x18, 110));
    p.drawRoundedRect(cap, 4, 4);
    p.setPen(QPen(QColor(0, 0, 0, 120), 2.2));
    p.drawLine(QPointF(cap.left() + 3, cap.top() + 2.2), QPointF(cap.right() - 3, cap.top() + 2.2));
    p.restore();
}

namespace {

void GearMark(QPainter& p, const QRectF& place, bool round, bool lit) {
    const QRectF bezel = place.adjusted(0.6, 0.6, -0.6, -0.6);
    p.setPen(QPen(QColor(0x0d, 0x0f, 0x11), 0.8));
    p.setBrush(QColor(0x17, 0x1a, 0x1e));
    p.drawRoundedRect(bezel, round ? bezel.width() / 2 : 4, round ? bezel.height() / 2 : 4);
    Lens(p, bezel.adjusted(1.8, 1.8, -1.8, -1.8), pal::kGearLit, lit);
}

void OperatingPanel(QPainter& p, bool gear90Lit, bool gear33Lit) {
    Bevel(p, kPanel.adjusted(-4, -4, 4, 4), 11, QColor(0x1c, 0x21, 0x26), false);
    Bevel(p, kPanel, 8, Vertical(kPanel, QColor(0x34, 0x39, 0x40), QColor(0x23, 0x27, 0x2c)), true);
    Label(p, QRectF(kPanel.left() + 10, kPanel.top() + 6, 120, 12), QStringLiteral("KELDAR  VP7"), 8,
          pal::kLegendDim, Qt::AlignLeft | Qt::AlignVCenter, true, 1);
    GearMark(p, kGearTop, true, gear90Lit);
    GearMark(p, kGearBottom, false, gear33Lit);
    Label(p, QRectF(450, 233, 30, 14), QStringLiteral("90\u00b0"), 10, pal::kLegend,
          Qt::AlignLeft | Qt::AlignVCenter);
    Label(p, QRectF(452, 377, 30, 12), QStringLiteral("33\u00b0"), 10, pal::kLegend,
          Qt::AlignLeft | Qt::AlignVCenter);
    Label(p, QRectF(380, 233, 48, 14), QStringLiteral("GEAR"), 8, pal::kLegendDim,
          Qt::AlignRight | Qt::AlignVCenter, true);
    Label(p, QRectF(380, 377, 48, 12), QStringLiteral("GEAR"), 8, pal::kLegendDim,
          Qt::AlignRight | Qt::AlignVCenter, true);
    Bevel(p, kLcdBezel, 5, QColor(0x11, 0x13, 0x16), false);
    p.setPen(QPen(QColor(0x05, 0x06, 0x07), 2));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(kGlass).adjusted(-1, -1, 1, 1));
    p.fillRect(kGlass, QColor(QRgb(LcdUnlitColor)));
    for (int k = 0; k < 3; ++k)
        Key(p, kKeyX[k], k == 0 ? 0 : k == 1 ? -1 : 1);
}

void Ports(QPainter& p) {
    const char* names[] = {"Y1", "P"};
    for (int i = 0; i < 2; ++i) {
        const qreal x = kPortX[i];
        Engrave(p, QRectF(x - 10, 393, 20, 12), QString::fromLatin1(names[i]), 9);
        HexBody(p, QRectF(x - 7.5, 414.5, 15, 9));
        HexBody(p, QRectF(x - 5.5, 423.5, 11, 7));
    }
}

void SideFittings(QPainter& p, bool supplyAir) {
    Gauge(p, kGaugeCentre, kGaugeRadius, supplyAir ? kSupplyBar : 0);
    Engrave(p, QRectF(550, 288, 48, 12), QStringLiteral("SUPPLY"), 8);
    // Earth terminal and exhaust silencer on the left flank.
    Screw(p, {298, 300}, 5.5, 40);
    p.setPen(QPen(QColor(0x1c, 0x24, 0x2d), 1.2));
    for (int k = 0; k < 3; ++k) {
        const qreal half = 5 - 1.8 * k;
        p.drawLine(QPointF(298 - half, 314 + 2.5 * k), QPointF(298 + half, 314 + 2.5 * k));
    }
    p.drawLine(QPointF(298, 308), QPointF(298, 314));
    HexBody(p, QRectF(290, 360, 16, 9));
    const QRectF silencer(291.5, 369, 13, 14);
    p.setPen(QPen(QColor(0x2a, 0x2e, 0x33), 0.6));
    p.setBrush(Vertical(silencer, QColor(0x9a, 0xa0, 0xa6), QColor(0x5d, 0x63, 0x69)));
    p.drawRoundedRect(silencer, 3, 3);
    p.setPen(QPen(QColor(0x3a, 0x40, 0x46), 0.6));
    for (qreal y = silencer.top() + 3; y < silencer.bottom() - 1; y += 2.5)
        p.drawLine(QPointF(silencer.left() + 1.5, y), QPointF(silencer.right() - 1.5, y));
    Engrave(p, QRectF(280, 346, 36, 12), QStringLiteral("EXH"), 8);
}

} // namespace

void PaintPositioner(QPainter& p, bool gear90Lit, bool gear33Lit, bool supplyAir) {
    Housing(p);
    CableGlands(p);
    Nameplate(p);
    OperatingPanel(p, gear90Lit, gear33Lit);
    SideFittings(p, supplyAir);
    Ports(p);
}

} // namespace vp7::art
