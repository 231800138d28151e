// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/display/ScreenCheck.h"

#include "platform/Host.h"
#include "sim/Simulator.h"

namespace vp7 {
namespace {

const char* const kLines[2][5] = {
    {"Diese Anwendung benötigt eine Bildschirmauflösung", "von mindestens 1024x768 Punkten.",
     "Für die Farbtiefe wird True-Color empfohlen.", "High-Color liefert noch akzeptable Resultate.",
     "Eine Farbtiefe von 16 oder 256 Farben ist unbrauchbar."},
    {"This application needs a screen resolution", "of at least 1024x768 dots.",
     "For color depth True-Color is recommend.", "High-Color shows acceptable results.",
     "A color depth of 16 oder 256 colors is useless."}};

} // namespace

ScreenCheck::ScreenCheck(Simulator& sim) : sim_(sim) {}

void ScreenCheck::FormCreate() {
    ScreenCheckState& d = sim_.form.screenCheck;
    const SimState& s = sim_.state;
    for (int i = 0; i < 5; ++i)
        d.lines[i] = s.Text(kLines[0][i], kLines[1][i]);
    d.continueCaption = s.Text("Anwendung fortsetzen", "Continue application");
    d.closeCaption = s.Text("Anwendung schliessen", "Close application");
    d.checkCaption =
        s.Text("Kontrolle bei jedem Programmstart durchführen", "Do screen check on every start of programm");
    d.checked = sim_.state.CheckScreen != 0;
}

bool ScreenCheck::CheckAtStart() {
    SimState& s = sim_.state;
    const bool enough = s.ScreenWidth >= 1024 && s.ScreenHeight >= 768 && s.ScreenBitsPerPixel >= 24;
    if (!enough && s.CheckScreen) sim_.host.ShowModalDialog(ModalDialog::ScreenCheck);
    sim_.form.ExtraCheckScreen.checked = s.CheckScreen != 0;
    if (!s.CloseApplication) return true;
    s.SplashDone = 1; // so the window may close
    sim_.host.RequestClose();
    return false;
}

void ScreenCheck::ScreenCheckClick(bool checked) {
    sim_.form.screenCheck.checked = checked;
    sim_.state.CheckScreen = checked;
}

void ScreenCheck::Button1Click() {
    sim_.state.CloseApplication = 0;
}
void ScreenCheck::Button2Click() {
    sim_.state.CloseApplication = 1;
}

void ScreenCheck::ExtraCheckScreenClick() {
    Control& item = sim_.form.ExtraCheckScreen;
    item.checked = !item.checked;
    sim_.state.CheckScreen = item.checked;
    sim_.ViewChanged();
}

} // namespace vp7
