#include "device/FrontPanel.h"

#include "core/Simulator.h"
#include "platform/Host.h"
#include "platform/NumberFormat.h"
#include "platform/SpriteSet.h"

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
    for (const Rect& r : {Rect{6, 406, 206, 442}, Rect{10, 448, 200, 470}, Rect{10, 671, 207, 701}, Rect{10, 470, 180, 701}})
        pic.FillRect(r);

    struct ScaleInfo {
        int x;
        const char* title;     // row 410, empty for the setpoint scale
        const char* subtitle;  // row 426
        const std::string* texts; // low, high
    };
    const ScaleInfo scales[] = {
        {10, "", s.Text("Sollwert", "Setpoint"), sc.SollwertScaleTexts},
        {80, s.Text("Regler", "Controller"), s.Text("Sollwert", "Setpoint"), sc.ReglerScaleTexts},
        {150, s.Text("Ventil", "Valve"), "Position", sc.VentilScaleTexts},
    };
    for (const ScaleInfo& s : scales) {
        if (*s.title) sim_.host.TextOut(pic, s.x, 410, s.title, font, kYellow, kBlack);
        sim_.host.TextOut(pic, s.x, 426, s.subtitle, font, kYellow, kBlack);
        sim_.host.TextOut(pic, s.x, 448, s.texts[1], font, kYellow, kBlack);
        sim_.host.TextOut(pic, s.x, 679, s.texts[0], font, kYellow, kBlack);
        pic.SetPenColor(kYellow);
        pic.MoveTo(s.x, 470);
        pic.LineTo(s.x, 671);
        for (int k = 0; k <= 100; k += 5) {
            const int row = 470 + 2 * k;
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
        {MakeRgb(0, 255, 255), 11, {sc.SollwertMinY, sc.SollwertMaxY}},
        {MakeRgb(255, 0, 255), 81, {sc.ReglerMinY, sc.ReglerMaxY}},
        {MakeRgb(0, 0, 255), 151, {sc.YaY, sc.YeY}},
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
    if (sim_.form.StromModulSelect.checked) {
        sim_.image1.Draw(8, 248, sim_.sprites.Get(SpriteId::StromModul));
        DrawFeedbackDigits(sim_.displays.IstwertShown);
    } else {
        sim_.image1.Draw(8, 248, sim_.sprites.Get(SpriteId::StromModulBlack));
    }
}

void FrontPanel::DrawFeedbackDigits(double position) {
    if (!sim_.form.StromModulSelect.checked) return;
    position = std::clamp(position, 0.0, 100.0);
    std::string text = std::to_string(static_cast<long>(std::nearbyint(160 * position + 4000)));
    if (text.size() < 5) text.insert(0, 1, ' ');
    static constexpr int kDigitX[] = {26, 56, 86, 116, 146};
    for (size_t i = 0; i < 5 && i < text.size(); ++i) {
        const SpriteId id = text[i] == ' ' ? SpriteId::StromBlank : StromDigit(text[i] - '0');
        sim_.image1.Draw(8 + kDigitX[i], 248 + 28, sim_.sprites.Get(id));
    }
}

void FrontPanel::DrawGear() {
    const bool gear33 = sim_.state.GearIs33 != 0;
    sim_.image1.Draw(432, 233, sim_.sprites.Get(gear33 ? SpriteId::GearTopOff : SpriteId::GearTopOn));
    sim_.image1.Draw(432, 377, sim_.sprites.Get(gear33 ? SpriteId::GearBottemOn : SpriteId::GearBottemOff));
}

void FrontPanel::DrawSupplyGauge() {
    const SpriteId needle =
        sim_.form.NoPreasureSelect.checked ? SpriteId::SupplyGaugeNoAir : SpriteId::SupplyGaugeAir;
    sim_.image1.Draw(SupplyGaugeArea.left, SupplyGaugeArea.top, sim_.sprites.Get(needle));
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
    for (Control* c : {&f.Image1, &f.StaticText1, &f.StaticText2, &f.StaticText3, &f.StaticText4, &f.SetPointText,
                       &f.Label13, &f.SetpointButton, &f.ControllerSelect, &f.OptionsSelect, &f.DrosselSelect,
                       &f.ZorizOptions, &f.NoPreasureSelect, &f.BlockDownSelect, &f.BlockUpSelect, &f.FrictionSelect,
                       &f.LeakageSelect, &f.SelfClosingSelect, &f.SelfOpeningSelect, &f.DoubleActingSelect,
                       &f.InitErrorSelect, &f.BottomEndError, &f.TopEndError, &f.MoveRangeError,
                       &f.SetpointDimSelect, &f.HelpSelect, &f.HelpOthers, &f.HelpKeys})
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
    if (sim_.host.MessageDlg(text, MsgType::Information, MsgButton::OK | MsgButton::Cancel) == MsgButton::OK) {
        s.RestartRequested = 1;
        sim_.host.RequestClose();
    }
    s.Updating = 0;
}

} // namespace vp7
