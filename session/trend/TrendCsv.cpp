// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/trend/TrendCsv.h"

#include "formats/AtomicFile.h"
#include "platform/NumberFormat.h"
#include "session/trend/TrendRecorder.h"

#include <algorithm>

namespace vp7 {

std::string TrendCsv(const TrendRecorder& trend, CsvForm form) {
    const auto& samples = trend.Samples();
    const auto& events = trend.Events();
    const bool german = form == CsvForm::German;
    const char separator = german ? ';' : ',';
    const Language language = german ? Language::German : Language::English;
    const auto number = [german](double v, int decimals) {
        std::string text = FormatFixed(v, decimals, 18);
        if (german) std::replace(text.begin(), text.end(), '.', ',');
        return text;
    };
    std::string csv = "time_s,setpoint_pct,controller_setpoint_pct,position_setpoint_pct,position_pct,"
                      "deviation_pct,mode,event\r\n";
    if (german) std::replace(csv.begin(), csv.end(), ',', separator);
    csv.reserve(csv.size() + samples.Size() * 64);
    // Events whose sample is gone from the buffer are gone with it.
    std::size_t e = 0;
    while (e < events.Size() && events[e].sample < samples.FirstKept())
        ++e;
    for (std::size_t i = 0; i < samples.Size(); ++i) {
        const TrendSample& s = samples[i];
        const uint64_t sampleNumber = samples.FirstKept() + i;
        csv += number(s.timeMs / 1000.0, 3);
        for (double v : {s.setpoint, s.controllerSetpoint, s.positionSetpoint, s.position, s.Deviation()})
            csv += separator + number(v, 4);
        csv += separator;
        csv += TrendModeName(s.mode);
        csv += separator;
        std::string text;
        for (; e < events.Size() && events[e].sample == sampleNumber; ++e)
            text += (text.empty() ? "" : "; ") + events[e].Text(language);
        if (!text.empty()) {
            csv += '"';
            for (char c : text)
                csv += c == '"' ? std::string("\"\"") : std::string(1, c);
            csv += '"';
        }
        csv += "\r\n";
    }
    return csv;
}

bool SaveTrendCsv(const TrendRecorder& trend, const std::string& path, CsvForm form) {
    return WriteFileAtomically(path, TrendCsv(trend, form));
}

} // namespace vp7
