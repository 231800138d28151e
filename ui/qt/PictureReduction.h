// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A picture brought to the size a zoom shows it at, every screen pixel the average of the picture's
// pixels it covers: a box filter, so a line one pixel wide keeps its weight at every zoom instead of
// flickering in and out as under a bilinear one. Kept between paints; only what changed is computed
// again.
#include <QImage>

#include <cstdint>
#include <vector>

namespace vp7 {

class Picture;

class PictureReduction {
public:
    // Brings the result up to date with `source` in `area` (its own pixels); `ratio` is the screen's
    // pixels per point. A size other than last time's, of the result or the source, computes all of it.
    void Update(const Picture& source, QSize size, double ratio, const QRect& area);
    const QImage& Image() const { return image_; }

private:
    // Which source pixels each result pixel of one axis covers, and how much of each (in 1/65536).
    struct Axis {
        std::vector<int> first, count, weightsAt;
        std::vector<uint32_t> weights;
    };
    static Axis Taps(int from, int to);
    QImage image_;
    QSize sourceSize_;
    Axis x_, y_;
};

} // namespace vp7
