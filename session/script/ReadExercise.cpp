// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/script/ReadExercise.h"

#include "model/FormState.h"
#include "session/exercise/CheckExpression.h"
#include "session/script/Runner.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <sstream>

namespace vp7 {
namespace {

constexpr std::array<std::string_view, 9> kDeclarations{"title", "task",  "hide",     "lock",  "at",
                                                        "limit", "check", "question", "choice"};
// The trainee's commands, commands that only write output, closing and rewinding: an exercise sets a
// scene. Its `state FILE` stands for its start.
constexpr unsigned kNotInExercise = Runner::kNotInScene | Runner::kOutput;
// Longer than a lesson is a slip of the pen.
constexpr int64_t kLongestMs = 24LL * 3600 * 1000;

// "DE" "EN" at `first`, and nothing after them but the words in `extra`.
BilingualText Texts(const std::vector<ScriptWord>& words, size_t first, std::string_view command,
                    size_t extra = 0) {
    if (words.size() != first + 2 + extra || !words[first].quoted || !words[first + 1].quoted)
        throw ScriptError("'" + std::string(command) + "' takes \"DE\" \"EN\"");
    return {words[first].text, words[first + 1].text};
}

int64_t TimeMs(const std::string& word) {
    const int ms = ToInt(word, "time");
    if (ms < 0 || ms > kLongestMs) throw ScriptError("bad time '" + word + "'");
    return ms;
}

} // namespace

bool IsExerciseDeclaration(std::string_view command) {
    return std::find(kDeclarations.begin(), kDeclarations.end(), command) != kDeclarations.end();
}

void DeclareExerciseLine(Exercise& exercise, std::string_view command, std::string_view rest, int line) {
    const auto parsed = SplitWords(rest);
    if (!parsed) throw ScriptError("a quoted text is not closed");
    const std::vector<ScriptWord>& words = *parsed;
    if (command == "title") {
        exercise.title = Texts(words, 0, command);
    } else if (command == "task") {
        exercise.tasks.push_back(Texts(words, 0, command));
    } else if (command == "hide" || command == "lock") {
        static const FormState kForm; // the names only
        if (words.size() != 1 || !kForm.Find(words[0].text))
            throw ScriptError("unknown control '" + std::string(Trimmed(rest)) + "'");
        (command == "hide" ? exercise.hidden : exercise.locked).push_back(words[0].text);
    } else if (command == "at") {
        if (words.size() < 2) throw ScriptError("'at' takes MS COMMAND");
        const std::string_view timed = rest.substr(words[1].begin);
        Runner::CheckTimedCommand(timed);
        exercise.timed.push_back({TimeMs(words[0].text), line, std::string(timed)});
    } else if (command == "limit") {
        if (words.size() != 1 || TimeMs(words[0].text) == 0)
            throw ScriptError("bad time '" + std::string(Trimmed(rest)) + "'");
        exercise.limitMs = TimeMs(words[0].text);
    } else if (command == "check") {
        if (words.size() < 3) throw ScriptError("'check' takes NAME OP VALUE \"DE\" \"EN\"");
        const size_t texts = words.size() - 2;
        const std::string expression(Trimmed(rest.substr(0, words[texts].begin)));
        ParseChecks(expression);
        exercise.checks.push_back({line, expression, Texts(words, texts, command)});
    } else if (command == "question") {
        if (exercise.question) throw ScriptError("one question only");
        exercise.question.emplace();
        exercise.question->line = line;
        exercise.question->text = Texts(words, 0, command);
    } else if (command == "choice") {
        if (!exercise.question) throw ScriptError("a choice needs a question before it");
        const bool correct = words.size() == 3;
        if (correct && (words[2].quoted || words[2].text != "correct"))
            throw ScriptError("'choice' takes \"DE\" \"EN\", the correct one also correct");
        ExerciseQuestion& question = *exercise.question;
        const BilingualText texts = Texts(words, 0, command, correct ? 1 : 0);
        if (correct && question.correct >= 0) throw ScriptError("one correct choice only");
        if (correct) question.correct = static_cast<int>(question.choices.size());
        question.choices.push_back(texts);
    }
}

std::variant<Exercise, ScriptProblem> ReadExercise(std::string_view text, const std::string& scratchDir,
                                                   const std::string& folder) {
    std::vector<std::string> lines = Runner::SplitLines(text);
    std::ostringstream discarded;
    Runner scratch(discarded, scratchDir);
    scratch.KeepFilesInProgramFolder();
    scratch.SetScriptFolder(folder);
    std::vector<std::string> settings, prepare;
    std::string state;
    int stateLine = 0;
    bool started = false;
    for (size_t i = 0; i < lines.size(); ++i) {
        const int number = static_cast<int>(i + 1);
        const std::string_view name = Runner::CommandName(lines[i]);
        if (name.empty()) continue;
        if (name == "wait")
            return ScriptProblem{number, "an exercise sets its scene at one moment: no 'wait'"};
        if (Runner::HasTrait(name, kNotInExercise) && !(name == "state" && !started))
            return ScriptProblem{number, "'" + std::string(name) + "' does not belong in an exercise"};
        try {
            scratch.Execute(lines[i], number);
        } catch (const std::runtime_error& e) { // ScriptError or RunFailure
            return ScriptProblem{number, e.what()};
        }
        if (IsExerciseDeclaration(name)) continue;
        if (started)
            prepare.push_back(std::move(lines[i]));
        else if (name == "start")
            started = true;
        else if (name == "state") {
            started = true;
            stateLine = number;
            const std::string named(Trimmed(Trimmed(lines[i]).substr(name.size())));
            std::error_code ec; // the state was read just now: its path resolves
            state = std::filesystem::absolute(scratch.ScriptRelative(named), ec).string();
        } else
            settings.push_back(std::move(lines[i]));
    }
    if (!started) return ScriptProblem{static_cast<int>(lines.size()), "no start"};
    Exercise exercise = scratch.CurrentExercise();
    exercise.settings = std::move(settings);
    exercise.prepare = std::move(prepare);
    exercise.state = std::move(state);
    exercise.stateLine = stateLine;
    if (const auto& q = exercise.question; q && (q->choices.size() < 2 || q->correct < 0))
        return ScriptProblem{q->line, "a question takes two choices or more, one of them correct"};
    for (const ExerciseCheck& check : exercise.checks) {
        try {
            scratch.Evaluate(check.expression);
        } catch (const ScriptError& e) {
            return ScriptProblem{check.line, e.what()};
        }
    }
    return exercise;
}

} // namespace vp7
