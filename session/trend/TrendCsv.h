// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The trend as CSV, the same from the trend window and the scenario runner: a header row, then one row
// a sample with the events it carries. Comma-separated, "." as decimal point and the events in English
// whatever the user's locale, CRLF line ends, UTF-8; or in the German form a German spreadsheet opens
// as it is: ";" between the fields, "," as decimal point, the events in German.
#include <string>

namespace vp7 {

class TrendRecorder;

enum class CsvForm { International, German };

std::string TrendCsv(const TrendRecorder& trend, CsvForm form = CsvForm::International);
// Writes the CSV through a temporary file and a rename; false when it could not be written.
bool SaveTrendCsv(const TrendRecorder& trend, const std::string& path, CsvForm form = CsvForm::International);

} // namespace vp7
