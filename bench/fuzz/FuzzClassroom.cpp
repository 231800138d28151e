// SPDX-License-Identifier: GPL-3.0-or-later
// What a classroom reads from its broker: a seat's commands, and the statuses and hand-ins the
// instructor's station reads. Any input goes to every reader; a status or hand-in that was read must
// read back the same once written, and a command's state data must decode the same once encoded again.
#include "classroom/HandIn.h"
#include "classroom/SeatCommand.h"
#include "classroom/SeatStatus.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const auto command = vp7::ReadSeatCommand(input);
    if (const auto* read = std::get_if<vp7::SeatCommand>(&command);
        read && read->kind == vp7::SeatCommandKind::LoadState &&
        vp7::DecodeBase64(vp7::EncodeBase64(read->text)) != read->text)
        std::abort();
    const auto status = vp7::SeatStatusFromJson(input);
    if (const auto* read = std::get_if<vp7::SeatStatus>(&status)) {
        const auto again = vp7::SeatStatusFromJson(vp7::ToJson(*read));
        if (!std::holds_alternative<vp7::SeatStatus>(again) || std::get<vp7::SeatStatus>(again) != *read)
            std::abort();
    }
    const auto handIn = vp7::HandInFromJson(input);
    if (const auto* read = std::get_if<vp7::HandInMessage>(&handIn)) {
        const auto again = vp7::HandInFromJson(vp7::ToJson(*read));
        if (!std::holds_alternative<vp7::HandInMessage>(again) ||
            std::get<vp7::HandInMessage>(again) != *read)
            std::abort();
    }
    return 0;
}
