// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/ConfigSheet.h"

#include "formats/AtomicFile.h"
#include "session/language/Output.h"
#include "sim/Simulator.h"
#include "sim/operation/ParamSet.h"
#include "sim/operation/ParamTableView.h"

#include <ctime>

namespace vp7 {
namespace {

std::string Trim(const std::string& text) {
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string Item(const Control& group, int index) {
    return index >= 0 && index < static_cast<int>(group.items.size()) ? group.items[index] : std::string();
}

// The display's "~" is a degree sign.
std::string Degrees(std::string text) {
    if (const size_t at = text.find('~'); at != std::string::npos) text.replace(at, 1, "°");
    return text;
}

// The value as the configuration menu shows it, and its unit; a special value ("Auto", "OFF") has none.
std::pair<std::string, std::string> ValueAndUnit(const Simulator& sim, int index) {
    const ParamSet& p = sim.params;
    const TParamField& f = p.ParamTable[index];
    // On the initialization items the display shows the travel the last initialization found.
    if ((index == p.INITAIndex || index == p.INITMIndex) && f.Value == 1) {
        const std::string travel = Trim(p.InitTravelText());
        const bool angle = travel.find('~') != std::string::npos;
        return {Degrees(travel), angle || travel.empty() ? "" : "mm"};
    }
    const std::string value = Trim(sim.paramTableView.ParamValueText(index));
    const bool special = Has(f.Kind, ParamKind::Special) && f.Value == f.Special;
    if (Has(f.Kind, ParamKind::Number) && !special)
        return {value, Has(f.Kind, ParamKind::Tenths) ? "%" : "s"};
    if (index == p.YWAYIndex && f.Value != 0) return {value, "mm"};
    return {value, ""};
}

void AppendField(std::string& csv, const std::string& field) {
    if (field.find_first_of(",\"\r\n") == std::string::npos) {
        csv += field;
        return;
    }
    csv += '"';
    for (char c : field)
        csv += c == '"' ? std::string("\"\"") : std::string(1, c);
    csv += '"';
}

void AppendRow(std::string& csv, const std::array<const std::string*, 5>& fields) {
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) csv += ',';
        AppendField(csv, *fields[i]);
    }
    csv += "\r\n";
}

} // namespace

ConfigSheet MakeConfigSheet(const Simulator& sim, const std::string& date) {
    const SimState& s = sim.state;
    const FormState& f = sim.form;
    ConfigSheet sheet;
    // The variant running now, not one chosen for the next start.
    const std::string variant = Item(f.ControllerSelect, s.ControllerType);
    sheet.title = "KELDAR " + variant + s.Text(" – Konfiguration", " – Configuration");
    sheet.headings = {s.Text("Nr.", "No."), "Name", s.Text("Wert", "Value"), s.Text("Einheit", "Unit"),
                      s.Text("Bedeutung", "Meaning")};
    const Control& valve = f.SelfClosingSelect.checked   ? f.SelfClosingSelect
                           : f.SelfOpeningSelect.checked ? f.SelfOpeningSelect
                                                         : f.DoubleActingSelect;
    const auto fitted = [&](const Control& module) {
        return std::string(module.checked ? s.Text("ja", "yes") : s.Text("nein", "no"));
    };
    sheet.options = {
        {"", s.Text("Datum", "Date"), date, "", ""},
        {"", f.ControllerSelect.caption, variant, "", ""},
        {"", s.Text("Ventilart", "Valve type"), valve.caption, "", ""},
        {"", f.DrosselSelect.caption, Item(f.DrosselSelect, f.DrosselSelect.itemIndex), "", ""},
        {"", f.AlarmModulSelect.caption, fitted(f.AlarmModulSelect), "", ""},
        {"", f.StromModulSelect.caption, fitted(f.StromModulSelect), "", ""},
        {"", s.Text("Getriebe", "Gear"), s.GearIs33 ? "33°" : "90°", "", ""},
        {"", f.SetpointDimSelect.caption, Item(f.SetpointDimSelect, f.SetpointDimSelect.itemIndex), "", ""},
    };
    const ParamSet& p = sim.params;
    for (int i = p.ParamFirstIndex; i <= p.ParamLastIndex; ++i) {
        const TParamField& field = p.ParamTable[i];
        auto [value, unit] = ValueAndUnit(sim, i);
        sheet.parameters.push_back({std::to_string(i + 1), Trim(field.Name), std::move(value),
                                    std::move(unit), s.Text(field.LongName[0], field.LongName[1])});
    }
    return sheet;
}

std::string ConfigSheetCsv(const ConfigSheet& sheet) {
    std::string csv;
    const auto& h = sheet.headings;
    AppendRow(csv, {&h[0], &h[1], &h[2], &h[3], &h[4]});
    for (const auto* rows : {&sheet.options, &sheet.parameters})
        for (const SheetRow& r : *rows)
            AppendRow(csv, {&r.number, &r.name, &r.value, &r.unit, &r.meaning});
    return csv;
}

bool SaveConfigSheetCsv(const ConfigSheet& sheet, const std::string& path) {
    return WriteFileAtomically(path, ConfigSheetCsv(sheet));
}

std::string ConfigSheetHtml(const ConfigSheet& sheet, bool german) {
    std::string html = std::string("<!DOCTYPE html>\n<html lang=\"") + (german ? "de" : "en") +
                       "\"><head><meta charset=\"utf-8\"><title>" + EscapeHtml(sheet.title) +
                       "</title></head>\n<body style=\"font-family:sans-serif\">\n<h2>" +
                       EscapeHtml(sheet.title) + "</h2>\n<table cellpadding=\"2\">\n";
    for (const SheetRow& r : sheet.options)
        html += "<tr><td><b>" + EscapeHtml(r.name) + "</b></td><td>" + EscapeHtml(r.value) + "</td></tr>\n";
    // The heading row in <thead> comes again on every printed page.
    html += "</table>\n<p></p>\n<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" width=\"100%\">\n"
            "<thead><tr>";
    for (const std::string& heading : sheet.headings)
        html += "<th align=\"left\">" + EscapeHtml(heading) + "</th>";
    html += "</tr></thead>\n";
    for (const SheetRow& r : sheet.parameters) {
        html += "<tr><td align=\"right\">" + EscapeHtml(r.number) + "</td>";
        for (const std::string* field : {&r.name, &r.value, &r.unit, &r.meaning})
            html += "<td>" + EscapeHtml(*field) + "</td>";
        html += "</tr>\n";
    }
    return html + "</table>\n</body></html>\n";
}

std::string LocalDateTime() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", &local);
    return text;
}

} // namespace vp7
