// SPDX-License-Identifier: GPL-3.0-or-later
// The actuator below the positioner: a cylinder shown cut open so the piston, its air chambers and,
// on a single-acting one, the return spring are seen moving, the yoke and valve below it, and everything
// around it that does not move (bracket, tubing, pipeline, tight-closing indicator windows).
#include "ui/artwork/Paint.h"
#include "ui/artwork/Scene.h"

#include <QPolygonF>

#include <cmath>
#include <numbers>

namespace vp7::art {
namespace {

constexpr qreal kCx = 396; // axis of cylinder, stem and valve
const QRectF kTopCap(330, 495, 132, 10);
// Whole pixels, so a frame can repaint just the bore over a copy of the resting frame.
const QRect kBore(346, 505, 100, 108);
const QRectF kBottomCap(330, 613, 132, 10);
constexpr qreal kPistonClosedTop = 601, kPistonHeight = 10;
// 72 px of travel: 1.8 px per frame, and the spring still shows its coils when fully compressed.
constexpr qreal kTravel = 72;
constexpr qreal kStemHalf = 5;
const QPointF kTightPlaces[] = {ToQt(layout::TightOpenPlaces[0]), ToQt(layout::TightOpenPlaces[1]),
                                ToQt(layout::TightClosePlaces[0]), ToQt(layout::TightClosePlaces[1])};
const QColor kWindow(0x10, 0x13, 0x16);

void CastPart(QPainter& p, const QRectF& r, qreal radius) {
    Bevel(p, r, radius, Vertical(r, pal::kHousingLight, pal::kHousingDark), true);
}

void SteelBar(QPainter& p, const QRectF& r, const QColor& base) {
    p.setPen(Qt::NoPen);
    p.setBrush(RoundBar(r.left(), r.right(), base));
    p.drawRect(r);
}

void Bracket(QPainter& p) {
    const QRectF flange(350.5, 414.5, 94, 7);
    for (qreal x : {354.5, 431.5}) {
        const QRectF leg(x, 421.5, 9, 75);
        p.setPen(QPen(QColor(0x2a, 0x30, 0x36), 0.7));
        p.setBrush(Horizontal(leg, QColor(0xb4, 0xbb, 0xc2), QColor(0x6a, 0x72, 0x7a)));
        p.drawRect(leg);
    }
    p.setPen(QPen(QColor(0x2a, 0x30, 0x36), 0.7));
    p.setBrush(Vertical(flange, QColor(0xc2, 0xc8, 0xce), QColor(0x7a, 0x82, 0x8a)));
    p.drawRect(flange);
    for (qreal x : {366.0, 429.0})
        Screw(p, {x, 418}, 2.6, 0, Head::HexSocket);
}

void Tubing(QPainter& p) {
    QPainterPath output; // Y1 to the chamber under the piston
    output.moveTo(556, 430.5);
    output.lineTo(556, 605);
    output.quadTo(556, 617, 544, 617);
    output.lineTo(476, 617);
    QPainterPath supply; // P from the plant air, leaving the picture on the right
    supply.moveTo(580, 430.5);
    supply.lineTo(580, 438);
    supply.quadTo(580, 448, 590, 448);
    supply.lineTo(630, 448);
    Tube(p, output, 6);
    Tube(p, supply, 6);
    HexBody(p, QRectF(462, 611, 9, 12), Qt::Horizontal);
    HexBody(p, QRectF(471, 612.5, 7, 9), Qt::Horizontal);
}

void Pipeline(QPainter& p) {
    const QRectF pipe(214, 684, 420, 18);
    p.fillRect(pipe, Vertical(pipe, QColor(0x8a, 0x93, 0x9b), QColor(0x3e, 0x45, 0x4c)));
    p.fillRect(QRectF(214, 684, 420, 1), QColor(255, 255, 255, 60));
    for (qreal x : {222.0, 340.0, 443.0, 610.0})
        CastPart(p, QRectF(x, 680, 9, 24), 1.5);
}

void TightBezels(QPainter& p) {
    for (QPointF at : kTightPlaces) {
        Bevel(p, QRectF(at.x() - 3.5, at.y() - 3.5, 27, 32), 4, QColor(0x2b, 0x30, 0x36), true);
        p.save();
        p.translate(at);
        PaintTightWindow(p, Tight::None);
        p.restore();
    }
}

// The helix of the return spring between the top cap and the piston, its far half drawn darker.
void Spring(QPainter& p, qreal top, qreal bottom) {
    constexpr int kTurns = 5, kSteps = 24;
    constexpr qreal kRadius = 41, kDepth = 4;
    QPainterPath front, back;
    bool lastFront = false;
    QPointF last;
    for (int i = 0; i <= kTurns * kSteps; ++i) {
        const double a = 2 * std::numbers::pi * i / kSteps;
        const QPointF pt(kCx + kRadius * std::cos(a),
                         top + (bottom - top) * i / (kTurns * kSteps) + kDepth * std::sin(a));
        const bool isFront = std::sin(a - std::numbers::pi / kSteps) > 0;
        QPainterPath& path = isFront ? front : back;
        if (i == 0 || isFront != lastFront) path.moveTo(i == 0 ? pt : last);
        path.lineTo(pt);
        last = pt;
        lastFront = isFront;
    }
    p.strokePath(back, QPen(QColor(0x58, 0x60, 0x68), 2.6, Qt::SolidLine, Qt::RoundCap));
    p.strokePath(front, QPen(QColor(0x9c, 0xa6, 0xaf), 3, Qt::SolidLine, Qt::RoundCap));
    p.strokePath(front.translated(-0.3, -0.7),
                 QPen(QColor(0xe4, 0xe8, 0xec, 170), 0.8, Qt::SolidLine, Qt::RoundCap));
}

void Piston(QPainter& p, qreal top) {
    const QRectF body(kBore.left(), top, kBore.width(), kPistonHeight);
    p.setPen(Qt::NoPen);
    p.setBrush(Vertical(body, QColor(0xd6, 0xdb, 0xdf), QColor(0x6e, 0x77, 0x7f)));
    p.drawRect(body);
    // Two seal grooves, the rings' cut faces black against the bore.
    for (qreal y : {top + 2.5, top + 6}) {
        p.fillRect(QRectF(body.left(), y, body.width(), 1.5), QColor(0x3a, 0x40, 0x46));
        p.fillRect(QRectF(body.left(), y - 0.3, 3, 2.1), QColor(0x0a, 0x0a, 0x0a));
        p.fillRect(QRectF(body.right() - 3, y - 0.3, 3, 2.1), QColor(0x0a, 0x0a, 0x0a));
    }
    p.fillRect(QRectF(body.left(), top, body.width(), 0.8), QColor(255, 255, 255, 90));
    HexBody(p, QRectF(kCx - 8, top + kPistonHeight, 16, 4)); // the nut holding the piston on its rod
}

// The cut wall sections, hatched as a drawing's section faces are.
void CutWall(QPainter& p, const QRectF& r) {
    p.fillRect(r, Horizontal(r, QColor(0xc9, 0xcf, 0xd4), QColor(0x9c, 0xa4, 0xab)));
    p.save();
    p.setClipRect(r);
    p.setPen(QPen(QColor(0x6c, 0x74, 0x7b), 0.7));
    for (qreal y = r.top() - r.width(); y < r.bottom(); y += 3.5)
        p.drawLine(QPointF(r.left(), y + r.width()), QPointF(r.right(), y));
    p.restore();
    p.setPen(QPen(QColor(0x2a, 0x30, 0x36), 0.7));
    p.setBrush(Qt::NoBrush);
    p.drawRect(r.adjusted(0.35, 0.35, -0.35, -0.35)); // inside the wall, clear of the bore
}

void YokeAndValve(QPainter& p) {
    for (qreal x : {352.5, 427.5}) {
        const QRectF arm(x, kBottomCap.bottom(), 12, 672 - kBottomCap.bottom());
        p.setPen(QPen(QColor(0x22, 0x28, 0x2e), 0.7));
        p.setBrush(Horizontal(arm, QColor(0x7f, 0x8a, 0x95), QColor(0x45, 0x4f, 0x59)));
        p.drawRect(arm);
    }
    SteelBar(p, QRectF(kCx - kStemHalf, kBottomCap.bottom(), 2 * kStemHalf, 34), pal::kAluminium);
    HexBody(p, QRectF(kCx - 10, 656, 20, 6));
    CastPart(p, QRectF(kCx - 14, 662, 28, 10), 1.5);
    CastPart(p, QRectF(kCx - 50, 672, 100, 7), 1.5);
    CastPart(p, QRectF(kCx - 42, 679, 84, 30), 10);
}

} // namespace

void PaintActuatorSurroundings(QPainter& p) {
    Bracket(p);
    Pipeline(p);
    Tubing(p);
    TightBezels(p);
}

QRect ActuatorBore() {
    return kBore;
}

void PaintBore(QPainter& p, double stroke, bool spring) {
    const qreal pistonTop = kPistonClosedTop - kTravel * stroke;
    // Flat fills only: a gradient may round differently where a frame starts its spans.
    p.fillRect(kBore, QColor(0x17, 0x1a, 0x1e));
    p.fillRect(QRect(kBore.left() + 14, kBore.top(), 44, kBore.height()), QColor(255, 255, 255, 8));
    p.fillRect(QRect(kBore.left() + 24, kBore.top(), 18, kBore.height()), QColor(255, 255, 255, 8));
    // Compressed air under the piston, tinted so the chamber is seen filling.
    const QRectF bore(kBore);
    const QRectF chamber(bore.left(), pistonTop + kPistonHeight, bore.width(),
                         bore.bottom() - pistonTop - kPistonHeight);
    const QColor air(0x4a, 0x8c, 0xd0, 80);
    p.fillRect(chamber, air);
    const QRectF above(bore.left(), bore.top(), bore.width(), pistonTop - bore.top());
    if (spring) {
        p.save();
        p.setClipRect(above, Qt::IntersectClip);
        Spring(p, bore.top() + 2, pistonTop - 2);
        p.restore();
    } else {
        p.fillRect(above, air); // a double-acting piston is pushed back by air, not by a spring
    }
    SteelBar(p,
             QRectF(kCx - kStemHalf, pistonTop + kPistonHeight, 2 * kStemHalf,
                    bore.bottom() - pistonTop - kPistonHeight),
             pal::kAluminium);
    Piston(p, pistonTop);
}

void PaintActuator(QPainter& p, double stroke, bool spring) {
    DropShadow(p, kTopCap.united(kBottomCap), 3, 4);
    YokeAndValve(p);
    for (qreal x : {334.5, 453.5})
        SteelBar(p, QRectF(x, kTopCap.top(), 4, kBottomCap.bottom() - kTopCap.top()), pal::kSteel);
    // The walls go first: whatever their edges spill into the bore, the bore paints over, as a frame does.
    CutWall(p, QRectF(kBore.left() - 5, kBore.top(), 5, kBore.height()));
    CutWall(p, QRectF(kBore.right() + 1, kBore.top(), 5, kBore.height()));
    PaintBore(p, stroke, spring);
    CastPart(p, kTopCap, 2);
    CastPart(p, kBottomCap, 2);
    for (qreal x : {332.0, 451.0}) {
        HexBody(p, QRectF(x, kTopCap.top() - 6, 9, 6));
        HexBody(p, QRectF(x, kBottomCap.bottom(), 9, 6));
    }
    HexBody(p, QRectF(kCx - 8, kBottomCap.bottom(), 16, 5)); // the rod's gland nut
}

void PaintTightWindow(QPainter& p, Tight kind) {
    p.fillRect(QRect(0, 0, 20, 25), kWindow);
    if (kind == Tight::None) return;
    p.save();
    if (kind == Tight::Close) { // the same symbol upside down: an arrow pushing onto the seat
        p.translate(0, 25);
        p.scale(1, -1);
    }
    const QColor color = kind == Tight::Open ? pal::kSignalGreen : pal::kAmber;
    QPainterPath symbol;
    symbol.addRect(QRectF(3, 3.5, 14, 3));
    symbol.addPolygon(
        QPolygonF({{3, 15}, {10, 8}, {17, 15}, {11.6, 15}, {11.6, 22}, {8.4, 22}, {8.4, 15}, {3, 15}}));
    symbol.setFillRule(Qt::WindingFill);
    p.strokePath(symbol, QPen(QColor(color.red(), color.green(), color.blue(), 70), 2.4, Qt::SolidLine,
                              Qt::RoundCap, Qt::RoundJoin));
    p.fillPath(symbol, color);
    p.restore();
}

} // namespace vp7::art
