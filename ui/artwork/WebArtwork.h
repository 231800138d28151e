// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The device artwork as images a browser decodes itself, for the page: DIR/artwork/SCALE/SPRITE.EXT and
// DIR/artwork/sprites.json, the sprites' logical sizes in SpriteId order, the scales drawn and the
// format. Lossless WebP where Qt's image formats plugin is there (both scales take 1.2 MB where PNG
// takes 1.9 MB), PNG otherwise.
#include "model/SpriteSet.h"

#include <QByteArray>
#include <QDir>
#include <QString>

#include <span>

namespace vp7 {

class WebArtwork {
public:
    explicit WebArtwork(const QString& dir);

    // Every sprite of `sprites`, drawn at `scale`; false when one cannot be written.
    bool AddSprites(const SpriteSet& sprites, int scale);
    bool WriteList(std::span<const int> scales) const;

private:
    int Lossless() const;

    QDir dir_;
    QByteArray format_;
};

} // namespace vp7
