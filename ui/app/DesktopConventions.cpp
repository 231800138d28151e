// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/app/DesktopConventions.h"

#include "formats/IniFile.h"
#include "sim/Simulator.h"
#include "sim/files/ConfigFiles.h"
#include "sim/files/Settings.h"
#include "ui/app/Application.h"
#include "ui/app/MainWindow.h"
#include "ui/device/MenuBar.h"
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
    MenuBar& menus = window.Menus();
    menus.Add(MenuPart::Desktop, window.Sim().state.Language);
    loadAction_ = menus.Item(window.Sim().form.Konfigurationladen1);
    recentMenu_ = menus.Menu(MenuId::Recent);
    recentMenu_->setToolTipsVisible(true);
    // Filled as it opens: an item of it may load a file, which changes the list while the item runs.
    connect(recentMenu_, &QMenu::aboutToShow, this, [this] { FillRecentMenu(); });
    connect(menus.Action(ActionId::Print), &QAction::triggered, this,
            [this] { PrintConfiguration(window_, window_->Sim()); });
    connect(menus.Action(ActionId::Export), &QAction::triggered, this,
            [this] { ExportConfiguration(window_, window_->Sim()); });
    // Quitting is closing the window: the device may refuse it, and the settings are written.
    connect(menus.Action(ActionId::Quit), &QAction::triggered, this, [this] { window_->close(); });

    connect(&window, &MainWindow::FormChanged, this, [this] { Sync(); });
    // A file loaded or saved need not change anything the form shows.
    connect(&window, &MainWindow::EventHandled, this, [this] { ShowCurrentFile(); });
    window.SyncFromForm();
}

// After every copy of the form state into the window.
void DesktopConventions::Sync() {
    translation_.Follow(window_->Sim().state.Language);
    ShowCurrentFile();
    EnableRecentMenu();
}

// The device's title with the configuration file in use.
void DesktopConventions::ShowCurrentFile() {
    QString title = window_->DeviceTitle();
    if (const std::string& current = window_->Sim().configFiles.CurrentFile(); !current.empty())
        title += QStringLiteral(" \u2013 ") + QFileInfo(Q(current)).fileName();
    if (window_->windowTitle() != title) window_->setWindowTitle(title);
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
    if (window_->Recording().Refused()) return;
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
