// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The host of a device a page shows: the runner's scripted host, whose dialogs the page answers ahead
// (a file chosen before the menu that asks for it), with text drawn by the browser's canvas in the
// desktop's font, and boxes with a choice answered with the button that changes nothing when the page
// queued no answer; the page then shows the box and asks again with the user's choice.
#include "platform/ScriptedHost.h"

#include <functional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace vp7 {

class PageHost : public ScriptedHost {
public:
    MsgButton MessageDlg(const std::string& text, MsgType type, MsgButtons buttons) override;
    void TextOut(Picture& picture, int x, int y, const std::string& text, const Font& font, Rgb color,
                 Rgb brush) override;
    int LabelWidth(const std::string& text) const override;
    void ShowModalDialog(ModalDialog dialog) override;

    // The program's own dialogs asked for since the last call, in order.
    std::vector<ModalDialog> TakeDialogsAsked();

    // While `held()` says so (an exercise runs), the device's wish to close its window (to quit, or to
    // restart the program for a setting) is the page's to grant: the runner leaves the window open, as
    // the desktop's exercise window stays open until the trainee agrees to abandon the exercise.
    void HoldCloseWhile(std::function<bool()> held) { closeHeld_ = std::move(held); }
    void RequestClose() override;
    // Whether the device asked to close, held, since the last call.
    bool TakeHeldCloseRequest() { return std::exchange(closeAskedHeld_, false); }

private:
    // A text as the page drew it: its cell's logical size and its pixels at the picture's scale.
    struct DrawnText {
        int width = 0, height = 0;
        std::vector<unsigned char> rgba;
    };
    static constexpr size_t kDrawnTextsKept = 512;
    static void WriteText(Picture& picture, int x, int y, const DrawnText& drawn);
    const DrawnText& Drawn(const std::string& text, int pixelSize, bool bold, int scale, Rgb color,
                           Rgb brush);

    std::vector<ModalDialog> dialogsAsked_;
    std::function<bool()> closeHeld_;
    bool closeAskedHeld_ = false;
    std::unordered_map<std::string, DrawnText> drawn_; // by text, font, scale and colours
};

} // namespace vp7
