// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The host of tests and the headless runner: message boxes are recorded and answered from a queue,
// file dialogs likewise, the screen and the mouse button are whatever the script says, and text is
// drawn as plain blocks so pictures stay identical on every machine.
#include "platform/Host.h"
#include "platform/ScriptedAnswers.h"

#include <functional>
#include <string>
#include <vector>

namespace vp7 {

class ScriptedHost : public Host, public ScriptedAnswers {
public:
    struct Message {
        std::string text;
        MsgType type;
        MsgButtons buttons;
        MsgButton answer;
    };

    void ProcessMessages() override;
    bool LeftButtonDown() const override { return ScriptLeftButtonDown(); }
    void RestoreLeftButton(bool down) override { SetLeftButtonDown(down); }
    MsgButton MessageDlg(const std::string& text, MsgType type, MsgButtons buttons) override;
    std::optional<std::string> OpenFileDialog(const std::string& filter,
                                              const std::string& initialDir) override;
    std::optional<std::string> SaveFileDialog(const std::string& filter, const std::string& initialDir,
                                              const std::string& defaultSuffix) override;
    void TextOut(Picture& picture, int x, int y, const std::string& text, const Font& font, Rgb color,
                 Rgb brush) override;
    // The script decides what happens in the dialog; without a handler it is cancelled at once.
    void ShowModalDialog(ModalDialog dialog) override { RunModalDialog(dialog); }
    // Nine points a character of the longest line, and a margin: predictable in tests.
    int LabelWidth(const std::string& text) const override;
    ScreenInfo Screen() const override { return ScriptScreen(); }
    void RequestClose() override { NoteCloseRequest(); }
    void RestartProgram() override { restartRequested_ = true; }

    // Called with each message box as it is shown (the runner prints it at that moment).
    void OnMessage(std::function<void(const Message&)> f) { onMessage_ = std::move(f); }
    // What "let pending events run" does here; the runner lets a millisecond of virtual time pass.
    void OnProcessMessages(std::function<void()> f) { onProcess_ = std::move(f); }

    const std::vector<Message>& Messages() const { return messages_; }
    void ClearMessages() { messages_.clear(); } // a long run keeps only what it still looks at
    bool RestartRequested() const { return restartRequested_; }

    // Width of a text cell drawn by TextOut, so callers and tests can predict it.
    static int TextWidth(const std::string& text, const Font& font);
    static int TextHeight(const Font& font);

private:
    std::vector<Message> messages_;
    std::function<void(const Message&)> onMessage_;
    std::function<void()> onProcess_;
    bool restartRequested_ = false;
};

} // namespace vp7
