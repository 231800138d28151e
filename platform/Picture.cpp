#include "platform/Picture.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>

namespace vp7 {

Rect Rect::United(const Rect& o) const {
    if (Empty()) return o;
    if (o.Empty()) return *this;
    return {std::min(left, o.left), std::min(top, o.top), std::max(right, o.right),
            std::max(bottom, o.bottom)};
}

Rect Rect::Intersected(const Rect& o) const {
    Rect r{std::max(left, o.left), std::max(top, o.top), std::min(right, o.right),
           std::min(bottom, o.bottom)};
    return r.Empty() ? Rect{} : r;
}

Picture::Picture(int width, int height, Rgb fill, int scale)
    : width_(std::max(0, width)), height_(std::max(0, height)), scale_(std::max(1, scale)),
      pixels_(static_cast<size_t>(width_) * scale_ * height_ * scale_, fill) {}

void Picture::Plot(int x, int y, Rgb c) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    const int stride = DeviceWidth();
    Rgb* row = pixels_.data() + static_cast<size_t>(y) * scale_ * stride + static_cast<size_t>(x) * scale_;
    for (int dy = 0; dy < scale_; ++dy, row += stride)
        std::fill(row, row + scale_, c);
}

Rgb Picture::Pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
    return pixels_[static_cast<size_t>(y) * scale_ * DeviceWidth() + static_cast<size_t>(x) * scale_];
}

void Picture::SetPixel(int x, int y, Rgb c) {
    Plot(x, y, c);
    MarkDirty({x, y, x + 1, y + 1});
}

void Picture::MarkDirty(const Rect& r) {
    dirty_ = dirty_.United(r.Intersected(Bounds()));
}

Rect Picture::TakeDirty() {
    Rect r = dirty_;
    dirty_ = {};
    return r;
}

void Picture::MoveTo(int x, int y) {
    penX_ = x;
    penY_ = y;
}

void Picture::LineTo(int x, int y) {
    Rect touched;
    ForEachLinePixel(penX_, penY_, x, y, penWidth_, [&](int px, int py) {
        Plot(px, py, penColor_);
        touched = touched.United({px, py, px + 1, py + 1});
    });
    MarkDirty(touched);
    penX_ = x;
    penY_ = y;
}

void Picture::FillRect(const Rect& r) {
    const Rect c = r.Intersected(Bounds());
    if (c.Empty()) return;
    const int stride = DeviceWidth();
    for (int y = c.top * scale_; y < c.bottom * scale_; ++y) {
        Rgb* row = pixels_.data() + static_cast<size_t>(y) * stride;
        std::fill(row + c.left * scale_, row + c.right * scale_, brushColor_);
    }
    MarkDirty(c);
}

void Picture::Draw(int x, int y, const Picture& sprite) {
    CopyRect({x, y, x + sprite.Width(), y + sprite.Height()}, sprite, sprite.Bounds());
}

void Picture::CopyRect(const Rect& dst, const Picture& src, const Rect& srcRect) {
    if (dst.Empty() || srcRect.Empty()) return;
    const Rect clip = dst.Intersected(Bounds());
    if (clip.Empty()) return;
    // Work in device pixels so sprites rendered at this picture's scale keep their detail; a source
    // of another scale or size is sampled nearest-neighbour, as a stretching blit does.
    const int dw = dst.Width() * scale_, dh = dst.Height() * scale_;
    const int sw = srcRect.Width() * src.scale_, sh = srcRect.Height() * src.scale_;
    const int sx0 = srcRect.left * src.scale_, sy0 = srcRect.top * src.scale_;
    const int srcStride = src.DeviceWidth(), stride = DeviceWidth();
    if (sw == dw && sh == dh) { // same size: plain row copies, the common case of every sprite
        const int left = std::max(clip.left * scale_, 0), right = clip.right * scale_;
        const int dx0 = sx0 - dst.left * scale_;
        for (int y = clip.top * scale_; y < clip.bottom * scale_; ++y) {
            const int sy = sy0 + y - dst.top * scale_;
            const int from = std::max(left, -dx0), to = std::min(right, srcStride - dx0);
            if (sy < 0 || sy >= src.DeviceHeight() || from >= to) continue;
            std::copy(src.pixels_.begin() + static_cast<std::ptrdiff_t>(sy) * srcStride + from + dx0,
                      src.pixels_.begin() + static_cast<std::ptrdiff_t>(sy) * srcStride + to + dx0,
                      pixels_.begin() + static_cast<std::ptrdiff_t>(y) * stride + from);
        }
        MarkDirty(clip);
        return;
    }
    for (int y = clip.top * scale_; y < clip.bottom * scale_; ++y) {
        const int sy = sy0 + static_cast<int>(static_cast<int64_t>(y - dst.top * scale_) * sh / dh);
        if (sy < 0 || sy >= src.DeviceHeight()) continue;
        Rgb* row = pixels_.data() + static_cast<size_t>(y) * stride;
        const Rgb* srow = src.pixels_.data() + static_cast<size_t>(sy) * srcStride;
        for (int x = clip.left * scale_; x < clip.right * scale_; ++x) {
            const int sx = sx0 + static_cast<int>(static_cast<int64_t>(x - dst.left * scale_) * sw / dw);
            if (sx >= 0 && sx < srcStride) row[x] = srow[sx];
        }
    }
    MarkDirty(clip);
}

} // namespace vp7
