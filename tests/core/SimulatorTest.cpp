#include "core/Simulator.h"
#include "platform/ScriptedHost.h"
#include "platform/SpriteSet.h"
#include "platform/VirtualClock.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace vp7;
namespace fs = std::filesystem;

namespace {
struct Fixture : ::testing::Test {
    fs::path dir = fs::temp_directory_path() / ("vp7-core-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                                "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    VirtualClock clock;
    ScriptedHost host;
    SpriteSet sprites = SpriteSet::Flat();
    void SetUp() override { fs::create_directories(dir); }
    void TearDown() override { fs::remove_all(dir); }
};
using SimulatorStart = Fixture;
} // namespace

TEST_F(SimulatorStart, CreationArmsTheStartUpTickWhichRunsOnce) {
    Simulator sim(clock, host, sprites, {dir.string()});
    sim.FormCreate();
    EXPECT_TRUE(sim.Timer1.Enabled());
    EXPECT_EQ(sim.state.Updating, 0);
    EXPECT_FALSE(sim.FormCloseQuery()) << "closing must wait for the start-up";
    EXPECT_TRUE(fs::is_directory(dir / "Config"));
    EXPECT_TRUE(fs::is_directory(dir / "Data"));

    clock.Advance(99);
    EXPECT_FALSE(sim.DiagnosticTimer.Enabled());
    clock.Advance(1);
    EXPECT_FALSE(sim.Timer1.Enabled());
    EXPECT_TRUE(sim.DiagnosticTimer.Enabled());
    EXPECT_TRUE(sim.FormCloseQuery());
    EXPECT_FALSE(sim.Timer2.Enabled());
    EXPECT_EQ(sim.Timer2.Interval(), 50);
    EXPECT_EQ(sim.DiagnosticTimer.Interval(), 1000);

    // The start values a trainer sees after a plain start.
    EXPECT_EQ(sim.state.Istwert, 0.0);
    EXPECT_EQ(sim.state.CurrentFrame, 0);
    EXPECT_EQ(sim.state.Mode, Mode::Automatic);
    EXPECT_EQ(sim.state.LastDirection, 1);
    EXPECT_EQ(sim.state.Language, Language::English);
    EXPECT_EQ(sim.state.ScreenWidth, 1280);
    for (int i = 0; i < KolbenFrameCount; ++i) EXPECT_EQ(sim.state.KolbenFrames[i], &sprites.Kolben(i));
    EXPECT_TRUE(host.Messages().empty());
}

TEST_F(SimulatorStart, DisplayBackgroundsAreCapturedFromTheUnlitPicture) {
    Simulator sim(clock, host, sprites, {dir.string()});
    sim.FormCreate();
    EXPECT_NE(sim.lcd.UpperLineBackground.Pixel(0, 0), LcdUnlitColor);
    clock.Advance(100);
    for (const Picture* bg : {&sim.lcd.UpperLineBackground, &sim.lcd.LowerLineBackground,
                              &sim.lcd.LowerDigitsBackground, &sim.lcd.LowerTextBackground}) {
        EXPECT_EQ(bg->Pixel(0, 0), LcdUnlitColor);
        EXPECT_EQ(bg->Pixel(bg->Width() - 1, bg->Height() - 1), LcdUnlitColor);
    }
}

TEST_F(SimulatorStart, AFolderThatCannotBeMadeEndsTheStartWithItsMessage) {
    std::ofstream(dir / "Config") << "a file where the folder should be";
    Simulator sim(clock, host, sprites, {dir.string()});
    sim.FormCreate();
    ASSERT_EQ(host.Messages().size(), 1u);
    EXPECT_EQ(host.Messages()[0].text, "Ordner \\Config konnte nicht angelegt werden");
    EXPECT_EQ(host.Messages()[0].type, MsgType::Error);
    EXPECT_TRUE(host.CloseRequested());
    EXPECT_TRUE(sim.FormCloseQuery());
    EXPECT_FALSE(sim.Timer1.Enabled());
}

TEST_F(SimulatorStart, SmallScreensMaximizeTheWindow) {
    for (auto [width, maximized] : {std::pair{1024, true}, std::pair{1025, false}, std::pair{800, true}}) {
        host.SetScreen({width, 768, 24});
        Simulator sim(clock, host, sprites, {dir.string()});
        sim.FormCreate();
        EXPECT_EQ(sim.form.maximized, maximized) << width;
    }
}

TEST_F(SimulatorStart, UserActionsUpdateTheFormAndRunTheClickHandler) {
    Simulator sim(clock, host, sprites, {dir.string()});
    sim.FormCreate();
    std::vector<std::string> clicks;
    sim.OnClick("FrictionSelect", [&] { clicks.push_back("friction " + std::to_string(sim.form.FrictionSelect.checked)); });
    sim.OnClick("SelfOpeningSelect", [&] { clicks.push_back("opening"); });
    sim.OnClick("DrosselSelect", [&] { clicks.push_back("drossel " + std::to_string(sim.form.DrosselSelect.itemIndex)); });

    sim.UserCheck(sim.form.FrictionSelect, true);
    sim.UserCheck(sim.form.FrictionSelect, true); // no change, no click
    sim.UserCheck(sim.form.SelfOpeningSelect, true);
    sim.UserSelect(sim.form.DrosselSelect, 3);
    sim.UserSelect(sim.form.DrosselSelect, 7); // no such item
    EXPECT_EQ(clicks, (std::vector<std::string>{"friction 1", "opening", "drossel 3"}));
    EXPECT_FALSE(sim.form.DoubleActingSelect.checked) << "radio buttons of a group exclude each other";
    EXPECT_FALSE(sim.form.SelfClosingSelect.checked);
}
