// SPDX-License-Identifier: GPL-3.0-or-later
#include "classroom/HandInVerifier.h"
#include "classroom/DeviceStatus.h"

#include "classroom/RunnerSeat.h"
#include "classroom/SeatCommand.h"
#include "formats/AtomicFile.h"
#include "platform/Sha256.h"
#include "session/ScratchFolder.h"
#include "session/exercise/KeptExercise.h"
#include "session/language/RoomLines.h"
#include "session/language/ScriptWords.h"
#include "session/language/TextLines.h"
#include "session/script/RecordingLines.h"
#include "session/script/Runner.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <filesystem>
#include <ostream>
#include <variant>
#include <vector>

namespace vp7 {
namespace {

namespace fs = std::filesystem;
using WallClock = std::chrono::steady_clock;

// Where a command may stand in a seat's recording of an exercise: what the session recorder writes
// before the start line and after it, and the trainee's answer to the question.
enum class Where { BeforeStart, AfterStart, Anywhere };
struct RecordedCommand {
    std::string_view name;
    Where where;
};
constexpr std::array<RecordedCommand, 16> kRecordedCommands = {{
    {"screen", Where::BeforeStart},
    {"seed", Where::BeforeStart},
    {"ini", Where::BeforeStart},
    {"answer", Where::Anywhere},
    {"file", Where::Anywhere},
    {"scaledialog", Where::Anywhere},
    {"wait", Where::AfterStart},
    {"down", Where::AfterStart},
    {"up", Where::AfterStart},
    {"move", Where::AfterStart},
    {"press", Where::AfterStart},
    {"release", Where::AfterStart},
    {"set", Where::AfterStart},
    {"click", Where::AfterStart},
    {"menu", Where::AfterStart},
    {"room", Where::AfterStart},
}};
constexpr std::string_view kAnswer = "choose"; // after the start: the answer comes after the hand-in
constexpr std::string_view kStart = "exercise";

struct Line {
    int number;
    std::string text;
};

// A recording whose every line was found to be one a seat writes, bounded, ready to replay.
struct CheckedRecording {
    std::vector<Line> lines; // those that act, in their order; the start line among them
    size_t startIndex = 0;   // of the start line in `lines`
    std::optional<uint64_t> seed;
    std::string exerciseFile; // the file name the start line names
    int64_t lengthMs = 0;     // the waits after the start
};

bool MayStand(std::string_view name, bool started) {
    if (name == kAnswer) return started;
    const auto known = std::find_if(kRecordedCommands.begin(), kRecordedCommands.end(),
                                    [&](const RecordedCommand& c) { return c.name == name; });
    return known != kRecordedCommands.end() &&
           (known->where == Where::Anywhere || (known->where == Where::AfterStart) == started);
}

// No line a recorder writes holds a control character: quoted texts escape them.
bool HasControlCharacter(std::string_view line) {
    return std::any_of(line.begin(), line.end(),
                       [](unsigned char c) { return (c < 0x20 && c != '\t') || c == 0x7f; });
}

// The section and key of an `ini` line stay plain words, so the settings file says what the line says.
bool PlainSetting(std::string_view line) {
    line = Trimmed(line).substr(3); // "ini"
    for (int i = 0; i < 2; ++i) {
        line = Trimmed(line);
        const std::string_view word = line.substr(0, line.find_first_of(" \t"));
        if (word.empty() || word.find_first_of("[]=") != std::string_view::npos) return false;
        line.remove_prefix(word.size());
    }
    return true;
}

// The settings a recording brings along are the seat's word, not the station's: a forged `ini` line
// could preset what the exercise asks the trainee to do (a parameter, an initialization's result). The
// station replays under the settings it chose itself, the exercise's own lines, which its start line
// writes again; only the language the trainee worked in, which changes no check, is taken from the
// recording.
bool SettingTaken(std::string_view line) {
    const auto words = SplitWords(Trimmed(line).substr(3)); // "ini"
    const auto same = [](std::string_view a, std::string_view b) {
        return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
                   return std::tolower(static_cast<unsigned char>(x)) ==
                          std::tolower(static_cast<unsigned char>(y));
               });
    };
    return words && words->size() >= 2 && same((*words)[0].text, "Config") &&
           same((*words)[1].text, "Sprache");
}

// What the room did, as a seat writes it: a fault only on an option the room may hide.
bool RoomsAction(std::string_view line) {
    try {
        const RoomAction action = ReadRoomLine(line);
        return action.kind != RoomAction::Kind::Fault || IsHideableFault(action.words);
    } catch (const ScriptError&) {
        return false;
    }
}

// The last part of a path the seat wrote, with either kind of slash.
std::string_view FileNameOf(std::string_view path) {
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string WordsAfter(std::string_view line, std::string_view command) {
    line = Trimmed(line);
    return std::string(Trimmed(line.substr(command.size())));
}

// A file dialog's answer names a file inside `files` under its own name: a save stays in the scratch
// folder, and an open finds only what the replay saved, never a file of the station's.
std::string FileInside(std::string_view line, const fs::path& files) {
    const std::string path = WordsAfter(line, "file");
    if (path == "cancel") return "file cancel";
    return "file " + (files / std::string(FileNameOf(path))).string();
}

std::variant<CheckedRecording, std::string> CheckRecording(std::string_view text, const ReplayBounds& bounds,
                                                           const fs::path& files) {
    if (text.size() > bounds.maxBytes)
        return "the recording is larger than " + std::to_string(bounds.maxBytes) + " bytes";
    if (text.back() != '\n') return std::string("the recording is cut off in its last line");
    CheckedRecording checked;
    bool started = false;
    TextLines lines(text);
    while (const auto line = lines.Next()) {
        const int number = lines.Number();
        const auto at = [number] { return "line " + std::to_string(number) + " of the recording "; };
        if (static_cast<size_t>(number) > bounds.maxLines)
            return "the recording has more than " + std::to_string(bounds.maxLines) + " lines";
        if (line->size() > kLongestScriptLine || HasControlCharacter(*line)) return at() + "is damaged";
        const std::string_view name = Runner::CommandName(*line);
        if (name.empty()) continue;
        if (!started && checked.lines.size() >= bounds.maxSetupLines)
            return "the recording has more than " + std::to_string(bounds.maxSetupLines) +
                   " lines before its start";
        if (name == kStart && !started) {
            started = true;
            checked.startIndex = checked.lines.size();
            checked.exerciseFile = FileNameOf(WordsAfter(*line, kStart));
        } else if (!MayStand(name, started)) {
            return at() + "holds '" + std::string(name) +
                   "', which a seat's recording of an exercise does not";
        } else if (name == "ini" && !PlainSetting(*line)) {
            return at() + "names a setting that is none";
        } else if (name == "ini" && !SettingTaken(*line)) {
            continue;
        } else if (name == "room" && !RoomsAction(*line)) {
            return at() + "holds an action the room does not take";
        } else if (name == "seed") {
            const std::string word = WordsAfter(*line, name);
            uint64_t seed = 0;
            const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), seed);
            if (checked.seed || error != std::errc() || end != word.data() + word.size())
                return at() + "holds a second or a bad seed";
            checked.seed = seed;
        }
        // A sum of waits past the ceiling is refused before it could overflow.
        checked.lengthMs += std::max<int64_t>(0, WaitOf(*line));
        if (checked.lengthMs > bounds.ceilingMs)
            return "the recording is longer than " + std::to_string(bounds.ceilingMs / 60000) + " minutes";
        checked.lines.push_back({number, name == "file" ? FileInside(*line, files) : std::string(*line)});
    }
    if (!started) return std::string("the recording is not of an exercise: it has no 'exercise' line");
    return checked;
}

std::string PassedWord(bool passed) {
    return passed ? "passed" : "failed";
}

// Where the seat's claim and the replay part, in the order the station shows a hand-in; empty when
// they agree.
std::string ClaimDiffers(const SeatHandIn& claimed, const SeatHandIn& replayed) {
    if (claimed.exercise != replayed.exercise)
        return "the hand-in names the exercise '" + claimed.exercise + "', the station sent '" +
               replayed.exercise + "'";
    if (claimed.checks.size() != replayed.checks.size())
        return "the hand-in has " + std::to_string(claimed.checks.size()) + " checks, the exercise " +
               std::to_string(replayed.checks.size());
    for (size_t i = 0; i < claimed.checks.size(); ++i) {
        const SeatHandIn::Check& seat = claimed.checks[i];
        const SeatHandIn::Check& replay = replayed.checks[i];
        if (seat.text != replay.text)
            return "check " + std::to_string(i + 1) + " of the hand-in is '" + seat.text +
                   "', the exercise's '" + replay.text + "'";
        if (seat.passed != replay.passed)
            return "check '" + seat.text + "': the seat says " + PassedWord(seat.passed) + ", the replay " +
                   PassedWord(replay.passed);
    }
    if (claimed.question != replayed.question) {
        const auto said = [](const std::optional<bool>& q) { return !q ? "none" : *q ? "right" : "wrong"; };
        return std::string("the answer to the question: the seat says ") + said(claimed.question) +
               ", the replay " + said(replayed.question);
    }
    if (claimed.passed != replayed.passed || claimed.total != replayed.total)
        return "the hand-in's score is " + std::to_string(claimed.passed) + "/" +
               std::to_string(claimed.total) + ", the replay's " + std::to_string(replayed.passed) + "/" +
               std::to_string(replayed.total);
    return {};
}

ReplayedWork WorkOf(const ExerciseResult& result) {
    ReplayedWork work{result.exercise, {}, result.takenMs, {}, {}, result.QuestionPassed()};
    for (const auto& [check, outcome] : result.checks)
        work.checks.push_back({check->text, outcome.passed, outcome.value});
    if (result.question) {
        work.question = result.question->text;
        if (result.chosen && *result.chosen >= 0 &&
            static_cast<size_t>(*result.chosen) < result.question->choices.size())
            work.answer = result.question->choices[*result.chosen];
    }
    return work;
}

} // namespace

HandInVerdict VerifyHandIn(const SentExercise& sent, const SeatHandIn& handIn, const ReplayBounds& bounds) {
    const WallClock::time_point began = WallClock::now();
    HandInVerdict verdict;
    const auto refused = [&verdict](std::string why) {
        verdict.refusal = std::move(why);
        return verdict;
    };
    if (handIn.recording.empty()) return refused("the hand-in carries no recording");
    try {
        const ScratchFolder scratch("vp7-verify");
        const fs::path program = fs::path(scratch.path) / "program";
        auto read = CheckRecording(handIn.recording, bounds, program / "Files");
        if (auto* why = std::get_if<std::string>(&read)) return refused(std::move(*why));
        const CheckedRecording& recording = std::get<CheckedRecording>(read);
        if (recording.seed != sent.seed)
            return refused("the recording does not start from the seed the station chose for the seat");
        const std::string fileName = KeptExerciseName(sent.text);
        if (recording.exerciseFile != fileName)
            return refused("the recording plays another exercise than the one the station sent the seat");
        // The station's own copy of the exercise, where the start line finds it.
        const fs::path exercise = fs::path(scratch.path) / "exercise" / fileName;
        fs::create_directories(exercise.parent_path());
        if (!WriteFileAtomically(exercise.string(), sent.text, Flush::BySystem))
            return refused("cannot write the exercise into " + exercise.parent_path().string());

        std::ostream discarded(nullptr); // the messages and the hand-in's lines
        Runner runner(discarded, program.string());
        runner.KeepFilesInProgramFolder();
        for (size_t i = 0; i < recording.lines.size(); ++i) {
            if (WallClock::now() - began > bounds.wallBudget)
                return refused("the replay took longer than " + std::to_string(bounds.wallBudget.count()) +
                               " ms");
            const Line& line = recording.lines[i];
            const bool start = i == recording.startIndex;
            try {
                runner.Execute(start ? "exercise " + exercise.string() : line.text, line.number);
            } catch (const std::runtime_error& e) { // ScriptError or RunFailure
                if (start)
                    return refused(std::string("the station's exercise does not start here: ") + e.what());
                return refused("line " + std::to_string(line.number) +
                               " of the recording does not replay: " + e.what());
            }
            if (const auto limit = runner.CurrentExercise().limitMs;
                start && limit && recording.lengthMs > *limit + bounds.marginMs)
                return refused("the recording is longer than the exercise's time limit");
        }
        const ExerciseResult result = runner.HandInNow();
        verdict.replayed = HandInOf(result);
        verdict.work = WorkOf(result);
    } catch (const std::exception& e) { // a scratch folder refused, a check the exercise broke
        return refused(std::string("the replay failed: ") + e.what());
    }
    verdict.refusal = ClaimDiffers(handIn, *verdict.replayed);
    return verdict;
}

} // namespace vp7
