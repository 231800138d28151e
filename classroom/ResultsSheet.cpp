// SPDX-License-Identifier: GPL-3.0-or-later
#include "classroom/ResultsSheet.h"

#include <algorithm>

namespace vp7 {
namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr int64_t kTenthOfMinuteMs = 6'000;

// A seat's text that a spreadsheet would take for a formula stays text.
std::string Quoted(std::string field, char separator) {
    if (!field.empty() && std::string_view("=+-@\t\r").find(field.front()) != std::string_view::npos)
        field.insert(field.begin(), '\'');
    if (field.find_first_of(std::string{separator, '"', '\r', '\n'}) == std::string::npos) return field;
    std::string quoted = "\"";
    for (const char c : field)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + '"';
}

// Minutes to a tenth, with the language's decimal sign.
std::string Minutes(int64_t ms, bool german) {
    const int64_t tenths = (std::max<int64_t>(0, ms) + kTenthOfMinuteMs / 2) / kTenthOfMinuteMs;
    return std::to_string(tenths / 10) + (german ? ',' : '.') + std::to_string(tenths % 10);
}

} // namespace

ResultsSheet::ResultsSheet(bool german, std::string_view existing)
    : german_(german), empty_(existing.empty()) {
    // Every head starts with the same first field at a line's start; no line of a hand-in does, as
    // each starts with its date.
    const std::string first = Head({}).front() + (german ? ';' : ',');
    size_t at = existing.starts_with(kUtf8ByteOrderMark) ? kUtf8ByteOrderMark.size() : std::string_view::npos;
    for (size_t next = existing.find(std::string(kLineEnd) + first); next != std::string_view::npos;
         next = existing.find(std::string(kLineEnd) + first, next + 1))
        at = next + kLineEnd.size();
    if (at != std::string_view::npos && existing.substr(at).starts_with(first))
        head_ = existing.substr(at, existing.find(kLineEnd, at) - at);
}

std::string ResultsSheet::Line(const std::vector<std::string>& fields) const {
    const char separator = german_ ? ';' : ',';
    std::string line;
    for (size_t i = 0; i < fields.size(); ++i)
        line += (i ? std::string(1, separator) : std::string()) + Quoted(fields[i], separator);
    return line;
}

std::vector<std::string> ResultsSheet::Head(const HandInVerdict& verdict) const {
    const auto t = [this](const char* de, const char* en) { return std::string(german_ ? de : en); };
    std::vector<std::string> head{t("Datum", "Date"),   t("Raum", "Room"),       t("Platz", "Seat"),
                                  t("Name", "Trainee"), t("Übung", "Exercise"),  t("Punkte", "Points"),
                                  t("von", "Of"),       t("Minuten", "Minutes"), t("Geprüft", "Verified")};
    if (verdict.Verified() && verdict.work) {
        for (const ReplayedWork::Check& check : verdict.work->checks)
            head.push_back(check.text.In(german_));
        if (verdict.work->question) head.push_back(verdict.work->question->In(german_));
    }
    return head;
}

std::vector<std::string> ResultsSheet::Fields(const std::string& handedIn, const HandInMessage& handIn,
                                              const HandInVerdict& verdict) const {
    const auto t = [this](const char* de, const char* en) { return std::string(german_ ? de : en); };
    std::vector<std::string> fields{handedIn, handIn.room, handIn.seat, handIn.trainee};
    if (!verdict.Verified() || !verdict.work) {
        // The seat's claim is no score: its English title only, and why the station gives none.
        fields.insert(fields.end(),
                      {handIn.result.exercise, "", "", "", t("nein: ", "no: ") + verdict.refusal});
        return fields;
    }
    const ReplayedWork& work = *verdict.work;
    fields.insert(fields.end(),
                  {work.exercise.In(german_), std::to_string(verdict.replayed->passed),
                   std::to_string(verdict.replayed->total), Minutes(work.takenMs, german_), t("ja", "yes")});
    for (const ReplayedWork::Check& check : work.checks)
        fields.push_back(check.passed ? "1" : "0");
    if (work.question) fields.push_back(work.answerRight ? "1" : "0");
    return fields;
}

std::string ResultsSheet::Add(const std::string& handedIn, const HandInMessage& handIn,
                              const HandInVerdict& verdict) {
    std::string text;
    if (empty_) text = kUtf8ByteOrderMark;
    // A hand-in that was not verified has no checks of its own: any head in force serves it.
    const std::string head = Line(Head(verdict));
    if (empty_ || (verdict.Verified() && head != head_)) {
        text += head + std::string(kLineEnd);
        head_ = head;
    }
    empty_ = false;
    return text + Line(Fields(handedIn, handIn, verdict)) + std::string(kLineEnd);
}

} // namespace vp7
