// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/operation/ParamTables.h"

#include <algorithm>
#include <initializer_list>
#include <utility>

namespace vp7 {
namespace {

using HelpArray = std::array<std::string, 75>;
using TextPair = std::pair<const char*, const char*>;

// The kinds in use, by what the values are.
constexpr ParamKind kWhole = ParamKind::Plain, kList = ParamKind::List;
constexpr ParamKind kSeconds = ParamKind::Number, kSecondsOrAuto = kSeconds | ParamKind::Special;
constexpr ParamKind kPercent = ParamKind::Number | ParamKind::Tenths;
constexpr ParamKind kPercentOrSpecial = kPercent | ParamKind::Special;
constexpr ParamKind kCount = ParamKind::LargeCount, kCountOrOff = kCount | ParamKind::Special;
constexpr ParamKind kAction = ParamKind::Action, kReset = ParamKind::Reset;

// German and English descriptions of values 0, 1, ... at [Language * 15 + value].
HelpArray MakeHelp(std::initializer_list<TextPair> texts) {
    HelpArray help;
    int value = 0;
    for (const auto& [german, english] : texts) {
        help[value] = german;
        help[15 + value] = english;
        ++value;
    }
    return help;
}

// The value descriptions; parameters with the same texts share one array.
struct HelpTables {
    HelpArray yfct = MakeHelp({
        {"Schwenkantrieb", "Part-turn actuator"},
        {"Schubantrieb", "Linear actuator"},
        {"Schubantrieb ohne Sinuskorrektur", "Linear actuator without sine correction"},
        {"Schwenkantrieb mit NCS", "Part-turn actuator with NCS"},
        {"Schwenkantrieb mit NCS (invers)", "Part-turn actuator with NCS (invers)"},
        {"Schubantrieb mit NCS", "Linear actuator with NCS"},
    });
    HelpArray yway = MakeHelp({
        {"Keine Angabe", "Not selected"},
        {"5mm", "5mm"},
        {"10mm", "10mm"},
        {"15mm", "15mm"},
        {"20mm", "20mm"},
        {"25mm", "25mm"},
        {"30mm", "30mm"},
        {"35mm", "35mm"},
        {"40mm", "40mm"},
        {"50mm", "50mm"},
        {"60mm", "60mm"},
        {"70mm", "70mm"},
        {"90mm", "90mm"},
        {"110mm", "110mm"},
        {"130mm", "130mm"},
    });
    HelpArray scur = MakeHelp({
        {"0 bis 20mA", "0 bis 20mA"},
        {"4 bis 20mA", "4 bis 20mA"},
    });
    HelpArray sdir = MakeHelp({
        {"Sollwertrichtung steigend", "Setpoint direction rising"},
        {"Sollwertrichtung fallend", "Setpoint direction falling"},
    });
    HelpArray tsup = MakeHelp({
        {"Größter Wert von AUF und ZU, wie bei der Initialisierung ermittelt",
         "Highest value of UP and DOWN, as measured during initialization"},
    });
    HelpArray sfct = MakeHelp({
        {"Linear", "Linear"},
        {"Gleichprozentig (1:25)", "Equal-percentage (1:25)"},
        {"Gleichprozentig (1:33)", "Equal-percentage (1:33)"},
        {"Gleichprozentig (1:50)", "Equal-percentage (1:50)"},
        {"Invers gleichprozentig (1:25)", "Inverse equal-percentage (1:25)"},
        {"Invers gleichprozentig (1:33)", "Inverse equal-percentage (1:33)"},
        {"Invers gleichprozentig (1:50)", "Inverse equal-percentage (1:50)"},
        {"Frei einstellbar", "Freely adjustable"},
    });
    HelpArray measuredAtInit = MakeHelp({
        {"wie bei der Initialisierung ermittelt", "As measured during initialization"},
    });
    HelpArray ynrm = MakeHelp({
        {"Anzeige der mechanischen Position (Y-Wert)", "Display of mechanical travel (Y-Value)"},
        {"Anzeige der Durchflussmenge (X-Wert)", "Display of flow (X-Value)"},
    });
    HelpArray ydir = MakeHelp({
        {"Stellgrößenwirksinn der Anzeige steigend", "Direction of display rising"},
        {"Stellgrößenwirksinn der Anzeige fallend", "Direction of display falling"},
    });
    HelpArray ycls = MakeHelp({
        {"Kein Dichtschließen", "Without tight closing"},
        {"Dichtschließen oben", "Tight closing top only"},
        {"Dichtschließen unten", "Tight closing bottom only"},
        {"Dichtschließen oben und unten", "Tight closing top and bottom"},
    });
    HelpArray bin1 = MakeHelp({
        {"Keine Funktion", "None"},
        {"nur Meldung (Öffner)", "Only message (NC contact)"},
        {"nur Meldung (Schließer)", "Only message (NO contact)"},
        {"Konfigurieren blockieren (Schließer)", "Block configuring (NO contact)"},
        {"Konfigurieren und Hand blockieren (Schließer)", "Block configuring and manual (NO contact)"},
        {"Fahre Ventil auf Stellung UP (Schließer)", "Drive valve to position UP (NO contact)"},
        {"Fahre Ventil auf Stellung DOWN (Schließer)", "Drive valve to position DOWN (NO contact)"},
        {"Bewegung blockieren (Schließer)", "Block movement (NO contact)"},
        {"Fahre Ventil auf Stellung UP (Öffner)", "Drive valve to position UP (NC contact)"},
        {"Fahre Ventil auf Stellung DOWN (Öffner)", "Drive valve to position DOWN (NC contact)"},
        {"Bewegung blockieren (Öffner)", "Block movement (NC contact)"},
    });
    HelpArray bin2 = MakeHelp({
        {"Keine Funktion", "None"},
        {"nur Meldung (Öffner)", "Only message (NC contact)"},
        {"nur Meldung (Schließer)", "Only message (NO contact)"},
        {"Fahre Ventil auf Stellung UP (Schließer)", "Drive valve to position UP (NO contact)"},
        {"Fahre Ventil auf Stellung DOWN (Schließer)", "Drive valve to position DOWN (NO contact)"},
        {"Bewegung blockieren (Schließer)", "Block movement (NO contact)"},
        {"Fahre Ventil auf Stellung UP (Öffner)", "Drive valve to position UP (NC contact)"},
        {"Fahre Ventil auf Stellung DOWN (Öffner)", "Drive valve to position DOWN (NC contact)"},
        {"Bewegung blockieren (Öffner)", "Block movement (NC contact)"},
    });
    HelpArray afct = MakeHelp({
        {"Keine Funktion", "Without"},
        {"Alam1 Min, Alarm2 Max", "Alam1 Min, Alarm2 Max"},
        {"Alam1 Min, Alarm2 Min", "Alam1 Min, Alarm2 Min"},
        {"Alam1 Max, Alarm2 Max", "Alam1 Max, Alarm2 Max"},
        {"Alam1 Min, Alarm2 Max (invertiert)", "Alam1 Min, Alarm2 Max (inverted)"},
        {"Alam1 Min, Alarm2 Min (invertiert)", "Alam1 Min, Alarm2 Min (inverted)"},
        {"Alam1 Max, Alarm2 Max (invertiert)", "Alam1 Max, Alarm2 Max (inverted)"},
    });
    HelpArray stoerFct = MakeHelp({
        {"Störung", "On fault"},
        {"Störung + nicht Automatik", "Fault + not automatic"},
        {"Störung + nicht Automatik + Binäreingang", "Fault + not automatic + binary input"},
        {"Störung (invertiert)", "On fault (invertiert)"},
        {"Störung + nicht Automatik (invertiert)", "Fault + not automatic (invertiert)"},
        {"Störung + nicht Automatik + Binäreingang (invertiert)",
         "Fault + not automatic + binary input (invertiert)"},
    });
    HelpArray noLimitCheck = MakeHelp({
        {"Keine Grenzwertüberwachung", "Without"},
    });
    HelpArray fsty = MakeHelp({
        {"Sicherheitssollwert (FSVL) einstellen", "Use saftysetpoint (FSVL)"},
        {"Letzten Sollwert beibehalten", "Keep last setpoint"},
        {"wie bei ACTUATOR ACTION (PROFI-Bus-Objekt) eingestellt", "Use ACTUATOR ACTION (PROFI-Bus-Object)"},
    });
    HelpArray ident = MakeHelp({
        {"Profil-Spezifisch", "Profil specific"},
        {"Hersteller-Spezifisch (volle Funktionalität)", "Manufacturer specific (supports all funtions)"},
    });
    HelpArray ycdoFf = MakeHelp({
        {"Kein Dichtschließen unten", "Without tight closing, bottom"},
    });
    HelpArray ycupFf = MakeHelp({
        {"Kein Dichtschließen oben", "Without tight closing, top"},
    });
};

// Built on first use: the records point into these arrays for the whole run.
const HelpTables& Help() {
    static const HelpTables tables;
    return tables;
}

ParamRecord Rec(ParamId id, const char* name, ParamKind kind, int32_t def, int32_t min, int32_t max,
                int32_t special, std::initializer_list<const char*> texts, std::string german,
                std::string english, const HelpArray* help = nullptr) {
    ParamRecord rec;
    rec.id = id;
    TParamField& f = rec.field;
    f.Kind = kind;
    f.Name = name;
    f.Value = def;
    f.Default = def;
    f.Min = min;
    f.Max = max;
    f.Special = special;
    std::copy(texts.begin(), texts.end(), f.ValueTexts.begin());
    f.LongName[0] = std::move(german);
    f.LongName[1] = std::move(english);
    f.ValueHelp = help;
    return rec;
}

std::vector<ParamRecord> Variant0Records() {
    using enum ParamId;
    const HelpTables& h = Help();
    std::vector<ParamRecord> r = {
        Rec(YFCT, "  YFCT ", kList, 1, 0, 5, 0, {"turn ", " WAY ", "LWAY ", " ncSt", "-ncSt", " ncSL"},
            "Stellantriebsart", "Type of actuator", &h.yfct),
        Rec(YAGL, "  YAGL ", kList, 1, 0, 1, 0, {" 90~ ", " 33~ "}, "Nenndrehwinkel der Rückmeldung",
            "Rated angle of rotation of feedback"),
        // The largest stroke range, 130 mm, had no value text and showed an empty line; it gets its own.
        Rec(YWAY, "  YWAY ", kList, 0, 0, 14, 0,
            {" OFF ", "  5.0 ", " 10.0 ", " 15.0 ", " 20.0 ", " 25.0 ", " 30.0 ", " 35.0 ", " 40.0 ",
             " 50.0 ", " 60.0 ", " 70.0 ", " 90.0 ", "110.0 ", "130.0 "},
            "Hubbereich", "Stroke range", &h.yway),
        Rec(INITA, "  INITA", kAction, 1, 0, 2, 0, {"noini", "Strt"}, "Automatische Initialisierung starten",
            "Start initialization (automatically)"),
        Rec(INITM, "  INITM", kAction, 1, 0, 2, 0, {"noini", "Strt"}, "Manuelle Initialisierung starten",
            "Start initialization (manually)"),
        Rec(SCUR, "  SCUR ", kList, 1, 0, 1, 0, {"0 MA ", "4 MA "}, "Strombereich des Sollwerts",
            "Current range of setpoint", &h.scur),
        Rec(SDIR, "  SDIR ", kList, 0, 0, 1, 0, {"riSE ", "FALL "}, "Sollwertrichtung", "Setpoint direction",
            &h.sdir),
        Rec(SPRA, "  SPRA ", kPercent, 0, 0, 1000, 0, {}, "Sollwert Splitrange Anfang in %",
            "Setpoint for start of split range in %"),
        Rec(SPRE, "  SPRE ", kPercent, 1000, 0, 1000, 0, {}, "Sollwert Splitrange Ende in %",
            "Setpoint for end of split range in %"),
        Rec(TSUP, "  TSUP ", kSecondsOrAuto, 0, 0, 400, -120, {"Auto "}, "Sollwertrampe AUF in Sekunden",
            "Setpoint ramp UP in seconds", &h.tsup),
        Rec(TSDO, "  TSDO ", kSeconds, 0, 0, 400, 0, {}, "Sollwertrampe ZU in Sekunden",
            "Setpoint ramp DOWN in seconds"),
        Rec(SFCT, "  SFCT ", kList, 0, 0, 7, 0,
            {" Lin ", " 1-25", " 1-33", " 1-50", "n1-25", "n1-33", "n1-50", "FrEE "}, "Sollwertfunktion",
            "Setpoint function", &h.sfct),
    };
    // The support values at 0, 5, ... 100 %: the percentage goes into the long names before the "%".
    for (int n = 0; n <= 20; ++n) {
        std::string name = "  SL" + std::to_string(n);
        name.resize(7, ' ');
        const std::string percent = std::to_string(5 * n) + "%";
        r.push_back(Rec(ParamId(int(SL0) + n), name.c_str(), kPercent, 50 * n, 0, 1000, 0, {},
                        "Sollwertstützpunkt bei " + percent, "Setpoint turning point at " + percent));
    }
    const std::initializer_list<ParamRecord> rest = {
        Rec(DEBA, "  DEBA ", kPercentOrSpecial, -1200, 1, 100, -1200, {"Auto "}, "Totzone des Reglers in %",
            "Ded zone of controller in %", &h.measuredAtInit),
        Rec(YA, "  YA   ", kPercent, 0, 0, 1000, 0, {}, "Stellgrößenbegrenzung Anfang in %",
            "Start of mamipulated variable limiting in %"),
        Rec(YE, "  YE   ", kPercent, 1000, 0, 1000, 0, {}, "Stellgrößenbegrenzung Ende in %",
            "End of mamipulated variable limiting in %"),
        Rec(YNRM, "  YNRM ", kList, 0, 0, 1, 0, {"MPOS ", "FLOW "},
            "Stellgrößennormierung der Istwert-Anzeige", "Standardization of manipulated variable", &h.ynrm),
        Rec(YDIR, "  YDIR ", kList, 0, 0, 1, 0, {"riSE ", "FALL "}, "Stellgrößenwirksinn der Anzeige",
            "Direction of manipulated variable for display", &h.ydir),
        Rec(YCLS, "  YCLS ", kList, 0, 0, 3, 0, {"  no ", "up   ", "   do", "up do"},
            "Stellgrößendichtschließen", "Tight closing", &h.ycls),
        Rec(YCDO, "  YCDO ", kPercent, 5, 0, 1000, 0, {}, "Wert für Dichtschließen unten in %",
            "Value for tight closing, bottom, in %"),
        Rec(YCUP, "  YCUP ", kPercent, 995, 0, 1000, 0, {}, "Wert für Dichtschließen oben in %",
            "Value for tight closing, top,  in %"),
        Rec(BIN1, "  BIN1 ", kList, 0, 0, 10, 0,
            {" OFF ", " -on ", "  on ", "bLoc1", "bLoc2", "  uP ", " doWn", "StoP ", " -up ", "-doWn",
             "-StoP"},
            "Funktion des Binäreingangs BE1", "Function of binary input BI1", &h.bin1),
        Rec(BIN2, "  BIN2 ", kList, 0, 0, 8, 0,
            {" OFF ", " -on ", "  on ", "  uP ", " doWn", "StoP ", " -up ", "-doWn", "-StoP"},
            "Funktion des Binäreingangs BE2", "Function of binary input BI2", &h.bin2),
        Rec(AFCT, "  AFCT ", kList, 0, 0, 6, 0,
            {" OFF ", "Mi MA", "Mi Mi", "MA MA", "*i *A", "*i *i", "*A *A"}, "Alarm Funktion",
            "Alarm function", &h.afct),
        Rec(A1, "  A1   ", kPercent, 100, 0, 1000, 0, {}, "Ansprechschwelle Alarm 1 in %",
            "Response threshold for alarm 1 in %"),
        Rec(A2, "  A2   ", kPercent, 900, 0, 1000, 0, {}, "Ansprechschwelle Alarm 2 in %",
            "Response threshold for alarm 2 in %"),
        Rec(StoerFCT, "  /FCT ", kList, 0, 0, 5, 0, {" /   ", " /nA ", " /nAb", "-/   ", "-/nA ", "-/nAb"},
            "Funktion des Störmeldeausgangs", "Function of alarm output", &h.stoerFct),
        Rec(StoerTIM, "  /TIM ", kSecondsOrAuto, -120, 0, 100, -120, {"Auto "},
            "Überwachungszeit für die Störmeldung in Sekunden",
            "Monitoring time for fault message (control deviation)", &h.measuredAtInit),
        Rec(StoerLIM, "  /LIM ", kPercentOrSpecial, -1200, 0, 1000, -1200, {"Auto "},
            "Ansprechschwelle für die Störmeldung in %",
            "Response threshold for fault message in % (control deviation)", &h.measuredAtInit),
        Rec(StoerSTRK, "  /STRK", kCountOrOff, 0, 1, 1000000000, 0, {" OFF "}, "Grenzwert für Wegintegral",
            "Limit for stroke integral", &h.noLimitCheck),
        Rec(StoerDCHG, "  /DCHG", kCountOrOff, 0, 1, 1000000000, 0, {" OFF "},
            "Grenzwert für Richtungswechsel", "Limit for direction change", &h.noLimitCheck),
        Rec(StoerZERO, "  /ZERO", kPercentOrSpecial, -1200, 0, 1000, -1200, {" OFF "},
            "Grenzwert für Anschlagüberwachung unten in % (nur wirksam bei Dichtschließen)",
            "Limit for end stop monitoring, bottom in % (only monitored at tight closing)", &h.noLimitCheck),
        Rec(StoerOPEN, "  /OPEN", kPercentOrSpecial, -1200, 0, 1000, -1200, {" OFF "},
            "Grenzwert für Anschlagüberwachung oben in % (nur wirksam bei Dichtschließen)",
            "Limit for end stop monitoring, top in % (only monitored at tight closing)", &h.noLimitCheck),
        Rec(StoerDEBA, "  /DEBA", kPercentOrSpecial, -1200, 0, 1000, -1200, {" OFF "},
            "Grenzwert für Totzonenüberwachung in % (nur wirksam bei DEBA = AUTO)",
            "Limit for dead zone monitoring in % (only monitored when DEBA = Auto)", &h.noLimitCheck),
        Rec(PRST, "  PRST ", kReset, 0, 1, 3, 0, {"  no ", "  no ", "Strt ", "oCAY "},
            "Parameter auf Werkseinstellung rücksetzen", "Factory setting"),
    };
    r.insert(r.end(), rest);
    return r;
}

TParamField& Field(std::vector<ParamRecord>& records, ParamId id) {
    return std::find_if(records.begin(), records.end(), [id](const ParamRecord& r) { return r.id == id; })
        ->field;
}

void Remove(std::vector<ParamRecord>& records, std::initializer_list<ParamId> ids) {
    std::erase_if(records, [ids](const ParamRecord& r) {
        return std::find(ids.begin(), ids.end(), r.id) != ids.end();
    });
}

// PA: no current input, no split range, no display direction; ramps named TSI/TSD; fail-safe and bus
// address parameters after PRST.
std::vector<ParamRecord> Variant1Records() {
    using enum ParamId;
    const HelpTables& h = Help();
    std::vector<ParamRecord> r = Variant0Records();
    Remove(r, {SCUR, SPRA, SPRE, YDIR});
    Field(r, TSUP).Name = "  TSI  ";
    Field(r, TSDO).Name = "  TSD  ";
    Field(r, YCDO).Value = Field(r, YCDO).Default = 0;
    TParamField& ycup = Field(r, YCUP);
    ycup.Value = ycup.Default = 1000;
    ycup.LongName[1] = "Value for tight closing, top, in %";
    Field(r, BIN2).LongName[1] = "Fuction of binary input BI2";
    TParamField& strk = Field(r, StoerSTRK);
    strk.Kind = kCount;
    strk.Value = strk.Default = 1000000000;
    strk.Min = 0;
    strk.ValueTexts = {};
    const std::initializer_list<ParamRecord> failSafe = {
        Rec(FSTY, "  FSTY ", kList, 2, 0, 2, 0, {"FSVL ", "FSSP ", "FSAC "},
            "Sicherheitsstellung bei Kommunikationsausfall", "Safty position without communication", &h.fsty),
        Rec(FSTI, "  FSTI ", kSeconds, 30, 0, 100, 0, {},
            "Überwachungszeit für die Sicherheitsstellung in Sekunden", "Fail safe time in seconds"),
        Rec(FSVL, "  FSVL ", kPercent, 0, 0, 1000, 0, {}, "Sicherheitssollwert in %", "Safty setpoint in %"),
        Rec(STNR, "  STNR ", kWhole, 126, 0, 126, 0, {}, "Stationsnummer des Gerätes",
            "Station number of the device"),
        Rec(IDENT, "  IDENT", kWhole, 1, 0, 1, 0, {}, "Auswahl der PROFI-Bus Ident-Nummer",
            "Select PROFI-Bus ident-number", &h.ident),
    };
    r.insert(r.end(), failSafe);
    return r;
}

// FF: tight closing is switched off per side by the special value of YCDO/YCUP instead of YCLS; one
// binary input.
std::vector<ParamRecord> Variant2Records() {
    using enum ParamId;
    const HelpTables& h = Help();
    std::vector<ParamRecord> r = Variant0Records();
    Remove(r, {SCUR, SDIR, SPRA, SPRE, YDIR, YCLS, BIN2});
    for (auto [id, help] : {std::pair{YCDO, &h.ycdoFf}, std::pair{YCUP, &h.ycupFf}}) {
        TParamField& f = Field(r, id);
        f.Kind = kPercentOrSpecial;
        f.Value = f.Default = f.Special = -1200;
        f.ValueTexts[0] = " OFF ";
        f.ValueHelp = help;
    }
    TParamField& bin = Field(r, BIN1);
    bin.Name = "  BIN  ";
    bin.LongName[0] = "Funktion des Binäreingangs BE2";
    bin.LongName[1] = "Function of binary input BI2";
    return r;
}

} // namespace

// Built once: the table is set up again on every variant change and configuration load.
const std::vector<ParamRecord>& VariantRecords(uint8_t controllerType) {
    static const std::vector<ParamRecord> records[3] = {Variant0Records(), Variant1Records(),
                                                        Variant2Records()};
    return records[controllerType <= 2 ? controllerType : 0];
}

} // namespace vp7
