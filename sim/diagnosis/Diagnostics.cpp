// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/diagnosis/Diagnostics.h"

#include "platform/NumberFormat.h"
#include "platform/StateVisitor.h"
#include "sim/Simulator.h"
#include "sim/display/Lcd.h"
#include "sim/faults/ExtendedFaults.h"
#include "sim/operation/ConfigMenu.h"
#include "sim/operation/ParamSet.h"

#include <algorithm>

#include <cmath>
#include <limits>

namespace vp7 {
namespace {

struct Record {
    uint32_t flags;
    const char* name;
    int32_t value; // stored units: tenths for DiagTenths
    const char* german;
    const char* english;
};

// Defaults of tenths records are ten times the shown number.
constexpr Record kRecords[Diagnostics::Count] = {
    {DiagCount, " 1STRKS", 0, "Anzahl Hübe", "Number of strokes"},
    {DiagCount, " 2CHDIR", 0, " Anzahl Richtungsänderungen", "Number of changes of direction"},
    {DiagCount, " 3/CNT ", 0, "Anzahl Störmeldungen", "Number of faults occurred"},
    {DiagCount, " 4A1CNT", 0, "Anzahl Alarme 1", "Number of alarms 1 occurred"},
    {DiagCount, " 4A2CNT", 0, "Anzahl Alarme 2", "Number of alarms 2 occurred"},
    {DiagCount, " 6HOURS", 0, "Betriebsstunden", "Operating hours"},
    {DiagTenths, " 7WAY  ", 306, "ermittelter Stellweg", "Determined travel"},
    {DiagTenths, " 8TUP  ", 40, "Stellzeit auf", "Travel time up"},
    {DiagTenths, " 9TDOWN", 40, "Stellzeit zu", "Travel time down"},
    {DiagTenths, "10LEAK ", 24, "Leckage (%/Minute)", "Leakage (%/Minute)"},
    {DiagTenths, "11P0   ", 239, "Potentiometerwert unterer Anschlag (0%)",
     "Potentiometer value lower stop (0%)"},
    {DiagTenths, "12P100 ", 699, "Potentiometerwert oberer Anschlag (100%)",
     "Potentiometer value upper stop (100%)"},
    {DiagIntBlank, "13IMPUP", 6, "Pulslänge auf", "Impuls length up"},
    {DiagIntBlank, "14IMPDN", 6, "Pulslänge zu", "Impuls length down"},
    {DiagTenths, "15DBUP ", 1, "Totzone auf", "Dead band up"},
    {DiagTenths, "16DBDN ", -1, "Totzone zu", "Dead band down"},
    {DiagTenths, "17SSUP ", 38, "Langsamzone auf", "Short step zone up"},
    {DiagTenths, "18SSDN ", 38, "Langsamzone zu", "Short step zone down"},
    {DiagTenths, "19TEMP ", 223, "aktuelle Temperatur", "Current temperature"},
    {DiagTenths, "20TMIN ", 159, "Minimal temperatur (Schleppzeiger)", "Minimum temperature (drag pointer)"},
    {DiagTenths, "21TMAX ", 317, "Maximaltemperatur (Schleppzeiger)", "Maximum temperature (drag pointer)"},
    {DiagCount, "22T1   ", 0, "Betriebsstunden unter -30°C", "Operating hours below -30°C (-22°F)"},
    {DiagCount, "23T2   ", 0, "Betriebsstunden zwischen -30°C und -15°C",
     "Operating hours between -30°C and -15°C (-22°F and 5°F)"},
    {DiagCount, "24T3   ", 0, "Betriebsstunden zwischen -15°C und 0°C",
     "Operating hours between -15°C and 0°C (5°F and 32°F)"},
    {DiagCount, "25T4   ", 0, "Betriebsstunden zwischen 0°C und 15°C",
     "Operating hours between 0°C and 15°C (32°F and 59°F)"},
    {DiagCount, "26T5   ", 0, "Betriebsstunden zwischen 15°C und 30°C",
     "Operating hours between 15°C and 30°C (59°F and 86°F)"},
    {DiagCount, "27T6   ", 0, "Betriebsstunden zwischen 30°C und 45°C",
     "Operating hours between 30°C and 45°C (86°F and 113°F)"},
    {DiagCount, "28T7   ", 0, "Betriebsstunden zwischen 45°C und 60°C",
     "Operating hours between 45°C and 60°C (113°F and 140°F)"},
    {DiagCount, "29T8   ", 0, "Betriebsstunden zwischen 60°C und 75°C",
     "Operating hours between 60°C and 75°C (140°F and 167°F)"},
    {DiagCount, "30T9   ", 0, "Betriebsstunden über 75°C", "Operating hours of more than 75°C (167°F)"},
    {DiagCount, "31VENT1", 0, "Anzahl Schaltspiele Ventil 1", "Number of cycles pre-controlvalve 1"},
    {DiagCount, "32VENT2", 0, "Anzahl Schaltspiele Ventil 2", "Number of cycles pre-controlvalve 2"},
    {DiagIntBlank, "33STORE", 0, "", ""},
    {DiagTenths, "34PRUP ", 10, "Prädiktion auf", "Prediction up"},
    {DiagTenths, "35PRDN ", 10, "Prädiktion zu", "Prediction"},
};

constexpr int32_t kMax = std::numeric_limits<int32_t>::max();

} // namespace

Diagnostics::Diagnostics(Simulator& sim) : sim_(sim) {
    InitDiagTable();
}

void Diagnostics::InitDiagTable() {
    for (int i = 0; i < Count; ++i) {
        const Record& r = kRecords[i];
        DiagTable[i] = {r.flags, r.name, r.value, {r.german, r.english}};
    }
}

void Diagnostics::Increment(int record) {
    int32_t& v = DiagTable[record].Value;
    if (v < kMax) ++v;
}

int32_t Diagnostics::ShownValue(int record) const {
    const int32_t stored = DiagTable[record].Value;
    const int16_t deba = sim_.params.store.DEBA;
    switch (record) {
    case 14:
        return deba >= 0 ? ParamSet::FromFixed88(deba)
                         : static_cast<int32_t>(std::nearbyint(10 * sim_.state.DeadBand));
    case 15:
        return deba >= 0 ? -ParamSet::FromFixed88(deba) : stored;
    case DiagTravelTimeUp:
    case DiagTravelTimeDown: {
        // Measured by the last initialization, throttle included.
        if (sim_.extendedFaults.On() && sim_.extendedFaults.travelTimes.Measured) return stored;
        static constexpr int32_t kDivisor[] = {10, 8, 4, 2}; // the throttle lengthens the travel
        const int item = std::clamp(sim_.form.DrosselSelect.itemIndex, 0, 3);
        return static_cast<int32_t>(static_cast<int64_t>(stored) * 10 / kDivisor[item]);
    }
    case DiagLeakage:
        return sim_.extendedFaults.leak.ShownLeakage(stored);
    case 18:
    case 19:
    case 20:
        return TempFahrenheit ? static_cast<int32_t>(std::nearbyint(stored * 1.8 + 320)) : stored;
    default:
        return stored;
    }
}

void Diagnostics::DiagKey(KeyCode code) {
    if (IgnoredInMenus(code)) return;
    switch (code) {
    case KeyCode::ModeReleased:
        DiagIndex = DiagIndex >= Count - 1 ? 0 : DiagIndex + 1;
        break;
    case KeyCode::ModeRightPressed:
        DiagIndex = DiagIndex == 0 ? Count - 1 : DiagIndex - 1;
        break;
    case KeyCode::IncreasePressed:
        if (DiagIndex >= 18 && DiagIndex <= 20) TempFahrenheit = !TempFahrenheit;
        break;
    default:
        break;
    }
    const TDiagField& field = DiagTable[DiagIndex];
    Lcd& lcd = sim_.lcd;
    lcd.LcdLowerText = field.Name;
    lcd.LCDWrite(lcd.LcdLowerText, LowerLine);
    const std::string& explanation = sim_.state.Text(field.Explanation[0], field.Explanation[1]);
    sim_.form.HilfeUnten.text = explanation.empty() ? std::string() : ConfigMenu::WrapHelpText(explanation);
    sim_.form.HilfeOben.text.clear();

    // The first five counters can be reset: the increase key shows "RESET", holding it clears.
    if (DiagIndex <= 4 && code == KeyCode::IncreasePressed) {
        lcd.LcdUpperText = "RESET";
        lcd.LCDWrite(lcd.LcdUpperText, UpperLine);
        DiagResetPending = 1;
        return;
    }
    if (DiagIndex <= 4 && code == KeyCode::IncreaseHeld) {
        DiagTable[DiagIndex].Value = 0;
        DiagResetPending = 0;
        return;
    }
    const int32_t v = ShownValue(DiagIndex);
    std::string text;
    if (field.Flags & DiagCount) {
        text = v < 100000 ? std::to_string(v) : FormatExponentNoPlus(v, 3, 1);
    } else if (field.Flags & DiagIntBlank) {
        text = std::to_string(v) + " ";
    } else if (DiagIndex == 6) {
        text = sim_.params.InitTravelText();
    } else if (DiagIndex >= 18 && DiagIndex <= 20) {
        text = FormatFixed(v / 10.0, 1, 15) + (TempFahrenheit ? "F" : "C");
    } else {
        text = FormatFixed(v / 10.0, 1, 4) + " ";
    }
    lcd.LcdUpperText = text;
    lcd.LCDWrite(lcd.LcdUpperText, UpperLine);
}

void Diagnostics::CountSwitching(double target, double position) {
    if (target == position) return;
    const double d = std::fabs(position - target);
    const bool opening = target > position;
    const double zone = DiagTable[opening ? DiagShortStepUp : DiagShortStepDown].Value / 10.0;
    const int full = opening ? 21 : 19;
    const int32_t count =
        (d >= zone || zone == 0) ? full : static_cast<int32_t>(std::nearbyint(full * d / zone));
    int32_t& counter = DiagTable[opening ? DiagVent1 : DiagVent2].Value;
    if (kMax - count > counter) counter += count;
}

void TDiagField::DoState(StateVisitor& v) {
    v("Flags", Flags);
    v("Name", Name);
    v("Value", Value);
    v("Explanation", Explanation);
}

void Diagnostics::DoState(StateVisitor& v) {
    v.Part("diagnostics");
    v("DiagTable", DiagTable);
    v("TravelSum", TravelSum);
    v("DiagResetPending", DiagResetPending);
    v("DiagIndex", DiagIndex);
    v("TempFahrenheit", TempFahrenheit);
}

} // namespace vp7
