// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Records a session as a scenario script that the runner (and the window) replays exactly: a header
// comment, the screen, the random seed and every setting in force as `ini` lines, `start`, then each
// user action as the runner's command after `wait MS` since the line before. Each line is written and
// flushed as soon as it is complete, so a crash loses at most the action in progress.
//
// An action's line is complete when its handler has returned: the answers to the dialogs it opened
// must stand before it, since the runner queues answers for the boxes to come. Pointer moves are kept
// where they matter: when the hover help changed, before any other action, and one every 100 ms.
#include "model/UserAction.h"

#include <cstdint>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vp7 {

class Simulator;

// A settings file's text as a recording's `ini` lines, one a key, in the file's order.
std::vector<std::string> SettingsLines(std::string_view iniText);

class SessionRecorder final : public ActionObserver {
public:
    static constexpr int64_t kMoveEveryMs = 100;

    // Starts recording `sim`, whose main window was just created, into the file at `path` (replaced);
    // `header` is the first comment line's text. Good() tells whether the file could be opened.
    // `startLine` stands where the session began: `start`, or `exercise PATH` for an exercise, which
    // applies the exercise's settings again over the recorded ones (the same values) and sets its scene.
    // `startMs` is the moment the start line stands for: by default the start-up tick's; a session whose
    // start-up waited for the splash to be clicked away begins when it was.
    SessionRecorder(Simulator& sim, const std::string& path, const std::string& header,
                    std::string startLine = "start", std::optional<int64_t> startMs = std::nullopt);
    // Goes on with the recording at `path`, whose lines were replayed into `sim` up to `atMs`: the lines
    // to come are appended.
    struct Continuation {
        int64_t atMs;
        int64_t recordedMs; // the length of the recording so far, after its start line
    };
    SessionRecorder(Simulator& sim, const std::string& path, Continuation from);
    ~SessionRecorder() override;
    SessionRecorder(const SessionRecorder&) = delete;
    SessionRecorder& operator=(const SessionRecorder&) = delete;

    bool Good() const { return good_; }
    const std::string& Path() const { return path_; }
    // Simulated milliseconds since the recording began.
    int64_t ElapsedMs() const;
    // The moment now is in the recording: milliseconds after its start line, as a rewind counts them.
    int64_t RecordedMs() const;

    // Writes what is still held back (a pointer move the recorder skipped) and a `wait` up to now, so
    // the file replays to this very moment. Only between actions.
    void WriteUpToNow();

    // A line of what was done to the device from outside its user's actions (a classroom's `room`
    // line), standing at this moment: after a `wait` up to now, or after the action under way.
    void WriteOutside(const std::string& line);

    void OnAction(const UserAction& action) override;
    void OnActionDone() override;

    // The runner's command for an action; none for an input the language has no command for.
    static std::optional<std::string> Command(const UserAction& action);

private:
    struct Line {
        int64_t timeMs;
        std::string text;
    };
    void Write(const std::string& text);
    void WriteTimed(const Line& line);
    void Started();
    std::string HelpShown() const;

    Simulator& sim_;
    std::string path_;
    std::string startLine_;
    std::ofstream file_;
    bool good_ = false;
    bool started_ = false;
    int64_t lastMs_ = 0;     // the time the last written line stands at
    int64_t originMs_ = 0;   // the time the start line stands at
    int depth_ = 0;          // actions under way (a handler may let another input run)
    std::vector<Line> held_; // the outermost action and any that ran inside it, in order
    std::vector<std::string> answers_;
    std::optional<Line> skippedMove_;
    int64_t lastMoveMs_ = INT64_MIN / 2;
    std::string helpAtEntry_;
};

} // namespace vp7
