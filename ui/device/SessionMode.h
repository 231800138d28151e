// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace vp7 {

class ScriptedAnswers;
class Simulator;

// How a window's session begins: recorded into a file from the start, or played from a script, which
// answers the dialogs, fixes the random seed and is attached to the simulator before it starts.
struct SessionMode {
    std::string recordPath = {};
    ScriptedAnswers* script = nullptr;
    std::optional<uint64_t> randomSeed = std::nullopt;
    std::function<void(Simulator&)> beforeStart = {};
    // Right after the form was created, before the recording starts (an exercise sets its scene).
    std::function<void()> afterCreate = {};
    // The recording's line that starts the device: `start`, or `exercise FILE` for an exercise.
    std::string startLine = "start";
    // The settings file the device starts from in place of its own (a loaded state's own).
    std::string settingsFrom = {};
};

} // namespace vp7
