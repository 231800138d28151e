// SPDX-License-Identifier: GPL-3.0-or-later
#include "web/bridge/PageExercise.h"

#include "platform/FileRead.h"
#include "platform/Sha256.h"
#include "session/ScratchFolder.h"
#include "session/exercise/ExerciseReport.h"
#include "session/script/ReadExercise.h"
#include "session/script/Runner.h"

#include <nlohmann/json.hpp>

#include <filesystem>
#include <stdexcept>

namespace vp7 {
namespace {

// An exercise is a page of lines, as the runner reads one.
constexpr std::uintmax_t kExerciseMaxBytes = 1u << 20;

nlohmann::json Texts(const BilingualText& text) {
    return {{"de", text.de}, {"en", text.en}};
}

std::string Dumped(const nlohmann::json& json) {
    return json.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

std::string FileName(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

bool IsExercise(const Exercise& exercise) {
    return !exercise.title.de.empty() || !exercise.title.en.empty() || !exercise.checks.empty() ||
           exercise.question.has_value();
}

} // namespace

bool ExerciseRuns(Runner& runner) {
    return runner.Sim() && IsExercise(runner.RunningExercise().Definition());
} // namespace

std::string CheckedExerciseJson(const std::string& path) {
    const auto text = ReadWholeFile(path, kExerciseMaxBytes);
    if (!text) return Dumped({{"ok", false}, {"error", "cannot read " + FileName(path)}});
    try {
        const ScratchFolder scratch("vp7-exercise");
        auto read = ReadExercise(*text, scratch.path, std::filesystem::path(path).parent_path().string());
        if (const auto* problem = std::get_if<ScriptProblem>(&read))
            return Dumped({{"ok", false},
                           {"error", "error " + std::to_string(problem->line) + ": " + problem->reason}});
        return Dumped({{"ok", true}, {"title", Texts(std::get<Exercise>(read).title)}});
    } catch (const std::runtime_error& e) { // no scratch folder
        return Dumped({{"ok", false}, {"error", e.what()}});
    }
}

std::string RunningExerciseJson(Runner& runner) {
    const ExerciseRun& run = runner.RunningExercise();
    const Exercise& exercise = run.Definition();
    if (!runner.Sim() || !IsExercise(exercise)) return Dumped({{"open", false}});
    nlohmann::json tasks = nlohmann::json::array();
    for (const BilingualText& task : exercise.tasks)
        tasks.push_back(Texts(task));
    nlohmann::json question = nullptr;
    if (exercise.question) {
        question = {{"text", Texts(exercise.question->text)}, {"choices", nlohmann::json::array()}};
        for (const BilingualText& choice : exercise.question->choices)
            question["choices"].push_back(Texts(choice));
    }
    const int64_t now = runner.NowMs();
    const auto left = run.TimeLeftMs(now);
    return Dumped(
        {{"open", true},
         {"title", Texts(exercise.title)},
         {"tasks", std::move(tasks)},
         {"limitMs", exercise.limitMs ? nlohmann::json(*exercise.limitMs) : nlohmann::json(nullptr)},
         {"elapsedMs", run.ElapsedMs(now)},
         {"timeLeftMs", left ? nlohmann::json(*left) : nlohmann::json(nullptr)},
         {"speed", runner.Speed()},
         {"question", std::move(question)}});
}

std::string HandInJson(Runner& runner, const HandInFacts& facts) {
    if (!runner.Sim() || !IsExercise(runner.RunningExercise().Definition()))
        return Dumped({{"ok", false}, {"error", "no exercise to hand in"}});
    ExerciseResult result;
    try {
        result = runner.HandInNow();
    } catch (const std::runtime_error& e) {
        return Dumped({{"ok", false}, {"error", e.what()}});
    }
    const std::string recording = runner.SessionRecording();
    if (facts.room) facts.room->HandedIn(result);
    result.trainee = facts.trainee;
    result.date = facts.date;
    result.exerciseFile = FileName(facts.exercisePath);
    result.exercisePath = result.exerciseFile;
    result.exerciseSha256 = Sha256OfFile(facts.exercisePath, kExerciseMaxBytes).value_or("");
    result.recordingFile = facts.recordingFile;
    result.recordingPath = facts.recordingFile;
    result.recordingSha256 = Sha256Hex(recording);
    nlohmann::json checks = nlohmann::json::array();
    for (const auto& [check, outcome] : result.checks)
        checks.push_back(
            {{"text", Texts(check->text)}, {"passed", outcome.passed}, {"value", outcome.value}});
    return Dumped(
        {{"ok", true},
         {"passed", result.Passed()},
         {"total", result.Total()},
         {"takenMs", result.takenMs},
         {"checks", std::move(checks)},
         {"question", result.question ? nlohmann::json(result.QuestionPassed()) : nlohmann::json(nullptr)},
         {"report", ReportHtml(result, facts.german)},
         {"recording", recording}});
}

} // namespace vp7
