// SPDX-License-Identifier: GPL-3.0-or-later
// Long random operation: a seeded stream of everything a trainee does, on the virtual clock, with the
// device's invariants checked after every event.
#include "sim/diagnosis/Diagnostics.h"
#include "sim/operation/ConfigMenu.h"
#include "support/RandomTrainee.h"
#include "support/SimFixture.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <utility>

using namespace vp7;

namespace {

struct Soak : vp7::test::SimFixture {
    std::mt19937 rng;
    int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); }

    void CheckInvariants(int event) {
        const SimState& s = S();
        ASSERT_TRUE(s.Istwert >= 0 && s.Istwert <= 100) << event << " position " << s.Istwert; // NaN fails
        ASSERT_TRUE(s.CurrentFrame >= 0 && s.CurrentFrame <= 40) << event << " frame " << s.CurrentFrame;
        for (int i : {0, 1, 2, 3, 4, 30, 31})
            ASSERT_GE(sim->diagnostics.DiagTable[i].Value, 0) << event;
        const LcdReading lcd = ReadLcd(sim->image1);
        ASSERT_EQ((lcd.upper + lcd.lower).find('?'), std::string::npos)
            << event << " " << lcd.upper << lcd.lower;
    }

    // What a trainee does through the panel, and beyond it what a recording does not keep.
    void RandomAction() {
        const int which = Pick(13);
        if (which < vp7::test::RandomTrainee::kActions)
            return vp7::test::RandomTrainee{Person(), rng}.Act(which);
        FormState& f = sim->form;
        switch (which) {
        case 7: { // a parameter changed within its range, as the menu could
            ParamSet& p = sim->params;
            TParamField& field = p.ParamTable[Pick(p.ParamLastIndex + 1)];
            if (field.Kind == ParamKind::Action || field.Kind == ParamKind::Reset) break;
            field.Value = Has(field.Kind, ParamKind::Special) && Pick(4) == 0
                              ? field.Special
                              : field.Min + Pick(std::min(field.Max - field.Min, 2000) + 1);
            p.StoreFromTable();
            sim->ApplyParameters();
            break;
        }
        case 8: // a configuration saved or loaded
            host.QueueFile((dir / "Data" / "soak.vp7").string());
            sim->UserClick(Pick(2) ? f.Konfigurationspeichern1 : f.Konfigurationladen1);
            break;
        case 9: { // an initialization started from the menu and ended after a while
            if ((S().Mode != Mode::Automatic && S().Mode != Mode::Manual) || S().DiagnosticMode) break;
            Hold(kModeKey, 5000);
            if (S().Mode != Mode::Configuration) break;
            sim->configMenu.CurrentParam = Pick(2) ? sim->params.INITAIndex : sim->params.INITMIndex;
            Hold(kIncKey, 5000);
            clock.Advance(Pick(90000));
            Click(kModeKey);
            break;
        }
        default:
            clock.Advance(Pick(20000));
            break; // time passing
        }
    }
};

// A simulated hour per seed; bench/soak.sh sets VP7_SOAK_HOURS and VP7_SOAK_SEEDS for the long run.
int EnvOr(const char* name, int fallback) {
    const char* text = std::getenv(name);
    return text && std::atoi(text) > 0 ? std::atoi(text) : fallback;
}

} // namespace

TEST_F(Soak, RandomOperationKeepsTheDeviceConsistent) {
    const int hours = EnvOr("VP7_SOAK_HOURS", 1), seeds = EnvOr("VP7_SOAK_SEEDS", 3);
    int64_t events = 0;
    for (unsigned seed = 1; seed <= unsigned(seeds); ++seed) {
        Restart();
        rng.seed(seed);
        const int64_t end = clock.NowMs() + int64_t(hours) * 3600 * 1000;
        for (int event = 0; clock.NowMs() < end; ++event, ++events) {
            RandomAction();
            clock.Advance(Pick(2000));
            CheckInvariants(event);
            if (HasFatalFailure()) {
                ADD_FAILURE() << "seed " << seed << ", event " << event;
                return;
            }
        }
        // Everything let go: nothing keeps ticking that nobody can stop. A move under way ends within
        // a full stroke at the slower speed (long stroke-time parameters make that minutes).
        host.SetLeftButtonDown(false);
        clock.Advance(60000);
        const double slowest = std::min(S().StepUp, S().StepDown);
        const int64_t strokeMs = slowest > 0 ? static_cast<int64_t>((100 / slowest + 10) * 50) : 0;
        for (int64_t waited = 0; sim->Timer2.Enabled() && waited < strokeMs; waited += 1000)
            clock.Advance(1000);
        EXPECT_FALSE(sim->Timer2.Enabled() && !S().InitRunning && !S().InitStepRunning)
            << seed << " mode " << int(S().Mode) << " frames " << S().CurrentFrame << "/" << S().TargetFrame;
        EXPECT_FALSE(sim->AlarmBlinkTimer.Enabled() && sim->clock.NowMs() % 1000 > 800) << seed;
    }
    std::printf("soak: %d seeds x %d simulated hours, %lld events\n", seeds, hours,
                static_cast<long long>(events));
}

// A zoomed window renders its sprites anew and draws the device picture again from what was drawn on
// it. Amid random operation the picture drawn again is the same to the pixel, at its own scale and at
// another, the device goes on drawing at the new scale, and the log stays as small as what is in view.
TEST_F(Soak, ThePictureDrawnAgainAtAnotherScaleIsTheSame) {
    keepLog = true;
    Restart();
    rng.seed(11);
    const auto same = [](const Picture* p) { return p; };
    const auto logicalPixelsDiffer = [](const Picture& a, const Picture& b) {
        for (int y = 0; y < a.Height(); ++y)
            for (int x = 0; x < a.Width(); ++x)
                if (a.Pixel(x, y) != b.Pixel(x, y)) return testing::Message() << x << "," << y;
        return testing::Message();
    };
    std::size_t longest = 0;
    for (int event = 0; event < 4000; ++event) {
        RandomAction();
        clock.Advance(Pick(2000));
        longest = std::max(longest, sim->image1.LogSize());
        if (event % 400 != 399) continue;
        const Picture& now = sim->image1;
        const Picture again = now.RedrawnOver(sprites.Get(SpriteId::DevicePicture), same);
        ASSERT_TRUE(std::equal(now.Bits(), now.Bits() + now.DeviceWidth() * now.DeviceHeight(), again.Bits()))
            << "event " << event << " at " << logicalPixelsDiffer(now, again);
        const Picture before = now;
        // The simulator's sprites become those of the other scale; the old ones are gone after this.
        const SpriteSet previous = std::exchange(sprites, SpriteSet::Flat(before.Scale() == 1 ? 2 : 1));
        sim->SpritesRescaled(previous);
        ASSERT_NE(sim->image1.Scale(), before.Scale());
        ASSERT_EQ(logicalPixelsDiffer(before, sim->image1).GetString(), "") << "event " << event;
        CheckInvariants(event);
    }
    // Some 300 to 450 entries stay in view (the scales' ticks, each character of the runner's text);
    // the log is compacted when it has doubled.
    EXPECT_LT(longest, 1200u);
}
