// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A snapshot state's bytes in place of a running device's session: read and checked whole first (not
// damaged, of the device's variant), then restored into a session made anew, whose device is created
// as at any start. The caller puts the new session in place only once it has taken the state, so a
// refused state leaves the running one as it was; nothing is written to be read back.
#include "session/Session.h"
#include "session/StateFile.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace vp7 {

struct SnapshotSession {
    std::unique_ptr<Session> session; // its device started and holding the state
    std::string recording;            // the session up to the state, for the record to go on from
};

// `make` makes the session (its device not yet created) on the caller's clock and host. The refusal
// names why when the bytes are refused whole, or, in both languages alike, why the snapshot does not
// fit the device made for it.
std::variant<SnapshotSession, StateRefusal>
SessionFromSnapshot(std::string_view bytes, std::optional<uint8_t> variant,
                    const std::function<std::unique_ptr<Session>()>& make);

} // namespace vp7
