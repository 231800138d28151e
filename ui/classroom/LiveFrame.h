// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A live-view frame as a seat sends it: a JPEG or PNG no larger than a device picture at twice its
// size. The size is read from the header before anything is decoded, so a frame that claims to be huge
// costs nothing.
#include <QByteArray>
#include <QImage>

namespace vp7 {

inline constexpr int kLargestFrameSide = 4096;

// The frame's picture, or a null image when the bytes are no such frame.
QImage ReadLiveFrame(const QByteArray& bytes);

} // namespace vp7
