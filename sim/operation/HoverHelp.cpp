// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/operation/HoverHelp.h"

#include "model/PictureLayout.h"
#include "platform/Host.h"
#include "platform/NumberFormat.h"
#include "sim/Simulator.h"
#include "sim/diagnosis/Diagnostics.h"
#include "sim/motion/Scales.h"
#include "sim/operation/ConfigMenu.h"
#include "sim/operation/HelpTexts.h"
#include "sim/operation/KeyInput.h"
#include "sim/operation/ParamSet.h"

#include <array>
#include <cmath>

namespace vp7 {
namespace {

using layout::ScaleX;

// A help label beside the pointer is placed in the window.
int WindowX(int pictureX) {
    return layout::PictureInWindow.x + pictureX;
}
int WindowY(int pictureY) {
    return layout::PictureInWindow.y + pictureY;
}

std::string Padded(const std::string& value) {
    return " " + value + " ";
}

} // namespace

HoverHelp::HoverHelp(Simulator& sim) : sim_(sim) {}

void HoverHelp::HideAll() {
    FormState& f = sim_.form;
    f.HelpText.visible = f.HilfeOben.visible = f.HilfeUnten.visible = false;
}

void HoverHelp::Show(const std::string& text, int x, int y) {
    Control& label = sim_.form.HelpText;
    label.text = text;
    label.width = sim_.host.LabelWidth(text);
    label.left = x;
    label.top = y;
    if (!text.empty()) label.visible = true;
}

void HoverHelp::ShowAtDisplay(Control& label, const std::string& text, int y) {
    label.text = text;
    label.width = sim_.host.LabelWidth(text);
    label.left = layout::HelpAtDisplayRight - label.width;
    label.top = y;
    if (!text.empty()) label.visible = true;
}

namespace {
// What the three help labels show; a pointer move that changes none of it needs no widget sync.
struct LabelView {
    std::string text;
    int left, top, width;
    bool visible;
    bool operator==(const LabelView&) const = default;
};
std::array<LabelView, 3> Shown(const FormState& f) {
    std::array<LabelView, 3> views;
    const Control* labels[] = {&f.HelpText, &f.HilfeOben, &f.HilfeUnten};
    for (size_t i = 0; i < views.size(); ++i)
        views[i] = {labels[i]->text, labels[i]->left, labels[i]->top, labels[i]->width, labels[i]->visible};
    return views;
}
} // namespace

void HoverHelp::Image1MouseMove(int x, int y) {
    const auto before = Shown(sim_.form);
    if (!ScaleReadout(x, y) && !MarkerReadout(x, y) && !Display(x, y) && !Keys(x, y) && !Gear(x, y))
        HideAll();
    if (Shown(sim_.form) != before) sim_.ViewChanged();
}

// The value at the row under the pointer, right of a scale line.
bool HoverHelp::ScaleReadout(int x, int y) {
    if (!sim_.form.HelpOthers.checked || !sim_.state.ScalesValid || y < layout::ScaleHighRow ||
        y > layout::ScaleLowRow)
        return false;
    const Scales& sc = sim_.scales;
    const LinearMap* maps[] = {&sc.sollwertPixel, &sc.reglerPixel, &sc.ventilPixel};
    for (int i = 0; i < 3; ++i) {
        if (x < ScaleX[i] || x > ScaleX[i] + 9) continue; // a strip 10 points wide
        const double value = (y - maps[i]->offset) / maps[i]->factor;
        Show(Padded(i < 2 ? FormatGeneral(value, 7) : FormatFixed(value, 1, 15)), WindowX(x + 20),
             WindowY(y));
        return true;
    }
    return false;
}

// The value a marker line shows, near the marker.
bool HoverHelp::MarkerReadout(int x, int y) {
    if (!sim_.form.HelpOthers.checked || !sim_.state.ScalesValid) return false;
    const SimState& s = sim_.state;
    const int rows[] = {s.SollwertMarkY, s.ReglerMarkY, s.VentilMarkY};
    const int offsets[] = {30, 40, 20};
    for (int i = 0; i < 3; ++i) {
        if (x < ScaleX[i] + layout::MarkerFrom || x > ScaleX[i] + layout::MarkerTo) continue;
        const bool near =
            i < 2 ? (y > rows[i] - 5 && y < rows[i] + 5) : (y >= rows[i] - 5 && y <= rows[i] + 4);
        if (!near) continue;
        const std::string text = i == 0   ? FormatGeneral(s.Sollwert, 7)
                                 : i == 1 ? FormatGeneral(s.ReglerSollwert, 7)
                                          : FormatFixed(s.Istwert, 2, 15);
        Show(Padded(text), WindowX(x + offsets[i]), WindowY(y));
        return true;
    }
    return false;
}

bool HoverHelp::Display(int x, int y) {
    if (!sim_.form.HelpOthers.checked) return false;
    const SimState& s = sim_.state;
    FormState& f = sim_.form;
    const HelpTexts& h = sim_.helpTexts;
    const bool menu = s.Mode == Mode::Configuration || s.DiagnosticMode;
    if (layout::UpperLineHelpArea.Contains(x, y)) {
        if (menu) {
            if (!f.HilfeOben.text.empty()) {
                f.HilfeUnten.visible = false;
                ShowAtDisplay(f.HilfeOben, f.HilfeOben.text, layout::HelpUpperLineRow);
            }
            return true;
        }
        if (s.Mode != Mode::Automatic && s.Mode != Mode::Manual) return false;
        ShowAtDisplay(f.HelpText, h.Text(HelpSpecial::Position), layout::HelpUpperLineRow);
        return true;
    }
    if (layout::LowerLineHelpArea.Contains(x, y)) {
        if (menu) {
            if (!f.HilfeUnten.text.empty()) {
                f.HilfeOben.visible = false;
                ShowAtDisplay(f.HilfeUnten, f.HilfeUnten.text, layout::HelpLowerLineRow);
            }
            return true;
        }
        if (layout::ModeHelpArea.Contains(x, y)) {
            const std::string empty;
            ShowAtDisplay(f.HelpText,
                          s.Mode == Mode::Automatic ? h.Text(HelpSpecial::ModeAutomatic)
                          : s.Mode == Mode::Manual  ? h.Text(HelpSpecial::ModeManual)
                                                    : empty,
                          layout::HelpLowerLineRow);
            return true;
        }
        if (layout::SetpointHelpArea.Contains(x, y)) {
            ShowAtDisplay(f.HelpText, h.Text(HelpSpecial::Setpoint), layout::HelpLowerLineRow);
            return true;
        }
    }
    return false;
}

bool HoverHelp::Keys(int x, int y) {
    if (!sim_.form.HelpKeys.checked) return false;
    const DeviceKey key = KeyInput::KeyAt(x, y);
    if (key == DeviceKey::None) return false;
    const SimState& s = sim_.state;
    const HelpTexts& h = sim_.helpTexts;
    // The version is shown: no help, the label stays as it is.
    if (s.Mode == Mode::ConfigurationLeft) return true;
    const ParamSet& p = sim_.params;
    const auto current = static_cast<int>(sim_.configMenu.CurrentParam);
    const bool onInit = s.Mode == Mode::Configuration && (current == p.INITAIndex || current == p.INITMIndex);
    const bool onReset = s.Mode == Mode::Configuration && current == p.PRSTIndex;
    const std::string empty;
    const std::string* text = &empty;
    switch (key) {
    case DeviceKey::Umschalt:
        text = &h.KeyText(HelpKey::Umschalt, s.Mode, s.DiagnosticMode != 0);
        break;
    case DeviceKey::Kleiner:
        if (s.DiagnosticMode) return true;
        text = onInit    ? &h.Text(HelpSpecial::KleinerInit)
               : onReset ? &h.Text(HelpSpecial::KleinerReset)
                         : &h.KeyText(HelpKey::Kleiner, s.Mode);
        break;
    case DeviceKey::Groesser:
        if (s.DiagnosticMode) {
            const int index = sim_.diagnostics.DiagIndex;
            text = index <= 4                   ? &h.Text(HelpSpecial::GroesserDiagReset)
                   : index >= 18 && index <= 20 ? &h.Text(HelpSpecial::GroesserDiagTemperature)
                                                : &empty;
        } else {
            text = onInit    ? &h.Text(HelpSpecial::GroesserInit)
                   : onReset ? &h.Text(HelpSpecial::GroesserReset)
                             : &h.KeyText(HelpKey::Groesser, s.Mode);
        }
        break;
    case DeviceKey::None:
        break;
    }
    ShowAtDisplay(sim_.form.HelpText, *text, layout::HelpKeysRow);
    return true;
}

// The gear marks explain themselves without any help check box.
bool HoverHelp::Gear(int x, int y) {
    const bool gear33 = sim_.state.GearIs33 != 0;
    const HelpTexts& h = sim_.helpTexts;
    const auto showBeside = [&](const std::string& text, const layout::Point& sprite) {
        Show(text, 0, WindowY(sprite.y));
        sim_.form.HelpText.left = layout::HelpGearRight - sim_.form.HelpText.width;
    };
    if (gear33 && layout::LowerGearMarkArea.Contains(x, y)) {
        showBeside(h.Text(HelpSpecial::Gear33), layout::GearBottomPlace);
        return true;
    }
    if (!gear33 && layout::UpperGearMarkArea.Contains(x, y)) {
        showBeside(h.Text(HelpSpecial::Gear90), layout::GearTopPlace);
        return true;
    }
    return false;
}

} // namespace vp7
