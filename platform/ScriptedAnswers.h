// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a script says in advance about the program's dialogs and surroundings: the buttons of the
// message boxes to come, the files chosen in file dialogs, the state of the left mouse button, the
// screen. The headless host always takes them from here; the desktop host while it plays a recording.
#include "platform/Host.h"

#include <deque>
#include <functional>
#include <optional>
#include <string>

namespace vp7 {

enum class FileUse { Open, Save };

class ScriptedAnswers {
public:
    void QueueAnswer(MsgButton b) { answers_.push_back(b); }
    bool AnswerQueued() const { return !answers_.empty(); }
    // The next queued answer, taken by a message box or a dialog of the program's own.
    std::optional<MsgButton> TakeAnswer();
    // An empty optional stands for a cancelled dialog.
    void QueueFile(std::optional<std::string> path) { files_.push_back(std::move(path)); }
    std::optional<std::string> NextFile(FileUse use);
    // Files saved go into `folder` under their own names instead of where the script says, and a file
    // opened is taken from there when an earlier save put it there: a replay writes nothing outside.
    void KeepFilesIn(std::string folder) { fileFolder_ = std::move(folder); }
    const std::string& FilesKeptIn() const { return fileFolder_; } // empty: where the script says

    void SetLeftButtonDown(bool down) { leftDown_ = down; }
    bool ScriptLeftButtonDown() const { return leftDown_; }
    void SetScreen(ScreenInfo s) { screen_ = s; }
    ScreenInfo ScriptScreen() const { return screen_; }

    // The script's way through the program's own dialogs (the scale dialog, the screen check).
    void OnModalDialog(std::function<void(ModalDialog)> f) { onDialog_ = std::move(f); }
    void RunModalDialog(ModalDialog dialog) {
        if (onDialog_) onDialog_(dialog);
    }

    void NoteCloseRequest() { closeRequested_ = true; }
    bool CloseRequested() const { return closeRequested_; }
    void ClearCloseRequest() { closeRequested_ = false; }

private:
    std::deque<MsgButton> answers_;
    std::deque<std::optional<std::string>> files_;
    std::string fileFolder_;
    bool leftDown_ = false;
    ScreenInfo screen_;
    std::function<void(ModalDialog)> onDialog_;
    bool closeRequested_ = false;
};

} // namespace vp7
