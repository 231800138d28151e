// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/exercise/Exercise.h"
#include "platform/Sha256.h"
#include "session/ConfigCompare.h"
#include "session/SavedState.h"
#include "session/SessionRecorder.h"
#include "session/exercise/ExerciseReport.h"
#include "session/script/ReadExercise.h"
#include "session/script/Runner.h"
#include "sim/files/ConfigFiles.h"
#include "sim/operation/ParamSet.h"
#include "support/Bytes.h"
#include "support/Refused.h"
#include "support/RunScript.h"
#include "support/SimFixture.h"

#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <sstream>

namespace vp7 {
namespace {

namespace fs = std::filesystem;

using ExerciseTest = test::SimFixture;

// Every kind of NAME print knows, numbers against texts, the display without its padding; a row's
// outcome is PASS, FAIL or the error that refuses the check. Where a row names it, the report shows the
// value as the trainee saw it: a parameter's as the parameter table shows it, the mode by the name the
// trend gives it; the judging still goes by the number.
TEST_F(ExerciseTest, ChecksJudgeWhatPrintShows) {
    std::ostringstream out;
    Runner runner(out, dir.string());
    for (const char* line : {"start", "param DEBA 5", "param YFCT 0", "set SetPointText \" 20 \""})
        runner.Execute(line);
    const struct {
        const char* expression;
        const char* outcome;
        const char* shown = nullptr;
    } cases[] = {
        {"Istwert = 0", "PASS", "0.0000"},
        {"Istwert != 0.0000", "FAIL"},
        {"Istwert within 0 0", "PASS"},
        {"Istwert within 0.1 5", "FAIL"},
        {"Mode = 0", "PASS", "AUT"},
        {"Mode = 0 and param /OPEN > 0", "FAIL", "AUT / OFF"},
        {"param /OPEN = -1200", "PASS", "OFF"},
        {"param DEBA = 5", "PASS", "0.5"},
        {"param YFCT = 0", "PASS", "turn"},
        {"param YAGL = 0", "FAIL", "33°"},
        {"fault 1 = 0", "PASS"},
        {"diag 0 >= 0", "PASS"},
        {"lcd upper = \"0.0\"", "PASS"},
        {"lcd upper = 0", "PASS"},
        {"lcd lower = \"AUT 0\"", "PASS", "AUT 0"},
        {"lcd lower != \"  AUT 0\"", "FAIL"},
        {"lcd lower > 0", "FAIL"},
        {"SetPointText = 20", "PASS"},
        {"FrictionSelect = 1", "FAIL"},
        // The chains are also the only rows of their operators: <= and > on a parameter.
        {"Istwert = 0 and param DEBA = 5 and Mode <= 0", "PASS"},
        {"Istwert = 0 and param DEBA > 5", "FAIL"},
        {"param DEBA > 5 and Istwert = 0", "FAIL"},
        {"Istwert = 0 and", "a check is NAME OP VALUE or NAME within LOW HIGH"},
        {"Nope = 1", "nothing called 'Nope'"},
        {"param NOPE = 1", "no parameter 'NOPE'"},
        {"diag 99 = 1", "no diagnostic value 99"},
        {"Istwert 5", "a check is NAME OP VALUE or NAME within LOW HIGH"},
        {"Istwert = 1 2", "a check is NAME OP VALUE or NAME within LOW HIGH"},
        {"Istwert < high", "'<' compares numbers"},
        {"Istwert within 5 1", "'within' takes LOW and HIGH numbers, LOW first"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expression);
        std::string outcome;
        try {
            const CheckOutcome checked = runner.Evaluate(c.expression);
            outcome = checked.passed ? "PASS" : "FAIL";
            if (c.shown) {
                EXPECT_EQ(checked.value, c.shown);
            }
        } catch (const ScriptError& e) {
            outcome = e.what();
        }
        EXPECT_EQ(outcome, c.outcome);
    }
}

// A state the exercise cannot start from refuses it too, at the state's line.
TEST_F(ExerciseTest, RefusesAFaultyExerciseWithItsLineAndReason) {
    test::WriteBytes(dir / "state.vp7s", "# state VP7A 0.1\nstart\n");
    test::WriteBytes(dir / "damaged.vp7s", "# state VP7A 0.1\nstart\nfrobnicate\n");
    test::WriteBytes(dir / "newer.vp7s", "# state VP7A 99.0\nstart\n");
    const struct {
        const char* text;
        int line;
        std::string reason;
    } cases[] = {
        {"title \"T\" \"T\"\nstart\nfrobnicate\n", 3, "unknown command 'frobnicate'"},
        {"start\ncheck Nothing = 1 \"a\" \"b\"\n", 2, "nothing called 'Nothing'"},
        {"start\nquestion \"q\" \"q\"\nchoice \"a\" \"a\"\nchoice \"b\" \"b\"\n", 2,
         "a question takes two choices or more, one of them correct"},
        {"start\nquestion \"q\" \"q\"\nchoice \"a\" \"a\" correct\nchoice \"b\" \"b\" correct\n", 4,
         "one correct choice only"},
        {"ini Config Alarmmodul 1\ntitle \"T\" \"T\"\n", 2, "no start"},
        {"start\nwait 100\n", 2, "an exercise sets its scene at one moment: no 'wait'"},
        {"start\nat 100 set\n", 2, "wrong number of arguments for 'set'"},
        {"start\nhide Nothing\n", 2, "unknown control 'Nothing'"},
        {"start\nlimit 0\n", 2, "bad time '0'"},
        {"title \"T\" \"T\"\nstate missing.vp7s\n", 2, "cannot read missing.vp7s"},
        {"state damaged.vp7s\n", 1, "damaged.vp7s line 3: unknown command 'frobnicate'"},
        {"ini Config Controller VP7PA\nstate state.vp7s\n", 2,
         "state.vp7s: The state was saved on a VP7A; this device is a VP7PA."},
        {"state newer.vp7s\n", 1,
         "newer.vp7s: The state comes from the newer program version 99.0 (this program: " +
             std::string(ProgramVersion()) + ")."},
        {"state state.vp7s\nstart\n", 2, "'start' must come before start"},
    };
    for (const auto& c : cases) {
        // A folder of its own for each: the settings one exercise's lines write stay out of the next.
        const fs::path check = dir / ("check" + std::to_string(&c - cases));
        test::ExpectRefused(ReadExercise(c.text, check.string(), dir.string()), c.line, c.reason, c.text);
    }
}

// The fault an exercise sets later comes at its time after the trainee began, and a recording of the
// session leaves it (and the scene) to the exercise, which a replay, the window's too, loads again.
TEST_F(ExerciseTest, TimedCommandsFireOnTimeAndStayOutOfTheRecording) {
    const auto exercise = dir / "late.vp7x";
    std::ofstream(exercise)
        << "start\nset LeakageSelect 1\nhide FrictionSelect\nat 2000 set FrictionSelect 1\n";
    std::ostringstream out;
    Runner runner(out, (dir / "run").string());
    runner.Execute("exercise " + exercise.string());
    Simulator& device = *runner.Sim();
    const auto recording = dir / "session.vp7s";
    {
        SessionRecorder recorder(device, recording.string(), "test", "exercise " + exercise.string());
        runner.Execute("wait 1999");
        EXPECT_FALSE(device.form.FrictionSelect.checked);
        runner.Execute("wait 1");
        EXPECT_EQ(device.clock.NowMs(), device.CreatedMs + device.Timer1.Interval() + 2000);
        EXPECT_TRUE(device.form.FrictionSelect.checked);
        EXPECT_TRUE(device.form.LeakageSelect.checked);
        EXPECT_THROW(runner.Execute("set FrictionSelect 0"), ScriptError);
        runner.Execute("set BlockUpSelect 1");
    }
    const std::string text = test::Bytes(recording);
    EXPECT_TRUE(text.ends_with(exercise.string() + "\nwait 2000\nset BlockUpSelect 1\n")) << text;
    const auto played = ReadPlayScript(text, (dir / "check").string());
    ASSERT_TRUE(std::holds_alternative<PlayScript>(played)) << std::get<ScriptProblem>(played).reason;
    EXPECT_EQ(std::get<PlayScript>(played).start, "exercise " + exercise.string());
}

// A setting that restarts the program asks to close the window. An exercise's front end asks the trainee
// first whether to abandon it, so its window stays open and a recording of a trainee who kept the
// exercise replays on to its hand-in; any other device's window closes, and the runner says the program
// would start again.
TEST_F(ExerciseTest, ARestartAskedInAnExerciseLeavesItsWindowOpen) {
    const auto exercise = dir / "restart.vp7x";
    std::ofstream(exercise) << "title \"a\" \"b\"\nstart\ncheck Mode = 0 \"a\" \"b\"\n";
    const struct {
        std::string start;
        bool open;
    } cases[] = {
        {"start", false},
        {"exercise " + exercise.string(), true},
    };
    for (const auto& [start, open] : cases) {
        std::ostringstream out;
        Runner runner(out, (dir / "run").string());
        for (const std::string& line :
             {start, std::string("answer OK"), std::string("set ControllerSelect 2")})
            runner.Execute(line);
        EXPECT_EQ(out.str().ends_with("restart\n"), !open) << start << '\n' << out.str();
        if (open) {
            runner.Execute("print ControllerSelect");
            runner.Execute("handin");
            EXPECT_TRUE(out.str().ends_with("ControllerSelect 2\ncheck PASS \"b\"\nresult 1/1\n"))
                << out.str();
        } else {
            EXPECT_THROW(runner.Execute("set FrictionSelect 1"), ScriptError) << start;
        }
    }
}

// Lines that would write a file anywhere, replace the device under the command running them or end the
// trainee's session are refused where an exercise or a saved state is read, at their line; the planted
// file stays as it was, and what they save through a file dialog goes into the program folder. Slipped
// past the reading, a scene's command is still refused when it runs.
TEST_F(ExerciseTest, ScenesAndStatesNeitherWriteFilesNorReplaceTheDevice) {
    const std::string target = (dir / "target.txt").string();
    std::ofstream(target) << "keep";
    std::ofstream(dir / "writes.vp7s") << "# state VP7A 0.1\nstart\nsnapshot " << target << "\n";
    const struct {
        std::string text;
        int line;
        std::string reason;
    } exercises[] = {
        {"start\nrewind 0\n", 2, "'rewind' does not belong in an exercise"},
        {"start\nat 0 rewind 0\n", 2, "'rewind' does not belong in an exercise"},
        {"start\nat 10 state writes.vp7s\n", 2, "'state' cannot run at a time"},
        {"start\nat 10 snapshot " + target + "\n", 2, "'snapshot' does not belong in an exercise"},
        {"start\nat 10 export " + target + "\n", 2, "'export' does not belong in an exercise"},
        {"start\nat 10 trend " + target + "\n", 2, "'trend' does not belong in an exercise"},
        {"start\nat 10 compare " + target + "\n", 2, "'compare' does not belong in an exercise"},
        {"start\nat 10 close\n", 2, "'close' does not belong in an exercise"},
        {"title \"T\" \"T\"\nstate writes.vp7s\n", 2,
         "writes.vp7s line 3: 'snapshot' cannot stand in a saved state"},
    };
    for (const auto& c : exercises)
        test::ExpectRefused(ReadExercise(c.text, (dir / "check").string(), dir.string()), c.line, c.reason,
                            c.text);
    for (const char* line : {"snapshot", "export", "trend", "close", "handin", "exercise"}) {
        std::ofstream(dir / "state.vp7s") << "# state VP7A 0.1\nstart\n" << line << ' ' << target << "\n";
        std::ostringstream out;
        Runner runner(out, (dir / "run").string());
        runner.SetScriptFolder(dir.string());
        try {
            runner.Execute("state state.vp7s");
            ADD_FAILURE() << line;
        } catch (const RunFailure& e) {
            EXPECT_EQ(e.what(),
                      "state.vp7s line 3: '" + std::string(line) + "' cannot stand in a saved state");
        }
    }

    // What a state or a scene saves through a file dialog stays in the program folder.
    std::ofstream(dir / "saves.vp7s")
        << "# state VP7A 0.1\nstart\nfile " << target << "\nmenu Konfigurationspeichern1\n";
    {
        std::ostringstream out;
        Runner runner(out, (dir / "saving").string());
        runner.Execute("state " + (dir / "saves.vp7s").string());
        EXPECT_TRUE(fs::exists(dir / "saving" / "Files" / "target.txt"));
    }

    Exercise unread;
    unread.prepare = {"rewind 0", "file " + target, "menu Konfigurationspeichern1"};
    unread.timed = {{0, 7, "snapshot " + target}, {100, 8, "export " + target}};
    std::ostringstream out;
    Runner runner(out, (dir / "run").string());
    runner.Execute("start");
    runner.PrepareStartedExercise(unread);
    runner.Execute("wait 200");
    EXPECT_EQ(out.str(), "error 0: 'rewind' does not belong in an exercise\n"
                         "error 7: 'snapshot' does not belong in an exercise\n"
                         "error 8: 'export' does not belong in an exercise\n");
    EXPECT_EQ(test::Bytes(target), "keep");
}

// A report names its exercise and recording by path and SHA-256; `verify` finds them beside the report
// or where they lay, and tells an edited or a missing one.
TEST_F(ExerciseTest, VerifyTellsWhetherTheReportsSourcesAreUnchanged) {
    const fs::path lesson = dir / "a&\"b\"", reports = dir / "reports";
    const struct {
        const char* what;
        std::function<void()> change;
        const char* printed;
    } cases[] = {
        {"as made", [] {}, "verify exercise OK\nverify recording OK\n"},
        {"exercise edited", [&] { std::ofstream(lesson / "e.vp7x", std::ios::app) << "task \"x\" \"x\"\n"; },
         "verify exercise CHANGED\nverify recording OK\n"},
        {"recording gone", [&] { fs::remove(lesson / "r.vp7s"); },
         "verify exercise OK\nverify recording MISSING\n"},
        {"both beside the report",
         [&] {
             fs::rename(lesson / "e.vp7x", reports / "e.vp7x");
             fs::rename(lesson / "r.vp7s", reports / "r.vp7s");
         },
         "verify exercise OK\nverify recording OK\n"},
        {"report edited",
         [&] {
             std::string html = test::Bytes(reports / "report.html");
             html[html.find("-sha256\" content=\"") + 18] ^= 1;
             std::ofstream(reports / "report.html") << html;
         },
         "verify exercise CHANGED\nverify recording OK\n"},
    };
    for (const auto& c : cases) {
        fs::remove_all(lesson);
        fs::remove_all(reports);
        fs::create_directories(lesson);
        fs::create_directories(reports);
        std::ofstream(lesson / "e.vp7x") << "start\n";
        std::ofstream(lesson / "r.vp7s") << "# vp7sim test\nexercise e.vp7x\nwait 100\n";
        ExerciseResult result;
        result.exercisePath = (lesson / "e.vp7x").string();
        result.exerciseSha256 = Sha256Hex("start\n");
        result.recordingPath = (lesson / "r.vp7s").string();
        result.recordingSha256 = *Sha256OfFile(result.recordingPath, 1000);
        std::ofstream(reports / "report.html") << ReportHtml(result, false);
        c.change();
        const auto run = test::RunScript("verify " + (reports / "report.html").string() + "\n", dir / "run");
        EXPECT_EQ(run.out, c.printed) << c.what << run.err;
    }
    std::ofstream(reports / "plain.html") << "<html></html>";
    std::ostringstream out;
    Runner runner(out, (dir / "run").string());
    EXPECT_THROW(runner.Execute("verify " + (reports / "plain.html").string()), RunFailure);
}

// A configuration against itself, after one parameter changed, and files the device cannot load.
TEST_F(ExerciseTest, ComparesConfigurationsAsTheTableShowsThem) {
    const auto saved = dir / "model.vp7";
    const ConfigFiles::Record record = sim->configFiles.BuildRecord();
    std::ofstream(saved, std::ios::binary).write(reinterpret_cast<const char*>(record.data()), record.size());
    std::ofstream(dir / "short.vp7") << "not a configuration";
    const auto differing = [&](const std::string& other) {
        const auto compared =
            CompareConfigurations(*sim, saved.string(), other.empty() ? std::nullopt : std::optional(other));
        std::string rows;
        for (const CompareRow& row : std::get<std::vector<CompareRow>>(compared))
            if (row.differs) rows += row.name + ' ' + row.left + ' ' + row.right + ';';
        return rows;
    };
    EXPECT_EQ(differing(""), "");
    Param("DEBA", 5);
    EXPECT_EQ(differing(""), "DEBA 0.5 Auto;");
    EXPECT_EQ(differing(saved.string()), "");
    EXPECT_EQ(std::get<std::string>(CompareConfigurations(*sim, (dir / "short.vp7").string(), std::nullopt)),
              "Error in the VP7 configuration file");
    Restart(1);
    EXPECT_EQ(std::get<std::string>(CompareConfigurations(*sim, saved.string(), std::nullopt)),
              "Configuration file is for a VP7-A");
    EXPECT_EQ(sim->params.ParamTable[sim->params.FindByName("DEBA")].Value,
              sim->params.ParamTable[sim->params.FindByName("DEBA")].Default);
}

// The trainers' guide's table of the controls an exercise may name lists each of the form's controls,
// under its kind, and nothing else; the failure lists the rows as the code has them.
TEST(ExerciseGuide, ListsEveryControlUnderItsKind) {
    const std::string guide = test::Bytes(VP7_TEST_SOURCE_DIR "/../../doc/exercises.md");
    const size_t begin = guide.find("| kind | a check reads | controls |");
    ASSERT_NE(begin, std::string::npos) << "no table of controls";
    std::map<std::string, std::set<std::string>> listed, named;
    std::istringstream rows(guide.substr(begin, guide.find("\n\n", begin) - begin));
    std::string row;
    std::getline(rows, row) && std::getline(rows, row); // the heading and the line under it
    while (std::getline(rows, row)) {
        std::set<std::string>& names = listed[row.substr(2, row.find(" |", 2) - 2)];
        for (size_t open = row.find('`', row.rfind(" | ")), close = 0; open != std::string::npos;
             open = row.find('`', close + 1)) {
            close = row.find('`', open + 1);
            names.insert(row.substr(open + 1, close - open - 1));
        }
    }
    std::string expected;
    const FormState form;
    for (const Control* c : form.All())
        named[ControlKindName(c->kind)].insert(c->name);
    for (const auto& [kind, names] : named) {
        expected += "| " + kind + " | … |";
        for (const std::string& name : names)
            expected += " `" + name + "`" + (&name == &*names.rbegin() ? " |\n" : ",");
    }
    EXPECT_EQ(listed, named) << expected;
}

} // namespace
} // namespace vp7
