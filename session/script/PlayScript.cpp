// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/script/PlayScript.h"

#include "session/SavedState.h"
#include "session/language/TextLines.h"
#include "session/script/RecordingLines.h"
#include "session/script/Runner.h"

#include <sstream>

namespace vp7 {
namespace {

constexpr std::string_view kRecordingHeader = "# vp7sim ";
// A longer script is a mistake, and checking it would keep the window busy for minutes.
constexpr int64_t kLongestPlayMs = 24LL * 3600 * 1000;

} // namespace

std::variant<PlayScript, ScriptProblem> ReadPlayScript(std::string_view text, const std::string& scratchDir) {
    PlayScript script;
    if (text.starts_with(kRecordingHeader) && text.back() != '\n') {
        text = text.substr(0, text.rfind('\n') + 1); // npos + 1 leaves nothing
        script.truncated = true;
    }
    int64_t total = 0;
    TextLines scan(text);
    while (const auto line = scan.Next()) {
        if (line->size() > kLongestScriptLine)
            return ScriptProblem{scan.Number(),
                                 "longer than " + std::to_string(kLongestScriptLine) + " characters"};
        if ((total += WaitOf(*line)) > kLongestPlayMs)
            return ScriptProblem{scan.Number(), "longer than 24 hours"};
    }

    std::ostringstream discarded;
    Runner check(discarded, scratchDir);
    check.KeepFilesInProgramFolder();
    bool started = false;
    for (TextLines lines(text); const auto line = lines.Next();) {
        const int number = lines.Number();
        const std::string_view name = Runner::CommandName(*line);
        if (name.empty() || Runner::HasTrait(name, Runner::kOutput)) continue;
        const int64_t at = check.NowMs();
        try {
            check.Execute(*line);
        } catch (const std::runtime_error& e) { // ScriptError or RunFailure
            return ScriptProblem{number, ShortenedQuotes(e.what())};
        }
        discarded.str({});
        if (!started) {
            if (name == "start" || name == "exercise") {
                started = true;
                script.start = *line;
                script.startMs = check.NowMs();
            } else
                script.setup.emplace_back(*line);
        } else if (name != "wait") {
            script.steps.push_back({at, number, std::string(*line)});
        }
    }
    if (!started) return ScriptProblem{scan.Number(), "no start"}; // at the last line
    script.endMs = check.NowMs();
    return script;
}

void PlayAfterStart(Runner& runner, const PlayScript& script, const std::function<void(int64_t)>& advanceTo,
                    std::ostringstream& output) {
    for (const PlayStep& step : script.steps) {
        advanceTo(step.atMs);
        try {
            runner.Execute(step.text);
        } catch (const std::runtime_error&) {
        }
        output.str({});
    }
    advanceTo(script.endMs);
}

} // namespace vp7
