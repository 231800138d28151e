// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The classroom's load with seats in a browser: bench/web/room-load.mjs as a child process of the
// bench, in a process group of its own, which starts websockify in front of the bench's broker and
// one headless Chromium whose pages join the room. It speaks in lines on its standard input and
// output; every wait for it is bounded, and whatever it left is ended with the object.
#include <chrono>
#include <optional>
#include <string>

#include <sys/types.h>

namespace bench {

class BrowserSeats {
public:
    // The renderers' CPU while the seats sit idle, in % of a core: the seats' median and max, and a
    // bare page's in the same browser over the same time.
    struct IdleCpu {
        double seatMedian = 0, seatMax = 0, bare = 0;
    };

    // What the browser's seats need and this machine lacks (the page's build, Node.js, Chromium,
    // websockify), or nothing.
    static std::optional<std::string> Missing();

    // Seats `first` to `last` (their numbers) of `room`, on the broker at the loopback's `mqttPort`.
    BrowserSeats(int mqttPort, const std::string& room, int first, int last);
    // Ends the script as its input ends, or after a grace by its signals.
    ~BrowserSeats();
    BrowserSeats(const BrowserSeats&) = delete;
    BrowserSeats& operator=(const BrowserSeats&) = delete;

    // Whether every page joined the room within `limit`.
    bool Joined(std::chrono::seconds limit);
    // The pages' idle CPU is taken over the next `stretch` of the wall clock; Idle() reads it after.
    void MeasureIdle(std::chrono::seconds stretch);
    std::optional<IdleCpu> Idle(std::chrono::seconds limit);
    // The script's process group, for a bench interrupted.
    pid_t Group() const { return pid_; }

private:
    // The script's next line within `limit`; nothing when it ended or said nothing in time.
    std::optional<std::string> Line(std::chrono::steady_clock::duration limit);

    pid_t pid_ = -1;
    int input_ = -1, output_ = -1;
    std::string buffered_;
};

} // namespace bench
