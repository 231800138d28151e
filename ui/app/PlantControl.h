// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The window's Modbus server: "Extras" → "Modbus-Server…", its settings in the section [Modbus], and
// the device's side of it on the window's thread. Clients' writes wake the event loop through the
// server's descriptor and are applied there as the user's entries; after every event and tick the
// registers are published when they changed. While a client that wrote the setpoint is connected, the
// setpoint field shows its value greyed.
#include "plant/PlantSettings.h"

#include <QObject>
#include <QTimer>

#include <memory>

class QSocketNotifier;

namespace vp7 {

class MainWindow;
class PlantLink;
class Simulator;

class PlantControl : public QObject {
    Q_OBJECT
public:
    PlantControl();
    ~PlantControl() override;
    // Before the device reads its settings: the section it keeps.
    void BeforeStart(Simulator& sim);
    // Once the window is built: its menu item, and the server when the settings switch it on.
    void Attach(MainWindow& window);
    // Before the window goes: the server stopped, the window no longer followed.
    void Detach();

    // Serves as `settings` say (stopped first when serving); false when the port cannot be had, which
    // a message tells.
    bool Apply(const PlantSettings& settings);
    const PlantSettings& Settings() const { return settings_; }
    PlantLink* Link() const { return link_.get(); }
    // What the server does now, in the program's language.
    QString Status() const;

private:
    void Ask();
    void Stop();
    void TakeWrites();
    void AfterEvent();
    void Follow(Simulator& sim);
    void Serve(Simulator& sim, std::unique_ptr<ModbusServer> server);
    bool German() const;

    MainWindow* window_ = nullptr;
    PlantSettings settings_;
    std::unique_ptr<PlantLink> link_;
    std::unique_ptr<QSocketNotifier> wake_;
    QTimer pace_;          // lets the next writes wake the window again
    bool holding_ = false; // the setpoint field is shown greyed for a client
};

} // namespace vp7
