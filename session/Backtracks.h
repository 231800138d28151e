// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Backtracks: the device's snapshot every ten seconds of a running session, packed, in a ring of
// bounded size, so that a rewind restores the nearest one before the moment chosen and replays only
// the few seconds after it. When the ring is full the older half is thinned out (every other one goes):
// a long session keeps backtracks all along it, closer together toward now.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vp7 {

class Backtracks {
public:
    static constexpr int64_t kEveryMs = 10'000;
    static constexpr std::size_t kMostBytes = 64u << 20;
    static constexpr std::size_t kMostCount = 2048;

    struct Backtrack {
        int64_t atMs = 0; // in the session's recording: milliseconds after its start line
        std::string snapshot;
    };

    // A snapshot taken `atMs` after the recording's start, after every one held so far.
    void Add(int64_t atMs, std::string_view snapshot);
    // The latest taken at or before `ms`, unpacked; none when there is none.
    std::optional<Backtrack> Before(int64_t ms) const;
    // Only those taken at or before `ms` stay (the session goes on from there).
    void KeepUpTo(int64_t ms);
    void Clear() {
        held_.clear();
        bytes_ = 0;
    }
    std::size_t Count() const { return held_.size(); }
    std::size_t Bytes() const { return bytes_; }

private:
    struct Held {
        int64_t atMs;
        uint64_t size; // unpacked
        std::string packed;
    };
    void ThinOut();
    std::vector<Held> held_;
    std::size_t bytes_ = 0; // packed
};

} // namespace vp7
