// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/app/DesktopConventions.h"

#include "formats/IniFile.h"
#include "sim/Simulator.h"
#include "sim/files/ConfigFiles.h"
#include "sim/files/Settings.h"
#include "ui/app/Application.h"
#include "ui/app/MainWindow.h"
#include "ui/training/ConfigOutput.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>

#include <filesystem>

namespace vp7 {
namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

} // namespace

DesktopConventions::DesktopConventions(Language desktopLanguage) : desktopLanguage_(desktopLanguage) {}
DesktopConventions::~DesktopConventions() = default;

void DesktopConventions::BeforeStart(Simulator& sim) {
    sim.settings.SetFirstStartLanguage(desktopLanguage_);
    sim.settings.AddSection([this](const IniFile& ini) { recent_.Read(ini); },
                            [this](IniFile& ini) { recent_.Write(ini); });
    sim.configFiles.OnFileUsed([this](const std::string& path) { recent_.Add(path); });
}

void DesktopConventions::Attach(MainWindow& window) {
    window_ = &window;
    auto* file = window.findChild<QMenu*>(QStringLiteral("Datei1"));
    loadAction_ = window.findChild<QAction*>(QStringLiteral("Konfigurationladen1"));
    auto* saveAction = window.findChild<QAction*>(QStringLiteral("Konfigurationspeichern1"));
    // The items are greyed while the device hides them, and a greyed item's shortcut does nothing.
    loadAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    saveAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));

    const QList<QAction*> items = file->actions();
    const qsizetype save = items.indexOf(saveAction);
    QAction* before = save + 1 < items.size() ? items[save + 1] : nullptr;
    recentMenu_ = new QMenu(file);
    recentMenu_->setObjectName(QStringLiteral("ZuletztGeoeffnet1"));
    recentMenu_->setToolTipsVisible(true);
    file->insertMenu(before, recentMenu_);
    // Filled as it opens: an item of it may load a file, which changes the list while the item runs.
    connect(recentMenu_, &QMenu::aboutToShow, this, [this] { FillRecentMenu(); });
    file->insertSeparator(before);
    printAction_ = new QAction(file);
    printAction_->setObjectName(QStringLiteral("KonfigurationDrucken1"));
    printAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    connect(printAction_, &QAction::triggered, this, [this] { PrintConfiguration(window_, window_->Sim()); });
    exportAction_ = new QAction(file);
    exportAction_->setObjectName(QStringLiteral("KonfigurationExportieren1"));
    connect(exportAction_, &QAction::triggered, this,
            [this] { ExportConfiguration(window_, window_->Sim()); });
    file->insertActions(before, {printAction_, exportAction_});
    file->addSeparator();
    // Quitting is closing the window: the device may refuse it, and the settings are written.
    quitAction_ = file->addAction(QString(), this, [this] { window_->close(); });
    quitAction_->setObjectName(QStringLiteral("Beenden1"));
    quitAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

    connect(&window, &MainWindow::FormChanged, this, [this] { Sync(); });
    window.SyncFromForm();
}

// After every copy of the form state into the window, which sets the device's title afresh.
void DesktopConventions::Sync() {
    const Simulator& sim = window_->Sim();
    const SimState& s = sim.state;
    translation_.Follow(s.Language);
    if (const std::string& current = sim.configFiles.CurrentFile(); !current.empty())
        window_->setWindowTitle(window_->windowTitle() + QStringLiteral(" \u2013 ") +
                                QFileInfo(Q(current)).fileName());
    recentMenu_->setTitle(QString::fromUtf8(s.Text("Zuletzt geöffnet", "Recent files")));
    EnableRecentMenu();
    printAction_->setText(QString::fromUtf8(s.Text("Konfiguration drucken…", "Print configuration…")));
    exportAction_->setText(QString::fromUtf8(s.Text("Konfiguration exportieren…", "Export configuration…")));
    quitAction_->setText(QString::fromUtf8(s.Text("Beenden", "Quit")));
}

// Loading from the list is loading: not while the device hides "Konfiguration laden".
void DesktopConventions::EnableRecentMenu() {
    recentMenu_->setEnabled(loadAction_->isEnabled() && !recent_.Paths().empty());
}

void DesktopConventions::FillRecentMenu() {
    recentMenu_->clear();
    int number = 0;
    for (const std::string& path : recent_.Paths()) {
        const QString name = QFileInfo(Q(path)).fileName().replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction* item = recentMenu_->addAction(QStringLiteral("&%1 %2").arg(++number).arg(name));
        item->setToolTip(Q(path));
        connect(item, &QAction::triggered, this, [this, path] { OpenRecent(path); });
    }
}

void DesktopConventions::OpenRecent(const std::string& path) {
    Simulator& sim = window_->Sim();
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        recent_.Remove(path);
        ShowPlainMessage(window_, QMessageBox::Warning,
                         QString::fromUtf8(sim.state.Text("Die Datei gibt es nicht mehr:\n",
                                                          "The file is no longer there:\n")) +
                             Q(path));
        EnableRecentMenu();
        return;
    }
    window_->Host().AnswerNextOpenDialog(path);
    sim.UserClick(sim.form.Konfigurationladen1);
    window_->Host().AnswerNextOpenDialog(std::nullopt);
    window_->AfterEvent();
}

} // namespace vp7
