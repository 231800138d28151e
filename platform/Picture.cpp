// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Picture.h"

#include "platform/DrawingLog.h"
#include "platform/StateVisitor.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <limits>
#include <utility>

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

namespace {

DrawingLog::Entry FillEntry(const Rect& r, Rgb color) {
    DrawingLog::Entry e;
    e.kind = DrawingLog::Entry::Kind::Fill;
    e.bounds = e.area = r;
    e.opaque = true;
    e.color = color;
    return e;
}

// An upright or level line fills the rectangle it touches; a slanting one leaves gaps in it.
DrawingLog::Entry LineEntry(const Rect& fromTo, const Rect& touched, Rgb color, int width) {
    DrawingLog::Entry e;
    e.kind = DrawingLog::Entry::Kind::Line;
    e.bounds = touched;
    e.opaque = fromTo.left == fromTo.right || fromTo.top == fromTo.bottom;
    e.color = color;
    e.penWidth = width;
    e.area = fromTo;
    return e;
}

// A copy within the picture depends on what lay where it reads, and hides nothing there; one from
// beyond the source's edges leaves part of its rectangle as it was.
DrawingLog::Entry CopyEntry(const Rect& dst, const Rect& clip, const Picture& src, const Rect& srcRect,
                            bool within) {
    DrawingLog::Entry e;
    e.kind = DrawingLog::Entry::Kind::Copy;
    e.bounds = clip;
    e.reads = within;
    e.opaque =
        srcRect.Intersected(src.Bounds()) == srcRect && !(within && !clip.Intersected(srcRect).Empty());
    e.area = dst;
    e.sourceArea = srcRect;
    e.source = &src;
    return e;
}

} // namespace

Picture::Picture() = default;
Picture::Picture(int width, int height, Rgb fill, int scale)
    : width_(std::max(0, width)), height_(std::max(0, height)), scale_(std::max(1, scale)), isUniform_(true),
      uniform_(fill) {}
// A copy of a deferring picture defers too, with what the original noted so far; a moved picture draws
// at once, what the original deferred done first.
Picture::Picture(const Picture& o)
    : width_(o.width_), height_(o.height_), scale_(o.scale_), pixels_(o.pixels_), isUniform_(o.isUniform_),
      uniform_(o.uniform_), penColor_(o.penColor_), brushColor_(o.brushColor_), penWidth_(o.penWidth_),
      penX_(o.penX_), penY_(o.penY_), dirty_(o.dirty_), dirtyParts_(o.dirtyParts_),
      log_(o.log_ ? std::make_unique<DrawingLog>(*o.log_) : nullptr),
      pending_(o.pending_ ? std::make_unique<DrawingLog>(*o.pending_) : nullptr), marksNoted_(o.marksNoted_) {
    if (pending_)
        for (const Picture* source : o.sources_)
            Link(*source);
}
Picture::Picture(Picture&& o) noexcept {
    *this = std::move(o);
}
Picture& Picture::operator=(const Picture& o) {
    if (this != &o) *this = Picture(o);
    return *this;
}
Picture& Picture::operator=(Picture&& o) noexcept {
    if (this == &o) return *this;
    BeforeChange();
    SettleReadersOf(o); // its pixels leave it
    o.Settle();
    if (pending_) { // what it noted is drawn over wholly
        pending_->Clear();
        UnlinkSources();
    }
    width_ = o.width_;
    height_ = o.height_;
    scale_ = o.scale_;
    pixels_ = std::move(o.pixels_);
    isUniform_ = std::exchange(o.isUniform_, false);
    uniform_ = o.uniform_;
    penColor_ = o.penColor_;
    brushColor_ = o.brushColor_;
    penWidth_ = o.penWidth_;
    penX_ = o.penX_;
    penY_ = o.penY_;
    dirty_ = o.dirty_;
    dirtyParts_ = std::move(o.dirtyParts_);
    log_ = std::move(o.log_);
    return *this;
}
Picture::~Picture() {
    SettleReadersOf(*this);
    UnlinkSources();
}

Rgb* Picture::Bits() {
    BeforeChange(); // the caller may write
    Settle();
    Materialize();
    return pixels_.data();
}

const Rgb* Picture::Bits() const {
    Settle();
    Materialize();
    return pixels_.data();
}

void Picture::Materialize() const {
    if (!isUniform_) return;
    auto* self = const_cast<Picture*>(this); // only its storage changes, not what it shows
    self->pixels_.assign(static_cast<size_t>(DeviceWidth()) * DeviceHeight(), uniform_);
    self->isUniform_ = false;
}

void Picture::Defer(NotedDrawings marking) {
    if (pending_ || log_) return;
    pending_ = std::make_unique<DrawingLog>();
    marksNoted_ = marking == NotedDrawings::MarkedDirty;
}

void Picture::DropDeferred() {
    if (!pending_) return;
    pending_->Clear();
    UnlinkSources();
}

bool Picture::Note(DrawingEntry e) {
    if (!pending_) return false;
    if (e.reads) { // a copy within the picture reads what lies there now
        Settle();
        return false;
    }
    if (e.source) Link(*e.source);
    if (marksNoted_) MarkDirty(e.bounds);
    pending_->Add(std::move(e));
    return true;
}

void Picture::Settle() const {
    if (!pending_ || pending_->Entries().empty()) return;
    auto* self = const_cast<Picture*>(this); // only ever set on a picture that is not const itself
    std::unique_ptr<DrawingLog> pending = std::move(self->pending_);
    const Rgb penColor = penColor_, brushColor = brushColor_;
    const int penWidth = penWidth_, penX = penX_, penY = penY_;
    for (const DrawingEntry& e : pending->Entries())
        self->Apply(e, e.source ? *e.source : *self);
    self->penColor_ = penColor;
    self->brushColor_ = brushColor;
    self->penWidth_ = penWidth;
    self->penX_ = penX;
    self->penY_ = penY;
    pending->Clear();
    self->pending_ = std::move(pending);
    self->UnlinkSources();
}

void Picture::SettleReadersOf(const Picture& source) {
    const auto reads = [&](const DrawingEntry& e) { return e.source == &source; };
    // Settling a reader unlinks it, which changes the list.
    for (const Picture* p : std::vector<const Picture*>(source.readers_)) {
        if (p->pending_ && std::any_of(p->pending_->Entries().begin(), p->pending_->Entries().end(), reads))
            p->Settle();
        else // what read it was compacted away
            const_cast<Picture*>(p)->Unlink(source);
    }
}

void Picture::Link(const Picture& source) {
    if (std::find(sources_.begin(), sources_.end(), &source) != sources_.end()) return;
    sources_.push_back(&source);
    source.readers_.push_back(this);
}

void Picture::Unlink(const Picture& source) {
    std::erase(sources_, &source);
    std::erase(source.readers_, this);
}

void Picture::UnlinkSources() {
    for (const Picture* source : std::exchange(sources_, {}))
        std::erase(source->readers_, this);
}

void Picture::BeforeChange() {
    SettleReadersOf(*this);
}

void Picture::Plot(int x, int y, Rgb c) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    Materialize();
    const int stride = DeviceWidth();
    Rgb* row = pixels_.data() + static_cast<size_t>(y) * scale_ * stride + static_cast<size_t>(x) * scale_;
    for (int dy = 0; dy < scale_; ++dy, row += stride)
        std::fill(row, row + scale_, c);
}

Rgb Picture::Pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
    Settle();
    if (isUniform_) return uniform_;
    return pixels_[static_cast<size_t>(y) * scale_ * DeviceWidth() + static_cast<size_t>(x) * scale_];
}

void Picture::SetPixel(int x, int y, Rgb c) {
    BeforeChange();
    const Rect r = Rect{x, y, x + 1, y + 1}.Intersected(Bounds());
    if (r.Empty() || Note(FillEntry(r, c))) return;
    Plot(x, y, c);
    MarkDirty(r);
    if (log_) log_->Add(FillEntry(r, c));
}

// A part that meets or lies next to another is merged with it; past a handful, the two whose union
// adds least are merged, so marking stays cheap however much is drawn.
void Picture::MarkDirty(const Rect& r) {
    constexpr size_t kMostParts = 8;
    Rect part = r.Intersected(Bounds());
    if (part.Empty()) return;
    dirty_ = dirty_.United(part);
    // Most drawings land inside a part marked just before (a display's segments on its cleared field).
    for (const Rect& p : dirtyParts_)
        if (p.left <= part.left && p.top <= part.top && p.right >= part.right && p.bottom >= part.bottom)
            return;
    const auto near = [](const Rect& a, const Rect& b) {
        return a.left <= b.right && b.left <= a.right && a.top <= b.bottom && b.top <= a.bottom;
    };
    for (auto it = dirtyParts_.begin(); it != dirtyParts_.end();) {
        if (near(*it, part)) {
            part = part.United(*it);
            dirtyParts_.erase(it);
            it = dirtyParts_.begin(); // the larger part may now meet one passed before
        } else {
            ++it;
        }
    }
    dirtyParts_.push_back(part);
    if (dirtyParts_.size() <= kMostParts) return;
    const auto area = [](const Rect& a) { return static_cast<long long>(a.Width()) * a.Height(); };
    size_t bestA = 0, bestB = 1;
    long long bestAdded = -1;
    for (size_t a = 0; a < dirtyParts_.size(); ++a)
        for (size_t b = a + 1; b < dirtyParts_.size(); ++b) {
            const long long added =
                area(dirtyParts_[a].United(dirtyParts_[b])) - area(dirtyParts_[a]) - area(dirtyParts_[b]);
            if (bestAdded < 0 || added < bestAdded) {
                bestAdded = added;
                bestA = a;
                bestB = b;
            }
        }
    dirtyParts_[bestA] = dirtyParts_[bestA].United(dirtyParts_[bestB]);
    dirtyParts_.erase(dirtyParts_.begin() + static_cast<std::ptrdiff_t>(bestB));
}

Rect Picture::TakeDirty() {
    Rect r = dirty_;
    dirty_ = {};
    dirtyParts_.clear();
    return r;
}

std::vector<Rect> Picture::TakeDirtyParts() {
    dirty_ = {};
    return std::exchange(dirtyParts_, {});
}

void Picture::MoveTo(int x, int y) {
    penX_ = x;
    penY_ = y;
}

void Picture::LineTo(int x, int y) {
    BeforeChange();
    const Rect fromTo{penX_, penY_, x, y};
    penX_ = x;
    penY_ = y;
    const bool now = !pending_;
    // A noted line only needs its rectangle: that of the first copy, widened by the second.
    const int passes = now ? penWidth_ : 1;
    constexpr int kFar = std::numeric_limits<int>::max();
    int left = kFar, top = kFar, right = -kFar, bottom = -kFar;
    const bool level = fromTo.top == y, plumb = fromTo.left == x;
    if (!now && level != plumb) {
        // A level or upright line noted for later: its pixels, the end left out, span a plain range.
        const auto span = [](int from, int to, int& low, int& high) {
            low = from < to ? from : to + 1;
            high = from < to ? to : from + 1;
        };
        if (level) {
            span(fromTo.left, x, left, right);
            top = y;
            bottom = y + 1;
        } else {
            span(fromTo.top, y, top, bottom);
            left = x;
            right = x + 1;
        }
    } else {
        ForEachLinePixel(fromTo.left, fromTo.top, x, y, passes, [&](int px, int py) {
            if (now) Plot(px, py, penColor_);
            left = std::min(left, px);
            top = std::min(top, py);
            right = std::max(right, px + 1);
            bottom = std::max(bottom, py + 1);
        });
    }
    if (right < left) return; // from a point to itself: nothing drawn
    if (passes < penWidth_ && penWidth_ >= 2) {
        const bool upright = std::abs(y - fromTo.top) > std::abs(x - fromTo.left);
        (upright ? right : bottom) += 1;
    }
    const Rect touched = Rect{left, top, right, bottom}.Intersected(Bounds());
    if (touched.Empty() || Note(LineEntry(fromTo, touched, penColor_, penWidth_))) return;
    MarkDirty(touched);
    if (log_) log_->Add(LineEntry(fromTo, touched, penColor_, penWidth_));
}

void Picture::FillRect(const Rect& r) {
    BeforeChange();
    const Rect c = r.Intersected(Bounds());
    if (c.Empty() || Note(FillEntry(c, brushColor_))) return;
    Materialize();
    const int stride = DeviceWidth();
    for (int y = c.top * scale_; y < c.bottom * scale_; ++y) {
        Rgb* row = pixels_.data() + static_cast<size_t>(y) * stride;
        std::fill(row + c.left * scale_, row + c.right * scale_, brushColor_);
    }
    MarkDirty(c);
    if (log_) log_->Add(FillEntry(c, brushColor_));
}

void Picture::Draw(int x, int y, const Picture& sprite) {
    CopyRect({x, y, x + sprite.Width(), y + sprite.Height()}, sprite, sprite.Bounds());
}

void Picture::CopyRect(const Rect& dst, const Picture& src, const Rect& srcRect) {
    if (dst.Empty() || srcRect.Empty()) return;
    const Rect clip = dst.Intersected(Bounds());
    if (clip.Empty()) return;
    BeforeChange();
    if (&src != this && !pending_ && !log_) { // nothing keeps the part as a source
        if (const std::optional<Picture> part = src.NotedPart(srcRect)) {
            CopyRect(dst, *part, part->Bounds());
            return;
        }
    }
    if (&src != this) src.Settle();
    if (Note(CopyEntry(dst, clip, src, srcRect, &src == this))) return;
    if (log_) log_->Add(CopyEntry(dst, clip, src, srcRect, &src == this));
    Materialize();
    src.Materialize();
    // Work in device pixels so sprites rendered at this picture's scale keep their detail; a source
    // of another scale or size is sampled nearest-neighbour, as a stretching blit does.
    const int dw = dst.Width() * scale_, dh = dst.Height() * scale_;
    const int sw = srcRect.Width() * src.scale_, sh = srcRect.Height() * src.scale_;
    const int sx0 = srcRect.left * src.scale_, sy0 = srcRect.top * src.scale_;
    const int srcStride = src.DeviceWidth(), stride = DeviceWidth();
    if (sw == dw && sh == dh) { // same size: plain row copies, the common case of every sprite
        const int left = std::max(clip.left * scale_, 0), right = clip.right * scale_;
        const int dx0 = sx0 - dst.left * scale_;
        // A sprite drawn again where it already is (a monitoring cycle shows every state anew) changes
        // no pixel: nothing to repaint.
        bool changed = false;
        for (int y = clip.top * scale_; y < clip.bottom * scale_; ++y) {
            const int sy = sy0 + y - dst.top * scale_;
            const int from = std::max(left, -dx0), to = std::min(right, srcStride - dx0);
            if (sy < 0 || sy >= src.DeviceHeight() || from >= to) continue;
            const auto source = src.pixels_.begin() + static_cast<std::ptrdiff_t>(sy) * srcStride + dx0;
            const auto target = pixels_.begin() + static_cast<std::ptrdiff_t>(y) * stride;
            if (!changed && std::equal(source + from, source + to, target + from)) continue;
            std::copy(source + from, source + to, target + from);
            changed = true;
        }
        if (changed) MarkDirty(clip);
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

void Picture::KeepLog() {
    if (!log_) log_ = std::make_unique<DrawingLog>();
}

std::size_t Picture::LogSize() const {
    return log_ ? log_->Entries().size() : 0;
}

void Picture::NoteDrawn(const Rect& covered, std::function<void(Picture&)> redraw) {
    if (!log_) return;
    DrawingLog::Entry e;
    e.kind = DrawingLog::Entry::Kind::Painted;
    e.bounds = covered.Intersected(Bounds());
    e.opaque = true;
    e.redraw = std::move(redraw);
    log_->Add(std::move(e));
}

void Picture::Paint(const Rect& covered, std::function<void(Picture&)> paint) {
    const Rect c = covered.Intersected(Bounds());
    if (c.Empty()) return;
    BeforeChange();
    DrawingEntry e;
    e.kind = DrawingEntry::Kind::Painted;
    e.bounds = c;
    e.opaque = true;
    e.redraw = paint;
    if (Note(std::move(e))) return;
    paint(*this);
    MarkDirty(c);
    NoteDrawn(c, std::move(paint));
}

void Picture::DoState(StateVisitor& v) {
    const int width = v.Value("width", width_), height = v.Value("height", height_);
    const int scale = v.Value("scale", scale_);
    const bool redrawn = !v.Saving() && v.PicturesRedrawn();
    if (!v.Saving() && !redrawn && (width != width_ || height != height_ || scale != scale_))
        throw StateError("a picture of another size or scale");
    const std::size_t count = static_cast<std::size_t>(DeviceWidth()) * DeviceHeight();
    if (redrawn) { // another device's pixels, of whatever size it declares: read past
        constexpr int kLargestSide = 1 << 15, kLargestScale = 16;
        if (width < 0 || height < 0 || width > kLargestSide || height > kLargestSide || scale < 1 ||
            scale > kLargestScale)
            throw StateError("a picture of an impossible size");
        v.Skip("pixels", static_cast<std::size_t>(width) * height * scale * scale * sizeof(Rgb));
    } else if (v.Saving()) {
        Bits(); // what a deferring picture noted, drawn
        // Their number follows the size above: a listing shows one, as it shows a sequence's item.
        v.Bytes("pixels", pixels_.data(), (v.Listing() ? 1 : count) * sizeof(Rgb));
    } else if (v.Loading()) {
        BeforeChange();
        if (pending_) { // what it noted is drawn over wholly
            pending_->Clear();
            UnlinkSources();
        }
        pixels_.resize(count);
        isUniform_ = false;
        v.Bytes("pixels", pixels_.data(), count * sizeof(Rgb));
        MarkDirty(Bounds());
        if (log_) { // drawn again at another scale: the restored pixels stretched
            log_->Clear();
            Picture restored(width_, height_, 0, scale_);
            std::copy(pixels_.begin(), pixels_.end(), restored.Bits());
            NoteDrawn(Bounds(), [restored](Picture& p) { p.StretchDraw(p.Bounds(), restored); });
        }
    } else if (v.GetMode() == StateVisitor::Mode::Check) { // the size is right: the pixels are any
        v.Skip("pixels", count * sizeof(Rgb));
    } else { // read into a copy: comparing changes nothing
        const Rgb* bits = static_cast<const Picture&>(*this).Bits();
        std::vector<Rgb> copy(bits, bits + count);
        v.Bytes("pixels", copy.data(), count * sizeof(Rgb));
    }
    v("penColor", penColor_);
    v("brushColor", brushColor_);
    v("penWidth", penWidth_);
    v("penX", penX_);
    v("penY", penY_);
    if (v.Loading()) SetPenWidth(penWidth_);
}

std::optional<Picture> Picture::NotedPart(const Rect& r) const {
    if (!pending_ || pending_->Entries().empty() || !isUniform_ || r.Intersected(Bounds()) != r)
        return std::nullopt;
    Picture part(r.Width(), r.Height(), uniform_, scale_);
    for (const DrawingEntry& e : pending_->Entries()) {
        if (e.bounds.Intersected(r).Empty()) continue;
        if (e.kind == DrawingEntry::Kind::Painted) return std::nullopt;
        DrawingEntry moved = e; // every other drawing is the same moved by whole pixels
        moved.area = {e.area.left - r.left, e.area.top - r.top, e.area.right - r.left, e.area.bottom - r.top};
        part.Apply(moved, e.source ? *e.source : part);
    }
    return part;
}

void Picture::Apply(const DrawingEntry& e, const Picture& source) {
    using Kind = DrawingEntry::Kind;
    switch (e.kind) {
    case Kind::Copy:
        CopyRect(e.area, source, e.sourceArea);
        break;
    case Kind::Fill:
        SetBrushColor(e.color);
        FillRect(e.area);
        break;
    case Kind::Line:
        SetPenColor(e.color);
        SetPenWidth(e.penWidth);
        MoveTo(e.area.left, e.area.top);
        LineTo(e.area.right, e.area.bottom);
        break;
    case Kind::Painted:
        e.redraw(*this);
        break;
    }
}

Picture Picture::RedrawnOver(Picture base,
                             const std::function<const Picture*(const Picture*)>& source) const {
    Picture out = std::move(base);
    out.KeepLog();
    if (log_) {
        for (const DrawingEntry& e : log_->Entries()) {
            // Only a copy reads a source; a fill, a line or a painting has none to look up.
            const Picture* from = e.reads || !e.source ? &out : source(e.source);
            out.Apply(e, *from);
        }
    }
    out.penColor_ = penColor_;
    out.brushColor_ = brushColor_;
    out.penWidth_ = penWidth_;
    out.penX_ = penX_;
    out.penY_ = penY_;
    out.TakeDirty();
    out.MarkDirty(out.Bounds());
    return out;
}

} // namespace vp7
