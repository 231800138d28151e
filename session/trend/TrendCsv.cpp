// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/trend/TrendCsv.h"

#include "formats/AtomicFile.h"
#include "platform/NumberFormat.h"
#include "session/trend/TrendRecorder.h"

namespace vp7 {

std::string TrendCsv(const TrendRecorder& trend) {
    const auto& samples = trend.Samples();
    const auto& events = trend.Events();
    std::string csv = "time_s,setpoint_pct,controller_setpoint_pct,position_setpoint_pct,position_pct,"
                      "deviation_pct,mode,event\r\n";
    csv.reserve(csv.size() + samples.Size() * 64);
    // Events whose sample is gone from the buffer are gone with it.
    std::size_t e = 0;
    while (e < events.Size() && events[e].sample < samples.FirstKept())
        ++e;
    for (std::size_t i = 0; i < samples.Size(); ++i) {
        const TrendSample& s = samples[i];
        const uint64_t number = samples.FirstKept() + i;
        csv += FormatFixed(s.timeMs / 1000.0, 3, 18);
        for (double v : {s.setpoint, s.controllerSetpoint, s.positionSetpoint, s.position, s.Deviation()})
            csv += ',' + FormatFixed(v, 4, 18);
        csv += ',';
        csv += TrendModeName(s.mode);
        csv += ',';
        std::string text;
        for (; e < events.Size() && events[e].sample == number; ++e)
            text += (text.empty() ? "" : "; ") + events[e].Text(Language::English);
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

bool SaveTrendCsv(const TrendRecorder& trend, const std::string& path) {
    return WriteFileAtomically(path, TrendCsv(trend));
}

} // namespace vp7
