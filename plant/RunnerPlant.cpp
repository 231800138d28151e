// SPDX-License-Identifier: GPL-3.0-or-later
#include "plant/RunnerPlant.h"

#include "session/language/ScriptWords.h"

#include <ostream>

namespace vp7 {

RunnerPlant::RunnerPlant(Runner& runner) : runner_(runner) {
    runner_.SetPlant(this);
}

RunnerPlant::~RunnerPlant() {
    runner_.SetPlant(nullptr);
}

void RunnerPlant::Configure(const std::vector<std::string>& words) {
    ModbusServerOptions options;
    options.port = ToInt(words[0], "port");
    if (options.port < 0 || options.port > 65535) throw ScriptError("bad port '" + words[0] + "'");
    for (size_t i = 1; i < words.size(); ++i) {
        if (words[i] == "readonly") {
            options.access = modbus::Access::ReadOnly;
        } else if (words[i] == "unit" && i + 1 < words.size()) {
            options.unitId = ToInt(words[++i], "unit id");
            if (options.unitId < 0 || options.unitId > 255)
                throw ScriptError("bad unit id '" + words[i] + "'");
        } else {
            throw ScriptError("bad argument '" + words[i] + "'");
        }
    }
    options_ = options;
}

void RunnerPlant::DeviceMade(Simulator& sim) {
    std::unique_ptr<ModbusServer> server = std::move(keptServer_);
    if (!server && !options_) return;
    if (!server) {
        std::string error;
        server = ModbusServer::Start(*options_, error);
        if (!server) throw RunFailure("cannot serve Modbus: " + error);
        // Flushed at once: whoever started the runner may be waiting for the port to connect to.
        runner_.Out() << "modbus " << server->Port() << std::endl;
    }
    link_ = std::make_unique<PlantLink>(sim, std::move(server));
}

void RunnerPlant::DeviceGone() {
    if (link_) keptServer_ = link_->TakeServer();
    link_.reset();
}

void RunnerPlant::ApplyPending(const std::function<void(const std::string& line)>& line) {
    if (link_) link_->ApplyPending(line);
}

void RunnerPlant::Refresh() {
    if (link_) link_->Refresh();
}

} // namespace vp7
