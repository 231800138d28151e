// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/StateVisitor.h"

#include "platform/Clock.h"

#include <algorithm>
#include <limits>

namespace vp7 {

void StateReader::Bytes(std::string_view name, void* data, std::size_t size) {
    if (size > in_.size()) throw StateError("cut short at " + std::string(name));
    if (GetMode() == Mode::Compare && !difference_ && std::memcmp(data, in_.data(), size) != 0)
        difference_ = std::string(CurrentPart()) + "." + std::string(name);
    std::memcpy(data, in_.data(), size);
    in_.remove_prefix(size);
}

void StateReader::Skip(std::string_view name, std::size_t size) {
    if (size > in_.size()) throw StateError("cut short at " + std::string(name));
    in_.remove_prefix(size);
}

void StateReader::Count(std::string_view name, std::size_t& count, std::size_t max) {
    uint32_t n = 0;
    if (in_.size() < sizeof n) throw StateError("cut short at " + std::string(name));
    std::memcpy(&n, in_.data(), sizeof n);
    in_.remove_prefix(sizeof n);
    // Every item takes at least a byte: a length beyond what is left is a damaged one.
    if (n > max || n > in_.size()) throw StateError(std::string(name) + ": a size beyond its bound");
    if (GetMode() == Mode::Compare && !difference_ && n != count)
        difference_ = std::string(CurrentPart()) + "." + std::string(name) + " (size)";
    count = n;
}

void VisitTimers(StateVisitor& v, Clock& clock, std::span<Timer* const> timers) {
    struct Saved {
        bool enabled = false;
        int32_t interval = 0;
        int64_t phase = 0;  // ms from now to the next tick
        uint32_t rank = 0;  // among the armed ones, by their next tick and their order
        bool armed = false; // the clock told when it ticks
    };
    std::vector<Saved> saved(timers.size());
    std::vector<Clock::Due> due(timers.size());
    for (std::size_t i = 0; i < timers.size(); ++i) {
        const Timer& t = *timers[i];
        Saved& s = saved[i];
        s.enabled = t.Enabled();
        s.interval = t.Interval();
        if (const auto next = clock.NextTick(t)) {
            due[i] = *next;
            s.armed = true;
            // On a busy PC the real clock passes a tick before its handler ran: it is due now, not
            // in the past, or the state saved would be one no reader takes back.
            s.phase = std::max<int64_t>(next->atMs - clock.NowMs(), 0);
        }
    }
    for (std::size_t i = 0; i < timers.size(); ++i)
        for (std::size_t j = 0; j < timers.size(); ++j)
            if (saved[i].armed && saved[j].armed &&
                (due[j].atMs < due[i].atMs || (due[j].atMs == due[i].atMs && due[j].order < due[i].order)))
                ++saved[i].rank;
    for (std::size_t i = 0; i < timers.size(); ++i) {
        Saved& s = saved[i];
        v.Part(timers[i]->Name());
        s.enabled = v.Value("enabled", s.enabled);
        s.interval = v.Value("interval", s.interval);
        s.armed = v.Value("armed", s.armed);
        s.phase = v.Value("phase", s.phase);
        s.rank = v.Value("rank", s.rank);
        if (!v.Saving() && (s.interval < 0 || s.phase > std::max(s.interval, 0) || s.rank >= timers.size()))
            throw StateError("a timer's period out of range");
        // States saved before overdue ticks were taken as due now hold them as past: due now.
        s.phase = std::max<int64_t>(s.phase, 0);
    }
    if (!v.Loading()) return;
    // Armed in their order, so that those due at the same moment tick in it again.
    for (uint32_t rank = 0; rank < timers.size(); ++rank)
        for (std::size_t i = 0; i < timers.size(); ++i)
            if (saved[i].armed && saved[i].rank == rank)
                timers[i]->Restore(saved[i].enabled, saved[i].interval, clock.NowMs() + saved[i].phase);
    for (std::size_t i = 0; i < timers.size(); ++i)
        if (!saved[i].armed) timers[i]->Restore(saved[i].enabled, saved[i].interval, clock.NowMs());
}

} // namespace vp7
