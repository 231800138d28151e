// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/script/HeadlessWorld.h"

#include "sim/Simulator.h"

#include <utility>

namespace vp7 {

HeadlessWorld::HeadlessWorld(std::function<void(const ScriptedHost::Message&)> onMessage,
                             std::optional<DeviceLook> look)
    : host_(look ? std::move(look->host) : std::make_unique<ScriptedHost>()),
      flat_(look ? SpriteSet() : SpriteSet::Flat(1, SpriteSet::Drawing::WhenRead)),
      sprites_(look ? *look->sprites : flat_), shown_(look.has_value()) {
    host_->OnMessage(std::move(onMessage));
    // Letting pending events run means running what is due now; virtual time moves only by `wait`.
    host_->OnProcessMessages([this] { clock_.Advance(0); });
}

HeadlessWorld::~HeadlessWorld() {
    // Nobody reads the picture again: what it noted need not be drawn as the pictures it copies from go.
    if (device_) device_->image1.DropDeferred();
}

Simulator& HeadlessWorld::CreateDevice(const SimulatorOptions& options) {
    device_ = std::make_unique<Simulator>(clock_, *host_, sprites_, options);
    // Without a page, nobody looks at the runner's picture but its reads (display, pixels, snapshots): it
    // draws when read. A page reads it once a frame, where the device may have drawn it a hundred times:
    // it draws then, and knows from the marks what changed.
    device_->image1.Defer(shown_ ? Picture::NotedDrawings::MarkedDirty : Picture::NotedDrawings::Unmarked);
    return *device_;
}

void HeadlessWorld::Reset() {
    device_.reset();
    clock_ = VirtualClock();
    static_cast<ScriptedAnswers&>(*host_) = ScriptedAnswers();
    host_->ClearMessages();
}

} // namespace vp7
