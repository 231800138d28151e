// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/app/PlantControl.h"

#include "formats/IniFile.h"
#include "plant/PlantLink.h"
#include "sim/Simulator.h"
#include "sim/files/Settings.h"
#include "ui/app/Application.h"
#include "ui/app/MainWindow.h"
#include "ui/app/PlantDialog.h"
#include "ui/device/MenuBar.h"

#include <QAction>
#include <QSocketNotifier>

namespace vp7 {
namespace {
constexpr int kApplyEveryMs = 10;
} // namespace

PlantControl::PlantControl() = default;

PlantControl::~PlantControl() {
    wake_.reset(); // before the server whose descriptor it watches
}

void PlantControl::BeforeStart(Simulator& sim) {
    sim.settings.AddSection([this](const IniFile& ini) { settings_.Read(ini); },
                            [this](IniFile& ini) { settings_.Write(ini); });
}

void PlantControl::Attach(MainWindow& window) {
    window_ = &window;
    pace_.setSingleShot(true);
    pace_.setInterval(kApplyEveryMs);
    connect(&pace_, &QTimer::timeout, this, [this] {
        if (wake_) wake_->setEnabled(true);
    });
    connect(window.Menus().Action(ActionId::ModbusServer), &QAction::triggered, this, [this] { Ask(); });
    connect(&window, &MainWindow::EventHandled, this, [this] { AfterEvent(); });
    // A new session (a loaded state, a rewind): the clients stay connected to the device shown.
    connect(&window, &MainWindow::SessionTaken, this, [this] { Follow(window_->Sim()); });
    if (settings_.serve && !Apply(settings_)) settings_.serve = false;
}

void PlantControl::Detach() {
    if (!window_) return;
    disconnect(window_, nullptr, this, nullptr);
    wake_.reset();
    link_.reset();
    window_ = nullptr;
}

bool PlantControl::German() const {
    return window_->Sim().state.Language == Language::German;
}

QString PlantControl::Status() const {
    const bool german = German();
    if (!link_) return german ? QStringLiteral("Der Server ist aus.") : QStringLiteral("The server is off.");
    const ModbusServer& server = link_->Server();
    const QString where =
        QStringLiteral("%1:%2").arg(QString::fromStdString(server.Options().address)).arg(server.Port());
    return (german ? QStringLiteral("Der Server hört auf %1, %2 Client(s) verbunden.")
                   : QStringLiteral("The server listens on %1, %2 client(s) connected."))
        .arg(where)
        .arg(server.Clients());
}

void PlantControl::Ask() {
    PlantDialog dialog(window_, settings_, Status(), German());
    if (dialog.exec() != QDialog::Accepted) return;
    Apply(dialog.Settings());
}

bool PlantControl::Apply(const PlantSettings& settings) {
    Stop();
    settings_ = settings;
    settings_.kept = true;
    if (!settings_.serve) return true;
    std::string error;
    auto server = ModbusServer::Start(settings_.options, error);
    if (!server) {
        settings_.serve = false;
        ShowPlainMessage(window_, QMessageBox::Warning,
                         (German() ? QStringLiteral("Der Modbus-Server kann nicht starten: ")
                                   : QStringLiteral("The Modbus server cannot start: ")) +
                             QString::fromStdString(error));
        return false;
    }
    // The port it has (the unprivileged one when the standard one was refused) is the one kept.
    settings_.options.port = server->Port();
    Serve(window_->Sim(), std::move(server));
    return true;
}

void PlantControl::Stop() {
    wake_.reset();
    link_.reset();
    AfterEvent();
}

void PlantControl::Follow(Simulator& sim) {
    BeforeStart(sim); // its settings were read when it was made; they are written with the section
    if (!link_) return;
    wake_.reset();
    Serve(sim, link_->TakeServer());
}

void PlantControl::Serve(Simulator& sim, std::unique_ptr<ModbusServer> server) {
    link_ = std::make_unique<PlantLink>(sim, std::move(server));
    wake_ = std::make_unique<QSocketNotifier>(link_->Server().WakeDescriptor(), QSocketNotifier::Read);
    connect(wake_.get(), &QSocketNotifier::activated, this, [this] { TakeWrites(); });
}

// The clients' writes, as the user's entries on the window's thread, and the window after them as after
// any event.
void PlantControl::TakeWrites() {
    if (!link_) return;
    // Not again before a pause, nor from inside itself (a message box's loop): a client that floods
    // the server gets its writes applied a hundred times a second at most.
    wake_->setEnabled(false);
    if (link_->ApplyPending() > 0) window_->AfterEvent();
    pace_.start();
}

void PlantControl::AfterEvent() {
    if (link_) link_->Refresh();
    const bool hold = link_ && link_->ClientHoldsSetpoint();
    if (hold == holding_) return;
    holding_ = hold;
    window_->HoldForClient(hold ? std::set<std::string>{"SetPointText"} : std::set<std::string>{});
}

} // namespace vp7
