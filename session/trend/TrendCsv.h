// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The trend as CSV, the same from the trend window and the scenario runner: a header row, then one row
// a sample with the events it carries in English. Comma-separated, "." as decimal point whatever the
// user's locale, CRLF line ends, UTF-8.
#include <string>

namespace vp7 {

class TrendRecorder;

std::string TrendCsv(const TrendRecorder& trend);
// Writes the CSV through a temporary file and a rename; false when it could not be written.
bool SaveTrendCsv(const TrendRecorder& trend, const std::string& path);

} // namespace vp7
