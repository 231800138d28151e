// SPDX-License-Identifier: GPL-3.0-or-later
// The open terminal compartment on the upper left: caption strips, DIN rails, the plug-in elements
// (binary inputs, signal outputs), the loop terminals and the feedback module with its LED digits.
#include "ui/artwork/Paint.h"
#include "ui/artwork/Scene.h"

#include <QPolygonF>

#include <array>

namespace vp7::art {
namespace {

constexpr qreal kElementW = layout::SwitchSize.width, kElementH = layout::SwitchSize.height;
const QPointF kElementPlaces[] = {ToQt(layout::BinaryInput1Place), ToQt(layout::BinaryInput2Place),
                                  ToQt(layout::FaultOutputPlace), ToQt(layout::AlarmOutput1Place),
                                  ToQt(layout::AlarmOutput2Place)};
const QPointF kLoopBlock{168, 40};
const QPointF kModuleSlot = ToQt(layout::FeedbackModulePlace);
constexpr qreal kRailTop[] = {70, 190};
constexpr qreal kRailInElement = 30; // both rails cross the element rows at the same height

void DinRail(QPainter& p, const QRectF& r) {
    p.setPen(Qt::NoPen);
    p.setBrush(Vertical(r, QColor(0xc4, 0xcb, 0xd1), QColor(0x6f, 0x77, 0x7e)));
    p.drawRect(r);
    // The hat profile: a shaded channel between two lit lips.
    p.setBrush(Vertical(r, QColor(0x5d, 0x65, 0x6c), QColor(0x8d, 0x95, 0x9c)));
    p.drawRect(QRectF(r.left(), r.top() + 3, r.width(), r.height() - 6));
    p.setBrush(QColor(0x1a, 0x1d, 0x20));
    for (qreal x = r.left() + 6; x + 8 < r.right(); x += 24)
        p.drawRoundedRect(QRectF(x, r.center().y() - 1.5, 8, 3), 1.5, 1.5);
}

// The plastic body every plug-in element and terminal block shares, with its two wire terminals.
void ElementBody(QPainter& p) {
    p.fillRect(QRectF(0, 0, kElementW, kElementH), pal::kCompartment);
    const QRectF body(0.5, 0.5, kElementW - 1, kElementH - 1);
    Bevel(p, body, 3, Vertical(body, QColor(0x45, 0x4b, 0x52), QColor(0x2a, 0x2e, 0x33)), true);
    for (qreal x : {14.0, 33.0}) {
        Bevel(p, QRectF(x - 6.5, 3.5, 13, 13), 1.5, pal::kRecess, false);
        Screw(p, {x, 10}, 4.6, 30);
    }
}

void StateWord(QPainter& p, const QString& word, bool on) {
    const QRectF plate(6.5, 57.5, 34, 10);
    Bevel(p, plate, 1.5, QColor(0x12, 0x14, 0x17), false);
    Label(p, plate, word, 8, on ? QColor(0xa6, 0xf2, 0xa6) : pal::kLegend, Qt::AlignCenter, true);
}

void ToggleSwitch(QPainter& p, bool on) {
    const QPointF hub(23.5, 36);
    QRadialGradient bezel(hub - QPointF(3, 3), 11);
    bezel.setColorAt(0, QColor(0xf0, 0xf2, 0xf4));
    bezel.setColorAt(1, QColor(0x5a, 0x61, 0x68));
    p.setPen(QPen(QColor(0x1c, 0x1f, 0x22), 0.7));
    p.setBrush(bezel);
    p.drawEllipse(hub, 8.5, 8.5);
    p.setBrush(QColor(0x25, 0x29, 0x2e));
    p.drawEllipse(hub, 4.2, 4.2);
    // The lever leans toward its state; its shadow falls down-right.
    const qreal tipY = on ? 19.5 : 52.5;
    const QPolygonF lever(
        {hub + QPointF(-2.6, 0), hub + QPointF(2.6, 0), {hub.x() + 1.5, tipY}, {hub.x() - 1.5, tipY}});
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 90));
    p.drawPolygon(lever.translated(1.2, 1.2));
    p.setBrush(RoundBar(hub.x() - 2.6, hub.x() + 2.6, pal::kSteel));
    p.setPen(QPen(QColor(0x30, 0x35, 0x3a), 0.5));
    p.drawPolygon(lever);
    QRadialGradient ball(QPointF(hub.x() - 1, tipY - 1), 4);
    ball.setColorAt(0, QColor(0xff, 0xff, 0xff));
    ball.setColorAt(1, QColor(0x7a, 0x82, 0x8a));
    p.setBrush(ball);
    p.drawEllipse(QPointF(hub.x(), tipY), 3.2, 3.2);
    Lens(p, QRectF(38, 33.5, 5, 5), pal::kSignalGreen, on);
}

// A signal lamp above the relay contact it reports.
void LampWithContact(QPainter& p, const QColor& color, bool on) {
    const QRectF lamp(13.5, 21, 20, 20);
    QRadialGradient ring(lamp.center() - QPointF(4, 4), 14);
    ring.setColorAt(0, QColor(0xe8, 0xeb, 0xee));
    ring.setColorAt(1, QColor(0x4e, 0x55, 0x5c));
    p.setPen(QPen(QColor(0x1c, 0x1f, 0x22), 0.7));
    p.setBrush(ring);
    p.drawEllipse(lamp);
    Lens(p, lamp.adjusted(2.5, 2.5, -2.5, -2.5), color, on);
    const QPointF a(10.5, 50), b(36.5, 50);
    p.setPen(QPen(pal::kLegend, 1.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(4, 50), a - QPointF(1.6, 0));
    p.drawLine(b + QPointF(1.6, 0), QPointF(43, 50));
    p.drawLine(a + QPointF(1.4, -0.4), on ? b - QPointF(1.6, 0.4) : QPointF(33, 43));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(pal::kLegend, 1));
    p.drawEllipse(a, 1.6, 1.6);
    p.drawEllipse(b, 1.6, 1.6);
}

// The loop terminals the positioner is powered and driven through.
void LoopBlock(QPainter& p) {
    ElementBody(p);
    Label(p, QRectF(7, 17, 14, 10), QStringLiteral("+"), 10, pal::kLegend, Qt::AlignCenter, true);
    Label(p, QRectF(26, 17, 14, 10), QStringLiteral("\u2212"), 10, pal::kLegend, Qt::AlignCenter, true);
    const QRectF strip(5.5, 31.5, 36, 22);
    Bevel(p, strip, 1.5, Vertical(strip, QColor(0xe2, 0xe5, 0xe8), QColor(0xb8, 0xbe, 0xc4)), true);
    Label(p, strip.adjusted(0, 1, 0, -10), QStringLiteral("LOOP"), 7, QColor(0x1e, 0x25, 0x2c),
          Qt::AlignCenter, true);
    Label(p, strip.adjusted(0, 10, 0, 0), QStringLiteral("4\u201320 mA"), 7, QColor(0x1e, 0x25, 0x2c));
    Label(p, QRectF(0, 57, kElementW, 10), QStringLiteral("2    3"), 8, pal::kLegendDim);
}

// Seven segments (a..g) of one digit as hexagonal bars, slanted a little as LED digits are.
std::array<QPolygonF, 7> SegmentShapes() {
    constexpr qreal l = 4.5, r = 16.5, t = 4, m = 19.5, b = 35, w = 3.2, gap = 0.6;
    const auto bar = [&](QPointF from, QPointF to) {
        const bool horizontal = from.y() == to.y();
        const QPointF along = horizontal ? QPointF(1, 0) : QPointF(0, 1);
        const QPointF across = horizontal ? QPointF(0, 1) : QPointF(1, 0);
        const QPointF s = from + along * gap, e = to - along * gap;
        const qreal h = w / 2;
        return QPolygonF({s, s + along * h - across * h, e - along * h - across * h, e,
                          e - along * h + across * h, s + along * h + across * h});
    };
    return {bar({l, t}, {r, t}), bar({r, t}, {r, m}), bar({r, m}, {r, b}), bar({l, b}, {r, b}),
            bar({l, m}, {l, b}), bar({l, t}, {l, m}), bar({l, m}, {r, m})};
}

} // namespace

void PaintCompartment(QPainter& p) {
    const QRectF outer(0.5, -14.5, 245, 366.5);
    DropShadow(p, outer, 10, 4);
    Bevel(p, outer, 10, Vertical(outer, pal::kHousingLight, pal::kHousingDark), true);
    Bevel(p, outer.adjusted(5, 5, -5, -5), 6, pal::kCompartment, false);
    for (qreal y : {4.0, 124.0}) {
        p.setPen(QPen(QColor(0x2e, 0x34, 0x3a), 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(7.5, y - 0.5, 223, 33));
        p.fillRect(QRect(8, static_cast<int>(y), 222, 32), Qt::black);
    }
    for (qreal y : kRailTop) {
        DinRail(p, QRectF(8, y, 222, 12));
        for (qreal x : {77.5, 153.5, 223.0})
            Screw(p, {x, y + 6}, 3.2, 10);
    }
    for (QPointF place : kElementPlaces) {
        p.save();
        p.translate(place);
        PaintEmptyPlace(p);
        p.restore();
    }
    p.save();
    p.translate(kLoopBlock);
    LoopBlock(p);
    p.translate(kModuleSlot - kLoopBlock);
    PaintFeedbackModule(p, false);
    p.restore();
}

void PaintElement(QPainter& p, Element kind, bool on, const QString& stateWord) {
    ElementBody(p);
    if (kind == Element::Input)
        ToggleSwitch(p, on);
    else
        LampWithContact(p, kind == Element::FaultOutput ? pal::kSignalRed : pal::kAmber, on);
    StateWord(p, stateWord, on);
}

void PaintEmptyPlace(QPainter& p) {
    p.fillRect(QRectF(0, 0, kElementW, kElementH), pal::kCompartment);
    Bevel(p, QRectF(0.5, 0.5, kElementW - 1, kElementH - 1), 3, pal::kRecess, false);
    DinRail(p, QRectF(1.5, kRailInElement, kElementW - 3, 12));
}

void PaintFeedbackModule(QPainter& p, bool fitted) {
    const QRectF all(QPointF(), ToQt(layout::FeedbackModuleSize)), body = all.adjusted(0.5, 0.5, -0.5, -0.5);
    p.fillRect(all, pal::kCompartment);
    if (!fitted) {
        // The vacant slot: guide rails, the empty socket and the module type stamped into the floor.
        Bevel(p, body, 4, pal::kRecess, false);
        for (qreal y : {6.0, 85.0})
            Bevel(p, QRectF(6, y, 219, 4), 1, QColor(0x3a, 0x40, 0x47), true);
        Bevel(p, QRectF(203.5, 22.5, 18, 50), 2, QColor(0x20, 0x24, 0x28), true);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x05, 0x06, 0x07));
        for (int row = 0; row < 6; ++row)
            for (qreal x : {208.5, 214.5})
                p.drawRect(QRectF(x, 27.5 + row * 7.5, 3, 3));
        Label(p, QRectF(14, 30, 60, 36), QStringLiteral("Jy"), 22, QColor(0x24, 0x29, 0x2e), Qt::AlignCenter,
              true);
        return;
    }
    Bevel(p, body, 4, Vertical(body, QColor(0x42, 0x48, 0x50), QColor(0x2a, 0x2e, 0x33)), true);
    const QRectF badge(8.5, 4.5, 22, 14);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x2f, 0x5f, 0x8f));
    p.drawRoundedRect(badge, 2, 2);
    Label(p, badge, QStringLiteral("Jy"), 10, Qt::white, Qt::AlignCenter, true);
    Label(p, QRectF(36, 4.5, 160, 14), QStringLiteral("POSITION FEEDBACK"), 9, pal::kLegend,
          Qt::AlignLeft | Qt::AlignVCenter, true, 0.6);
    // The digit window is pure black so the digit sprites drop into it without an edge.
    Bevel(p, QRectF(16.5, 20.5, 186, 55), 2, QColor(0x1a, 0x1d, 0x21), false);
    p.fillRect(QRect(18, 22, 182, 52), Qt::black);
    Lens(p, QRectF(79.7, 62.8, 3.6, 3.6), pal::kSignalRed, true);
    Label(p, QRectF(170, 46, 30, 18), QStringLiteral("mA"), 12, QColor(0xb8, 0xbe, 0xc4), Qt::AlignCenter,
          true);
    Label(p, QRectF(18, 78, 182, 13),
          QStringLiteral("4 \u2026 20 mA  \u00b7  2-wire  \u00b7  0 \u2026 100 %"), 8, pal::kLegendDim,
          Qt::AlignLeft | Qt::AlignVCenter);
    Label(p, QRectF(207, 19, 18, 10), QStringLiteral("+"), 10, pal::kLegend, Qt::AlignCenter, true);
    Label(p, QRectF(207, 74, 18, 10), QStringLiteral("\u2212"), 10, pal::kLegend, Qt::AlignCenter, true);
    for (qreal y : {39.5, 62.5}) {
        Bevel(p, QRectF(208.5, y - 7, 14, 14), 1.5, pal::kRecess, false);
        Screw(p, {215.5, y}, 5, -35);
    }
}

void PaintLedDigit(QPainter& p, int digit) {
    // Segments a..g per digit, bit 0 = a.
    static constexpr unsigned kPatterns[] = {0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F};
    static const std::array<QPolygonF, 7> kShapes = SegmentShapes();
    p.fillRect(QRectF(QPointF(), ToQt(layout::FeedbackDigitSize)), Qt::black);
    const unsigned lit = digit >= 0 && digit <= 9 ? kPatterns[digit] : 0;
    p.save();
    p.translate(10.5, 19.5);
    p.shear(-0.07, 0);
    p.translate(-10.5, -19.5);
    for (int s = 0; s < 7; ++s) {
        const bool on = (lit >> s) & 1u;
        if (on) {
            p.setPen(QPen(QColor(0xff, 0x30, 0x1c, 70), 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.setBrush(Qt::NoBrush);
            p.drawPolygon(kShapes[s]);
        }
        p.setPen(Qt::NoPen);
        p.setBrush(on ? QColor(0xff, 0x3a, 0x22) : QColor(0x3a, 0x0c, 0x09));
        p.drawPolygon(kShapes[s]);
    }
    p.restore();
}

} // namespace vp7::art
