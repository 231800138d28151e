// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/qt/PictureReduction.h"

#include "platform/Picture.h"

#include <algorithm>
#include <cmath>

namespace vp7 {
namespace {

constexpr int64_t kWhole = int64_t{1} << 16; // the weights of one result pixel add up to this

} // namespace

// Result pixel i covers [i, i + 1) * from / to of the source; each source pixel weighs by how much of it
// lies inside. The last weight takes what rounding left over, so a flat colour stays exactly that colour.
PictureReduction::Axis PictureReduction::Taps(int from, int to) {
    Axis a;
    const double step = static_cast<double>(from) / to;
    for (int i = 0; i < to; ++i) {
        const double begin = i * step, end = std::min<double>(from, (i + 1) * step);
        const int first = std::min(from - 1, static_cast<int>(std::floor(begin)));
        const int last = std::max(first, std::min(from - 1, static_cast<int>(std::ceil(end)) - 1));
        a.first.push_back(first);
        a.count.push_back(last - first + 1);
        a.weightsAt.push_back(static_cast<int>(a.weights.size()));
        int64_t given = 0;
        for (int s = first; s <= last; ++s) {
            const double inside = std::max(0.0, std::min<double>(end, s + 1) - std::max<double>(begin, s));
            const int64_t w =
                s == last ? std::max<int64_t>(0, kWhole - given) : std::lround(inside / step * kWhole);
            a.weights.push_back(static_cast<uint32_t>(w));
            given += w;
        }
    }
    return a;
}

void PictureReduction::Update(const Picture& source, QSize size, double ratio, const QRect& area) {
    const QSize sourceSize(source.DeviceWidth(), source.DeviceHeight());
    QRect todo = area;
    if (image_.size() != size || sourceSize_ != sourceSize) {
        image_ = QImage(size, QImage::Format_RGB32);
        image_.setDevicePixelRatio(ratio);
        sourceSize_ = sourceSize;
        x_ = Taps(sourceSize.width(), size.width());
        y_ = Taps(sourceSize.height(), size.height());
        todo = image_.rect();
    }
    todo = todo.intersected(image_.rect());
    if (todo.isEmpty() || sourceSize.isEmpty()) return;
    const Rgb* pixels = source.Bits();
    const int stride = source.DeviceWidth();
    for (int ty = todo.top(); ty <= todo.bottom(); ++ty) {
        auto* out = reinterpret_cast<uint32_t*>(image_.scanLine(ty));
        const uint32_t* wy = y_.weights.data() + y_.weightsAt[ty];
        for (int tx = todo.left(); tx <= todo.right(); ++tx) {
            const uint32_t* wx = x_.weights.data() + x_.weightsAt[tx];
            uint64_t r = 0, g = 0, b = 0;
            for (int j = 0; j < y_.count[ty]; ++j) {
                const Rgb* row = pixels + static_cast<size_t>(y_.first[ty] + j) * stride + x_.first[tx];
                uint64_t rr = 0, gg = 0, bb = 0;
                for (int i = 0; i < x_.count[tx]; ++i) {
                    rr += uint64_t{wx[i]} * ((row[i] >> 16) & 0xFF);
                    gg += uint64_t{wx[i]} * ((row[i] >> 8) & 0xFF);
                    bb += uint64_t{wx[i]} * (row[i] & 0xFF);
                }
                r += wy[j] * rr;
                g += wy[j] * gg;
                b += wy[j] * bb;
            }
            constexpr int kShift = 32;
            constexpr uint64_t kHalf = uint64_t{1} << (kShift - 1);
            out[tx] = 0xFF000000u | static_cast<uint32_t>(((r + kHalf) >> kShift) << 16) |
                      static_cast<uint32_t>(((g + kHalf) >> kShift) << 8) |
                      static_cast<uint32_t>((b + kHalf) >> kShift);
        }
    }
}

} // namespace vp7
