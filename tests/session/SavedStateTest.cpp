// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/SavedState.h"
#include "session/SessionRecorder.h"
#include "session/exercise/Exercise.h"
#include "session/script/Runner.h"

#include "session/script/RecordingLines.h"
#include "support/Bytes.h"
#include "support/DeviceState.h"
#include "support/FolderFixture.h"
#include "support/RunScript.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace vp7 {
namespace {

namespace fs = std::filesystem;

// A trainer's starting point: the valve driven to 37 % and held there in manual mode, friction on,
// two keys latched, the pointer resting on the picture.
constexpr const char* kSession = "set SetPointText 37\n"
                                 "click Enter\n"
                                 "wait 3000\n"
                                 "press mode\n"
                                 "wait 200\n"
                                 "release mode\n"
                                 "wait 500\n"
                                 "set FrictionSelect 1\n"
                                 "press inc\n"
                                 "wait 100\n"
                                 "release inc\n"
                                 "wait 900\n"
                                 "press dec right\n"
                                 "release dec right\n"
                                 "move 200 120\n"
                                 "wait 1234\n";

using test::Bytes;
using test::WriteBytes;

// The scripts here name their files from the test's folder.
test::ScriptResult RunScript(const fs::path& dir, const std::string& script) {
    return test::RunScript(script, dir, dir);
}

// Runs kSession on `live` and saves it as dir/state.vp7s, as the window saves one.
void SaveState(Runner& live, const fs::path& dir) {
    live.Execute("start");
    SessionRecorder recorder(*live.Sim(), (dir / "session.vp7s").string(), "vp7sim test");
    for (const std::string& line : Runner::SplitLines(kSession))
        live.Execute(line);
    recorder.WriteUpToNow(); // the pointer's last move was held back: it is written now
    WriteBytes(dir / "state.vp7s", MakeSavedState(Bytes(dir / "session.vp7s"), 0, ProgramVersion()));
}

using SavedStateTest = test::FolderFixture;

// Rewinding replays the session up to the moment and goes on from there: the same as a fresh run of
// the session's lines up to that moment, whatever came after it.
TEST_F(SavedStateTest, RewindIsAFreshReplayOfTheShortenedSession) {
    const std::string after = "press mode\nwait 300\nrelease mode\nwait 4000\nprint lcd\nprint Istwert\n"
                              "print Mode\nprint FrictionSelect\nprint diag 3\nprint trend\n";
    const test::ScriptResult rewound =
        RunScript(dir, std::string("start\n") + kSession + "rewind 3100\n" + after);
    const std::string cut = CutRecording(std::string("start\n") + kSession, 3100);
    EXPECT_EQ(cut, "start\nset SetPointText 37\nclick Enter\nwait 3000\npress mode\nwait 100\n");
    const test::ScriptResult fresh = RunScript(dir, cut + after);
    EXPECT_EQ(rewound.status, 0) << rewound.err;
    EXPECT_EQ(rewound.out, fresh.out);
    // Going back again from the rewound session, and not beyond now.
    EXPECT_EQ(RunScript(dir, "start\nwait 100\nrewind 0\nrewind 0\nprint Istwert\n").out, "Istwert 0.0000\n");
    EXPECT_EQ(RunScript(dir, "start\nwait 100\nrewind 101\n").err,
              "error 3: cannot rewind to a moment still to come\n");
}

// A state that does not fit is refused with a clear reason, and nothing changes: its own settings
// never reach the settings file, no device starts.
TEST_F(SavedStateTest, StatesThatDoNotFitAreRefusedAndChangeNothing) {
    struct Case {
        std::string state, error;
    };
    const std::string version(ProgramVersion()), head = "# state VP7A 0.1\nini Config Sprache 0\n";
    // The lines the runner reads through its command table are refused as a recording's are
    // (PlayScriptTest): one such line shows the state's name and line number before the reason.
    const Case cases[] = {
        {"# state VP7PA 0.1\nini Config Sprache 0\nstart\n",
         ": The state was saved on a VP7PA; this device is a VP7A."},
        {"# state VP7A 99.0\nini Config Sprache 0\nstart\n",
         ": The state comes from the newer program version 99.0 (this program: " + version + ")."},
        {head + "start\nfrobnicate\n", " line 4: unknown command 'frobnicate'"},
        {head + "start\nrewind 0\n", " line 4: 'rewind' cannot stand in a saved state"},
        {"ini Config Sprache 0\nstart\n", ": The file is no saved state (the line '# state' is missing)."},
        {head, " line 2: no start"},
        // The variant the state runs on is the one its settings lines select, and its line must say so.
        {"# state VP7A 0.1\nini Config Controller VP7PA\nini Config Sprache 0\nstart\n",
         ": The line '# state' names a VP7A, but the state's settings select a VP7PA."},
        {"# state VP7A 0.1\nini config CONTROLLER  VP7PA \nstart\n",
         ": The line '# state' names a VP7A, but the state's settings select a VP7PA."},
        {"# state\nini Config Sprache 0\nstart\n",
         ": The line '# state' is damaged: it names no device variant."},
        {"# state VP7X 0.1\nstart\n",
         ": The line '# state' is damaged: the device variant 'VP7X' is unknown."},
        {"# state VP7A 99999999999999999999999.0\nstart\n",
         ": The line '# state' is damaged: the program version '99999999999999999999999.0' is no version "
         "number."},
        {"# state VP7A 0.x\nstart\n",
         ": The line '# state' is damaged: the program version '0.x' is no version number."},
        {"# state VP7A -1.0\nstart\n",
         ": The line '# state' is damaged: the program version '-1.0' is no version number."},
        // A damaged line is named by its number, and what it quotes is cut to a readable length.
        {"# state VP7A 0.1\nstart\n" + std::string(1000, 'y') + "\n",
         " line 3: unknown command '" + std::string(80, 'y') + "…'"},
        {"# state VP7A 0.1\nstart\n\n\n# " + std::string(64 << 10, 'z') + "\n",
         " line 5: The line is longer than 65536 characters."},
    };
    for (const Case& c : cases) {
        WriteBytes(dir / "state.vp7s", c.state);
        const test::ScriptResult run = RunScript(
            dir, "ini Config Sprache 1\nini Config Controller VP7A\nstate state.vp7s\nprint Istwert\n");
        EXPECT_EQ(run.status, 1) << c.state;
        EXPECT_EQ(run.err, "error 3: state.vp7s" + c.error + '\n') << c.state;
        EXPECT_EQ(run.out, "") << c.state;
        EXPECT_NE(Bytes(dir / "Config" / "VP7.ini").find("Sprache=1"), std::string::npos) << c.state;
    }
    WriteBytes(dir / "state.vp7s", "# vp7sim test\n# state VP7A 0.1\nscreen 1280 1024 24\nstart\nwait 10\n");
    EXPECT_EQ(RunScript(dir, "state state.vp7s\nprint Istwert\n").out, "Istwert 0.0000\n");
    // A bare state line takes the variant from the state's settings.
    WriteBytes(dir / "state.vp7s",
               "# state\nini Config Controller VP7A\nstart\n" + std::string(1 << 20, '\n') + "wait 10\n");
    EXPECT_EQ(RunScript(dir, "state state.vp7s\nprint Istwert\n").out, "Istwert 0.0000\n");
}

// A settings file there that cannot be read is the user's all the same: neither a rewind nor a state
// loaded nor an `ini` line removes or replaces it; each is refused and changes nothing.
TEST_F(SavedStateTest, ASettingsFileThatCannotBeReadIsNeverReplaced) {
    const fs::path ini = dir / "Config" / "VP7.ini";
    const std::string refusal = "The settings file " + ini.string() +
                                " cannot be read. It is kept as it is, and nothing is replayed.";
    WriteBytes(dir / "state.vp7s", "# state VP7A 0.1\nini Config Sprache 1\nstart\n");
    const struct {
        const char* script;
        std::string error;
    } scripts[] = {
        {"start\nwait 100\nrewind 0\n", "error 3: " + refusal},
        {"state state.vp7s\n", "error 1: " + refusal},
        {"ini Config Sprache 1\n", "error 1: cannot read " + ini.string()},
    };
    const struct {
        const char* what;
        void (*make)(const fs::path& ini);
    } files[] = {
        {"too large",
         [](const fs::path& p) {
             WriteBytes(p, "[Config]\r\nSprache=0\r\n");
             fs::resize_file(p, std::uintmax_t{65} << 20); // sparse: no disk is used
         }},
        {"a folder", [](const fs::path& p) { fs::create_directory(p); }},
    };
    for (const auto& file : files)
        for (const auto& s : scripts) {
            fs::remove_all(ini);
            fs::create_directories(ini.parent_path());
            file.make(ini);
            const fs::file_status before = fs::status(ini);
            const std::uintmax_t size = fs::is_regular_file(before) ? fs::file_size(ini) : 0;
            const test::ScriptResult run = RunScript(dir, s.script);
            EXPECT_EQ(run.status, 1) << file.what << ": " << s.script;
            EXPECT_EQ(run.err, s.error + '\n') << file.what << ": " << s.script;
            EXPECT_EQ(fs::status(ini).type(), before.type()) << file.what << ": " << s.script;
            if (fs::is_regular_file(before) && fs::is_regular_file(ini)) {
                EXPECT_EQ(fs::file_size(ini), size) << file.what << ": " << s.script;
            }
        }
}

// A session recorded live and saved as a state, loaded into a fresh device, shows exactly what the
// live one does: display, every state value, every diagnostic value, every control; and both go on
// alike. An exercise that starts from the state (named from the exercise's folder) is the state loaded
// and its scene set by hand; a session recorded from there replays to the same device.
TEST_F(SavedStateTest, ALoadedStateIsTheSavedSessionAndAnExerciseStartsFromIt) {
    std::ostringstream out;
    Runner saved(out, (dir / "saved").string());
    SaveState(saved, dir);
    Runner loaded(out, (dir / "loaded").string());
    loaded.Execute("state " + (dir / "state.vp7s").string());
    EXPECT_EQ(saved.Sim()->state.Mode, Mode::Manual);
    EXPECT_NEAR(saved.Sim()->state.Istwert, 37, 1);
    EXPECT_EQ(test::DeviceState(*loaded.Sim()), test::DeviceState(*saved.Sim()));
    for (Runner* runner : {&saved, &loaded})
        for (const char* line : {"press inc", "wait 800", "release inc", "wait 5000"})
            runner->Execute(line);
    EXPECT_EQ(test::DeviceState(*loaded.Sim()), test::DeviceState(*saved.Sim()));

    fs::create_directories(dir / "lesson");
    const fs::path exercise = dir / "lesson" / "friction.vp7x";
    WriteBytes(exercise, "state ../state.vp7s\nset LeakageSelect 1\nhide FrictionSelect\n"
                         "at 1000 set BlockUpSelect 1\ncheck Mode = 1 \"Hand\" \"Manual\"\n");
    const std::string after = "wait 1500\nprint lcd\nprint Istwert\nprint Mode\nprint LeakageSelect\n"
                              "print BlockUpSelect\nprint diag 3\nprint trend\nhandin\n";
    const test::ScriptResult byExercise = RunScript(dir, "exercise lesson/friction.vp7x\n" + after);
    const test::ScriptResult byHand =
        RunScript(dir, "state state.vp7s\ncheck Mode = 1 \"Hand\" \"Manual\"\n"
                       "set LeakageSelect 1\nwait 1000\nset BlockUpSelect 1\nwait 500\n" +
                           after.substr(after.find('\n') + 1));
    EXPECT_EQ(byExercise.status, 0) << byExercise.err;
    EXPECT_EQ(byExercise.out, byHand.out);
    EXPECT_NE(byExercise.out.find("check PASS"), std::string::npos) << byExercise.out;
    EXPECT_EQ(RunScript(dir, "exercise lesson/friction.vp7x\nset FrictionSelect 0\n").err,
              "error 2: control 'FrictionSelect' cannot be used now\n");

    Runner live(out, (dir / "live").string());
    live.SetScriptFolder(dir.string());
    live.Execute("exercise lesson/friction.vp7x");
    {
        SessionRecorder recorder(*live.Sim(), (dir / "session.vp7s").string(), "vp7sim test",
                                 "exercise " + exercise.string(), live.NowMs());
        for (const char* line : {"wait 300", "press inc", "wait 900", "release inc", "wait 2000"})
            live.Execute(line);
    }
    Runner replayed(out, (dir / "replayed").string());
    for (const std::string& line : Runner::SplitLines(Bytes(dir / "session.vp7s")))
        replayed.Execute(line);
    EXPECT_EQ(test::DeviceState(*replayed.Sim()), test::DeviceState(*live.Sim()));
}

} // namespace
} // namespace vp7
