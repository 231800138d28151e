// SPDX-License-Identifier: GPL-3.0-or-later
// The running program's reader of a second start's line, on any bytes: what it takes writes back as
// the same line.
#include "ui/app/InstanceMessage.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    const auto message = vp7::ReadInstanceMessage(line);
    if (!message) return 0;
    const auto again = vp7::ReadInstanceMessage(vp7::InstanceMessageLine(*message));
    if (!again || again->open.has_value() != message->open.has_value()) __builtin_trap();
    if (again->open && (again->open->kind != message->open->kind || again->open->path != message->open->path))
        __builtin_trap();
    return 0;
}
