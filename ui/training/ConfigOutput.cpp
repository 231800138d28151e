// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/training/ConfigOutput.h"

#include "session/ConfigSheet.h"
#include "sim/Simulator.h"
#include "sim/files/ConfigFiles.h"
#include "sim/files/Settings.h"
#include "ui/qt/Messages.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTextDocument>

namespace vp7 {
namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

// Beside the configurations, named after the file loaded or saved last.
QString SuggestedPath(const Simulator& sim, const QString& suffix) {
    const std::string& current = sim.configFiles.CurrentFile();
    const QString name = current.empty() ? QString::fromUtf8(sim.state.Text("Konfiguration", "Configuration"))
                                         : QFileInfo(Q(current)).completeBaseName();
    return QDir(Q(sim.settings.DataDir())).filePath(name + QLatin1Char('.') + suffix);
}

void PrintSheet(const ConfigSheet& sheet, bool german, QPagedPaintDevice& device) {
    QTextDocument document;
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSize(9);
    document.setDefaultFont(font);
    document.setHtml(Q(ConfigSheetHtml(sheet, german)));
    document.print(&device);
}

} // namespace

void PrintConfigSheet(const Simulator& sim, QPagedPaintDevice& device) {
    PrintSheet(MakeConfigSheet(sim, LocalDateTime()), sim.state.Language == Language::German, device);
}

void PrintConfiguration(QWidget* parent, const Simulator& sim) {
    const ConfigSheet sheet = MakeConfigSheet(sim, LocalDateTime());
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(Q(sheet.title));
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setCreator(QApplication::applicationDisplayName());
    // Without a printer the dialog offers the PDF file, named as the export would be.
    if (QPrinterInfo::availablePrinterNames().isEmpty())
        printer.setOutputFileName(SuggestedPath(sim, QStringLiteral("pdf")));
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(QString::fromUtf8(sim.state.Text("Konfiguration drucken", "Print configuration")));
    if (dialog.exec() != QDialog::Accepted) return;
    PrintSheet(sheet, sim.state.Language == Language::German, printer);
}

void ExportConfiguration(QWidget* parent, const Simulator& sim) {
    QFileDialog dialog(parent,
                       QString::fromUtf8(sim.state.Text("Konfiguration exportieren", "Export configuration")),
                       SuggestedPath(sim, QStringLiteral("csv")),
                       QString::fromUtf8(sim.state.Text("CSV-Datei (*.csv)", "CSV file (*.csv)")));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // Known to the dialog, the suffix is added before it asks about replacing a file.
    dialog.setDefaultSuffix(QStringLiteral("csv"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    const QString path = dialog.selectedFiles().constFirst();
    if (SaveConfigSheetCsv(MakeConfigSheet(sim, LocalDateTime()), path.toStdString())) return;
    ShowPlainMessage(parent, QMessageBox::Critical,
                     QString::fromUtf8(sim.state.Text("Die Datei kann nicht geschrieben werden:\n",
                                                      "The file cannot be written:\n")) +
                         path);
}

} // namespace vp7
