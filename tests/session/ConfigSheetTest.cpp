// SPDX-License-Identifier: GPL-3.0-or-later
// The configuration sheet as the runner's `export` writes it (the window exports the same CSV).
#include "support/Bytes.h"
#include "support/FolderFixture.h"
#include "support/RunScript.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

namespace vp7 {
namespace {

namespace fs = std::filesystem;

struct ConfigSheetTest : test::FolderFixture {

    // The script with `export` at its end; the CSV's lines without their CRLF.
    std::vector<std::string> Export(const std::string& script) {
        const fs::path csv = dir / "sheet.csv";
        const auto run = test::RunScript(script + "export " + csv.string() + "\n", dir / "program");
        EXPECT_EQ(run.status, 0) << run.err;
        const std::string text = test::Bytes(csv);
        std::vector<std::string> lines;
        for (size_t at = 0, end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2)
            lines.push_back(text.substr(at, end - at));
        EXPECT_TRUE(text.ends_with("\r\n"));
        return lines;
    }
};

// The heading, the date, the options, then every parameter in menu order; values as the device shows
// them with their unit (none for a special value), long names with commas quoted.
TEST_F(ConfigSheetTest, EveryParameterInMenuOrderWithTheOptions) {
    struct Case {
        const char* script;
        size_t parameters;
        std::vector<const char*> rows; // in this order, not necessarily one after another
    };
    const Case cases[] = {
        {"start\nparam YWAY 5\nparam TSUP -120\nparam A1 125\nparam YCDO 5\nset AlarmModulSelect 1\nset "
         "DrosselSelect 2\n",
         55,
         {"No.,Name,Value,Unit,Meaning", ",Controller,VP7 0/4-20mA,,", ",Valve type,Double acting Valve,,",
          ",Needle Valve,2 turns,,", ",Alarm module,yes,,", ",Feedback module,no,,", ",Gear,33°,,",
          ",Setpoint input,%,,", "1,YFCT,WAY,,Type of actuator", "3,YWAY,25.0,mm,Stroke range",
          "4,INITA,24.7,mm,Start initialization (automatically)", "6,SCUR,4 MA,,Current range of setpoint",
          "10,TSUP,Auto,,Setpoint ramp UP in seconds", "11,TSDO,0,s,Setpoint ramp DOWN in seconds",
          "34,DEBA,Auto,,Ded zone of controller in %",
          "40,YCDO,0.5,%,\"Value for tight closing, bottom, in %\"",
          "45,A1,12.5,%,Response threshold for alarm 1 in %", "50,/STRK,OFF,,Limit for stroke integral",
          "55,PRST,no,,Factory setting"}},
        {"ini Config Controller VP7PA\nstart\nmenu Deutsch1\nset SelfClosingSelect 1\nparam YFCT 0\n"
         "param YAGL 0\nparam DEBA 12\ndown 439 382\nup 439 382\n",
         56,
         {"Nr.,Name,Wert,Einheit,Bedeutung", ",Stellungsregler,VP7 PA,,",
          ",Ventilart,Ventil selbstschließend,,", ",Drossel,Ganz offen,,", ",Alarmmodul,nein,,",
          ",Getriebe,90°,,", ",Sollwerteingang,%,,", "1,YFCT,turn,,Stellantriebsart",
          "2,YAGL,90°,,Nenndrehwinkel der Rückmeldung", "4,INITA,89.1°,,Automatische Initialisierung starten",
          "7,TSI,0,s,Sollwertrampe AUF in Sekunden", "31,DEBA,1.2,%,Totzone des Reglers in %",
          "46,/STRK,1.00E9,,Grenzwert für Wegintegral", "55,STNR,126,,Stationsnummer des Gerätes",
          "56,IDENT,1,,Auswahl der PROFI-Bus Ident-Nummer"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        const std::vector<std::string> lines = Export(c.script);
        ASSERT_EQ(lines.size(), 1 + 8 + c.parameters);
        EXPECT_TRUE(
            std::regex_match(lines[1], std::regex(",(Date|Datum),\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d,,")))
            << lines[1];
        for (size_t i = 0; i < c.parameters; ++i)
            EXPECT_TRUE(lines[9 + i].starts_with(std::to_string(i + 1) + ',')) << lines[9 + i];
        auto from = lines.begin();
        for (const char* row : c.rows) {
            const auto found = std::find(from, lines.end(), row);
            EXPECT_NE(found, lines.end()) << "missing or out of order: " << row;
            if (found != lines.end()) from = found;
        }
    }
}

} // namespace
} // namespace vp7
