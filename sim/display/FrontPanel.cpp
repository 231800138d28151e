// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/display/FrontPanel.h"

#include "model/PictureLayout.h"
#include "model/SpriteSet.h"
#include "platform/Host.h"
#include "sim/Simulator.h"
#include "sim/display/OperatingDisplays.h"
#include "sim/motion/Scales.h"
#include "sim/operation/ModeLogic.h"

#include <algorithm>
#include <cmath>

namespace vp7 {
namespace {

constexpr Rgb kYellow = MakeRgb(255, 255, 0);
constexpr Rgb kBlack = 0;

} // namespace

FrontPanel::FrontPanel(Simulator& sim) : sim_(sim) {}

void FrontPanel::DrawScales() {
    Picture& pic = sim_.image1;
    const Scales& sc = sim_.scales;
    const SimState& s = sim_.state;
    pic.SetPenColor(kYellow);
    pic.SetPenWidth(1);
    pic.SetBrushColor(kBlack);
    const Font font{"MS Sans Serif", 8, true};
    for (const Rect& r : layout::ScaleClearRects)
        pic.FillRect(r);

    struct ScaleInfo {
        int x;
        const char* title; // empty for the setpoint scale
        const char* subtitle;
        const std::string* texts; // low, high
    };
    const ScaleInfo scales[] = {
        {layout::ScaleX[0], "", s.Text("Sollwert", "Setpoint"), sc.SollwertScaleTexts},
        {layout::ScaleX[1], s.Text("Regler", "Controller"), s.Text("Sollwert", "Setpoint"),
         sc.ReglerScaleTexts},
        {layout::ScaleX[2], s.Text("Ventil", "Valve"), "Position", sc.VentilScaleTexts},
    };
    for (const ScaleInfo& s : scales) {
        if (*s.title) sim_.host.TextOut(pic, s.x, layout::ScaleTitleRow, s.title, font, kYellow, kBlack);
        sim_.host.TextOut(pic, s.x, layout::ScaleSubtitleRow, s.subtitle, font, kYellow, kBlack);
        sim_.host.TextOut(pic, s.x, layout::ScaleHighTextRow, s.texts[1], font, kYellow, kBlack);
        sim_.host.TextOut(pic, s.x, layout::ScaleLowTextRow, s.texts[0], font, kYellow, kBlack);
        pic.SetPenColor(kYellow);
        pic.MoveTo(s.x, layout::ScaleHighRow);
        pic.LineTo(s.x, layout::ScaleLowRow + 1); // the end point is left out
        for (int k = 0; k <= 100; k += 5) {
            const int row = layout::ScaleHighRow + 2 * k;
            const int length = (k == 0 || k == 50 || k == 100) ? 15 : k % 10 == 0 ? 10 : 5;
            pic.MoveTo(s.x, row);
            pic.LineTo(s.x + length, row);
        }
    }

    struct RangeMarks {
        Rgb color;
        int x;
        int rows[2];
    };
    const RangeMarks marks[] = {
        {MakeRgb(0, 255, 255), layout::ScaleX[0] + 1, {sc.SollwertMinY, sc.SollwertMaxY}},
        {MakeRgb(255, 0, 255), layout::ScaleX[1] + 1, {sc.ReglerMinY, sc.ReglerMaxY}},
        {MakeRgb(0, 0, 255), layout::ScaleX[2] + 1, {sc.YaY, sc.YeY}},
    };
    for (const RangeMarks& m : marks) {
        pic.SetPenColor(m.color);
        for (int row : m.rows) {
            pic.MoveTo(m.x, row);
            pic.LineTo(m.x + 16, row);
        }
    }
}

void FrontPanel::DrawFeedbackModule() {
    const layout::Point at = layout::FeedbackModulePlace;
    if (sim_.form.StromModulSelect.checked) {
        sim_.image1.Draw(at.x, at.y, sim_.sprites.Get(SpriteId::StromModul));
        DrawFeedbackDigits(sim_.displays.IstwertShown);
    } else {
        sim_.image1.Draw(at.x, at.y, sim_.sprites.Get(SpriteId::StromModulBlack));
    }
}

void FrontPanel::DrawFeedbackDigits(double position) {
    if (!sim_.form.StromModulSelect.checked) return;
    position = std::clamp(position, 0.0, 100.0);
    std::string text = std::to_string(static_cast<long>(std::nearbyint(160 * position + 4000)));
    if (text.size() < 5) text.insert(0, 1, ' ');
    const layout::Point module = layout::FeedbackModulePlace;
    for (size_t i = 0; i < 5 && i < text.size(); ++i) {
        const SpriteId id = text[i] == ' ' ? SpriteId::StromBlank : StromDigit(text[i] - '0');
        sim_.image1.Draw(module.x + layout::FeedbackDigitX[i], module.y + layout::FeedbackDigitY,
                         sim_.sprites.Get(id));
    }
}

void FrontPanel::DrawGear() {
    const bool gear33 = sim_.state.GearIs33 != 0;
    const layout::Point top = layout::GearTopPlace, bottom = layout::GearBottomPlace;
    sim_.image1.Draw(top.x, top.y, sim_.sprites.Get(gear33 ? SpriteId::GearTopOff : SpriteId::GearTopOn));
    sim_.image1.Draw(bottom.x, bottom.y,
                     sim_.sprites.Get(gear33 ? SpriteId::GearBottemOn : SpriteId::GearBottemOff));
}

void FrontPanel::DrawSupplyGauge() {
    const SpriteId needle =
        sim_.form.NoPreasureSelect.checked ? SpriteId::SupplyGaugeNoAir : SpriteId::SupplyGaugeAir;
    sim_.image1.Draw(layout::SupplyGaugeArea.left, layout::SupplyGaugeArea.top, sim_.sprites.Get(needle));
}

void FrontPanel::LowerGearMarkClick() {
    if (!sim_.state.GearIs33) return;
    sim_.state.GearIs33 = 0;
    DrawGear();
    sim_.modes.CheckGearSetting();
}

void FrontPanel::UpperGearMarkClick() {
    if (sim_.state.GearIs33) return;
    sim_.state.GearIs33 = 1;
    DrawGear();
    sim_.modes.CheckGearSetting();
}

void FrontPanel::VisibleObjects(bool show) {
    FormState& f = sim_.form;
    for (Control* c : {&f.Image1,
                       &f.StaticText1,
                       &f.StaticText2,
                       &f.StaticText3,
                       &f.StaticText4,
                       &f.SetPointText,
                       &f.Label13,
                       &f.SetpointButton,
                       &f.ControllerSelect,
                       &f.OptionsSelect,
                       &f.DrosselSelect,
                       &f.ZorizOptions,
                       &f.NoPreasureSelect,
                       &f.BlockDownSelect,
                       &f.BlockUpSelect,
                       &f.FrictionSelect,
                       &f.LeakageSelect,
                       &f.ExtendedFaultsSelect,
                       &f.SelfClosingSelect,
                       &f.SelfOpeningSelect,
                       &f.DoubleActingSelect,
                       &f.InitErrorSelect,
                       &f.BottomEndError,
                       &f.TopEndError,
                       &f.MoveRangeError,
                       &f.SetpointDimSelect,
                       &f.HelpSelect,
                       &f.HelpOthers,
                       &f.HelpKeys})
        c->visible = show;
    for (Control* c : {&f.Label1, &f.Label2, &f.Label3, &f.Label4, &f.HelpText, &f.HilfeOben, &f.HilfeUnten})
        c->visible = false;
    sim_.ViewChanged();
    sim_.host.ProcessMessages();
}

void FrontPanel::ControllerSelectClick() {
    SimState& s = sim_.state;
    if (s.Updating) return;
    s.Updating = 1;
    const char* text = s.Text(
        "Diese Änderung wird erst beim nächsten Programmstart wirksam.\r\n\r\nProgramm jetzt neu starten?",
        "This change takes effect after next restart of the program.\r\n\r\nRestart the program now?");
    if (sim_.host.MessageDlg(text, MsgType::Information, MsgButton::OK | MsgButton::Cancel) ==
        MsgButton::OK) {
        s.RestartRequested = 1;
        sim_.host.RequestClose();
    }
    s.Updating = 0;
}

} // namespace vp7
