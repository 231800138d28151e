// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a link has received and the seat not yet taken: bounded, so that a queue nobody drains (the
// device busy for long) does not grow without end; what is dropped is told as a note when taken. Not
// locked: a link whose network runs on a thread of its own holds its lock around the calls.
#include "classroom/RoomLink.h"

#include <deque>
#include <vector>

namespace vp7 {

class IncomingQueue {
public:
    static constexpr std::size_t kMax = 256;
    // The largest message taken from the broker; a link notes larger ones and drops them unread.
    static constexpr std::size_t kMessageMaxBytes = 1u << 20;

    void Push(RoomLink::Incoming incoming);
    // Everything queued, oldest first, with a note of how many were dropped since the last call.
    std::vector<RoomLink::Incoming> Take();

private:
    std::deque<RoomLink::Incoming> queue_;
    std::size_t dropped_ = 0;
};

} // namespace vp7
