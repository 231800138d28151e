// SPDX-License-Identifier: GPL-3.0-or-later
#include "classroom/IncomingQueue.h"

#include <iterator>
#include <string>

namespace vp7 {

void IncomingQueue::Push(RoomLink::Incoming incoming) {
    if (queue_.size() >= kMax) {
        ++dropped_;
        return;
    }
    queue_.push_back(std::move(incoming));
}

std::vector<RoomLink::Incoming> IncomingQueue::Take() {
    std::vector<RoomLink::Incoming> taken(std::make_move_iterator(queue_.begin()),
                                          std::make_move_iterator(queue_.end()));
    queue_.clear();
    if (dropped_ > 0) {
        taken.push_back({RoomLink::Incoming::Kind::Note,
                         {},
                         std::to_string(dropped_) + " messages dropped: too many at once"});
        dropped_ = 0;
    }
    return taken;
}

} // namespace vp7
