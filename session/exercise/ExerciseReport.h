// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The result of an exercise as the trainee sees it when handing in and as the trainer reads it later:
// who, which exercise, when, how long, each check passed or not, the answer to the question, the score,
// and the recording to replay. Written as a small self-contained HTML page (also the PDF's source).
#include "session/exercise/Exercise.h"

#include <optional>
#include <string>
#include <vector>

namespace vp7 {

struct ExerciseResult {
    std::string trainee;
    BilingualText exercise;
    std::string exerciseFile;
    std::string date; // as the report shows it
    int64_t takenMs = 0;
    std::vector<std::pair<const ExerciseCheck*, CheckOutcome>> checks;
    const ExerciseQuestion* question = nullptr;
    std::optional<int> chosen; // index into the question's choices
    std::string recordingFile;
    // Where the exercise and the recording lay and the SHA-256 of their bytes (empty: not known), so the
    // trainer sees whether either was edited since (`verify REPORT`).
    std::string exercisePath, exerciseSha256, recordingPath, recordingSha256;

    int Passed() const;
    int Total() const;
    bool QuestionPassed() const { return question && chosen && *chosen == question->correct; }
};

// "12:05" for minutes and seconds.
std::string MinutesSeconds(int64_t ms);

// A check's or an answer's outcome as a report shows it: a green tick or a red cross, with its word.
std::string OutcomeHtml(bool passed, bool german);

std::string ReportHtml(const ExerciseResult& result, bool german);

// What a report says it was made from: a file's path as recorded and the SHA-256 of its bytes.
struct ReportedFile {
    std::string path, sha256;
};
struct ReportedSources {
    std::optional<ReportedFile> exercise, recording;
};
// The sources a report written by ReportHtml names; none for a page without them.
ReportedSources ReadReportSources(std::string_view html);

} // namespace vp7
