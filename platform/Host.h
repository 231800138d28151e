// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the simulation needs from a platform and cannot do itself: message boxes, file dialogs, text
// rendering, letting pending events run, the mouse button state, the screen, and closing the window.
#include "platform/Picture.h"

#include <optional>
#include <string>

namespace vp7 {

enum class MsgType { Warning, Error, Information, Confirmation };

enum class MsgButton { None = 0, OK = 1, Cancel = 2, Yes = 4, No = 8 };

// A set of buttons, shown in the order OK, Cancel, Yes, No... as the classic dialog did.
struct MsgButtons {
    unsigned bits = 0;
    constexpr MsgButtons(MsgButton b) : bits(static_cast<unsigned>(b)) {}
    constexpr MsgButtons(unsigned b) : bits(b) {}
    constexpr bool Has(MsgButton b) const { return bits & static_cast<unsigned>(b); }
    MsgButton First() const;
};
constexpr MsgButtons operator|(MsgButton a, MsgButton b) {
    return MsgButtons(static_cast<unsigned>(a) | static_cast<unsigned>(b));
}

const char* MsgTypeName(MsgType t);     // "error", "warning", "information", "confirmation"
const char* MsgButtonName(MsgButton b); // "OK", "Cancel", "Yes", "No"
std::optional<MsgButton> MsgButtonFromName(const std::string& name);

// The program's own modal dialogs; their contents live in the form state.
enum class ModalDialog { SetpointScale, ScreenCheck };

struct Font {
    std::string name = "MS Sans Serif";
    int size = 8; // points
    bool bold = false;
    int pixelHeight = 0; // when set, the character height in pixels instead of the size in points
};

struct ScreenInfo {
    int width = 1280;
    int height = 1024;
    int bitsPerPixel = 24;
};

class Host {
public:
    virtual ~Host() = default;

    // Lets pending window events run (and with them due timers) inside a busy handler, so the
    // simulator is re-entered: a queued pointer release or a due tick runs before the handler goes on.
    // Only these handlers allow it, each at a point where its own state is settled:
    //  - the start-up tick, once it has disarmed itself: the window paints before the screen check;
    //  - hiding the controls for the splash: they are gone before the picture zooms in;
    //  - stopping the key timer (ModeLogic::StopKeyTimer, the diagnostic and configuration key paths,
    //    KeyInput's finished hold): the timer is off and the hold counters are cleared first, so a
    //    release that arrives in between ends the hold instead of repeating it.
    // The scripted host runs the timers due at that moment, so tests and the runner re-enter the same way.
    virtual void ProcessMessages() = 0;
    // The asynchronous state of the left mouse button, not that of the last event.
    virtual bool LeftButtonDown() const = 0;
    // A restored snapshot's button state, where the host can take it (a scripted one); a real mouse's
    // is what it is.
    virtual void RestoreLeftButton(bool) {}
    // A modal message box; returns the button chosen.
    virtual MsgButton MessageDlg(const std::string& text, MsgType type, MsgButtons buttons) = 0;
    virtual std::optional<std::string> OpenFileDialog(const std::string& filter,
                                                      const std::string& initialDir) = 0;
    // `defaultSuffix` completes a name typed without one before the dialog asks about overwriting.
    virtual std::optional<std::string> SaveFileDialog(const std::string& filter,
                                                      const std::string& initialDir,
                                                      const std::string& defaultSuffix) = 0;
    // Text with its top left at (x, y); the text cell's background is filled with `brush`.
    virtual void TextOut(Picture& picture, int x, int y, const std::string& text, const Font& font, Rgb color,
                         Rgb brush) = 0;
    // Shows one of the program's dialogs modally and returns when it is closed.
    virtual void ShowModalDialog(ModalDialog dialog) = 0;
    // Width in points of a hover help label showing `text` (lines broken at "\r\n").
    virtual int LabelWidth(const std::string& text) const = 0;
    virtual ScreenInfo Screen() const = 0;
    // Close the main window as the user would (the close query and the close handler still run).
    virtual void RequestClose() = 0;
    // Start the program's own file anew (after this instance has let go of its single-instance lock).
    virtual void RestartProgram() = 0;
};

} // namespace vp7
