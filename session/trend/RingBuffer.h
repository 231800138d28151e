// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A bounded buffer that keeps the newest entries: once full, each new entry replaces the oldest. The
// storage grows as entries come, so a short recording takes little memory.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace vp7 {

template <typename T> class RingBuffer {
public:
    explicit RingBuffer(std::size_t capacity) : capacity_(capacity > 0 ? capacity : 1) {}

    void Push(const T& item) {
        if (items_.size() < capacity_) {
            // Grown by doubling, but never past the capacity, so the bound holds for the memory too.
            if (items_.size() == items_.capacity())
                items_.reserve(std::min(capacity_, std::max<std::size_t>(64, 2 * items_.size())));
            items_.push_back(item);
        } else
            items_[static_cast<std::size_t>(pushed_ % capacity_)] = item;
        ++pushed_;
    }
    void Clear() {
        items_.clear();
        pushed_ = 0;
    }

    std::size_t Size() const { return items_.size(); }
    bool Empty() const { return items_.empty(); }
    std::size_t Capacity() const { return capacity_; }
    // Entries ever pushed; the oldest kept one has the number Pushed() - Size().
    uint64_t Pushed() const { return pushed_; }
    uint64_t FirstKept() const { return pushed_ - items_.size(); }
    // An empty buffer counts on from `n`: the next entry pushed has that number.
    void NumberFrom(uint64_t n) {
        if (items_.empty()) pushed_ = n;
    }

    // i = 0 is the oldest entry kept.
    const T& operator[](std::size_t i) const {
        return items_.size() < capacity_ ? items_[i]
                                         : items_[static_cast<std::size_t>((pushed_ + i) % capacity_)];
    }
    const T& Back() const { return (*this)[items_.size() - 1]; }
    // The entry with the number `n` (as counted by Pushed), which must still be kept.
    const T& Numbered(uint64_t n) const { return (*this)[static_cast<std::size_t>(n - FirstKept())]; }

private:
    std::size_t capacity_;
    std::vector<T> items_;
    uint64_t pushed_ = 0;
};

} // namespace vp7
