// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Saved states in the window: reading and checking one whole, and starting the program's device from
// one. The device replays the state on its own clock driven by hand (no picture updates, no real
// dialogs), then goes live from exactly that moment.
#include "session/SnapshotSession.h"
#include "session/script/BacktrackReplay.h"
#include "session/script/PlayScript.h"
#include "ui/app/Application.h"

#include <QStringList>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

class QWidget;

namespace vp7 {

class InstructorControls;
class MainWindow;

struct CheckedState {
    std::string text;
    PlayScript script;
};

// The saved state at `path`, checked whole for a device of `variant` (any variant when none) whose
// settings file is `settingsPath` (one there that cannot be read refuses the state: its settings
// lines would replace it); nothing after a message box (in German when `german`) said why it cannot
// be loaded.
std::optional<CheckedState> ReadStateFile(QWidget* parent, const QString& path,
                                          std::optional<uint8_t> variant, const std::string& settingsPath,
                                          bool german);

// The saved state `text`, read from `path`, checked as ReadStateFile checks it.
std::optional<CheckedState> CheckStateText(QWidget* parent, const QString& path, std::string text,
                                           std::optional<uint8_t> variant, const std::string& settingsPath,
                                           bool german);

// `main` shows `state` in place of its session: replayed into a new session on a clock driven by hand
// (no picture updates, no real dialogs), then live from exactly that moment, recorded on into
// `recordPath` when given, else kept in the instructor's log.
void ShowStateInPlace(MainWindow& main, InstructorControls& instructor, const CheckedState& state,
                      const std::string& recordPath = {});

// `main` goes back to `ms` in its session's recording, `cut` being the recording cut there: the
// backtrack `from` (PlanRewind's) restored and only the actions after it replayed, on a clock driven by
// hand; the session goes on as ShowStateInPlace's does. False, nothing changed, when the backtrack does
// not fit the device made for it.
bool RewindFromBacktrack(MainWindow& main, InstructorControls& instructor, BacktrackReplay from,
                         std::string cut, int64_t ms, const std::string& recordPath = {});

// Whether the file at `path` is a snapshot state (the whole device as data) rather than a recording.
bool IsSnapshotState(const QString& path);

// `main` shows the snapshot state at `path` in place of its session: a new device created as at any
// start takes the snapshot's state, nothing replayed, and the session's log goes on from the
// recording the state keeps. Nothing changes, after a message (in German when `german`), when the
// file cannot be read, is damaged or was saved on another device variant.
bool ShowSnapshotInPlace(MainWindow& main, InstructorControls& instructor, const QString& path, bool german);
// The same for a snapshot state's `bytes` (sent by a classroom's instructor), checked whole before the
// session is replaced; a refusal's message names the state `shownAs`.
bool ShowSnapshotInPlace(MainWindow& main, InstructorControls& instructor, std::string_view bytes,
                         const QString& shownAs, bool german);
// The two halves of it, for a caller with more to do between them: a snapshot state's `bytes` made into
// a session for `main`, not yet shown (a refusal says why), and that session shown in place of `main`'s.
std::variant<SnapshotSession, StateRefusal> SessionForWindow(MainWindow& main, std::string_view bytes);
void ShowSessionInPlace(MainWindow& main, InstructorControls& instructor, SnapshotSession loaded);

// The program's windows, as the command line asks: from a saved state with `--state FILE`, else as
// usual; recording into `recordPath` when it can take a recording. A state that cannot be loaded, or a
// recording that cannot be made, is refused with a message, and the program starts without it.
AppWindows StartProgram(const std::string& programDir, bool desktopGerman, const QStringList& arguments,
                        const std::string& recordPath);

} // namespace vp7
