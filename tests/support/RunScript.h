// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A whole script run by the headless runner in a folder of the test's: its status and what it printed.
#include "session/script/Runner.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <sstream>
#include <string>

namespace vp7::test {

struct ScriptResult {
    int status;
    std::string out, err;
};

// Attaches a plant's server to the runner, as the runner's main does where it has one.
using PlantAttacher = std::function<std::unique_ptr<RunnerPlantPeer>(Runner&)>;

// Relative file names in the script are taken from `scriptFolder` when one is given; without a
// `plant`, `modbus` is refused.
inline ScriptResult RunScript(const std::string& script, const std::filesystem::path& dir,
                              const std::filesystem::path& scriptFolder = {},
                              const PlantAttacher& plant = {}) {
    std::ostringstream out, err;
    std::istringstream in(script);
    int status;
    {
        Runner runner(out, dir.string());
        if (!scriptFolder.empty()) runner.SetScriptFolder(scriptFolder.string());
        const std::unique_ptr<RunnerPlantPeer> served = plant ? plant(runner) : nullptr;
        status = runner.Run(in, err);
    }
    return {status, out.str(), err.str()};
}

} // namespace vp7::test
