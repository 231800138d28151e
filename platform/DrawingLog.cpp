// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/DrawingLog.h"

#include <algorithm>
#include <utility>

namespace vp7 {
namespace {

bool Covers(const Rect& outer, const Rect& inner) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

// Where the opaque entries kept so far lie: each in every cell of a coarse grid it overlaps, so that
// whether one of them covers a rectangle is asked of the few in the cell of its top left corner.
class CoveringGrid {
public:
    // `cells` is storage kept from one compaction to the next, so that a compaction allocates nothing.
    CoveringGrid(const std::vector<DrawingEntry>& entries, std::vector<std::vector<Rect>>& cells)
        : cells_(cells) {
        for (const DrawingEntry& e : entries) {
            columns_ = std::max(columns_, (e.bounds.right + kCell - 1) / kCell);
            rows_ = std::max(rows_, (e.bounds.bottom + kCell - 1) / kCell);
        }
        cells_.resize(std::max(cells_.size(), static_cast<std::size_t>(columns_) * rows_));
        for (std::vector<Rect>& cell : cells_)
            cell.clear();
    }
    bool Covers(const Rect& r) const {
        // Latest first: the background a display or a scale was drawn on went in after what lies on it.
        const std::vector<Rect>* cell = Cell(r.left / kCell, r.top / kCell);
        return cell &&
               std::any_of(cell->rbegin(), cell->rend(), [&](const Rect& c) { return vp7::Covers(c, r); });
    }
    void Add(const Rect& r) {
        ForCells(r, [&](std::vector<Rect>& cell) { cell.push_back(r); });
    }
    // A copy within the picture read `r`: what lay there before it is needed again.
    void Uncover(const Rect& r) {
        // Every cell: a covering rectangle stops covering in all the cells it was registered in.
        for (std::vector<Rect>& cell : cells_)
            std::erase_if(cell, [&](const Rect& c) { return !c.Intersected(r).Empty(); });
    }

private:
    static constexpr int kCell = 64;
    const std::vector<Rect>* Cell(int column, int row) const {
        if (column < 0 || row < 0 || column >= columns_ || row >= rows_) return nullptr;
        return &cells_[static_cast<std::size_t>(row) * columns_ + column];
    }
    template <class F> void ForCells(const Rect& r, F&& f) {
        for (int row = std::max(0, r.top / kCell); row < std::min(rows_, (r.bottom + kCell - 1) / kCell);
             ++row)
            for (int column = std::max(0, r.left / kCell);
                 column < std::min(columns_, (r.right + kCell - 1) / kCell); ++column)
                f(cells_[static_cast<std::size_t>(row) * columns_ + column]);
    }
    int columns_ = 0, rows_ = 0;
    std::vector<std::vector<Rect>>& cells_;
};

} // namespace

void DrawingLog::Add(Entry entry) {
    if (entry.bounds.Empty()) return;
    entries_.push_back(std::move(entry));
    if (entries_.size() >= compactAt_) Compact();
}

// From the newest entry back: one hidden under an opaque entry kept after it goes. An entry that read
// the picture needs what lay where it read, so what came after it hides nothing there. Compacting again
// only once the log has doubled keeps the cost per drawing constant.
void DrawingLog::Compact() {
    CoveringGrid covering(entries_, cells_);
    keep_.assign(entries_.size(), false);
    std::vector<bool>& keep = keep_;
    for (std::size_t i = entries_.size(); i-- > 0;) {
        const Entry& e = entries_[i];
        if (covering.Covers(e.bounds)) continue;
        if (e.reads) covering.Uncover(e.sourceArea);
        if (e.opaque) covering.Add(e.bounds);
        keep[i] = true;
    }
    std::size_t kept = 0;
    for (std::size_t i = 0; i < entries_.size(); ++i)
        if (keep[i]) entries_[kept++] = std::move(entries_[i]);
    entries_.resize(kept);
    compactAt_ = std::max(kFirstCompaction, 2 * entries_.size());
}

} // namespace vp7
