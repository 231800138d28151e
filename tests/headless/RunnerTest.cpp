// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/script/Runner.h"
#include "model/PictureLayout.h"
#include "platform/BmpFile.h"
#include "session/language/ScriptWords.h"

#include "support/Bytes.h"
#include "support/FolderFixture.h"
#include "support/RunScript.h"

#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <optional>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <tuple>
#include <unistd.h>

using namespace vp7;
namespace fs = std::filesystem;

namespace {
using test::RunScript;
using RunnerTest = test::FolderFixture;
} // namespace

TEST_F(RunnerTest, BadScriptsStopWithStatusTwoAndTheLineNumber) {
    const std::pair<const char*, const char*> cases[] = {
        {"frobnicate\n", "error 1: unknown command 'frobnicate'\n"},
        {"# comment\n\nstart\nwait\n", "error 4: wrong number of arguments for 'wait'\n"},
        {"start\nwait soon\n", "error 2: bad time 'soon'\n"},
        {"start\nwait -5\n", "error 2: bad time '-5'\n"},
        {"wait 10\n", "error 1: 'wait' needs start first\n"},
        {"start\nscreen 800 600 16\n", "error 2: 'screen' must come before start\n"},
        {"start\ndown 624 10\n", "error 2: point outside the picture\n"},
        {"start\ndown 10 10 sideways\n", "error 2: bad button 'sideways'\n"},
        {"start\npress enter\n", "error 2: unknown key 'enter'\n"},
        {"start\nset NoPreasureSelect 2\n", "error 2: a check box takes 0 or 1\n"},
        {"start\nset DrosselSelect 4\n", "error 2: no item 4\n"},
        {"start\nset ValveType X\n", "error 2: ValveType takes S, O or D\n"},
        {"start\nset Nothing 1\n", "error 2: unknown control 'Nothing'\n"},
        {"start\nparam NOPE 1\n", "error 2: no parameter 'NOPE'\n"},
        {"start\nparam DEBA 5000\n", "error 2: value 5000 outside 1..100\n"},
        {"start\nparam DEBA x\n", "error 2: bad value 'x'\n"},
        {"start\nprint diag 35\n", "error 2: no diagnostic value 35\n"},
        {"start\nprint param\n", "error 2: 'print param' takes one argument\n"},
        {"start\nclick NoPreasureSelect\n", "error 2: unknown button 'NoPreasureSelect'\n"},
        {"start\nmenu Nonsense1\n", "error 2: unknown menu item 'Nonsense1'\n"},
        {"answer Maybe\n", "error 1: unknown button 'Maybe'\n"},
        {"start\nprint NoSuchValue\n", "error 2: nothing called 'NoSuchValue'\n"},
        {"start\nclose\nwait 10\n", "error 3: the window is closed\n"},
        // Without a plant's server attached (a build without one): refused, and nothing listens.
        {"modbus 1502\n", "error 1: this program has no Modbus server\n"},
        {"start\nserve 100\n", "error 2: this program has no Modbus server\n"},
        {"start\nmodbus 1502\n", "error 2: 'modbus' must come before start\n"},
    };
    for (const auto& [script, error] : cases) {
        const auto r = RunScript(script, dir);
        EXPECT_EQ(r.status, 2) << script;
        EXPECT_EQ(r.err, error) << script;
    }
}

// A misspelt name is answered with the names nearest to it (three at most), a parameter's with the
// `param` it needs; a name near nothing keeps the plain message.
TEST_F(RunnerTest, AnUnknownNameSuggestsTheNearestNames) {
    const std::pair<const char*, const char*> cases[] = {
        {"YFTC", "nothing called 'YFTC'; did you mean param YFCT?"},
        {"istwert", "nothing called 'istwert'; did you mean Istwert?"},
        {"FrictionSelct", "nothing called 'FrictionSelct'; did you mean FrictionSelect?"},
        {"Alarm1Activ", "nothing called 'Alarm1Activ'; did you mean Alarm1Active or Alarm2Active?"},
        {"Label", "nothing called 'Label'; did you mean Label1, Label2 or Label3?"},
        {"Nope", "nothing called 'Nope'"},
    };
    for (const auto& [name, message] : cases)
        EXPECT_EQ(RunScript(std::string("start\nprint ") + name + "\n", dir).err,
                  std::string("error 2: ") + message + "\n");
}

// The suggestions' table grows with the word's length times each name's: a word over 64 bytes is no
// misspelling and gets none at once, however near; one of 64 is still answered (shorter ones are the
// runner's above).
TEST(NearestNames, LongWordsGetNoneAndNearOnesUpTo64Bytes) {
    const std::string longName(63, 'x');
    const std::vector<std::string> names{"Istwert", "param YFCT", longName + "A", longName + "AB"};
    struct Case {
        std::string word;
        std::vector<std::string> nearest;
    };
    const Case cases[] = {
        {longName + "a", {longName + "A", longName + "AB"}}, // 64 bytes
        {longName + "Ab", {}},                               // 65 bytes: the very name, in another case
        {longName + "ABC", {}},
        {std::string(2'000'000, 'I'), {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.word.substr(0, 80));
        EXPECT_EQ(NearestNames(c.word, names), c.nearest);
    }
}

// Numbers, the display and pixels are printed throughout the scenarios; here each kind of control is
// set, and texts come back quoted.
TEST_F(RunnerTest, SetReachesEachKindOfControlAndTextsPrintQuoted) {
    // Each setting and its print on a line.
    const auto r = RunScript("start\n"
                             "set SetPointText \"12,5 \"\nprint SetPointText\n"
                             "set SetPointText say \"hi\"\nprint SetPointText\n"
                             "set FrictionSelect 1\nprint FrictionSelect\n"
                             "set DrosselSelect 2\nprint DrosselSelect\n"
                             "set ValveType S\nprint SelfClosingSelect\n"
                             "param DEBA -1200\nprint param DEBA\n",
                             dir);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "SetPointText \"12,5 \"\n"
                     "SetPointText \"say \\\"hi\\\"\"\n"
                     "FrictionSelect 1\n"
                     "DrosselSelect 2\n"
                     "SelfClosingSelect 1\n"
                     "param DEBA -1200\n");
}

TEST_F(RunnerTest, IniWritesTheSettingsFileBeforeStart) {
    const auto r =
        RunScript("ini Config Sprache Deutsch\nini Parameter /STRK $0005\nini Skalen PV0 12,5 x\n", dir);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(
        test::Bytes(dir / "Config" / "VP7.ini"),
        "[Config]\r\nSprache=Deutsch\r\n\r\n[Parameter]\r\n/STRK=$0005\r\n\r\n[Skalen]\r\nPV0=12,5 x\r\n");
}

TEST_F(RunnerTest, SnapshotWritesTheDevicePictureAsBmp) {
    const fs::path bmp = dir / "p.bmp";
    const auto r = RunScript("start\nsnapshot " + bmp.string() + "\n", dir);
    ASSERT_EQ(r.status, 0) << r.err;
    const std::optional<Picture> shot = ReadBmp(bmp.string());
    ASSERT_TRUE(shot);
    EXPECT_EQ(shot->Width(), layout::PictureSize.width);
    EXPECT_EQ(shot->Height(), layout::PictureSize.height);
    EXPECT_EQ(shot->Pixel(360, 270), LcdUnlitColor);
    // A folder that is not there fails the script, for the picture as for the configuration sheet.
    for (const char* command : {"snapshot", "export"}) {
        const auto failed =
            RunScript(std::string("start\n") + command + ' ' + (dir / "missing" / "f").string() + "\n", dir);
        EXPECT_EQ(failed.status, 1) << command;
        EXPECT_NE(failed.err.find("cannot write"), std::string::npos) << failed.err;
    }
}

// A disk that fills halfway through a snapshot (here a limit on the size of a file the child may write)
// leaves the picture that was there before, whole, and nothing beside it.
TEST_F(RunnerTest, ASnapshotThatCannotBeWrittenWholeLeavesTheOldFile) {
    const fs::path bmp = dir / "p.bmp";
    const std::string old = "the picture taken before";
    std::ofstream(bmp) << old;
    constexpr rlim_t kLargestWrite = 4096; // the device's picture is far larger
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const rlimit limit{kLargestWrite, kLargestWrite};
        signal(SIGXFSZ, SIG_IGN); // the write fails instead of ending the process
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(99);
        const auto r = RunScript("start\nsnapshot " + bmp.string() + "\n", dir);
        _exit(r.status == 1 && r.err.find("cannot write " + bmp.string()) != std::string::npos ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the snapshot's failure not reported";
    EXPECT_EQ(test::Bytes(bmp), old);
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(dir))
        if (entry.path().filename().string().find("p.bmp") != std::string::npos)
            left.push_back(entry.path().filename().string());
    EXPECT_EQ(left, std::vector<std::string>{"p.bmp"});
}

namespace {

// `script` run in a child process that is ended after ten seconds: what it printed, output before
// errors, or nothing when it had to be ended.
std::optional<std::string> RunInChild(const std::string& script, const fs::path& dir) {
    const fs::path printed = dir / "printed";
    const pid_t child = fork();
    if (child == 0) {
        const auto r = RunScript(script, dir);
        std::ofstream(printed) << r.out << r.err;
        _exit(0);
    }
    int status = 0;
    for (int waited = 0; waited < 1000 && waitpid(child, &status, WNOHANG) == 0; ++waited)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (kill(child, SIGKILL) == 0) {
        waitpid(child, &status, 0);
        return std::nullopt;
    }
    return test::Bytes(printed);
}

} // namespace

// Every file a script names to read may be a pipe nobody writes to: it is refused as unreadable, never
// waited on.
TEST_F(RunnerTest, APipeNamedAsAFileToReadIsRefusedAndNeverWaitedOn) {
    const std::string pipe = (dir / "pipe").string();
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    const std::string cannot = "cannot read " + pipe + "\n";
    const std::pair<std::string, std::string> cases[] = {
        {"state " + pipe, "error 1: " + cannot},
        {"exercise " + pipe, "error 1: " + cannot},
        {"start\nprint file " + pipe, "error 2: " + cannot},
        {"verify " + pipe, "error 1: " + cannot},
        {"start\ncompare " + pipe, "error 2: Error in the VP7 configuration file\n"},
        {"start\nfile " + pipe + "\nmenu Konfigurationladen1",
         "message error \"Error in the VP7 configuration file\"\n"},
    };
    for (const auto& [script, printed] : cases) {
        SCOPED_TRACE(script);
        EXPECT_EQ(RunInChild(script + "\n", dir), printed);
    }
}

// A start that failed closes the window; the settings it never read leave the user's file as it was.
TEST_F(RunnerTest, TheProgramClosingItselfIsCarriedOut) {
    std::ofstream(dir / "Data") << "not a folder";
    const std::string mine = "[Config]\r\nSprache=Deutsch\r\n; my notes\r\n";
    fs::create_directories(dir / "Config");
    test::WriteBytes(dir / "Config" / "VP7.ini", mine);
    const auto r = RunScript("start\nwait 10\n", dir);
    EXPECT_EQ(r.out, "message error \"Ordner \\\\Data konnte nicht angelegt werden\"\n");
    EXPECT_EQ(r.status, 2); // the window is gone, so `wait` has nothing to act on
    EXPECT_EQ(test::Bytes(dir / "Config" / "VP7.ini"), mine);
}

// An instructor's freeze and speed, as a classroom sets them: a `wait` passes the script's time, and
// the device's only as far as they let it.
TEST_F(RunnerTest, FreezeAndSpeedDecideHowFarAWaitMovesTheDevice) {
    // Frozen, the speed and the waits; how far the device's clock moved in all.
    const std::tuple<bool, double, std::vector<int>, int64_t> rows[] = {
        {false, 1, {1000}, 1000},   {true, 1, {1000, 250}, 0}, {false, 2, {1000}, 2000},
        {false, 0.5, {1, 1, 1}, 1}, {false, 10, {150}, 1500},  {true, 10, {5000}, 0},
        {false, 0.1, {5, 5}, 1},    {false, 100, {20}, 2000},
    };
    std::ostringstream out;
    for (const auto& [frozen, speed, waits, deviceMs] : rows) {
        fs::remove_all(dir);
        Runner runner(out, dir.string());
        runner.Execute("start");
        runner.SetFrozen(frozen);
        runner.SetSpeed(speed);
        const int64_t before = runner.NowMs();
        for (const int ms : waits)
            runner.Execute("wait " + std::to_string(ms));
        EXPECT_EQ(runner.NowMs() - before, deviceMs) << frozen << " " << speed;
    }
    Runner runner(out, dir.string());
    for (const double speed : {0.0, 0.05, 101.0, -1.0, std::nan("")})
        EXPECT_THROW(runner.SetSpeed(speed), ScriptError) << speed;
    EXPECT_EQ(runner.Speed(), 1);
}

// What the runner writes into its program folder is its user's alone, and a folder an older version
// left open is closed: on a shared PC no other user reads a trainee's settings or hand-ins.
TEST_F(RunnerTest, TheRunnersFilesAreItsUsersAlone) {
    const fs::path program = dir / "program";
    fs::create_directories(program / "Data");
    ::chmod((program / "Data").c_str(), 0755); // as an older version made it
    std::ofstream(dir / "s.vp7s") << "ini Einstellungen Sprache 1\nstart\nsnapshot "
                                  << (dir / "picture.bmp").string() << '\n';
    const std::string command = std::string(VP7_HEADLESS_EXE) + " --dir " + program.string() + " " +
                                (dir / "s.vp7s").string() + " >/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    for (const auto& [path, mode] : {std::pair{program / "Config", 0700u},
                                     {program / "Data", 0700u},
                                     {program / "Config" / "VP7.ini", 0600u},
                                     {dir / "picture.bmp", 0600u}})
        EXPECT_EQ(Permissions(path), mode) << path;
}
