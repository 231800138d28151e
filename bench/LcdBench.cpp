// SPDX-License-Identifier: GPL-3.0-or-later
// One write to each display field: background restore, segments and, on the upper line, the dot.
#include "StartedSimulator.h"
#include "sim/display/Lcd.h"

#include <benchmark/benchmark.h>

namespace {

void BM_LcdWrite(benchmark::State& state) {
    vp7::bench::StartedSimulator started("lcd");
    vp7::Simulator& sim = started.sim;
    static const char* const kTexts[] = {"-88.8 ", "88WWWWW", "88", "MWMWM"};
    const int field = static_cast<int>(state.range(0));
    for (auto _ : state) {
        sim.lcd.LCDWrite(kTexts[field], field);
        benchmark::DoNotOptimize(sim.image1.TakeDirty());
    }
}
BENCHMARK(BM_LcdWrite)->DenseRange(0, 3);

} // namespace
