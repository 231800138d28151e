// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/exercise/ExerciseReport.h"

#include "session/language/Output.h"

#include <algorithm>
#include <tuple>

namespace vp7 {
namespace {

constexpr std::string_view kExerciseSource = "vp7-exercise", kRecordingSource = "vp7-recording";

// The content of `<meta name="NAME" content="...">` as ReportHtml writes it, unescaped.
std::optional<std::string> MetaContent(std::string_view html, std::string_view name) {
    const std::string opening = "<meta name=\"" + std::string(name) + "\" content=\"";
    const size_t at = html.find(opening);
    if (at == std::string_view::npos) return std::nullopt;
    const size_t begin = at + opening.size(), end = html.find('"', begin);
    if (end == std::string_view::npos) return std::nullopt;
    return UnescapeHtml(html.substr(begin, end - begin));
}

std::optional<ReportedFile> Reported(std::string_view html, std::string_view source) {
    auto path = MetaContent(html, std::string(source) + "-file");
    auto sha256 = MetaContent(html, std::string(source) + "-sha256");
    if (!path || !sha256) return std::nullopt;
    return ReportedFile{std::move(*path), std::move(*sha256)};
}

} // namespace

int ExerciseResult::Passed() const {
    const auto checksPassed =
        std::count_if(checks.begin(), checks.end(), [](const auto& c) { return c.second.passed; });
    return static_cast<int>(checksPassed) + (QuestionPassed() ? 1 : 0);
}

int ExerciseResult::Total() const {
    return static_cast<int>(checks.size()) + (question ? 1 : 0);
}

std::string MinutesSeconds(int64_t ms) {
    const int64_t seconds = std::max<int64_t>(0, ms) / 1000;
    const std::string s = std::to_string(seconds % 60);
    return std::to_string(seconds / 60) + ':' + (s.size() < 2 ? "0" : "") + s;
}

std::string OutcomeHtml(bool passed, bool german) {
    if (passed)
        return std::string("<span style=\"color:#107010\">&#10004; ") + (german ? "bestanden" : "passed") +
               "</span>";
    return std::string("<span style=\"color:#b00000\">&#10008; ") + (german ? "nicht bestanden" : "failed") +
           "</span>";
}

std::string ReportHtml(const ExerciseResult& r, bool german) {
    const auto t = [german](const char* de, const char* en) { return std::string(german ? de : en); };
    const std::string passed = OutcomeHtml(true, german), failed = OutcomeHtml(false, german);
    std::string html = "<!DOCTYPE html>\n<html lang=\"" + t("de", "en") +
                       "\"><head><meta charset=\"utf-8\"><title>" + EscapeHtml(r.exercise.In(german)) +
                       "</title>\n";
    for (const auto& [source, path, sha256] :
         {std::tuple{kExerciseSource, &r.exercisePath, &r.exerciseSha256},
          std::tuple{kRecordingSource, &r.recordingPath, &r.recordingSha256}})
        if (!sha256->empty())
            html += "<meta name=\"" + std::string(source) + "-file\" content=\"" + EscapeHtml(*path) +
                    "\">\n<meta name=\"" + std::string(source) + "-sha256\" content=\"" + *sha256 + "\">\n";
    html += "</head>\n<body style=\"font-family:sans-serif\">\n";
    html += "<h1>" + EscapeHtml(r.exercise.In(german)) + "</h1>\n<table cellpadding=\"3\">\n";
    const std::pair<std::string, std::string> facts[] = {
        {t("Name", "Name"), r.trainee},
        {t("Übung", "Exercise"), r.exercise.In(german)},
        {t("Übungsdatei", "Exercise file"), r.exerciseFile},
        {t("Datum", "Date"), r.date},
        {t("Benötigte Zeit", "Time taken"), MinutesSeconds(r.takenMs)},
        {t("Ergebnis", "Score"), std::to_string(r.Passed()) + " / " + std::to_string(r.Total())},
        {t("Aufzeichnung", "Recording"), r.recordingFile},
        {t("Übung SHA-256", "Exercise SHA-256"), r.exerciseSha256},
        {t("Aufzeichnung SHA-256", "Recording SHA-256"), r.recordingSha256},
    };
    for (const auto& [label, value] : facts)
        if (!value.empty() || !label.ends_with("SHA-256"))
            html += "<tr><td><b>" + EscapeHtml(label) + "</b></td><td>" + EscapeHtml(value) + "</td></tr>\n";
    html += "</table>\n<h2>" + t("Prüfungen", "Checks") +
            "</h2>\n<table border=\"1\" cellspacing=\"0\" cellpadding=\"4\">\n";
    for (const auto& [check, outcome] : r.checks)
        html += "<tr><td>" + EscapeHtml(check->text.In(german)) + "</td><td>" +
                (outcome.passed ? passed : failed) + "</td><td>" + EscapeHtml(outcome.value) + "</td></tr>\n";
    html += "</table>\n";
    if (r.question) {
        html += "<h2>" + t("Frage", "Question") + "</h2>\n<p>" + EscapeHtml(r.question->text.In(german)) +
                "</p>\n<p>" + t("Antwort: ", "Answer: ") +
                (r.chosen ? EscapeHtml(r.question->choices[*r.chosen].In(german)) : t("keine", "none")) +
                " " + (r.QuestionPassed() ? passed : failed) + "</p>\n";
    }
    return html + "</body></html>\n";
}

ReportedSources ReadReportSources(std::string_view html) {
    return {Reported(html, kExerciseSource), Reported(html, kRecordingSource)};
}

} // namespace vp7
