// SPDX-License-Identifier: GPL-3.0-or-later
// A seat in a room on a real broker: the runner's device published, steered by the instructor (also
// while it serves a plant's clients), refusing what is not a command, keeping its hand-ins through a broker's
// restart, and the shipped ACL keeping a trainee to its own seat.
#include "Broker.h"
#include "Instructor.h"

#include "broker/SeatLink.h"
#include "classroom/HandIn.h"
#include "classroom/HandInVerifier.h"
#include "classroom/RunnerSeat.h"
#include "classroom/SeatCommand.h"
#include "classroom/SeatEvent.h"
#include "classroom/SeatStatus.h"
#include "session/StateFile.h"
#include "session/language/ScriptWords.h"
#include "session/script/Runner.h"
#include "support/Bytes.h"
#include "support/FolderFixture.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <fstream>
#include <functional>
#include <set>
#include <sstream>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vp7 {
namespace {

namespace fs = std::filesystem;
using test::WaitUntil;

constexpr char kExercise[] = "title \"Klassenraum\" \"Classroom\"\n"
                             "task \"Warten\" \"Wait\"\n"
                             "start\n"
                             "limit 600000\n"
                             "check Istwert within -1 1 \"Ventil zu\" \"Valve closed\"\n";

struct SeatTest : test::FolderFixture {
    std::unique_ptr<test::Broker> broker;
    std::ostringstream out, log;
    std::unique_ptr<Runner> runner;
    std::unique_ptr<RunnerSeat> seat;
    fs::path program;

    void SetUp() override {
        FolderFixture::SetUp();
        program = dir / "program";
        fs::create_directories(program);
        broker = std::make_unique<test::Broker>(dir / "broker", BrokerConfig());
        runner = std::make_unique<Runner>(out, program.string());
        seat = std::make_unique<RunnerSeat>(*runner, (program / "Classroom").string(), log, &SeatLink::Make);
    }
    void TearDown() override {
        seat.reset();
        runner.reset();
        broker.reset();
        FolderFixture::TearDown();
    }
    virtual std::string BrokerConfig() { return "allow_anonymous true\n"; }

    void Join(const std::string& seatName = "s1", const std::string& account = {}) {
        Run("classroom 127.0.0.1 " + std::to_string(broker->Port()) + " r1 " + seatName + account);
    }
    void Run(const std::string& line) { runner->Execute(line); }
    std::string Print(const std::string& what) {
        const std::string before = out.str();
        Run("print " + what);
        return out.str().substr(before.size());
    }
    // Lets the device's time pass, 100 ms at a time, until `done` holds (a few seconds at most).
    bool RunUntil(const std::function<bool()>& done) {
        return WaitUntil([&] {
            Run("wait 100");
            return done();
        });
    }
    std::vector<fs::path> Outbox() const {
        std::vector<fs::path> files;
        std::error_code ec;
        for (const auto& file : fs::directory_iterator(program / "Classroom" / "Outbox", ec))
            files.push_back(file.path());
        return files;
    }
};

TEST_F(SeatTest, RetainsItsStatusAndPublishesOnlyWhatChanged) {
    ASSERT_TRUE(broker->Start());
    Join();
    Run("start");
    Run("wait 2000");
    const std::string lcd = Print("lcd"); // lcd "UPPER" "LOWER"
    ASSERT_TRUE(seat->Flush(std::chrono::seconds(5)));

    // An instructor who comes later finds the seat's status kept by the broker.
    test::Instructor instructor;
    ASSERT_TRUE(instructor.Connect(broker->Port(), {"vp7/r1/seat/+/status"}));
    const std::string json = instructor.WaitFor("vp7/r1/seat/s1/status", "\"online\":true");
    const auto read = ReadSeatStatus(json);
    ASSERT_TRUE(std::holds_alternative<SeatStatus>(read)) << json;
    const SeatStatus& status = std::get<SeatStatus>(read);
    EXPECT_EQ(status.seat, "s1");
    EXPECT_EQ(status.room, "r1");
    EXPECT_EQ(status.variant, "VP7A");
    EXPECT_EQ(status.mode, "AUT");
    EXPECT_EQ("lcd \"" + status.lcdUpper + "\" \"" + status.lcdLower + "\"\n", lcd);
    EXPECT_EQ(status.position, 0);
    EXPECT_TRUE(status.faults.empty());
    EXPECT_FALSE(status.frozen);
    EXPECT_EQ(status.speed, 1);
    EXPECT_FALSE(status.timeLeftMs);
    ASSERT_TRUE(instructor.Received().front().retained);

    // Five seconds of a device at rest: looked at five times, published never.
    Run("wait 5000");
    Run("set SetPointText 30"); // an automatic device takes no setpoint text: still nothing to tell
    Run("wait 1000");
    EXPECT_EQ(instructor.Received().size(), 1u);
    // A trend's event goes out as it happens, and the status after it.
    Run("set FrictionSelect 1");
    Run("wait 100");
    EXPECT_NE(instructor.WaitFor("vp7/r1/seat/s1/status", "\"online\":true").size(), 0u);
    test::Instructor events;
    ASSERT_TRUE(events.Connect(broker->Port(), {"vp7/r1/seat/s1/event"}));
    Run("set LeakageSelect 1");
    Run("wait 100");
    EXPECT_NE(events.WaitFor("vp7/r1/seat/s1/event", "\"text\":\"Leakage on\"").size(), 0u);
}

TEST_F(SeatTest, CarriesOutEachCommandOnTheRunnersDevice) {
    ASSERT_TRUE(broker->Start());
    test::Instructor instructor;
    ASSERT_TRUE(instructor.Connect(broker->Port(), {"vp7/r1/seat/s1/#"}));
    Join();
    Run("start");
    const std::string pristine = (program / "pristine.vp7state").string();
    Run("savestate " + pristine);
    const std::string stateBase64 = EncodeBase64(test::Bytes(pristine));
    const struct {
        const char* topic; // the seat's own, or the room's
        std::string command;
        std::function<bool()> done;
    } rows[] = {
        {"cmd/seat/s1", R"({"command":"freeze"})", [&] { return runner->Frozen(); }},
        {"cmd/all", R"({"command":"continue"})", [&] { return !runner->Frozen(); }},
        {"cmd/all", R"({"command":"speed","value":5})", [&] { return runner->Speed() == 5; }},
        {"cmd/seat/s1", R"({"command":"speed","value":1})", [&] { return runner->Speed() == 1; }},
        {"cmd/seat/s1", R"({"command":"fault","option":"FrictionSelect","on":true})",
         [&] { return Print("FrictionSelect") == "FrictionSelect 1\n"; }},
        {"cmd/all", R"({"command":"message","text":"Bitte \"warten\""})",
         [&] { return out.str().find("classroom message \"Bitte \\\"warten\\\"\"\n") != std::string::npos; }},
        // Nothing to hand in yet: refused, and nothing goes to the station.
        {"cmd/all", R"({"command":"handin"})",
         [&] { return log.str().find("ignored: no exercise to hand in") != std::string::npos; }},
        {"cmd/seat/s1", R"({"command":"exercise","text":)" + nlohmann::json(kExercise).dump() + "}",
         [&] { return runner->CurrentExercise().title.en == "Classroom"; }},
        {"cmd/all", R"({"command":"handin"})",
         [&] { return !instructor.WaitFor("vp7/r1/seat/s1/event", "\"kind\":\"handin\"", {}).empty(); }},
        // Its result is on its way: a second hand-in of the same exercise would be a second row.
        {"cmd/all", R"({"command":"handin"})",
         [&] { return log.str().find("ignored: the exercise was handed in already") != std::string::npos; }},
        {"cmd/seat/s1", R"({"command":"state","data":")" + stateBase64 + "\"}",
         [&] {
             return runner->CurrentExercise().title.en.empty() &&
                    Print("FrictionSelect") == "FrictionSelect 0\n";
         }},
    };
    for (const auto& row : rows) {
        ASSERT_TRUE(instructor.Publish(std::string("vp7/r1/") + row.topic, row.command));
        EXPECT_TRUE(RunUntil(row.done)) << row.command.substr(0, 80) << "\n" << log.str();
    }
    int handIns = 0;
    for (const auto& m : instructor.Received())
        handIns += m.payload.find("\"kind\":\"handin\"") != std::string::npos;
    EXPECT_EQ(handIns, 1);
    const std::string handIn = instructor.WaitFor("vp7/r1/seat/s1/event", "\"kind\":\"handin\"");
    const auto json = nlohmann::json::parse(handIn);
    EXPECT_EQ(json["exercise"], "Classroom");
    EXPECT_EQ(json["passed"], 1);
    EXPECT_EQ(json["total"], 1);
    EXPECT_EQ(json["checks"][0]["text"], "Valve closed");
    EXPECT_NE(out.str().find("check PASS \"Valve closed\"\nresult 1/1\n"), std::string::npos);
    EXPECT_TRUE(Outbox().empty());
    // The exercise's status while it ran: its title and time left.
    bool sawExercise = false;
    for (const auto& m : instructor.Received())
        sawExercise = sawExercise || (m.payload.find("\"exercise\":\"Classroom\"") != std::string::npos &&
                                      m.payload.find("\"timeLeftMs\":") != std::string::npos);
    EXPECT_TRUE(sawExercise);
}

// The room's exercise starts from the seed the station chose for the seat, and the hand-in carries the
// session's recording from there: the station's replay of it gives the seat's own score.
TEST_F(SeatTest, AHandInCarriesItsRecordingWhichReplaysAtTheStation) {
    constexpr uint64_t kSeed = 18'446'744'073'709'551'557u; // all 64 bits
    ASSERT_TRUE(broker->Start());
    test::Instructor instructor;
    ASSERT_TRUE(instructor.Connect(broker->Port(), {"vp7/r1/seat/s1/#"}));
    Join();
    Run("start"); // the exercise comes in the middle of a wait, on the device there is
    SeatCommand command{SeatCommandKind::OpenExercise, kExercise};
    command.seed = kSeed;
    ASSERT_TRUE(instructor.Publish("vp7/r1/cmd/seat/s1", WriteSeatCommand(command)));
    ASSERT_TRUE(RunUntil([&] { return runner->CurrentExercise().title.en == "Classroom"; })) << log.str();
    for (const char* line : {"set SetPointText 30", "click Enter", "wait 20000", "set SetPointText 0",
                             "click Enter", "wait 20000", "handin"})
        Run(line);
    const std::string payload = instructor.WaitFor("vp7/r1/seat/s1/event", "\"kind\":\"handin\"");
    const auto read = ReadHandIn(payload);
    ASSERT_TRUE(std::holds_alternative<HandInMessage>(read)) << payload.substr(0, 200);
    const SeatHandIn& handIn = std::get<HandInMessage>(read).result;
    EXPECT_EQ(handIn.recording.rfind("seed " + std::to_string(kSeed) + "\nexercise ", 0), 0u)
        << handIn.recording.substr(0, 200);
    // The waits it holds are the exercise's time: the wait it came in counts from then only.
    int64_t waited = 0;
    for (std::string_view rest = handIn.recording; !rest.empty();) {
        const std::string_view line = rest.substr(0, rest.find('\n'));
        rest.remove_prefix(std::min(rest.size(), line.size() + 1));
        if (line.starts_with("wait ")) waited += std::stoi(std::string(line.substr(5)));
    }
    EXPECT_EQ(waited, runner->RunningExercise().ElapsedMs(runner->NowMs())) << handIn.recording;
    const HandInVerdict verdict = VerifyHandIn({kExercise, kSeed}, handIn);
    ASSERT_TRUE(verdict.Verified()) << verdict.refusal;
    EXPECT_EQ(verdict.replayed->passed, handIn.passed);
    EXPECT_EQ(handIn.passed, 1);
}

TEST_F(SeatTest, IgnoresWhatIsNoCommandAndDoesATwiceSentOneOnce) {
    ASSERT_TRUE(broker->Start());
    test::Instructor instructor;
    ASSERT_TRUE(instructor.Connect(broker->Port(), {}));
    Join();
    Run("start");
    Run("wait 1000");
    ASSERT_TRUE(instructor.Publish("vp7/r1/cmd/all", R"({"command":"freeze"})"));
    ASSERT_TRUE(RunUntil([&] { return runner->Frozen(); }));
    const std::string before = Print("statehash");
    // One the reader refuses (each kind is in the protocol's tests), and those only the seat can refuse.
    const std::string hostile[] = {
        "not json",
        R"({"command":"speed","value":1e9})",
        R"({"command":"exercise","text":"title \"T\" \"T\"\nnonsense\n"})",
        R"({"command":"state","data":"aGVsbG8="})",
        "{\"command\":\"message\",\"text\":\"" + std::string((1 << 20) + 10, 'x') + "\"}",
    };
    for (const std::string& message : hostile)
        ASSERT_TRUE(instructor.Publish("vp7/r1/cmd/seat/s1", message));
    for (int twice = 0; twice < 2; ++twice)
        ASSERT_TRUE(
            instructor.Publish("vp7/r1/cmd/all", R"({"command":"message","text":"once","id":"m-1"})"));
    ASSERT_TRUE(instructor.Publish("vp7/r1/cmd/all", R"({"command":"message","text":"end"})"));
    ASSERT_TRUE(RunUntil([&] { return out.str().find("\"end\"") != std::string::npos; }));

    EXPECT_EQ(Print("statehash"), before);
    EXPECT_TRUE(runner->Frozen());
    EXPECT_EQ(runner->Speed(), 1);
    EXPECT_EQ(runner->CurrentExercise().title.en, "");
    const std::string shown = out.str();
    EXPECT_EQ(shown.find("classroom message \"once\""), shown.rfind("classroom message \"once\""));
    std::istringstream lines(log.str());
    int ignored = 0;
    for (std::string line; std::getline(lines, line);)
        ignored +=
            line.starts_with("classroom: ignored: ") || line.find("larger than 1 MB") != std::string::npos;
    EXPECT_EQ(ignored, std::size(hostile) + 1) << log.str(); // and the second "once"
}

// The instructor's "save state" and "rewind" are the room's: the seat's hold on the device (a fault the
// room hid) refuses neither, and the hold stays, the fault set again, after the rewind.
TEST_F(SeatTest, SavesItsStateForTheStationAndRewindsWhileTheRoomHoldsIt) {
    ASSERT_TRUE(broker->Start());
    test::Instructor instructor;
    ASSERT_TRUE(instructor.Connect(broker->Port(), {"vp7/r1/seat/s1/event"}));
    Join();
    Run("start");
    Run("wait 20000");
    ASSERT_TRUE(instructor.Publish("vp7/r1/cmd/seat/s1",
                                   R"({"command":"fault","option":"FrictionSelect","on":true})"));
    ASSERT_TRUE(RunUntil([&] { return runner->RoomHoldsDevice(); }));
    ASSERT_TRUE(instructor.Publish("vp7/r1/cmd/seat/s1", R"({"command":"savestate","id":"k-1"})"));
    std::string answer;
    ASSERT_TRUE(RunUntil([&] {
        answer = instructor.WaitFor("vp7/r1/seat/s1/event", "\"kind\":\"state\"", {});
        return !answer.empty();
    }));
    const auto read = ReadEventChannel(answer);
    ASSERT_TRUE(std::holds_alternative<SeatStateMessage>(read)) << answer.substr(0, 200);
    const SeatStateMessage& state = std::get<SeatStateMessage>(read);
    EXPECT_EQ(state.id, "k-1");
    EXPECT_EQ(state.refusal, "");
    const auto decoded = DecodeStateFile(state.state, std::nullopt);
    ASSERT_TRUE(std::holds_alternative<StateFile>(decoded));
    EXPECT_NE(std::get<StateFile>(decoded).recording.find("room fault FrictionSelect 1"), std::string::npos);

    // The state loads elsewhere as the device it was saved from, the room's fault set.
    const fs::path file = dir / "s1.vp7state";
    std::ofstream(file, std::ios::binary) << state.state;
    fs::create_directories(dir / "other");
    std::ostringstream elsewhere;
    Runner other(elsewhere, (dir / "other").string());
    other.Execute("state " + file.string());
    other.Execute("print FrictionSelect");
    EXPECT_EQ(elsewhere.str(), "FrictionSelect 1\n");

    const int64_t before = runner->NowMs();
    ASSERT_TRUE(instructor.Publish("vp7/r1/cmd/seat/s1", R"({"command":"rewind","seconds":10})"));
    ASSERT_TRUE(RunUntil([&] { return runner->NowMs() < before - 5000; })) << log.str();
    EXPECT_GE(runner->NowMs(), before - 10000);
    EXPECT_TRUE(runner->RoomHoldsDevice());
    EXPECT_EQ(Print("FrictionSelect"), "FrictionSelect 1\n");
    // Longer back than the session is long: to its start.
    ASSERT_TRUE(instructor.Publish("vp7/r1/cmd/all", R"({"command":"rewind","seconds":86400})"));
    ASSERT_TRUE(RunUntil([&] { return runner->NowMs() - runner->StartedAtMs() < 2000; })) << log.str();
}

TEST_F(SeatTest, TheClassroomLineRefusesWhatCannotJoinARoom) {
    // The names are checked as the classroom's readers check them (their test has every kind).
    const std::string port = std::to_string(test::FreeLoopbackPort());
    const struct {
        std::string line;
        const char* reason;
    } rows[] = {
        {"classroom 127.0.0.1 " + port + " r/1 s1", "room name may not contain '/'"},
        {"classroom 127.0.0.1 " + port + " r1 s+", "seat name may not contain '+'"},
        {"classroom 127.0.0.1 " + port + " r1 s1 user",
         "classroom takes HOST PORT ROOM SEAT [USER PASSWORD]"},
        {"classroom 127.0.0.1 70000 r1 s1", "port 70000 out of range"},
        {"classroom 127.0.0.1 port r1 s1", "bad port"},
    };
    for (const auto& row : rows) {
        try {
            Run(row.line);
            ADD_FAILURE() << row.line;
        } catch (const ScriptError& e) {
            EXPECT_NE(std::string(e.what()).find(row.reason), std::string::npos)
                << row.line << ": " << e.what();
        }
    }
    // A runner without a seat, as a window's player has, knows the line but cannot join.
    std::ostringstream quiet;
    Runner alone(quiet, program.string());
    EXPECT_THROW(alone.Execute("classroom 127.0.0.1 " + port + " r1 s1"), ScriptError);
    Join();
    EXPECT_THROW(Join(), ScriptError); // once
    Run("start");
    EXPECT_THROW(Join(), ScriptError); // before start only
}

TEST_F(SeatTest, BrokerDownAtTheStartIsJoinedWhenItComes) {
    Join(); // nobody listens yet
    Run("start");
    Run("wait 500");
    ASSERT_TRUE(broker->Start());
    test::Instructor instructor;
    ASSERT_TRUE(instructor.Connect(broker->Port(), {"vp7/r1/seat/s1/status"}));
    EXPECT_TRUE(RunUntil([&] {
        return !instructor.WaitFor("vp7/r1/seat/s1/status", "\"online\":true", {}).empty();
    })) << log.str();
}

TEST_F(SeatTest, KeepsAHandInThroughTheBrokersRestartAndDeliversItOnce) {
    // The broker keeps the station's session across its restart, as a classroom's would.
    broker = std::make_unique<test::Broker>(dir / "broker",
                                            "allow_anonymous true\npersistence true\npersistence_location " +
                                                (dir / "broker").string() + "/\n");
    ASSERT_TRUE(broker->Start());
    const fs::path exercise = dir / "e.vp7x";
    std::ofstream(exercise) << kExercise;
    test::Instructor instructor("vp7-test-station");
    ASSERT_TRUE(instructor.Connect(broker->Port(), {"vp7/r1/seat/s1/#"}));
    Join();
    Run("exercise " + exercise.string());
    Run("wait 1000");
    broker->Stop();
    Run("wait 500");
    Run("handin");
    ASSERT_EQ(Outbox().size(), 1u);
    Run("wait 1000");
    EXPECT_EQ(Outbox().size(), 1u); // nobody has it yet

    ASSERT_TRUE(broker->Start());
    EXPECT_TRUE(RunUntil([&] { return Outbox().empty(); })) << log.str();
    // Its status again, for whoever comes after the restart.
    EXPECT_NE(instructor.WaitFor("vp7/r1/seat/s1/status", "\"mode\":\"AUT\""), "");
    EXPECT_NE(instructor.WaitFor("vp7/r1/seat/s1/event", "\"kind\":\"handin\""), "");
    Run("wait 1000");
    std::set<std::string> ids;
    for (const auto& m : instructor.Received())
        if (m.payload.find("\"kind\":\"handin\"") != std::string::npos)
            ids.insert(std::get<HandInMessage>(ReadHandIn(m.payload)).id);
    ASSERT_EQ(ids.size(), 1u);
}

TEST_F(SeatTest, LastWillTellsTheRoomWhenTheSeatsProcessIsKilled) {
    ASSERT_TRUE(broker->Start());
    test::Instructor instructor;
    ASSERT_TRUE(instructor.Connect(broker->Port(), {"vp7/r1/seat/s9/status"}));
    int input[2];
    ASSERT_EQ(pipe(input), 0);
    const pid_t child = fork();
    if (child == 0) {
        dup2(input[0], STDIN_FILENO);
        close(input[1]);
        const std::string folder = (dir / "child").string();
        execl(VP7_HEADLESS_EXE, VP7_HEADLESS_EXE, "--dir", folder.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(input[0]);
    // The script goes on; the runner waits for its next line while connected.
    const std::string script =
        "classroom 127.0.0.1 " + std::to_string(broker->Port()) + " r1 s9\nstart\nwait 1500\n";
    ASSERT_EQ(write(input[1], script.data(), script.size()), static_cast<ssize_t>(script.size()));
    EXPECT_NE(instructor.WaitFor("vp7/r1/seat/s9/status", "\"variant\":\"VP7A\""), "");
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    close(input[1]);
    const std::string will = instructor.WaitFor("vp7/r1/seat/s9/status", "\"online\":false");
    EXPECT_EQ(will, R"({"online":false,"room":"r1","seat":"s9"})");
}

TEST_F(SeatTest, TheRunnerLeavesTheRoomWithEverythingDelivered) {
    ASSERT_TRUE(broker->Start());
    test::Instructor instructor;
    ASSERT_TRUE(instructor.Connect(broker->Port(), {"vp7/r1/seat/s3/#"}));
    std::ofstream(dir / "e.vp7x") << kExercise;
    std::ofstream(dir / "solution.vp7s") << "classroom 127.0.0.1 " << broker->Port() << " r1 s3\n"
                                         << "exercise e.vp7x\nwait 500\nhandin\n";
    const fs::path folder = dir / "child";
    const std::string command = std::string(VP7_HEADLESS_EXE) + " --dir " + folder.string() + " " +
                                (dir / "solution.vp7s").string() + " >" + (dir / "out").string() +
                                " 2>/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    // The script's output is its own; the hand-in went out before the runner ended, and it left.
    EXPECT_EQ(test::Bytes(dir / "out"), "check PASS \"Valve closed\"\nresult 1/1\n");
    EXPECT_TRUE(fs::is_empty(folder / "Classroom" / "Outbox"));
    EXPECT_NE(instructor.WaitFor("vp7/r1/seat/s3/event", "\"passed\":1"), "");
    EXPECT_NE(instructor.WaitFor("vp7/r1/seat/s3/status", "\"online\":false"), "");
}

// A runner that serves a plant's clients at real time (`serve`) is still a seat in its room: it takes
// the room's commands while it serves, and the room's freeze holds its device.
TEST_F(SeatTest, TakesTheRoomsCommandsWhileItServes) {
    ASSERT_TRUE(broker->Start());
    test::Instructor instructor;
    ASSERT_TRUE(instructor.Connect(broker->Port(), {"vp7/r1/seat/s4/status"}));
    const fs::path script = dir / "plant.vp7s";
    std::ofstream(script) << "classroom 127.0.0.1 " << broker->Port() << " r1 s4\n"
                          << "modbus 0\nstart\nserve 3000\n";
    const pid_t child = fork();
    if (child == 0) {
        const std::string out = (dir / "out").string(), folder = (dir / "child").string();
        freopen(out.c_str(), "w", stdout);
        freopen("/dev/null", "w", stderr);
        execl(VP7_HEADLESS_EXE, VP7_HEADLESS_EXE, "--dir", folder.c_str(), script.c_str(),
              static_cast<char*>(nullptr));
        _exit(127);
    }
    // The seat is on from `start`, and serves from then on.
    EXPECT_NE(instructor.WaitFor("vp7/r1/seat/s4/status", "\"variant\":\"VP7A\""), "");
    ASSERT_TRUE(instructor.Publish("vp7/r1/cmd/seat/s4", R"({"command":"freeze"})"));
    ASSERT_TRUE(instructor.Publish("vp7/r1/cmd/all", R"({"command":"message","text":"Pause"})"));
    EXPECT_NE(instructor.WaitFor("vp7/r1/seat/s4/status", "\"frozen\":true"), "");
    int status = -1;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_NE(test::Bytes(dir / "out").find("classroom message \"Pause\"\n"), std::string::npos)
        << test::Bytes(dir / "out");
}

// The shipped broker configuration, with accounts made as doc/classroom.md says.
struct AclTest : SeatTest {
    std::string BrokerConfig() override {
        return test::ShippedBrokerConfig(dir / "accounts",
                                         {{"instructor", "lehrer"}, {"s1", "eins"}, {"s2", "zwei"}});
    }
};

TEST_F(AclTest, OnlyTheInstructorCommandsAndSeesEverySeat) {
    ASSERT_TRUE(broker->Start());
    test::Instructor instructor, other;
    ASSERT_TRUE(instructor.Connect(broker->Port(), {"vp7/r1/seat/+/status"}, "instructor", "lehrer"));
    ASSERT_TRUE(other.Connect(broker->Port(), {"vp7/r1/seat/s1/status", "vp7/r1/cmd/all"}, "s2", "zwei"));
    Join("s1", " s1 eins");
    Run("start");
    EXPECT_TRUE(RunUntil(
        [&] { return !instructor.WaitFor("vp7/r1/seat/s1/status", "\"online\":true", {}).empty(); }));

    // Another trainee's commands are dropped by the broker: the seat never sees them.
    ASSERT_TRUE(other.Publish("vp7/r1/cmd/all", R"({"command":"speed","value":5})"));
    ASSERT_TRUE(other.Publish("vp7/r1/cmd/seat/s1", R"({"command":"message","text":"rogue"})"));
    ASSERT_TRUE(
        instructor.Publish("vp7/r1/cmd/all", R"({"command":"message","text":"from the instructor"})"));
    ASSERT_TRUE(RunUntil([&] { return out.str().find("from the instructor") != std::string::npos; }));
    EXPECT_EQ(out.str().find("rogue"), std::string::npos);
    EXPECT_EQ(runner->Speed(), 1);
    // It reads the room's commands, but not another seat's status.
    EXPECT_NE(other.WaitFor("vp7/r1/cmd/all", "from the instructor"), "");
    for (const auto& m : other.Received())
        EXPECT_NE(m.topic, "vp7/r1/seat/s1/status");
    EXPECT_EQ(log.str().find("ignored"), std::string::npos) << log.str();
}

TEST_F(AclTest, ASeatWithAWrongPasswordWorksOnAlone) {
    ASSERT_TRUE(broker->Start());
    Join("s1", " s1 falsch");
    Run("start");
    Run("wait 1000");
    EXPECT_NE(log.str().find("refused"), std::string::npos) << log.str();
    EXPECT_EQ(Print("Istwert"), "Istwert 0.0000\n");
}

} // namespace
} // namespace vp7
