// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/FormState.h"

#include "model/PictureLayout.h"

namespace vp7 {
namespace {

Control Make(ControlKind kind, std::string name, std::string parent, int l, int t, int w, int h,
             std::string caption = {}) {
    Control c;
    c.kind = kind;
    c.name = std::move(name);
    c.parent = std::move(parent);
    c.left = l;
    c.top = t;
    c.width = w;
    c.height = h;
    c.caption = std::move(caption);
    return c;
}

Control Check(std::string name, std::string parent, int l, int t, int w, std::string caption) {
    return Make(ControlKind::CheckBox, std::move(name), std::move(parent), l, t, w, 17, std::move(caption));
}

Control Radio(std::string name, int l, int t, int w, int h, std::string caption,
              std::vector<std::string> items, int index) {
    Control c = Make(ControlKind::RadioGroup, std::move(name), {}, l, t, w, h, std::move(caption));
    c.items = std::move(items);
    c.itemIndex = index;
    return c;
}

Control Menu(std::string name, std::string parent, std::string caption, bool radio = false) {
    Control c =
        Make(ControlKind::MenuItem, std::move(name), std::move(parent), 0, 0, 0, 0, std::move(caption));
    c.radioItem = radio;
    return c;
}

Control Hidden(Control c) {
    c.visible = false;
    return c;
}

// A control lying over the device picture at a place given in picture coordinates.
Control OverPicture(ControlKind kind, std::string name, const Rect& r) {
    const layout::Point at = layout::PictureInWindow;
    return Make(kind, std::move(name), {}, at.x + r.left, at.y + r.top, r.Width(), r.Height());
}

} // namespace

// The window as it is designed, with its German captions; the language switch replaces them later.
FormState::FormState()
    : ControllerSelect(Radio("ControllerSelect", 8, 8, 121, 81, "Stellungsregler",
                             {"VP7 0/4-20mA", "VP7 PA", "VP7 FF"}, 0)),
      OptionsSelect(Make(ControlKind::Group, "OptionsSelect", {}, 152, 8, 145, 81, "Optionen")),
      AlarmModulSelect(Check("AlarmModulSelect", "OptionsSelect", 8, 16, 129, "Alarmmodul")),
      StromModulSelect(Check("StromModulSelect", "OptionsSelect", 8, 38, 129, "Jy-Modul")),
      DrosselSelect(Radio("DrosselSelect", 8, 104, 185, 97, "Drossel",
                          {"Ganz offen", "4 Umdrehungen", "2 Umdrehungen", "1/2 Umdrehung"}, 0)),
      StaticText1(Make(ControlKind::StaticText, "StaticText1", {}, 144, 121, 40, 17, "(100%)")),
      StaticText2(Make(ControlKind::StaticText, "StaticText2", {}, 144, 140, 40, 17, "(80%)")),
      StaticText3(Make(ControlKind::StaticText, "StaticText3", {}, 144, 159, 40, 17, "(40%)")),
      StaticText4(Make(ControlKind::StaticText, "StaticText4", {}, 144, 177, 40, 17, "(20%)")),
      ZorizOptions(Make(ControlKind::Group, "ZorizOptions", {}, 8, 224, 225, 305, "Simulations-Optionen")),
      NoPreasureSelect(Check("NoPreasureSelect", "ZorizOptions", 8, 16, 209, "Keine Druckluft")),
      BlockDownSelect(Check("BlockDownSelect", "ZorizOptions", 8, 40, 209, "Blockieren bei 10%")),
      BlockUpSelect(Check("BlockUpSelect", "ZorizOptions", 8, 64, 209, "Blockieren bei 90%")),
      FrictionSelect(Check("FrictionSelect", "ZorizOptions", 8, 88, 209, "Reibung")),
      LeakageSelect(Check("LeakageSelect", "ZorizOptions", 8, 112, 209, "Leckage")),
      SelfClosingSelect(Make(ControlKind::RadioButton, "SelfClosingSelect", "ZorizOptions", 8, 136, 209, 17,
                             "Ventil selbstschließend")),
      SelfOpeningSelect(Make(ControlKind::RadioButton, "SelfOpeningSelect", "ZorizOptions", 8, 154, 209, 17,
                             "Ventil selbstöffnend")),
      DoubleActingSelect(Make(ControlKind::RadioButton, "DoubleActingSelect", "ZorizOptions", 8, 172, 209, 17,
                              "Ventil doppelwirkend")),
      ExtendedFaultsSelect(
          Check("ExtendedFaultsSelect", "ZorizOptions", 8, 190, 209, "Erweiterte Fehlerwirkungen")),
      HorizLeverError(Hidden(Check("HorizLeverError", {}, 56, 416, 169, "Waagrechter Hebelarm"))),
      InitErrorSelect(
          Make(ControlKind::StaticText, "InitErrorSelect", {}, 56, 429, 130, 20, "Initialisierungs-Fehler")),
      BottomEndError(Check("BottomEndError", {}, 56, 448, 169, "Anschlag unten")),
      TopEndError(Check("TopEndError", {}, 56, 472, 169, "Anschlag oben")),
      MoveRangeError(Check("MoveRangeError", {}, 56, 496, 169, "Spanne unterschritten")),
      HilfeOben(Hidden(Make(ControlKind::Label, "HilfeOben", {}, 248, 232, 0, 0))),
      HilfeUnten(Hidden(Make(ControlKind::Label, "HilfeUnten", {}, 248, 264, 0, 0))),
      HelpText(Hidden(Make(ControlKind::Label, "HelpText", {}, 248, 292, 0, 0))),
      SetpointRampButton(
          Hidden(Make(ControlKind::Button, "SetpointRampButton", {}, 256, 320, 75, 25, "Start"))),
      SetpointRampSelect(Hidden(Radio("SetpointRampSelect", 248, 352, 113, 105, "Sollwertrampe",
                                      {"1s/%", "2s/%", "5s/%", "10s/%"}, 0))),
      SetpointDimSelect(Radio("SetpointDimSelect", 248, 472, 113, 57, "Sollwerteingang", {"%", "mA"}, 0)),
      Label13(Make(ControlKind::StaticText, "Label13", {}, 248, 540, 60, 17, "Sollwert")),
      SetPointText(Make(ControlKind::Edit, "SetPointText", {}, 248, 558, 73, 24)),
      SetpointButton(Make(ControlKind::Button, "SetpointButton", {}, 328, 553, 49, 35)),
      HelpSelect(Make(ControlKind::Group, "HelpSelect", {}, 8, 568, 113, 73, "Hilfe für")),
      HelpOthers(Check("HelpOthers", "HelpSelect", 8, 48, 97, "Sonstiges")),
      HelpKeys(Check("HelpKeys", "HelpSelect", 8, 24, 97, "Tasten")),
      Image1(OverPicture(ControlKind::Image, "Image1", layout::Place({0, 0}, layout::PictureSize))),
      Image2(Hidden(Make(ControlKind::Image, "Image2", {}, 0, 0, kClientWidth, kClientHeight))),
      Strom_mA(Hidden(Make(ControlKind::Label, "Strom_mA", {}, 0, 0, 0, 0))), // exists, never drawn
      StaticUmschalt(Hidden(OverPicture(ControlKind::Shape, "StaticUmschalt", layout::LatchCircles[0]))),
      StaticKleiner(Hidden(OverPicture(ControlKind::Shape, "StaticKleiner", layout::LatchCircles[1]))),
      StaticGroesser(Hidden(OverPicture(ControlKind::Shape, "StaticGroesser", layout::LatchCircles[2]))),
      Label1(Hidden(Make(ControlKind::Label, "Label1", {}, 264, 600, 0, 0))),
      Label2(Hidden(Make(ControlKind::Label, "Label2", {}, 264, 627, 0, 0))),
      Label3(Hidden(Make(ControlKind::Label, "Label3", {}, 264, 653, 0, 0))),
      Label4(Hidden(Make(ControlKind::Label, "Label4", {}, 264, 680, 0, 0))),
      Datei1(Menu("Datei1", {}, "Datei")),
      Konfigurationladen1(Menu("Konfigurationladen1", "Datei1", "Konfiguration laden")),
      Konfigurationspeichern1(Menu("Konfigurationspeichern1", "Datei1", "Konfiguration speichern")),
      Extras1(Menu("Extras1", {}, "Extras")),
      // The parameter table window is reached through this item, so it is shown (the form hid it).
      ParameterTabelle1(Menu("ParameterTabelle1", "Extras1", "Parameter-Tabelle")),
      Sprache1(Menu("Sprache1", "Extras1", "Sprache")),
      Deutsch1(Menu("Deutsch1", "Sprache1", "Deutsch", true)),
      English1(Menu("English1", "Sprache1", "English", true)),
      Mauszeiger1(Menu("Mauszeiger1", "Extras1", "Mauszeiger")),
      MausStandard(Menu("MausStandard", "Mauszeiger1", "Standard", true)),
      MausKreuz(Menu("MausKreuz", "Mauszeiger1", "Kreuz", true)),
      MausHand(Menu("MausHand", "Mauszeiger1", "Hand", true)),
      ExtraCheckScreen(Menu("ExtraCheckScreen", "Extras1", "Bildschirmkontrolle")) {
    SetPointText.text = "0";
    DoubleActingSelect.checked = true;
    all_ = {&ControllerSelect,
            &OptionsSelect,
            &AlarmModulSelect,
            &StromModulSelect,
            &DrosselSelect,
            &StaticText1,
            &StaticText2,
            &StaticText3,
            &StaticText4,
            &ZorizOptions,
            &NoPreasureSelect,
            &BlockDownSelect,
            &BlockUpSelect,
            &FrictionSelect,
            &LeakageSelect,
            &SelfClosingSelect,
            &SelfOpeningSelect,
            &DoubleActingSelect,
            &ExtendedFaultsSelect,
            &HorizLeverError,
            &InitErrorSelect,
            &BottomEndError,
            &TopEndError,
            &MoveRangeError,
            &HilfeOben,
            &HilfeUnten,
            &HelpText,
            &SetpointRampButton,
            &SetpointRampSelect,
            &SetpointDimSelect,
            &Label13,
            &SetPointText,
            &SetpointButton,
            &HelpSelect,
            &HelpOthers,
            &HelpKeys,
            &Image1,
            &Image2,
            &Strom_mA,
            &StaticUmschalt,
            &StaticKleiner,
            &StaticGroesser,
            &Label1,
            &Label2,
            &Label3,
            &Label4,
            &Datei1,
            &Konfigurationladen1,
            &Konfigurationspeichern1,
            &Extras1,
            &ParameterTabelle1,
            &Sprache1,
            &Deutsch1,
            &English1,
            &Mauszeiger1,
            &MausStandard,
            &MausKreuz,
            &MausHand,
            &ExtraCheckScreen};
}

Control* FormState::Find(std::string_view name) {
    for (Control* c : all_)
        if (c->name == name) return c;
    return nullptr;
}

const Control* FormState::Find(std::string_view name) const {
    return const_cast<FormState*>(this)->Find(name);
}

const char* ControlKindName(ControlKind k) {
    switch (k) {
    case ControlKind::CheckBox:
        return "CheckBox";
    case ControlKind::RadioButton:
        return "RadioButton";
    case ControlKind::RadioGroup:
        return "RadioGroup";
    case ControlKind::Group:
        return "Group";
    case ControlKind::Edit:
        return "Edit";
    case ControlKind::Button:
        return "Button";
    case ControlKind::Label:
        return "Label";
    case ControlKind::StaticText:
        return "StaticText";
    case ControlKind::Shape:
        return "Shape";
    case ControlKind::Image:
        return "Image";
    case ControlKind::MenuItem:
        return "MenuItem";
    }
    return "?";
}

} // namespace vp7
