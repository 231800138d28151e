// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The device artwork as images a browser decodes itself, for the page: a few sheets a scale,
// DIR/artwork/SCALE/sheetN.EXT, each sprite a rectangle of one of them, and DIR/artwork/sprites.json:
// the sprites in SpriteId order with their logical sizes and places, the sheets' logical sizes, the
// scales drawn and the format. A browser fetches six files at a time from one server, so 126 files
// of their own kept the first picture waiting for twenty rounds; a few sheets come in one round and
// are decoded side by side. Lossless WebP where Qt's image formats plugin is there, PNG otherwise.
#include "model/SpriteSet.h"

#include <QByteArray>
#include <QDir>
#include <QString>

#include <span>
#include <vector>

namespace vp7 {

class WebArtwork {
public:
    explicit WebArtwork(const QString& dir);

    // Every sprite of `sprites`, drawn at `scale` into the sheets; false when one cannot be written.
    bool AddSprites(const SpriteSet& sprites, int scale);
    bool WriteList(std::span<const int> scales) const;

    // Where a sprite lies, in logical pixels: the same places at every scale.
    struct Place {
        int sheet = 0, x = 0, y = 0;
    };
    struct Sheet {
        int width = 0, height = 0;
    };
    // Shelves of sprites, tallest first, left to right across a sheet's width; a sheet is closed once
    // it holds a share of the whole area, so that the sheets are decoded in about the same time.
    static void Pack(std::vector<Place>& places, std::vector<Sheet>& sheets);

private:
    int Lossless() const;

    QDir dir_;
    QByteArray format_;
    std::vector<Place> places_;
    std::vector<Sheet> sheets_;
};

} // namespace vp7
