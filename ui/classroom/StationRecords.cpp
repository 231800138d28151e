// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/classroom/StationRecords.h"

#include "classroom/StationReport.h"
#include "platform/FileRead.h"
#include "platform/Sha256.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace vp7 {
namespace {

// A day's results file is read back whole when the station opens again; a lesson's is some kilobytes.
constexpr std::size_t kLargestResults = 16u << 20;
// The report's name is made readable from the seat and id, which different pairs can share once made
// safe for a file name ("a-b" and "c", "a" and "b-c"); a digest of the pair keeps them apart.
constexpr std::size_t kReportKeyDigits = 16;

// A seat's name as a file name: letters, digits, '-' and '_' only.
QString FileSafe(QString name) {
    for (QChar& c : name)
        if (!c.isLetterOrNumber() && c != QLatin1Char('-') && c != QLatin1Char('_')) c = QLatin1Char('_');
    return name.left(64);
}

} // namespace

StationRecords::StationRecords(QString folder, bool german, Noting note)
    : folder_(std::move(folder)), german_(german), note_(std::move(note)) {}

bool StationRecords::Reported(const HandInMessage& handIn) const {
    return !folder_.isEmpty() && QFile::exists(ReportPath(handIn));
}

QString StationRecords::ReportPath(const HandInMessage& handIn) const {
    const std::string key = handIn.seat + '\n' + handIn.id;
    return QDir(folder_).filePath(FileSafe(QString::fromStdString(handIn.seat)) + QLatin1Char('-') +
                                  FileSafe(QString::fromStdString(handIn.id)) + QLatin1Char('-') +
                                  QString::fromStdString(Sha256Hex(key).substr(0, kReportKeyDigits)) +
                                  QStringLiteral(".html"));
}

QString StationRecords::Keep(const HandInMessage& handIn, const HandInVerdict& verdict,
                             const QDateTime& handedIn) {
    QString reportPath;
    if (!folder_.isEmpty() && QDir().mkpath(folder_)) {
        reportPath = ReportPath(handIn);
        const std::string html =
            StationReportHtml(handIn, verdict, handedIn.toString(Qt::ISODate).toStdString(), german_);
        QSaveFile file(reportPath);
        if (!file.open(QIODevice::WriteOnly) ||
            file.write(html.data(), static_cast<qint64>(html.size())) < 0 || !file.commit()) {
            note_("Kann %1 nicht schreiben", "cannot write %1", reportPath);
            reportPath.clear();
        }
    }
    AddResult(handedIn, handIn, verdict);
    return reportPath;
}

// Each hand-in is added as a line, so a station opened again the same day keeps the earlier ones.
void StationRecords::AddResult(const QDateTime& handedIn, const HandInMessage& handIn,
                               const HandInVerdict& verdict) {
    if (folder_.isEmpty() || !QDir().mkpath(folder_)) return;
    QFile file(QDir(folder_).filePath(QStringLiteral("results.csv")));
    // Opening a pipe under the name to append would wait for a reader: the station would hang.
    if (const QFileInfo info(file); info.exists() && !info.isFile())
        return note_("Die Ergebnisse in %1 sind keine Datei", "the results in %1 are no file", folder_);
    if (!results_) {
        std::optional<std::string> existing = std::string();
        if (file.exists())
            existing = ReadWholeFile(QFile::encodeName(file.fileName()).toStdString(), kLargestResults);
        if (!existing)
            return note_("Kann die Ergebnisse in %1 nicht lesen", "cannot read the results in %1", folder_);
        results_.emplace(german_, *existing);
    }
    const std::string text =
        results_->Add(handedIn.toString(QStringLiteral("yyyy-MM-dd HH:mm")).toStdString(), handIn, verdict);
    if (!file.open(QIODevice::Append) || file.write(text.data(), static_cast<qint64>(text.size())) < 0 ||
        !file.flush())
        note_("Kann die Ergebnisse nicht in %1 schreiben", "cannot write the results into %1", folder_);
}

} // namespace vp7
