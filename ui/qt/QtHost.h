// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The platform services of the desktop program: Qt message boxes and file dialogs, text drawn with
// QPainter into the device picture, the screen, and closing or restarting the program.
#include "model/UserAction.h"
#include "platform/Host.h"
#include "platform/ScriptedAnswers.h"

#include <functional>

class QFont;
class QWidget;

namespace vp7 {

class QtHost : public Host {
public:
    explicit QtHost(QWidget* window) : window_(window) {}

    void ProcessMessages() override;
    bool LeftButtonDown() const override;
    MsgButton MessageDlg(const std::string& text, MsgType type, MsgButtons buttons) override;
    std::optional<std::string> OpenFileDialog(const std::string& filter,
                                              const std::string& initialDir) override;
    std::optional<std::string> SaveFileDialog(const std::string& filter, const std::string& initialDir,
                                              const std::string& defaultSuffix) override;
    void TextOut(Picture& picture, int x, int y, const std::string& text, const Font& font, Rgb color,
                 Rgb brush) override;
    int LabelWidth(const std::string& text) const override;
    void ShowModalDialog(ModalDialog dialog) override;
    void OnModalDialog(std::function<void(ModalDialog)> f) { onDialog_ = std::move(f); }
    ScreenInfo Screen() const override;
    void RequestClose() override;
    void RestartProgram() override { restart_ = true; }

    // Runs before every modal box or dialog, so the window behind it shows the state that led to it.
    void OnBeforeModal(std::function<void()> f) { beforeModal_ = std::move(f); }
    bool RestartWanted() const { return restart_; }
    // A device key held on the keyboard with its left-button function counts as the held left button,
    // so the device's holds, repeats and acceleration run as with the mouse.
    void SetKeyHeld(bool held) { keyHeld_ = held; }
    // While a recording plays, its script answers every dialog and says where the pointer's button is;
    // the window shows each message box's text and answer through `shown` instead of a box.
    void PlayFrom(ScriptedAnswers* script) { script_ = script; }
    void OnPlayedMessage(std::function<void(const std::string&, MsgButton)> shown) {
        playedMessage_ = std::move(shown);
    }
    // Told what the user answered in each message box and file dialog (a session recording).
    void OnAnswered(std::function<void(const UserAction&)> f) { answered_ = std::move(f); }
    // The next open dialog is not shown: `path` is its answer, told as if the user had chosen it (a file
    // from the recent list goes the way of any other). Cleared once used or with nothing.
    void AnswerNextOpenDialog(std::optional<std::string> path) { nextOpen_ = std::move(path); }

private:
    QWidget* window_;
    void BeforeModal() {
        if (beforeModal_) beforeModal_();
    }
    std::function<void()> beforeModal_;
    std::function<void(ModalDialog)> onDialog_;
    std::function<void(const UserAction&)> answered_;
    void Answered(const UserAction& answer) {
        if (answered_) answered_(answer);
    }
    bool restart_ = false;
    bool keyHeld_ = false;
    std::optional<std::string> nextOpen_;
    ScriptedAnswers* script_ = nullptr;
    std::function<void(const std::string&, MsgButton)> playedMessage_;
};

// The font of the hover help labels.
QFont HelpLabelFont();

// "Text (*.a)|*.a|All (*.*)|*.*" as Qt writes it: "Text (*.a);;All (*.*)".
std::string QtFileFilter(const std::string& filter);

} // namespace vp7
