#pragma once
// The host of tests and the headless runner: message boxes are recorded and answered from a queue,
// file dialogs likewise, the screen and the mouse button are whatever the script says, and text is
// drawn as plain blocks so pictures stay identical on every machine.
#include "platform/Host.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace vp7 {

class ScriptedHost : public Host {
public:
    struct Message {
        std::string text;
        MsgType type;
        MsgButtons buttons;
        MsgButton answer;
    };

    void ProcessMessages() override;
    bool LeftButtonDown() const override { return leftDown_; }
    MsgButton MessageDlg(const std::string& text, MsgType type, MsgButtons buttons) override;
    std::optional<std::string> OpenFileDialog(const std::string& filter,
                                              const std::string& initialDir) override;
    std::optional<std::string> SaveFileDialog(const std::string& filter, const std::string& initialDir,
                                              const std::string& defaultSuffix) override;
    void TextOut(Picture& picture, int x, int y, const std::string& text, const Font& font, Rgb color,
                 Rgb brush) override;
    // The script decides what happens in the dialog; without a handler it is cancelled at once.
    void ShowModalDialog(ModalDialog dialog) override {
        if (onDialog_) onDialog_(dialog);
    }
    void OnModalDialog(std::function<void(ModalDialog)> f) { onDialog_ = std::move(f); }
    // Nine points a character of the longest line, and a margin: predictable in tests.
    int LabelWidth(const std::string& text) const override;
    ScreenInfo Screen() const override { return screen_; }
    void RequestClose() override { closeRequested_ = true; }
    void RestartProgram() override { restartRequested_ = true; }

    // Script side.
    void SetLeftButtonDown(bool down) { leftDown_ = down; }
    void SetScreen(ScreenInfo s) { screen_ = s; }
    void QueueAnswer(MsgButton b) { answers_.push_back(b); }
    // The next queued answer, taken by a dialog of the program's own.
    std::optional<MsgButton> TakeAnswer() {
        if (answers_.empty()) return std::nullopt;
        const MsgButton b = answers_.front();
        answers_.pop_front();
        return b;
    }
    // An empty optional stands for a cancelled dialog.
    void QueueFile(std::optional<std::string> path) { files_.push_back(std::move(path)); }
    // Called with each message box as it is shown (the runner prints it at that moment).
    void OnMessage(std::function<void(const Message&)> f) { onMessage_ = std::move(f); }
    // What "let pending events run" does here; the runner lets a millisecond of virtual time pass.
    void OnProcessMessages(std::function<void()> f) { onProcess_ = std::move(f); }

    const std::vector<Message>& Messages() const { return messages_; }
    void ClearMessages() { messages_.clear(); } // a long run keeps only what it still looks at
    bool CloseRequested() const { return closeRequested_; }
    void ClearCloseRequest() { closeRequested_ = false; }
    bool RestartRequested() const { return restartRequested_; }

    // Width of a text cell drawn by TextOut, so callers and tests can predict it.
    static int TextWidth(const std::string& text, const Font& font);
    static int TextHeight(const Font& font);

private:
    std::optional<std::string> NextFile();

    bool leftDown_ = false;
    ScreenInfo screen_;
    std::deque<MsgButton> answers_;
    std::deque<std::optional<std::string>> files_;
    std::vector<Message> messages_;
    std::function<void(const Message&)> onMessage_;
    std::function<void()> onProcess_;
    std::function<void(ModalDialog)> onDialog_;
    bool closeRequested_ = false, restartRequested_ = false;
};

} // namespace vp7
