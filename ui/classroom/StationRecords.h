// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the station keeps of each hand-in in the lesson's folder: its report (HTML), named after the seat
// and the hand-in's id, and a row of the day's results sheet. Without a lesson's folder (no documents
// folder) nothing is written.
#include "classroom/HandIn.h"
#include "classroom/HandInVerifier.h"
#include "classroom/ResultsSheet.h"

#include <QDateTime>
#include <QString>

#include <functional>
#include <optional>

namespace vp7 {

class StationRecords {
public:
    // Tells the instructor, in the station's language, that `path` could not be written or read.
    using Noting = std::function<void(const char* de, const char* en, const QString& path)>;
    StationRecords(QString folder, bool german, Noting note);

    // The report of the same hand-in was written before: sent again to a station opened anew.
    bool Reported(const HandInMessage& handIn) const;
    // Writes the report and the results' row; the report's path, empty when it could not be written.
    QString Keep(const HandInMessage& handIn, const HandInVerdict& verdict, const QDateTime& handedIn);

private:
    QString ReportPath(const HandInMessage& handIn) const;
    void AddResult(const QDateTime& handedIn, const HandInMessage& handIn, const HandInVerdict& verdict);

    QString folder_;
    bool german_;
    Noting note_;
    std::optional<ResultsSheet> results_; // made with the first row, from what the file holds then
};

} // namespace vp7
