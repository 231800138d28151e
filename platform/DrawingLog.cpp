#include "platform/DrawingLog.h"

#include <algorithm>
#include <utility>

namespace vp7 {
namespace {

bool Covers(const Rect& outer, const Rect& inner) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

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
    std::vector<Rect> covering;
    std::vector<Entry> kept;
    for (auto it = entries_.rbegin(); it != entries_.rend(); ++it) {
        const Entry& e = *it;
        if (std::any_of(covering.begin(), covering.end(), [&](const Rect& c) { return Covers(c, e.bounds); }))
            continue;
        if (e.reads)
            std::erase_if(covering, [&](const Rect& c) { return !c.Intersected(e.sourceArea).Empty(); });
        if (e.opaque) covering.push_back(e.bounds);
        kept.push_back(std::move(*it));
    }
    std::reverse(kept.begin(), kept.end());
    entries_ = std::move(kept);
    compactAt_ = std::max(kFirstCompaction, 2 * entries_.size());
}

} // namespace vp7
