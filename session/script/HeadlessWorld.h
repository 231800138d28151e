// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The runner's own world, for a device of its own: a simulated clock that only `wait` moves, a host
// that answers the device's dialogs from the script, flat sprites that draw only when read, and the
// device. A window that plays a script lends the runner its clock and answers instead. A page that
// shows the runner's device gives it its look: the artwork, and a host that draws text as the page
// does; its picture then draws at once, since it is on screen.
#include "model/SpriteSet.h"
#include "platform/ScriptedHost.h"
#include "platform/VirtualClock.h"

#include <functional>
#include <memory>
#include <optional>

namespace vp7 {

class Simulator;
struct SimulatorOptions;

// What a shown device looks like: its sprites (the page's, which outlive the world) and the host that
// draws its text.
struct DeviceLook {
    std::unique_ptr<ScriptedHost> host;
    const SpriteSet* sprites = nullptr;
};

class HeadlessWorld {
public:
    // `onMessage` is told of every message box as it is shown.
    explicit HeadlessWorld(std::function<void(const ScriptedHost::Message&)> onMessage,
                           std::optional<DeviceLook> look = std::nullopt);
    ~HeadlessWorld();
    HeadlessWorld(const HeadlessWorld&) = delete;
    HeadlessWorld& operator=(const HeadlessWorld&) = delete;

    VirtualClock& Clock() { return clock_; }
    ScriptedHost& Host() { return *host_; }
    // A new device on the world's clock and host, in place of any before it; its picture draws when read.
    Simulator& CreateDevice(const SimulatorOptions& options);
    Simulator* Device() const { return device_.get(); }
    // Back to the start: no device, the clock at zero, no answer queued and no message kept. The
    // answers' dialog handler is gone too: whoever set one sets it again.
    void Reset();

private:
    VirtualClock clock_;
    std::unique_ptr<ScriptedHost> host_;
    SpriteSet flat_;
    const SpriteSet& sprites_;
    bool shown_ = false; // a page looks at the picture: it draws at once
    std::unique_ptr<Simulator> device_;
};

} // namespace vp7
