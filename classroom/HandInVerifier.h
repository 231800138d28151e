// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The instructor's station judges a hand-in itself. The seat's recording of the exercise is replayed
// on a device of the verifier's own, on a virtual clock, from the exercise text the station sent that
// seat and the random seed it chose for it, and judged at the recording's end by the exercise's
// checks, as the runner's `handin` judges. The score the seat claims counts only when the replay gives
// the same. No toolkit and no threads of its own: a station calls it off its window's thread.
//
// A recording is hostile until checked: it may hold only what the session recorder writes (the
// screen, the seed, `ini` lines, answers, the exercise's start, waits and the trainee's actions) and
// the trainee's answer to the question (`choose N`) after them; everything else is refused before
// anything plays. Files its file dialogs save or open stay in the verifier's scratch folder.
#include "classroom/HandIn.h"
#include "session/exercise/Exercise.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vp7 {

// What the station keeps of each seat until its hand-in: the exercise's text exactly as it sent it,
// and the random seed it chose for the seat's device (SeatCommand::seed).
struct SentExercise {
    std::string text;
    uint64_t seed = 0;
};

// A recording of hours of pointer moves has some hundred thousand lines.
inline constexpr std::size_t kReplayMaxLines = 200'000;
// The lines before the start: the screen, the seed and the settings in force, a few hundred.
inline constexpr std::size_t kReplayMaxSetupLines = 2'000;
// The exercise is handed in at its limit at the latest, a moment later when the trainee's dialog was
// open; an exercise without a limit is a lesson long at most.
inline constexpr int64_t kReplayMarginMs = 60'000;
inline constexpr int64_t kReplayCeilingMs = 4LL * 3600 * 1000;
// Half an hour replays in well under a second; a replay taking longer than this is refused.
inline constexpr std::chrono::milliseconds kReplayWallBudget{10'000};

// The bounds one replay keeps; a recording breaking one is not verified.
struct ReplayBounds {
    std::size_t maxBytes = kHandInRecordingMaxBytes;
    std::size_t maxLines = kReplayMaxLines;
    std::size_t maxSetupLines = kReplayMaxSetupLines;
    int64_t marginMs = kReplayMarginMs;                       // after the exercise's limit
    int64_t ceilingMs = kReplayCeilingMs;                     // for an exercise without a limit
    std::chrono::milliseconds wallBudget = kReplayWallBudget; // checked between lines
};

// What the replay found, in both languages, for the station's report: each check with the value it
// read, the time the trainee took and the answer given.
struct ReplayedWork {
    struct Check {
        BilingualText text;
        bool passed = false;
        std::string value; // what the check read, or why it could not
    };
    BilingualText exercise;
    std::vector<Check> checks;
    int64_t takenMs = 0;
    std::optional<BilingualText> question;
    std::optional<BilingualText> answer; // the choice given; none when the trainee chose none
    bool answerRight = false;
};

struct HandInVerdict {
    // The replay's judgement, when the recording played to its end, and what it found.
    std::optional<SeatHandIn> replayed;
    std::optional<ReplayedWork> work;
    // Why the hand-in is not verified, in English; empty when it is: its claim is the replay's.
    std::string refusal;
    bool Verified() const { return refusal.empty() && replayed.has_value(); }
};

// Replays `handIn`'s recording against what the station sent the seat and compares the claim with it.
HandInVerdict VerifyHandIn(const SentExercise& sent, const SeatHandIn& handIn,
                           const ReplayBounds& bounds = {});

} // namespace vp7
