// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The parts of the device scene. Each painter works in picture coordinates, so a sprite is just the
// same scene painted into its own small rectangle and meets the device picture without a seam.
#include "model/PictureLayout.h"

#include <QPainter>
#include <QPoint>
#include <QRectF>

namespace vp7::art {

// The places and sizes of the picture layout, for painting.
constexpr QPoint ToQt(layout::Point p) {
    return {p.x, p.y};
}
constexpr QSizeF ToQt(layout::Size s) {
    return {qreal(s.width), qreal(s.height)};
}

// Where the sprites painted in picture coordinates sit in the device picture.
inline constexpr QPoint kPistonPlace = ToQt(layout::PistonPlace);
inline constexpr QPoint kGear90Place = ToQt(layout::GearTopPlace);
inline constexpr QPoint kGear33Place = ToQt(layout::GearBottomPlace);

// The wall behind everything and the black panel the program draws its scales on.
void PaintWall(QPainter& p);
void PaintScalePanel(QPainter& p);

// The open terminal compartment, its element places empty and its module slot vacant.
void PaintCompartment(QPainter& p);
enum class Element { Input, FaultOutput, AlarmOutput };
// An element or the empty place, in its own 47 x 71 coordinates (one sprite serves every place).
void PaintElement(QPainter& p, Element kind, bool on, const QString& stateWord);
void PaintEmptyPlace(QPainter& p);
// The feedback module (or the vacant slot) in its own 231 x 95 coordinates.
void PaintFeedbackModule(QPainter& p, bool fitted);
// One red LED digit in its own 21 x 39 coordinates; -1 leaves all segments dark.
void PaintLedDigit(QPainter& p, int digit);

// The positioner housing with nameplate, display, keys, the two gear marks and the supply gauge, whose
// needle shows the supply pressure or, without supply air, 0 bar.
void PaintPositioner(QPainter& p, bool gear90Lit, bool gear33Lit, bool supplyAir);

// Bracket, tubing, yoke and valve around the actuator, and the actuator itself at `stroke` 0..1: with
// a return spring above the piston (single acting) or with air on both sides of it (double acting).
void PaintActuatorSurroundings(QPainter& p);
void PaintActuator(QPainter& p, double stroke, bool spring);
// The part of the actuator that moves: everything inside the cylinder bore, which is whole pixels.
QRect ActuatorBore();
void PaintBore(QPainter& p, double stroke, bool spring);
// A tight-closing indicator window, in its own 20 x 25 coordinates (one sprite serves all four).
enum class Tight { None, Open, Close };
void PaintTightWindow(QPainter& p, Tight kind);

} // namespace vp7::art
