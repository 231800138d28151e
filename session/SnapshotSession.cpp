// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/SnapshotSession.h"

#include "sim/Snapshot.h"

namespace vp7 {

std::variant<SnapshotSession, StateRefusal>
SessionFromSnapshot(std::string_view bytes, std::optional<uint8_t> variant,
                    const std::function<std::unique_ptr<Session>()>& make) {
    auto decoded = DecodeStateFile(bytes, variant);
    if (auto* refusal = std::get_if<StateRefusal>(&decoded)) return std::move(*refusal);
    StateFile& file = std::get<StateFile>(decoded);
    std::unique_ptr<Session> session = make();
    session->Start();
    if (auto reason = RestoreSnapshot(session->Sim(), file.snapshot, file.format))
        return StateRefusal{0, *reason, *reason};
    return SnapshotSession{std::move(session), std::move(file.recording)};
}

} // namespace vp7
