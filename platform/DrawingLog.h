// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What was drawn on a picture, kept so that the picture can be drawn again at another scale: a zoomed
// window renders its sprites anew and replays the log over the new device picture. A drawing that a
// later opaque one covers wholly is dropped, so the log holds about one entry per thing in view however
// long the device runs.
#include "platform/Picture.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace vp7 {

// One drawing as it was done.
struct DrawingEntry {
    enum class Kind : uint8_t { Copy, Fill, Line, Painted };
    Kind kind = Kind::Fill;
    Rect bounds;         // every pixel it may have changed
    bool opaque = false; // it set every pixel of `bounds`, whatever lay beneath
    bool reads = false;  // it read the picture itself (a copy within it)
    Rgb color = 0;       // Fill, Line
    int penWidth = 1;    // Line
    Rect area;       // Copy: the destination; Fill: the rectangle; Line: from (left, top) to (right, bottom)
    Rect sourceArea; // Copy
    const Picture* source = nullptr;      // Copy
    std::function<void(Picture&)> redraw; // Painted: drawing done straight into the pixels
};

class DrawingLog {
public:
    using Entry = DrawingEntry;

    void Add(Entry entry);
    const std::vector<Entry>& Entries() const { return entries_; }
    void Clear() {
        entries_.clear();
        compactAt_ = kFirstCompaction;
    }

private:
    // Drops every entry that a later opaque entry covers wholly.
    void Compact();
    static constexpr std::size_t kFirstCompaction = 256;
    std::vector<Entry> entries_;
    std::size_t compactAt_ = kFirstCompaction;
    // A compaction's working storage, kept for the next.
    std::vector<std::vector<Rect>> cells_;
    std::vector<bool> keep_;
};

} // namespace vp7
