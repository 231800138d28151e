// SPDX-License-Identifier: GPL-3.0-or-later
// The trend's recording: one motion-tick sample, with the buffer still growing and once it wraps.
#include "StartedSimulator.h"
#include "session/trend/TrendRecorder.h"

#include <benchmark/benchmark.h>

namespace {

void BM_TrendSample(benchmark::State& state) {
    vp7::bench::StartedSimulator started("trend");
    // range(0): the buffer's capacity; a small one wraps at once, the full one grows.
    vp7::TrendRecorder trend(started.sim, static_cast<std::size_t>(state.range(0)));
    for (auto _ : state)
        trend.OnSample(vp7::SampleCause::MotionTick);
    benchmark::DoNotOptimize(trend.Samples().Back());
}
BENCHMARK(BM_TrendSample)->Arg(1024)->Arg(vp7::TrendRecorder::kSampleCapacity)->Unit(benchmark::kNanosecond);

} // namespace
