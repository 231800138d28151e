// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The device artwork: every sprite of the device picture, the program icon and the setpoint glyph,
// all painted with QPainter in logical points so they stay sharp at any scale.
#include "model/SpriteSet.h"

#include <QIcon>
#include <QString>

#include <optional>

class QPainter;

namespace vp7 {

// Every sprite of the device picture drawn at `scale` (1 = one device pixel per logical point, 2 for
// 200 % screens).
SpriteSet RenderArtwork(int scale);
// The same as drawn at build time when the program carries it for `scale` (1 and 2), each sprite
// loaded when first used, which takes a fraction of the time; drawn now otherwise.
SpriteSet LoadArtwork(int scale);
// Where the program carries a sprite drawn at `scale`: its pixels, rows top to bottom.
QString ArtworkResource(int scale, SpriteId id);
// The sprite as carried, or nothing when it is not there whole.
std::optional<Picture> LoadSprite(SpriteId id, int scale);

// The window and desktop icon at the usual sizes from 16 to 256 pixels: as carried where the program
// carries it (the icon files made at build time), else painted now.
inline constexpr int kProgramIconSizes[] = {16, 24, 32, 48, 64, 128, 256};
QIcon ProgramIcon();
QString ProgramIconResource(int size);

// Glyph of the setpoint confirm button: a green check beside a control valve, 32 x 22 points at 100 %.
QIcon SetpointGlyph(double zoom = 1);

// A device key (0 mode, 1 decrease, 2 increase) drawn pressed over the device picture, in picture
// coordinates, and the area that drawing covers.
namespace art {
QRect KeyPressedArea(int key);
void PaintKeyPressed(QPainter& p, int key);
} // namespace art

} // namespace vp7
