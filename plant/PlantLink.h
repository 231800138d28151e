// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The device's side of the Modbus server, on the device's thread: publishes the device's registers
// when they changed, and applies what clients wrote as the user's own entries (the setpoint typed and
// confirmed, an option checked, a binary input's switch clicked), so that a recording keeps them as
// the lines a user's would be and replays without the client.
#include "plant/ModbusMap.h"
#include "plant/ModbusServer.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace vp7 {

class Simulator;

// The registers as the device stands now.
modbus::PlantImage ReadPlantImage(Simulator& sim);

// Applies clients' writes to `sim` as the user's entries; `line` is told the runner's command of each
// user action they amounted to.
void ApplyPlantWrites(Simulator& sim, std::span<const modbus::PlantWrite> writes,
                      const std::function<void(const std::string& line)>& line = {});

class PlantLink {
public:
    PlantLink(Simulator& sim, std::unique_ptr<ModbusServer> server);
    ~PlantLink();
    PlantLink(const PlantLink&) = delete;
    PlantLink& operator=(const PlantLink&) = delete;

    ModbusServer& Server() { return *server_; }
    // The server, for a device made anew to go on with (the link is useless after).
    std::unique_ptr<ModbusServer> TakeServer() { return std::move(server_); }
    // After each event and tick: publishes the image when it differs from the last one published.
    void Refresh();
    // Applies the writes queued so far, of several to one register the last; `line` is told the
    // runner's command of each user action they amounted to. Returns how many writes were taken.
    size_t ApplyPending(const std::function<void(const std::string& line)>& line = {});
    // Whether the setpoint field is a client's: a client wrote the setpoint and clients are connected.
    bool ClientHoldsSetpoint() const { return setpointByClient_ && server_->Clients() > 0; }

private:
    Simulator& sim_;
    std::unique_ptr<ModbusServer> server_;
    modbus::PlantImage published_;
    bool publishedOnce_ = false;
    bool setpointByClient_ = false;
};

} // namespace vp7
