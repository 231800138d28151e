// SPDX-License-Identifier: GPL-3.0-or-later
// The valve motion: the cost of one motion tick (position step, piston frame, marker, dirty rectangle)
// and how many full strokes the virtual clock runs per second of real time.
#include "StartedSimulator.h"

#include <benchmark/benchmark.h>

namespace {

void BM_MotionTick(benchmark::State& state) {
    vp7::bench::StartedSimulator b("motion");
    b.sim.UserCheck(b.sim.form.FrictionSelect, true); // 0.5 % a tick: long strokes, few set-ups
    bool up = true;
    for (auto _ : state) {
        if (!b.sim.Timer2.Enabled()) {
            state.PauseTiming();
            b.Enter(up ? "100" : "0");
            up = !up;
            state.ResumeTiming();
        }
        b.sim.Timer2Timer();
        benchmark::DoNotOptimize(b.sim.image1.TakeDirty());
    }
}
BENCHMARK(BM_MotionTick);

void BM_FullStrokesOnVirtualTime(benchmark::State& state) {
    vp7::bench::StartedSimulator b("motion");
    int64_t strokes = 0;
    bool up = true;
    for (auto _ : state) {
        b.Enter(up ? "100" : "0");
        up = !up;
        b.clock.Advance(2100); // 40 steps and the arrival
        ++strokes;
    }
    state.counters["strokes_per_s"] =
        benchmark::Counter(static_cast<double>(strokes), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_FullStrokesOnVirtualTime)->Unit(benchmark::kMicrosecond);

} // namespace
