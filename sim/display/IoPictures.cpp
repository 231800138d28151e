// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/display/IoPictures.h"

#include "model/PictureLayout.h"
#include "model/SpriteSet.h"
#include "platform/Host.h"
#include "sim/Simulator.h"
#include "sim/diagnosis/Monitoring.h"

namespace vp7 {

struct IoPictures::Element {
    layout::Point at;
    SpriteId firstSprite;      // German on, German off, English on, English off
    const char* caption[2][2]; // [language][line]; a one-line caption has an empty first line
};

namespace {

using Element = IoPictures::Element;
// Element descriptions; captions German then English, each in one or two lines.
const Element kBinaryInput1{
    layout::BinaryInput1Place, SpriteId::Bin1Ein, {{"Binär", "Eingang 1"}, {"Binary", "Input 1"}}};
const Element kBinaryInput2{
    layout::BinaryInput2Place, SpriteId::Bin2Ein, {{"Binär", "Eingang 2"}, {"Binary", "Input 2"}}};
const Element kFaultOutput{
    layout::FaultOutputPlace, SpriteId::StoerMeldungEin, {{"Störmelde", "Ausgang"}, {"Alarm", "Output"}}};
const Element kAlarmOutput1{
    layout::AlarmOutput1Place, SpriteId::Alarm1Ein, {{"", "Alarm 1"}, {"", "Limit A1"}}};
const Element kAlarmOutput2{
    layout::AlarmOutput2Place, SpriteId::Alarm2Ein, {{"", "Alarm 2"}, {"", "Limit A2"}}};

constexpr Rgb kWhite = MakeRgb(255, 255, 255);

} // namespace

IoPictures::IoPictures(Simulator& sim) : sim_(sim) {}

// The other language's caption is drawn in black first to clear it, then the current one in white,
// or in black as well where the element is not fitted.
void IoPictures::ShowCaption(const Element& e, bool visible) {
    const int language = static_cast<int>(sim_.state.Language);
    Font font;
    font.pixelHeight = 10;
    for (int pass = 0; pass < 2; ++pass) {
        const int lang = pass == 0 ? 1 - language : language;
        const Rgb color = pass == 1 && visible ? kWhite : 0;
        for (int line = 0; line < 2; ++line) {
            const char* text = e.caption[lang][line];
            if (*text)
                sim_.host.TextOut(sim_.image1, e.at.x, e.at.y - (line == 0 ? 36 : 20), text, font, color, 0);
        }
    }
}

void IoPictures::ShowPicture(const Element& e, bool on, bool fitted) {
    SpriteId id = SpriteId::KippBlack;
    if (fitted) {
        const int english = sim_.state.Language == Language::English ? 2 : 0;
        id = static_cast<SpriteId>(static_cast<int>(e.firstSprite) + english + (on ? 0 : 1));
    }
    sim_.image1.Draw(e.at.x, e.at.y, sim_.sprites.Get(id));
}

void IoPictures::ShowBinaryInput1() {
    if (sim_.state.ControllerType == 2) return; // the fieldbus variant FF has no input 1
    ShowCaption(kBinaryInput1, true);
    ShowPicture(kBinaryInput1, sim_.monitoring.BinaryInput1, true);
}

void IoPictures::ShowBinaryInput2() {
    const bool fitted = sim_.form.AlarmModulSelect.checked;
    if (!fitted) sim_.monitoring.BinaryInput2 = 0;
    ShowCaption(kBinaryInput2, fitted);
    ShowPicture(kBinaryInput2, sim_.monitoring.BinaryInput2, fitted);
}

void IoPictures::ShowFaultOutput(bool on) {
    ShowPicture(kFaultOutput, on, sim_.form.AlarmModulSelect.checked);
}
void IoPictures::ShowAlarmOutput1(bool on) {
    ShowPicture(kAlarmOutput1, on, sim_.form.AlarmModulSelect.checked);
}
void IoPictures::ShowAlarmOutput2(bool on) {
    ShowPicture(kAlarmOutput2, on, sim_.form.AlarmModulSelect.checked);
}

void IoPictures::ShowAlarmModule() {
    const bool fitted = sim_.form.AlarmModulSelect.checked;
    for (const Element* e : {&kFaultOutput, &kAlarmOutput1, &kAlarmOutput2})
        ShowCaption(*e, fitted);
    const Monitoring& m = sim_.monitoring;
    ShowFaultOutput(m.FaultOutput);
    ShowAlarmOutput1(m.Alarm1Output);
    ShowAlarmOutput2(m.Alarm2Output);
}

} // namespace vp7
