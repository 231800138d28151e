// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/Backtracks.h"

#include "session/Packed.h"

#include <algorithm>

namespace vp7 {

void Backtracks::Add(int64_t atMs, std::string_view snapshot) {
    if (!held_.empty() && atMs < held_.back().atMs) return; // the ring runs forward only
    std::string packed = Pack(snapshot);
    if (packed.empty()) return;
    bytes_ += packed.size();
    held_.push_back({atMs, snapshot.size(), std::move(packed)});
    while (held_.size() > kMostCount || (bytes_ > kMostBytes && held_.size() > 1))
        ThinOut();
}

std::optional<Backtracks::Backtrack> Backtracks::Before(int64_t ms) const {
    const auto after = std::upper_bound(held_.begin(), held_.end(), ms,
                                        [](int64_t at, const Held& held) { return at < held.atMs; });
    if (after == held_.begin()) return std::nullopt;
    const Held& held = *std::prev(after);
    auto snapshot = Unpack(held.packed, held.size);
    if (!snapshot) return std::nullopt;
    return Backtrack{held.atMs, std::move(*snapshot)};
}

void Backtracks::KeepUpTo(int64_t ms) {
    const auto after = std::upper_bound(held_.begin(), held_.end(), ms,
                                        [](int64_t at, const Held& held) { return at < held.atMs; });
    for (auto it = after; it != held_.end(); ++it)
        bytes_ -= it->packed.size();
    held_.erase(after, held_.end());
}

// Every other one of the older half goes; the newest half stays as it was taken. Of two, the older goes.
void Backtracks::ThinOut() {
    if (held_.size() <= 2) {
        bytes_ -= held_.front().packed.size();
        held_.erase(held_.begin());
        return;
    }
    const std::size_t older = (held_.size() + 1) / 2;
    std::vector<Held> kept;
    kept.reserve(held_.size());
    for (std::size_t i = 0; i < held_.size(); ++i) {
        if (i < older && i % 2 == 1) {
            bytes_ -= held_[i].packed.size();
            continue;
        }
        kept.push_back(std::move(held_[i]));
    }
    held_ = std::move(kept);
}

} // namespace vp7
