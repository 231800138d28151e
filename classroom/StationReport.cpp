// SPDX-License-Identifier: GPL-3.0-or-later
#include "classroom/StationReport.h"

#include "session/exercise/ExerciseReport.h"
#include "session/language/Output.h"

namespace vp7 {
namespace {

std::string Row(const std::string& label, const std::string& value) {
    return "<tr><td><b>" + EscapeHtml(label) + "</b></td><td>" + EscapeHtml(value) + "</td></tr>\n";
}

} // namespace

std::string StationReportHtml(const HandInMessage& handIn, const HandInVerdict& verdict,
                              const std::string& handedIn, bool german) {
    const auto t = [german](const char* de, const char* en) { return std::string(german ? de : en); };
    const std::string passed = OutcomeHtml(true, german), failed = OutcomeHtml(false, german);
    const ReplayedWork* work = verdict.Verified() && verdict.work ? &*verdict.work : nullptr;
    // Not verified, only the seat's English title is known, and only as its claim.
    const std::string title = work ? work->exercise.In(german) : handIn.result.exercise;
    std::string html = "<!DOCTYPE html>\n<html lang=\"" + t("de", "en") +
                       "\"><head><meta charset=\"utf-8\"><title>" + EscapeHtml(title) + " – " +
                       EscapeHtml(handIn.seat) + "</title></head>\n<body style=\"font-family:sans-serif\">\n";
    html += "<h1>" + EscapeHtml(title) + "</h1>\n<table cellpadding=\"3\">\n";
    html +=
        Row(t("Name", "Name"), handIn.trainee.empty() ? t("nicht angegeben", "not given") : handIn.trainee);
    html += Row(t("Raum", "Room"), handIn.room) + Row(t("Platz", "Seat"), handIn.seat) +
            Row(t("Abgegeben", "Handed in"), handedIn);
    if (!work)
        return html + Row(t("Ergebnis", "Score"), t("nicht geprüft", "not verified")) +
               Row(t("Grund", "Reason"), verdict.refusal) + "</table>\n</body></html>\n";
    html += Row(t("Benötigte Zeit", "Time taken"), MinutesSeconds(work->takenMs)) +
            Row(t("Ergebnis", "Score"),
                std::to_string(verdict.replayed->passed) + " / " + std::to_string(verdict.replayed->total)) +
            "</table>\n";
    html += "<h2>" + t("Prüfungen", "Checks") +
            "</h2>\n<table border=\"1\" cellspacing=\"0\" cellpadding=\"4\">\n";
    html += "<tr><th>" + t("Prüfung", "Check") + "</th><th>" + t("Ergebnis", "Result") + "</th><th>" +
            t("Gefundener Wert", "Value found") + "</th></tr>\n";
    for (const ReplayedWork::Check& check : work->checks)
        html += "<tr><td>" + EscapeHtml(check.text.In(german)) + "</td><td>" +
                (check.passed ? passed : failed) + "</td><td>" + EscapeHtml(check.value) + "</td></tr>\n";
    html += "</table>\n";
    if (work->question)
        html += "<h2>" + t("Frage", "Question") + "</h2>\n<p>" + EscapeHtml(work->question->In(german)) +
                "</p>\n<p>" + t("Antwort: ", "Answer: ") +
                (work->answer ? EscapeHtml(work->answer->In(german)) : t("keine", "none")) + " " +
                (work->answerRight ? passed : failed) + "</p>\n";
    return html + "</body></html>\n";
}

} // namespace vp7
