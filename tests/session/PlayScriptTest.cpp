// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/script/PlayScript.h"
#include "support/Refused.h"
#include "support/SimFixture.h"

namespace vp7 {
namespace {

using PlayScriptTest = test::SimFixture;

// Refused before anything plays, with the line and the reason the runner gives.
TEST_F(PlayScriptTest, RefusesABadScriptWithItsLineAndReason) {
    const struct {
        const char* script;
        int line;
        const char* reason;
    } cases[] = {
        {"start\nwait 100\nfrobnicate\n", 3, "unknown command 'frobnicate'"},
        {"start\nwait 1x\n", 2, "bad time '1x'"},
        {"# no start\nwait 100\nstart\n", 2, "'wait' needs start first"},
        {"seed 3\n", 1, "no start"},
        {"start\nset NoSuchControl 1\n", 2, "unknown control 'NoSuchControl'"},
        {"start\nwait 90000000\n", 2, "longer than 24 hours"},
        {"# vp7sim 1, recorded\nstart\nwait 10\ndown 900 356 left\n", 4, "point outside the picture"},
    };
    for (const auto& c : cases) {
        test::ExpectRefused(ReadPlayScript(c.script, (dir / "check").string()), c.line, c.reason, c.script);
    }
}

// A recording cut off in its last line (a crash while it was written) plays up to its last whole line;
// another script's last line counts without its line end. Lines that only write output are left out.
TEST_F(PlayScriptTest, TakesTheWholeLinesWithTheirTimes) {
    const struct {
        const char* script;
        bool truncated;
        std::vector<int> stepLines;
        int64_t lengthMs;
    } cases[] = {
        {"# vp7sim 1, recorded\nstart\nwait 100\ndown 378 356 left\nwait 50\nup 378 3", true, {4}, 150},
        {"start\nwait 100\ndown 378 356 left\nwait 50\nup 378 356", false, {3, 5}, 150},
        {"seed 1\nstart\nprint lcd\nsnapshot /nonexistent/x.bmp\nwait 7\nmove 1 1\n", false, {6}, 7},
    };
    for (const auto& c : cases) {
        const auto read = ReadPlayScript(c.script, (dir / "check").string());
        const auto* script = std::get_if<PlayScript>(&read);
        ASSERT_NE(script, nullptr) << std::get<ScriptProblem>(read).reason;
        EXPECT_EQ(script->truncated, c.truncated) << c.script;
        std::vector<int> lines;
        for (const PlayStep& step : script->steps)
            lines.push_back(step.line);
        EXPECT_EQ(lines, c.stepLines) << c.script;
        EXPECT_EQ(script->endMs - script->startMs, c.lengthMs) << c.script;
    }
}

// Checking a recording that saved a configuration writes it into the scratch folder, never where the
// recording saved it (a file the user may have changed since).
TEST_F(PlayScriptTest, SavesGoToTheScratchFolder) {
    const auto target = dir / "Data" / "mine.vp7";
    const std::string script = "start\nfile " + target.string() + "\nmenu Konfigurationspeichern1\n";
    const auto read = ReadPlayScript(script, (dir / "check").string());
    ASSERT_TRUE(std::holds_alternative<PlayScript>(read)) << std::get<ScriptProblem>(read).reason;
    EXPECT_TRUE(std::filesystem::exists(dir / "check" / "Files" / "mine.vp7"));
    EXPECT_FALSE(std::filesystem::exists(target));
}

} // namespace
} // namespace vp7
