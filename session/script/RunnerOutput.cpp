// SPDX-License-Identifier: GPL-3.0-or-later
// The runner's commands that only write: printed values, the picture as a BMP, the trend as CSV, the
// configuration sheet.
#include "session/script/Runner.h"

#include "formats/AtomicFile.h"
#include "platform/BmpFile.h"
#include "platform/FileRead.h"
#include "platform/NumberFormat.h"
#include "session/ConfigSheet.h"
#include "session/language/Output.h"
#include "session/script/PrintedValue.h"
#include "session/trend/TrendCsv.h"
#include "session/trend/TrendRecorder.h"
#include "sim/Simulator.h"
#include <charconv>
#include <filesystem>
#include <istream>
#include <ostream>
#include <span>

namespace vp7 {

namespace {

// Scripts print the files the program writes, which are small; a larger file is a mistake in the script.
constexpr std::uintmax_t kPrintFileMaxBytes = 64u << 20;

} // namespace

void Runner::Print(const Args& a) {
    const std::string& what = a.words[0];
    if (what == "file") { // size and the first bytes of a file, in hex
        const std::string path = a.rest.substr(a.rest.find("file") + 5);
        const auto bytes = ReadWholeFile(path, kPrintFileMaxBytes);
        if (!bytes) throw RunFailure("cannot read " + path);
        out_ << "file " << path << ' ' << bytes->size();
        for (size_t i = 0; i < bytes->size() && i < 32; ++i) {
            char hex[4];
            std::snprintf(hex, sizeof hex, " %02X", static_cast<unsigned char>((*bytes)[i]));
            out_ << hex;
        }
        out_ << '\n';
        return;
    }
    if (!sim_) throw ScriptError("'print' needs start first");
    if (a.words.size() == 1 && what == "trend") return PrintTrend();
    if (a.words.size() == 1 && what == "statehash") return PrintStateHash();
    if (a.words.size() == 1 && what == "partab") {
        const auto& rows = sim_->form.parTab.rows;
        for (size_t i = 0; i < rows.size(); ++i)
            out_ << "partab " << i << ' ' << QuoteText(rows[i][0]) << ' ' << QuoteText(rows[i][1]) << '\n';
        return;
    }
    const PrintedValue printed = LookUpPrinted(*sim_, values_, a.words);
    out_ << printed.name << ' ' << printed.value << '\n';
}

// As the configuration menu changes a value, then as leaving the configuration applies it.
void Runner::Snapshot(const Args& a) {
    if (!sim_) throw ScriptError("'snapshot' needs start first");
    const std::string path = a.rest.substr(a.rest.find_first_not_of(" \t"));
    if (!WriteFileAtomically(path, BmpBytes(sim_->image1))) throw RunFailure("cannot write " + path);
}

void Runner::Trend(const Args& a) {
    if (!trend_) throw ScriptError("no trend here");
    const std::string path = a.rest.substr(a.rest.find_first_not_of(" \t"));
    if (!SaveTrendCsv(*trend_, path)) throw RunFailure("cannot write " + path);
}

// The configuration sheet as the window exports it.
void Runner::Export(const Args& a) {
    const std::string path = a.rest.substr(a.rest.find_first_not_of(" \t"));
    if (!SaveConfigSheetCsv(MakeConfigSheet(Started(), LocalDateTime()), path))
        throw RunFailure("cannot write " + path);
}

// "trend N" and the last sample as the CSV has it: time, the four signals, deviation, mode.
void Runner::PrintTrend() {
    if (!trend_) throw ScriptError("no trend here");
    const auto& samples = trend_->Samples();
    out_ << "trend " << samples.Size();
    if (!samples.Empty()) {
        const TrendSample& s = samples.Back();
        out_ << ' ' << FormatFixed(s.timeMs / 1000.0, 3, 18);
        for (double v : {s.setpoint, s.controllerSetpoint, s.positionSetpoint, s.position, s.Deviation()})
            out_ << ' ' << FormatReal(v);
        out_ << ' ' << TrendModeName(s.mode);
    }
    out_ << '\n';
}

} // namespace vp7
