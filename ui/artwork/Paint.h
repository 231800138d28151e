// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Shared palette and drawing helpers of the device artwork. Everything takes logical picture
// coordinates; the caller's painter carries the scale, so the same code draws 100 % and 200 %.
#include <QColor>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRectF>
#include <QString>

namespace vp7::art {

// One light from the upper left for the whole scene; muted industrial colours.
namespace pal {
inline const QColor kWallTop{0x3d, 0x44, 0x4b};
inline const QColor kWallBottom{0x26, 0x2b, 0x30};
inline const QColor kHousingLight{0x74, 0x8a, 0xa0};
inline const QColor kHousingDark{0x46, 0x57, 0x69};
inline const QColor kHousingEdge{0x24, 0x2e, 0x38};
inline const QColor kCompartment{0x15, 0x17, 0x1a};
inline const QColor kRecess{0x0c, 0x0d, 0x0f};
inline const QColor kSteel{0xa9, 0xb1, 0xb8};
inline const QColor kAluminium{0xc8, 0xcd, 0xd2};
inline const QColor kLegend{0xd8, 0xdc, 0xe0};
inline const QColor kLegendDim{0x8e, 0x96, 0x9e};
inline const QColor kAmber{0xff, 0xb0, 0x1e};
inline const QColor kSignalRed{0xff, 0x36, 0x24};
inline const QColor kSignalGreen{0x4c, 0xe0, 0x6a};
inline const QColor kGearLit{0xd9, 0xf5, 0x3a};
} // namespace pal

QFont Font(qreal pixelSize, bool bold = false);
// Text in a box; `spacing` widens the letters (logo and engraved legends).
void Label(QPainter& p, const QRectF& box, const QString& text, qreal pixelSize, const QColor& color,
           int align = Qt::AlignCenter, bool bold = false, qreal spacing = 0);

QLinearGradient Vertical(const QRectF& r, const QColor& top, const QColor& bottom);
QLinearGradient Horizontal(const QRectF& r, const QColor& left, const QColor& right);
// A round bar seen from the side, lit from the left: for rods, tie bars and the stem.
QLinearGradient RoundBar(qreal left, qreal right, const QColor& base);

// A plate with a lit upper-left edge and a shaded lower-right one; `raised` false gives a recess.
void Bevel(QPainter& p, const QRectF& r, qreal radius, const QBrush& face, bool raised);
// A soft shadow below and right of a rounded rectangle.
void DropShadow(QPainter& p, const QRectF& r, qreal radius, qreal offset);
// Legend stamped into a metal or plastic face: dark letters with a lit lower edge.
void Engrave(QPainter& p, const QRectF& box, const QString& text, qreal pixelSize,
             int align = Qt::AlignCenter);
// A screw or rivet head: hex sockets for the housing, slots for terminals, plain domes for rivets.
enum class Head { Slot, HexSocket, Dome };
void Screw(QPainter& p, QPointF centre, qreal radius, qreal angleDeg, Head head = Head::Slot);
// A hexagon nut or fitting body seen from the side, `r` its outline; `axis` is the nut's axis.
void HexBody(QPainter& p, const QRectF& r, Qt::Orientation axis = Qt::Vertical);
// An indicator lens filling `r`; unlit it keeps a faint tint of its colour and a glass highlight.
void Lens(QPainter& p, const QRectF& r, const QColor& color, bool lit);
// A pneumatic tube along `path`, drawn as a shaded metal pipe.
void Tube(QPainter& p, const QPainterPath& path, qreal width);

} // namespace vp7::art
