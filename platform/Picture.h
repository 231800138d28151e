// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A 24-bit raster with the classic canvas operations the device picture is drawn with. Coordinates are
// logical; with a scale factor s every logical pixel is an s x s block, so artwork and text can be
// rendered sharper on high-resolution screens while all drawing code stays in logical points.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace vp7 {

class DrawingLog;
class StateVisitor;
struct DrawingEntry;

using Rgb = uint32_t; // 0x00RRGGBB

constexpr Rgb MakeRgb(int r, int g, int b) {
    return (static_cast<Rgb>(r & 0xFF) << 16) | (static_cast<Rgb>(g & 0xFF) << 8) |
           static_cast<Rgb>(b & 0xFF);
}

// Left/top inclusive, right/bottom exclusive.
struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool Empty() const { return right <= left || bottom <= top; }
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    Rect United(const Rect& o) const;
    Rect Intersected(const Rect& o) const;
    bool operator==(const Rect&) const = default;
};

class Picture {
public:
    // Calls f(x, y) for every pixel LineTo draws from (x0, y0) to (x1, y1) with a pen of `width`: the
    // start point included, the end point left out, a width-2 pen's copy one pixel beside the line.
    template <class F> static void ForEachLinePixel(int x0, int y0, int x1, int y1, int width, F&& f);

    Picture();
    Picture(int width, int height, Rgb fill = 0, int scale = 1);
    Picture(const Picture& other);
    Picture(Picture&& other) noexcept;
    Picture& operator=(const Picture& other);
    Picture& operator=(Picture&& other) noexcept;
    ~Picture();

    int Width() const { return width_; }
    int Height() const { return height_; }
    int Scale() const { return scale_; }
    Rect Bounds() const { return {0, 0, width_, height_}; }

    // Device pixels: (Width*Scale) x (Height*Scale), rows top to bottom.
    int DeviceWidth() const { return width_ * scale_; }
    int DeviceHeight() const { return height_ * scale_; }
    Rgb* Bits();
    const Rgb* Bits() const;

    // Pen and brush as the canvas keeps them between calls.
    void SetPenColor(Rgb c) { penColor_ = c; }
    void SetPenWidth(int w) { penWidth_ = w < 1 ? 1 : w; }
    void SetBrushColor(Rgb c) { brushColor_ = c; }
    Rgb BrushColor() const { return brushColor_; }
    // Pen, brush and pen position together, for a picture drawn anew that goes on as the old one.
    struct Pen {
        Rgb color = 0, brush = 0xFFFFFF;
        int width = 1, x = 0, y = 0;
    };
    Pen CurrentPen() const { return {penColor_, brushColor_, penWidth_, penX_, penY_}; }
    void SetPen(const Pen& pen) {
        penColor_ = pen.color;
        brushColor_ = pen.brush;
        SetPenWidth(pen.width);
        penX_ = pen.x;
        penY_ = pen.y;
    }

    void MoveTo(int x, int y);
    // Draws from the pen position to (x, y): the start point is drawn, the end point is not. A pen of
    // width 2 draws the line twice, the copy one pixel right (mostly vertical) or down (otherwise).
    void LineTo(int x, int y);
    // Fills with the brush; right and bottom edges are excluded.
    void FillRect(const Rect& r);
    // Opaque copy of a whole sprite with its top left at (x, y), clipped at the picture's edges.
    void Draw(int x, int y, const Picture& sprite);
    // Copies src's rectangle into dst's rectangle of this picture, stretched when the sizes differ.
    void CopyRect(const Rect& dst, const Picture& src, const Rect& srcRect);
    void StretchDraw(const Rect& dst, const Picture& src) { CopyRect(dst, src, src.Bounds()); }

    // Colour of the logical pixel (its block's top-left device pixel); 0 outside the picture.
    Rgb Pixel(int x, int y) const;
    // Its pixels, pen and brush as a snapshot keeps them; loading needs a picture of the same size and
    // scale and replaces what a deferring picture noted. A visitor whose pictures are redrawn reads past
    // the pixels and takes only the pen and brush.
    void DoState(StateVisitor& v);
    void SetPixel(int x, int y, Rgb c);

    // The union of everything changed since the last TakeDirty(), clipped to the picture.
    Rect Dirty() const { return dirty_; }
    Rect TakeDirty();
    void MarkDirty(const Rect& r);
    // The same as a few rectangles, drawings far apart kept apart, for a front end that works for every
    // pixel it repaints (a zoomed picture is reduced anew where it changed). Taking either takes both.
    std::vector<Rect> TakeDirtyParts();

    // From now on what is drawn is logged too, so that the picture can be drawn again at another scale
    // (a zoomed window's device picture). Off unless asked for: only the desktop program zooms. The
    // pictures copied from must live as long as the log (sprites, the device's own backgrounds).
    void KeepLog();
    bool KeepsLog() const { return log_ != nullptr; }
    std::size_t LogSize() const;
    // Drawing done straight into the pixels (the host's text), logged with the rectangle it covers
    // opaquely, to be done again by `redraw` on the picture drawn anew.
    void NoteDrawn(const Rect& covered, std::function<void(Picture&)> redraw);
    // Drawing done straight into the pixels by `paint`, which covers `covered` opaquely: done now, marked
    // dirty and logged, or noted while the picture defers, so that a host's text does not make a
    // deferring picture draw everything it noted.
    void Paint(const Rect& covered, std::function<void(Picture&)> paint);
    // From now on drawing is only noted, compacted as later drawings hide earlier ones, and done once the
    // pixels are read: a picture that is looked at now and then (the runner's) draws almost nothing.
    // Nothing repaints it, so what it notes is not marked dirty.
    // Not together with a log. A picture copied from that changes meanwhile first brings every deferring
    // picture up to date. A copy defers as well. A picture that is shown, but read only once a frame (the
    // page's), marks what it notes dirty, so that the frame knows what to fetch.
    enum class NotedDrawings { Unmarked, MarkedDirty };
    void Defer(NotedDrawings marking = NotedDrawings::Unmarked);
    bool Defers() const { return pending_ != nullptr; }
    // Forgets what was noted and not drawn yet, for a picture nobody reads again before it goes.
    void DropDeferred();
    // This picture drawn again over `base` (what it started as, at another scale): everything logged,
    // each copy's source passed through `source` (the sprites rendered at the new scale). The result
    // keeps a log of its own and this picture's pen and brush, and is dirty all over.
    Picture RedrawnOver(Picture base, const std::function<const Picture*(const Picture*)>& source) const;

private:
    void Plot(int x, int y, Rgb c); // one logical pixel, clipped, no dirty marking
    // Does again what `e` noted, reading from `source`.
    void Apply(const DrawingEntry& e, const Picture& source);
    // Notes a drawing on a deferring picture; false when it is to be done now.
    bool Note(DrawingEntry e);
    // The noted drawings done; those of every deferring picture that copies from `source` (before it
    // changes or goes).
    void Settle() const;
    static void SettleReadersOf(const Picture& source);
    // A deferring picture and a picture it noted a copy from know each other, so that each sees the
    // other's change or end; nothing outside the two keeps a list of them.
    void Link(const Picture& source);
    void Unlink(const Picture& source);
    void UnlinkSources();
    // The part `r` of a deferring picture as drawing it would show, drawn apart while the picture is still
    // all of its first colour beneath its notes, and none there draws text (which knows only where it
    // goes); nothing otherwise. The runner captures the display's backgrounds without drawing it all.
    std::optional<Picture> NotedPart(const Rect& r) const;
    // The pixels of a picture still all of its first colour made, before they are read or drawn on.
    void Materialize() const;
    void BeforeChange();

    int width_ = 0, height_ = 0, scale_ = 1;
    // Empty while the picture is all `uniform_` (a flat sprite nobody drew from yet).
    std::vector<Rgb> pixels_;
    bool isUniform_ = false;
    Rgb uniform_ = 0;
    Rgb penColor_ = 0, brushColor_ = 0xFFFFFF;
    int penWidth_ = 1;
    int penX_ = 0, penY_ = 0;
    Rect dirty_;
    std::vector<Rect> dirtyParts_;
    std::unique_ptr<DrawingLog> log_;
    std::unique_ptr<DrawingLog> pending_;         // drawings not done yet, while deferring
    bool marksNoted_ = false;                     // what it notes is marked dirty
    std::vector<const Picture*> sources_;         // what its noted copies read, while deferring
    mutable std::vector<const Picture*> readers_; // the deferring pictures whose noted copies read it
};

template <class F> void Picture::ForEachLinePixel(int x0, int y0, int x1, int y1, int width, F&& f) {
    const int adx = x1 > x0 ? x1 - x0 : x0 - x1, ady = y1 > y0 ? y1 - y0 : y0 - y1;
    // A second copy for a width-2 pen: right of a mostly vertical line, below any other.
    const int copies = width >= 2 ? 2 : 1;
    for (int copy = 0; copy < copies; ++copy) {
        const int ox = copy && ady > adx ? 1 : 0, oy = copy && ady <= adx ? 1 : 0;
        // Bresenham from the start toward the end, the end point left out.
        int x = x0, y = y0;
        const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
        int err = adx - ady;
        while (x != x1 || y != y1) {
            f(x + ox, y + oy);
            const int e2 = 2 * err;
            if (e2 >= -ady) {
                err -= ady;
                x += sx;
            }
            if (e2 <= adx) {
                err += adx;
                y += sy;
            }
        }
    }
}

} // namespace vp7
