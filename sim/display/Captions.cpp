// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/display/Captions.h"

#include "sim/Simulator.h"
#include "sim/display/IoPictures.h"
#include "sim/motion/Controller.h"
#include "sim/operation/ParamTableView.h"

namespace vp7 {
namespace {

struct CaptionRow {
    Control FormState::*control;
    int item; // -1: the control's caption, else a radio group item
    const char* text[2];
};

const CaptionRow kCaptions[] = {
    {&FormState::ControllerSelect, -1, {"Stellungsregler", "Controller"}},
    {&FormState::OptionsSelect, -1, {"Optionen", "Options"}},
    {&FormState::AlarmModulSelect, -1, {"Alarmmodul", "Alarm module"}},
    {&FormState::StromModulSelect, -1, {"Jy-Modul", "Feedback module"}},
    {&FormState::HelpSelect, -1, {"Hilfe für", "Online help for"}},
    {&FormState::HelpKeys, -1, {"Tasten", "Keys"}},
    {&FormState::HelpOthers, -1, {"Sonstiges", "Others"}},
    {&FormState::Label13, -1, {"Sollwert", "Setpoint"}},
    {&FormState::DrosselSelect, -1, {"Drossel", "Needle Valve"}},
    {&FormState::DrosselSelect, 0, {"Ganz offen", "Full open"}},
    {&FormState::DrosselSelect, 1, {"4 Umdrehungen", "4 turns"}},
    {&FormState::DrosselSelect, 2, {"2 Umdrehungen", "2 turns"}},
    {&FormState::DrosselSelect, 3, {"1/2 Umdrehung", "1/2 turn"}},
    {&FormState::ZorizOptions, -1, {"Simulations-Optionen", "Simulation options"}},
    {&FormState::NoPreasureSelect, -1, {"Keine Druckluft", "Loss of supply pressure"}},
    {&FormState::BlockDownSelect, -1, {"Blockieren bei 10% (abwärts)", "Block at 10% (down)"}},
    {&FormState::BlockUpSelect, -1, {"Blockieren bei 90% (aufwärts)", "Block at 90% (up)"}},
    {&FormState::FrictionSelect, -1, {"Reibung", "Friction"}},
    {&FormState::LeakageSelect, -1, {"Leckage", "Leakage"}},
    {&FormState::SelfClosingSelect, -1, {"Ventil selbstschließend", "Self-closing Valve"}},
    {&FormState::SelfOpeningSelect, -1, {"Ventil selbstöffnend", "Self-opening Valve"}},
    {&FormState::DoubleActingSelect, -1, {"Ventil doppelwirkend", "Double acting Valve"}},
    {&FormState::ExtendedFaultsSelect, -1, {"Erweiterte Fehlerwirkungen", "Extended fault effects"}},
    {&FormState::InitErrorSelect, -1, {"Initialisierungs-Fehler", "Autotune errors"}},
    {&FormState::BottomEndError, -1, {"Anschlag unten", "Bottom stop"}},
    {&FormState::TopEndError, -1, {"Anschlag oben", "Top stop"}},
    {&FormState::MoveRangeError, -1, {"Spanne unterschritten", "Span violation"}},
    {&FormState::SetpointDimSelect, -1, {"Sollwerteingang", "Setpoint input"}},
    {&FormState::Datei1, -1, {"Datei", "File"}},
    {&FormState::Konfigurationladen1, -1, {"Konfiguration laden", "Load configuration"}},
    {&FormState::Konfigurationspeichern1, -1, {"Konfiguration speichern", "Save configuration"}},
    {&FormState::ExtraCheckScreen, -1, {"Bildschirmkontrolle", "Screen Check"}},
    {&FormState::Mauszeiger1, -1, {"Mauszeiger", "Mouse cursor"}},
    {&FormState::MausStandard, -1, {"Standard", "Default"}},
    {&FormState::MausKreuz, -1, {"Kreuz", "Cross"}},
    {&FormState::ParameterTabelle1, -1, {"Parameter-Tabelle", "Parameter list"}},
    {&FormState::Sprache1, -1, {"Sprache", "Language"}},
};

} // namespace

std::string CaptionOf(std::string_view control, bool german) {
    static const FormState form; // only the controls' names are read
    for (const CaptionRow& row : kCaptions)
        if (row.item < 0 && (form.*row.control).name == control) return row.text[german ? 0 : 1];
    return {};
}

Captions::Captions(Simulator& sim) : sim_(sim) {}

void Captions::Deutsch1Click() {
    sim_.form.Deutsch1.checked = true;
    sim_.form.English1.checked = false;
    sim_.state.Language = Language::German;
    SetLanguageTexts();
}

void Captions::English1Click() {
    sim_.form.English1.checked = true;
    sim_.form.Deutsch1.checked = false;
    sim_.state.Language = Language::English;
    SetLanguageTexts();
}

void Captions::SetCaption(Control& control) const {
    for (const CaptionRow& row : kCaptions)
        if (&(sim_.form.*row.control) == &control && row.item < 0)
            control.caption = sim_.state.Text(row.text[0], row.text[1]);
}

void Captions::SetLanguageTexts() {
    SimState& s = sim_.state;
    FormState& f = sim_.form;
    for (const CaptionRow& row : kCaptions) {
        Control& c = f.*row.control;
        (row.item < 0 ? c.caption : c.items[row.item]) = s.Text(row.text[0], row.text[1]);
    }
    static const char* const kSuffix[] = {"-A", "-PA", "-FF"};
    f.title = std::string("KELDAR VP7") + kSuffix[s.ControllerType <= 2 ? s.ControllerType : 0] +
              s.Text(" - Nachbildung der Konfiguration", " - Simulating the configuration");
    if (!s.Updating) {
        sim_.ioPictures.ShowBinaryInput1();
        sim_.ioPictures.ShowBinaryInput2();
        sim_.ioPictures.ShowAlarmModule();
        if (f.parTab.visible) sim_.paramTableView.FormActivate(); // its caption, while it is shown
        sim_.controller.SetpointButtonClick(Sender::None);
    }
    sim_.ViewChanged();
}

} // namespace vp7
