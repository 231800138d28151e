// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/training/CompareDialog.h"

#include "session/ConfigCompare.h"
#include "sim/Simulator.h"
#include "sim/files/Settings.h"
#include "ui/qt/Messages.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QTableWidget>
#include <QVBoxLayout>

namespace vp7 {
namespace {

const QColor kDiffers(255, 215, 215);

} // namespace

void CompareConfigurations(QWidget* parent, Simulator& sim) {
    const auto t = [&sim](const char* de, const char* en) {
        return QString::fromUtf8(sim.state.Text(de, en));
    };
    const QStringList files = QFileDialog::getOpenFileNames(
        parent,
        t("Konfiguration vergleichen (eine oder zwei Dateien)", "Compare configuration (one or two files)"),
        QString::fromStdString(sim.settings.DataDir()),
        t("Konfiguration (*.vp7);;Alle Dateien (*)", "Configuration (*.vp7);;All files (*)"));
    if (files.isEmpty()) return;
    if (files.size() > 2) {
        QMessageBox::warning(parent, QApplication::applicationDisplayName(),
                             t("Bitte eine oder zwei Dateien wählen.", "Please choose one or two files."));
        return;
    }
    const auto compared =
        vp7::CompareConfigurations(sim, files[0].toStdString(),
                                   files.size() == 2 ? std::optional(files[1].toStdString()) : std::nullopt);
    if (const auto* refused = std::get_if<std::string>(&compared)) {
        ShowPlainMessage(parent, QMessageBox::Critical, QString::fromStdString(*refused));
        return;
    }
    const auto& rows = std::get<std::vector<CompareRow>>(compared);

    auto* dialog = new QDialog(parent);
    dialog->setObjectName(QStringLiteral("ConfigurationComparison"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(t("Konfiguration vergleichen", "Compare configuration"));
    auto* layout = new QVBoxLayout(dialog);
    auto* table = new QTableWidget(static_cast<int>(rows.size()), 3, dialog);
    table->setHorizontalHeaderLabels(
        {t("Parameter", "Parameter"),
         files.size() == 2 ? QFileInfo(files[0]).fileName() : t("Gerät", "Device"),
         QFileInfo(files.back()).fileName()});
    table->verticalHeader()->hide();
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    int differing = 0;
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        const CompareRow& row = rows[r];
        differing += row.differs ? 1 : 0;
        const std::string* cells[] = {&row.name, &row.left, &row.right};
        for (int c = 0; c < 3; ++c) {
            auto* item = new QTableWidgetItem(QString::fromStdString(*cells[c]).trimmed());
            if (row.differs) {
                item->setBackground(kDiffers);
                QFont bold = item->font();
                bold.setBold(true);
                item->setFont(bold);
            }
            table->setItem(r, c, item);
        }
    }
    table->resizeColumnsToContents();
    table->horizontalHeader()->setStretchLastSection(true);
    auto* only = new QCheckBox(t("Nur Unterschiede", "Only differences"), dialog);
    QObject::connect(only, &QCheckBox::toggled, table, [table, rows](bool on) {
        for (int r = 0; r < static_cast<int>(rows.size()); ++r)
            table->setRowHidden(r, on && !rows[r].differs);
    });
    layout->addWidget(new QLabel(t("Unterschiede: ", "Differences: ") + QString::number(differing), dialog));
    layout->addWidget(table);
    layout->addWidget(only);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, dialog);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::close);
    layout->addWidget(buttons);
    dialog->resize(520, 600);
    dialog->show();
}

} // namespace vp7
