// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The device artwork: every sprite of the device picture, the program icon and the setpoint glyph,
// all painted with QPainter in logical points so they stay sharp at any scale.
#include "platform/SpriteSet.h"

#include <QIcon>

class QPainter;

namespace vp7 {

// Every sprite of the device picture drawn at `scale` (1 = one device pixel per logical point, 2 for
// 200 % screens).
SpriteSet RenderArtwork(int scale);

// The window and desktop icon, rendered at the usual sizes from 16 to 256 pixels.
QIcon ProgramIcon();

// Glyph of the setpoint confirm button: a green check beside a control valve, 32 x 22 points at 100 %.
QIcon SetpointGlyph(double zoom = 1);

// A device key (0 mode, 1 decrease, 2 increase) drawn pressed over the device picture, in picture
// coordinates, and the area that drawing covers.
namespace art {
QRect KeyPressedArea(int key);
void PaintKeyPressed(QPainter& p, int key);
} // namespace art

} // namespace vp7
