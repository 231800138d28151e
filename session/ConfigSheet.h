// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The running device's configuration as a sheet a trainer hands out or files with an apprentice's work:
// the date, the options (variant, valve type, throttle, modules, gear, setpoint unit) and every
// parameter of the variant in menu order with its number, name, value, unit and long name, all in the
// program's language. The window prints it; the window and the runner export it as CSV.
#include <array>
#include <string>
#include <vector>

namespace vp7 {

class Simulator;

// An option has a name and a value only.
struct SheetRow {
    std::string number, name, value, unit, meaning;
};

struct ConfigSheet {
    std::string title;
    std::array<std::string, 5> headings; // number, name, value, unit, meaning
    std::vector<SheetRow> options;       // the date first
    std::vector<SheetRow> parameters;
};

// `date` as it is to stand on the sheet.
ConfigSheet MakeConfigSheet(const Simulator& sim, const std::string& date);

// The heading row, the options, then the parameters, five fields a row: comma-separated, a field with
// a comma, quote or line break in double quotes, CRLF line ends, UTF-8 (as the trend's CSV).
std::string ConfigSheetCsv(const ConfigSheet& sheet);
// Through a temporary file and a rename; false when it could not be written.
bool SaveConfigSheetCsv(const ConfigSheet& sheet, const std::string& path);

// The sheet as an HTML page to print: the title, the options as a two-column list, the parameters as a
// table; `german` sets the page's language.
std::string ConfigSheetHtml(const ConfigSheet& sheet, bool german);

// The local date and time now, "2025-03-14 09:30".
std::string LocalDateTime();

} // namespace vp7
