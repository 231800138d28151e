// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/SessionRecorder.h"
#include "support/Bytes.h"
#include "support/SimFixture.h"

namespace vp7 {
namespace {

struct SessionRecorderTest : test::SimFixture {
    // The recorded lines after `start`.
    std::string Actions(const std::filesystem::path& path) {
        const std::string all = test::Bytes(path);
        return all.substr(all.find("\nstart\n") + 7);
    }
};

// A short session: the header names the settings in force, answers stand before the action whose box
// they closed, moves are thinned to what matters, the valve type is one setting and every action waits
// for its time.
TEST_F(SessionRecorderTest, WritesTheRunnersCommandsInTheirOrderAndTime) {
    host.OnMessage([&](const ScriptedHost::Message& m) {
        sim->Answered({.kind = ActionKind::Answer, .answer = m.answer});
    });
    sim->UserCheck(sim->form.AlarmModulSelect, true);
    const auto path = dir / "session.vp7s";
    {
        SessionRecorder recorder(*sim, path.string(), "vp7sim test");
        ASSERT_TRUE(recorder.Good());
        clock.Advance(400);
        Enter("50");
        clock.Advance(300);
        for (int x : {10, 11, 12}) { // a move, then two within 100 ms that change nothing shown
            sim->PointerMove(x, 10);
            clock.Advance(20);
        }
        Click(kModeKey, MouseButton::Right);
        clock.Advance(1000);
        sim->UserCheck(sim->form.SelfClosingSelect, true);
        Enter("abc"); // refused with a message box
    }
    // The header names the settings in force, so the runner starts from the same device.
    const std::string text = test::Bytes(path);
    EXPECT_TRUE(text.starts_with("# vp7sim test\nscreen 1280 1024 24\nseed " +
                                 std::to_string(sim->RandomSeed) + "\n"))
        << text;
    EXPECT_NE(text.substr(0, text.find("\nstart\n")).find("\nini Config Alarmmodul 1\n"), std::string::npos)
        << text;
    EXPECT_EQ(Actions(path), "wait 400\n"
                             "set SetPointText \"50\"\n"
                             "click Enter\n"
                             "wait 300\n"
                             "move 10 10\n"
                             "wait 40\n"
                             "move 12 10\n"
                             "wait 20\n"
                             "down 378 356 right\n"
                             "up 378 356 right\n"
                             "wait 1000\n"
                             "set ValveType S\n"
                             "set SetPointText \"abc\"\n"
                             "answer OK\n"
                             "click Enter\n");
}

// The room's lines stand at their moment: after the pointer held back and a wait up to it, or after the
// action whose dialog was open when the room acted.
TEST_F(SessionRecorderTest, TheRoomsLinesStandWhereTheRoomActed) {
    const auto path = dir / "session.vp7s";
    {
        SessionRecorder recorder(*sim, path.string(), "test");
        host.OnMessage([&](const ScriptedHost::Message& m) {
            recorder.WriteOutside("room message \"Los\"");
            sim->Answered({.kind = ActionKind::Answer, .answer = m.answer});
        });
        recorder.WriteOutside("room speed 2");
        clock.Advance(300);
        sim->PointerMove(10, 10);
        clock.Advance(20);
        sim->PointerMove(12, 10); // held back: within 100 ms, nothing shown changed
        clock.Advance(30);
        recorder.WriteOutside("room freeze 1");
        recorder.WriteOutside("room freeze 0");
        Enter("abc"); // refused with a message box, while which the room acts
    }
    EXPECT_EQ(Actions(path), "room speed 2\n"
                             "wait 300\n"
                             "move 10 10\n"
                             "wait 20\n"
                             "move 12 10\n"
                             "wait 30\n"
                             "room freeze 1\n"
                             "room freeze 0\n"
                             "set SetPointText \"abc\"\n"
                             "answer OK\n"
                             "click Enter\n"
                             "room message \"Los\"\n");
}

} // namespace
} // namespace vp7
