// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/files/Settings.h"
#include "sim/diagnosis/Diagnostics.h"
#include "sim/diagnosis/Monitoring.h"
#include "sim/motion/Scales.h"
#include "sim/operation/ParamSet.h"
#include "support/FileFixture.h"

#include <fstream>
#include <optional>
#include <tuple>

using namespace vp7;
using vp7::test::WriteBytes;
namespace fs = std::filesystem;

using SettingsFile = vp7::test::FileFixture;

// Everything set is written under its key, and read back: the close after a restart writes the same file.
TEST_F(SettingsFile, EverythingSetSurvivesARestart) {
    FormState& f = sim->form;
    S().CheckScreen = 0;
    S().Language = Language::German;
    sim->UserClick(f.MausKreuz);
    f.HelpOthers.checked = f.HelpKeys.checked = true;
    sim->UserCheck(f.AlarmModulSelect, true);
    sim->UserCheck(f.StromModulSelect, true);
    Click({439, 382}); // gear to 90 degrees
    sim->UserCheck(f.SelfClosingSelect, true);
    sim->UserSelect(f.SetpointDimSelect, 1);
    sim->UserSelect(f.DrosselSelect, 2);
    Param("DEBA", 12);
    Param("/STRK", 123456);
    sim->monitoring.ZeroFaultLatched = 1;
    sim->diagnostics.DiagTable[0].Value = -1200;
    sim->diagnostics.DiagTable[34].Value = 77;
    sim->diagnostics.TempFahrenheit = 1;
    sim->scales.PV100 = "95,5";
    f.SetPointText.text = "4,0"; // 0 %: the restart does not move the valve, which would count
    f.parTab.left = 20;
    f.parTab.top = 30;
    f.parTab.height = 300;
    f.parTab.checked = true;
    Close();
    const std::string written = vp7::test::Bytes(Ini());
    // clang-format off
    for (const char* line : {"CheckScreen=0", "Sprache=Deutsch", "Mauszeiger=Kreuz", "HilfeSonstiges=1",
             "HilfeTasten=1", "Alarmmodul=1", "Strommodul=1", "Getriebe=90", "VenitlArt=S", "SollDim=mA",
             "Drossel=2", "DEBA=$000C", "/STRK=$1E240", "ZeroLimit=1", "1STRKS=$FFFFFB50", "35PRDN=$004D",
             "TempDim=F", "PV100=95,5", "SP=4,0", "Left=20", "Top=30", "Height=300", "Checked=1"})
        EXPECT_TRUE(IniHas(line)) << line;
    // clang-format on
    Restart();
    EXPECT_EQ(sim->form.cursor, CursorShape::Cross);
    Close();
    EXPECT_EQ(vp7::test::Bytes(Ini()), written);
}

// Values out of range or unreadable fall back; support values that do not rise are reported at start.
TEST_F(SettingsFile, ReadRulesAndFallbacks) {
    WriteBytes(
        Ini(),
        "[Config]\r\nSprache=deutsch\r\nCheckScreen=abc\r\nController=VP7A\r\nGetriebe=91\r\nDrossel=12\r\n"
        "[Parameter]\r\nDEBA=$7FFFFFFF\r\nYA=$0064\r\nSL3=garbage\r\nSL2=$0032\r\n"
        "[Skalen]\r\nOut100=55\r\nPV0=7\r\n[ParTab]\r\nLeft=-5\r\nTop=abc\r\nHeight=$64\r\n");
    Restart();
    EXPECT_EQ(S().Language, Language::English) << "only \"Deutsch\" exactly selects German";
    EXPECT_EQ(S().CheckScreen, 1);
    EXPECT_EQ(S().GearIs33, 1);
    EXPECT_EQ(sim->form.DrosselSelect.itemIndex, 0);
    EXPECT_EQ(ParamValue("DEBA"), -1200) << "out of range: the table's value stays";
    EXPECT_EQ(ParamValue("YA"), 100);
    EXPECT_EQ(ParamValue("SL3"), 150);
    EXPECT_EQ(ParamValue("SL2"), 50); // as SL1: no rise
    EXPECT_EQ(sim->scales.Out100, "100.0") << "the controller scale is fixed";
    EXPECT_EQ(sim->scales.PV0, "7");
    EXPECT_EQ(sim->form.parTab.left, 10);
    EXPECT_EQ(sim->form.parTab.top, 63);
    EXPECT_EQ(sim->form.parTab.height, 100);
    EXPECT_EQ(LastMessage(), "Error at the turning points: Yn+1 - Yn >= 0.2");
    EXPECT_EQ(S().ScalesValid, 0);
    Enter("60");
    EXPECT_FALSE(sim->Timer2.Enabled()) << "without a characteristic the valve stays";
}

TEST_F(SettingsFile, TheFieldbusVariantKeepsItsOwnTightClosingPair) {
    WriteBytes(Ini(), "[Config]\r\nController=VP7FF\r\n[Parameter]\r\nYCDO=$0014\r\nFYCUP=$03DE\r\n");
    Restart();
    EXPECT_EQ(S().ControllerType, 2);
    EXPECT_FALSE(sim->form.SetpointDimSelect.enabled) << "the fieldbus takes % only";
    EXPECT_EQ(ParamValue("YCDO"), -1200) << "a missing FYCDO switches the side off";
    EXPECT_EQ(ParamValue("YCUP"), 990);
    EXPECT_EQ(sim->params.store.YCLS, 1);
    sim->form.ControllerSelect.itemIndex = 0; // the next start in the analogue variant
    Close();
    Restart();
    EXPECT_EQ(S().ControllerType, 0);
    EXPECT_EQ(ParamValue("YCDO"), 20) << "the analogue variant's own value";
    sim->FormClose();
    EXPECT_TRUE(IniHas("YCDO=$0014"));
    EXPECT_TRUE(IniHas("FYCUP=$03DE")) << "both pairs are kept";
}

// The desktop's language counts only where there is no settings file yet; from then on the file decides,
// and the runner, which tells no desktop language, starts in English as ever.
TEST_F(SettingsFile, AFirstStartSpeaksTheDesktopsLanguage) {
    // The settings file (none: a first start) and the desktop's language; the language spoken.
    const std::tuple<const char*, std::optional<Language>, Language> cases[] = {
        {nullptr, Language::German, Language::German},
        {nullptr, Language::English, Language::English},
        {nullptr, std::nullopt, Language::English},
        {"[Config]\r\nSprache=English\r\n", Language::German, Language::English},
        {"[Config]\r\nCheckScreen=0\r\n", Language::German, Language::English},
        {"[Config]\r\nSprache=Deutsch\r\n", Language::English, Language::German},
    };
    for (const auto& [file, desktop, expected] : cases) {
        SCOPED_TRACE(file ? file : "no file");
        const bool german = expected == Language::German;
        fs::remove(Ini());
        if (file) WriteBytes(Ini(), file);
        sim = std::make_unique<Simulator>(clock, host, sprites, SimulatorOptions{dir.string()});
        if (desktop) sim->settings.SetFirstStartLanguage(*desktop);
        sim->FormCreate();
        clock.Advance(100);
        EXPECT_EQ(S().Language, expected);
        EXPECT_EQ(sim->form.FrictionSelect.caption, german ? "Reibung" : "Friction");
        Close();
        EXPECT_TRUE(IniHas(german ? "Sprache=Deutsch" : "Sprache=English"));
    }
}

// A program folder where "Config" cannot be made: without a per-user folder the start ends with the
// folder message and nothing holds the close; with one, the program runs from there. An installed
// program's folder belongs to the package manager: even where it can be written (as by root), the
// settings go to the per-user folder.
TEST_F(SettingsFile, AnUnwritableOrInstalledProgramFolderFallsBackToTheUserFolder) {
    fs::remove_all(dir / "Config");
    std::ofstream(dir / "Config") << "a file where the folder should be";
    Restart();
    EXPECT_EQ(LastMessage(), "Ordner \\Config konnte nicht angelegt werden");
    EXPECT_EQ(host.Messages().back().type, MsgType::Error);
    EXPECT_TRUE(host.CloseRequested());
    EXPECT_TRUE(sim->FormCloseQuery());
    EXPECT_EQ(S().ScalesValid, 0) << "the start-up ended";

    const fs::path user = dir / "user";
    for (const bool installed : {false, true}) {
        SCOPED_TRACE(installed ? "installed" : "unwritable");
        if (installed) {
            fs::remove_all(dir / "Config");
            fs::remove_all(user);
            std::ofstream(dir / kInstalledMark) << "installed";
        }
        const size_t messages = host.Messages().size();
        sim = std::make_unique<Simulator>(clock, host, sprites,
                                          SimulatorOptions{dir.string(), 0, user.string()});
        sim->FormCreate();
        EXPECT_EQ(host.Messages().size(), messages);
        EXPECT_EQ(sim->settings.BaseDir(), user.string());
        EXPECT_TRUE(fs::is_directory(user / "Data"));
        clock.Advance(100);
        sim->FormClose();
        EXPECT_TRUE(fs::exists(user / "Config" / "VP7.ini"));
        EXPECT_EQ(fs::exists(dir / "Config"), !installed) << "an installed folder stays untouched";
    }
}
