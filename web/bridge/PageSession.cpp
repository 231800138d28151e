// SPDX-License-Identifier: GPL-3.0-or-later
// The page's session beyond the device's own form: the trend as the page's chart takes it, the
// session's recording as the desktop writes one, a saved state that replaces the device only when it
// loads, and a recording checked before the page plays it.
#include "web/bridge/PageDevice.h"

#include "classroom/RunnerSeat.h"
#include "formats/AtomicFile.h"
#include "platform/FileRead.h"
#include "session/SavedState.h"
#include "session/ScratchFolder.h"
#include "session/SessionRecorder.h"
#include "session/script/PlayScript.h"
#include "session/script/Runner.h"
#include "session/trend/TrendRecorder.h"
#include "sim/Simulator.h"
#include "web/bridge/PageHost.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <filesystem>
#include <stdexcept>

namespace vp7 {

namespace {

// A settings file is a few kilobytes; the runner refuses what is not one.
constexpr std::uintmax_t kLargestSettings = 1 << 20;

std::string Dumped(const nlohmann::json& json) {
    return json.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

} // namespace

std::string PageDevice::SettingsPath() const {
    return programDir_ + "/Config/VP7.ini";
}

std::string PageDevice::SettingsText() const {
    return ReadWholeFile(SettingsPath(), kLargestSettings).value_or("");
}

void PageDevice::ResetInScratch(const std::string& folder) {
    std::error_code ignored; // a folder not there is as empty as one removed
    std::filesystem::remove_all(folder, ignored);
    Reset(folder);
}

// {device: which device, as runners and their devices made (a new one has a trend of its own), nowMs,
// sessionMs: since the session began, samples: {next, rows: [[s, setpoint %, position %, deviation %]]},
// events: {next, items:
// [[s, text]]}}; the numbers are the rows' next to ask from.
std::string PageDevice::TrendJson(uint64_t fromSample, uint64_t fromEvent) const {
    nlohmann::json answer{
        {"device", std::to_string(runnersMade_) + '.' + std::to_string(runner_->DevicesMade())},
        {"nowMs", runner_->NowMs()},
        {"sessionMs", std::max<int64_t>(0, runner_->NowMs() - runner_->StartedAtMs())}};
    const TrendRecorder* trend = runner_->Trend();
    const Simulator* sim = runner_->Sim();
    nlohmann::json rows = nlohmann::json::array(), items = nlohmann::json::array();
    uint64_t nextSample = fromSample, nextEvent = fromEvent;
    if (trend && sim) {
        const auto& samples = trend->Samples();
        nextSample = std::max(fromSample, samples.FirstKept());
        const uint64_t last = std::min(samples.Pushed(), nextSample + kTrendRowsACall);
        for (; nextSample < last; ++nextSample) {
            const TrendSample& s = samples.Numbered(nextSample);
            rows.push_back({static_cast<double>(s.timeMs) / 1000, s.setpoint, s.position, s.Deviation()});
        }
        const auto& events = trend->Events();
        for (nextEvent = std::max(fromEvent, events.FirstKept()); nextEvent < events.Pushed(); ++nextEvent) {
            const TrendEvent& e = events.Numbered(nextEvent);
            items.push_back({static_cast<double>(e.timeMs) / 1000, e.Text(sim->state.Language)});
        }
    }
    answer["samples"] = {{"next", nextSample}, {"rows", std::move(rows)}};
    answer["events"] = {{"next", nextEvent}, {"items", std::move(items)}};
    return Dumped(answer);
}

std::string PageDevice::Recording(const std::string& date) const {
    const std::vector<std::string> lines = Runner::SplitLines(runner_->SessionRecording());
    std::string text = "# vp7sim " + std::string(ProgramVersion()) + ", recorded " + date + '\n';
    // The page writes its settings as a file before the start; a recording carries them in its lines.
    bool settingsGiven = false;
    for (const std::string& line : lines) {
        const std::string_view command = Runner::CommandName(line);
        if (command == "ini") settingsGiven = true;
        if ((command == "start" || command == "exercise") && !settingsGiven) {
            for (const std::string& setting : SettingsLines(settingsAtStart_))
                text += setting + '\n';
            settingsGiven = true;
        }
        text += line + '\n';
    }
    return text;
}

std::optional<std::string> PageDevice::Replace(const std::string& line) {
    const std::string settings = SettingsText();
    PageHost* host = nullptr;
    std::unique_ptr<Runner> runner = NewRunner(host);
    try {
        runner->Execute(line);
    } catch (const std::runtime_error& e) { // refused: the state's lines may have written settings
        runner.reset();                     // its device gone before the settings are put back
        out_.str({});
        if (!WriteFileAtomically(SettingsPath(), settings)) return std::string(e.what()) + "; settings lost";
        return std::string(e.what());
    }
    seat_.reset(); // refers to the runner given up
    runner_ = std::move(runner);
    host_ = host;
    Began();
    return std::nullopt;
}

std::string PageDevice::PlayPlan(const std::string& path) {
    const auto text = ReadWholeFile(path, kRecordingMaxBytes);
    if (!text) return Dumped({{"error", "cannot read " + path}});
    const ScratchFolder scratch("vp7-play");
    const auto read = ReadPlayScript(*text, scratch.path);
    if (const auto* problem = std::get_if<ScriptProblem>(&read))
        return Dumped({{"error", "error " + std::to_string(problem->line) + ": " + problem->reason}});
    const PlayScript& script = std::get<PlayScript>(read);
    nlohmann::json steps = nlohmann::json::array();
    for (const PlayStep& step : script.steps)
        steps.push_back({step.atMs, step.text});
    return Dumped({{"setup", script.setup},
                   {"start", script.start},
                   {"steps", std::move(steps)},
                   {"startMs", script.startMs},
                   {"endMs", script.endMs}});
}

void PageDevice::ClockFrom(double pageMs) {
    pageMs_ = runner_->Sim() ? pageMs : -1;
    carryMs_ = 0;
}

} // namespace vp7
