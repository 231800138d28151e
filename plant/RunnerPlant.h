// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The runner's Modbus server: `modbus PORT [readonly] [unit ID]` before `start` serves the device's
// registers on the loopback from `start` on, printing "modbus PORT" with the port it got; a device made
// anew for a rewind or a state keeps the server its clients are connected to.
#include "plant/PlantLink.h"
#include "session/script/Runner.h"

#include <memory>
#include <optional>

namespace vp7 {

class RunnerPlant final : public RunnerPlantPeer {
public:
    explicit RunnerPlant(Runner& runner);
    ~RunnerPlant() override;
    RunnerPlant(const RunnerPlant&) = delete;
    RunnerPlant& operator=(const RunnerPlant&) = delete;

    void Configure(const std::vector<std::string>& words) override;
    void DeviceMade(Simulator& sim) override;
    void DeviceGone() override;
    bool Serving() const override { return link_ != nullptr; }
    void ApplyPending(const std::function<void(const std::string& line)>& line) override;
    void Refresh() override;

    // The link to the device served, or none before `start`.
    PlantLink* Link() { return link_.get(); }

private:
    Runner& runner_;
    std::optional<ModbusServerOptions> options_; // from `modbus`, for `start`
    std::unique_ptr<PlantLink> link_;
    std::unique_ptr<ModbusServer> keptServer_; // between a device's end and the next one's start
};

} // namespace vp7
