// SPDX-License-Identifier: GPL-3.0-or-later
// Simulated-time speed of the bare timer machinery: the six main-window timers running for an hour.
#include "platform/VirtualClock.h"

#include <benchmark/benchmark.h>

#include <array>

namespace {

void BM_SixTimersOneHour(benchmark::State& state) {
    for (auto _ : state) {
        vp7::VirtualClock clock;
        vp7::Timer t1(clock, "Timer1", 100), t2(clock, "Timer2", 50), diag(clock, "DiagnosticTimer", 1000),
            key(clock, "KeyTimer", 100), blink(clock, "AlarmBlinkTimer", 700),
            ramp(clock, "SetpointRampTimer", 1000);
        uint64_t ticks = 0;
        for (vp7::Timer* t : {&t1, &t2, &diag, &key, &blink, &ramp}) {
            t->SetHandler([&ticks] { ++ticks; });
            t->SetEnabled(true);
        }
        // The motion timer re-arms itself each step, as the valve motion does.
        t2.SetHandler([&] {
            t2.SetEnabled(false);
            ++ticks;
            t2.SetEnabled(true);
        });
        clock.Advance(3600 * 1000);
        benchmark::DoNotOptimize(ticks);
        state.counters["ticks"] = static_cast<double>(ticks);
    }
}
BENCHMARK(BM_SixTimersOneHour)->Unit(benchmark::kMillisecond);

} // namespace
