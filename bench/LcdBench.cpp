// One write to each display field: background restore, segments and, on the upper line, the dot.
#include "core/Simulator.h"
#include "platform/ScriptedHost.h"
#include "platform/SpriteSet.h"
#include "platform/VirtualClock.h"

#include <benchmark/benchmark.h>

#include <filesystem>

namespace {

void BM_LcdWrite(benchmark::State& state) {
    const auto dir = std::filesystem::temp_directory_path() / "vp7-bench-lcd";
    std::filesystem::create_directories(dir);
    vp7::VirtualClock clock;
    vp7::ScriptedHost host;
    const vp7::SpriteSet sprites = vp7::SpriteSet::Flat();
    vp7::Simulator sim(clock, host, sprites, {dir.string()});
    sim.FormCreate();
    clock.Advance(100);
    static const char* const kTexts[] = {"-88.8 ", "88WWWWW", "88", "MWMWM"};
    const int field = static_cast<int>(state.range(0));
    for (auto _ : state) {
        sim.lcd.LCDWrite(kTexts[field], field);
        benchmark::DoNotOptimize(sim.image1.TakeDirty());
    }
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_LcdWrite)->DenseRange(0, 3);

} // namespace
