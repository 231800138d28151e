// SPDX-License-Identifier: GPL-3.0-or-later
#include "classroom/SeatCommand.h"

#include "classroom/JsonLimits.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace vp7 {
namespace {

constexpr std::string_view kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

struct CommandName {
    std::string_view name;
    SeatCommandKind kind;
};
constexpr std::array<CommandName, 11> kCommands = {{
    {"exercise", SeatCommandKind::OpenExercise},
    {"state", SeatCommandKind::LoadState},
    {"freeze", SeatCommandKind::Freeze},
    {"continue", SeatCommandKind::Continue},
    {"speed", SeatCommandKind::Speed},
    {"fault", SeatCommandKind::SetHiddenFault},
    {"message", SeatCommandKind::Message},
    {"handin", SeatCommandKind::HandIn},
    {"watch", SeatCommandKind::Watch},
    {"savestate", SeatCommandKind::SaveState},
    {"rewind", SeatCommandKind::Rewind},
}};

using Json = nlohmann::json;

} // namespace

bool IsHideableFault(std::string_view option) {
    return std::find(kHideableFaults.begin(), kHideableFaults.end(), option) != kHideableFaults.end();
}

std::optional<std::string> DecodeBase64(std::string_view text) {
    while (!text.empty() && text.back() == '=')
        text.remove_suffix(1);
    if (text.size() % 4 == 1) return std::nullopt;
    std::string bytes;
    bytes.reserve(text.size() / 4 * 3 + 2);
    uint32_t bits = 0;
    int count = 0;
    for (const char c : text) {
        const size_t value = kAlphabet.find(c);
        if (value == std::string_view::npos) return std::nullopt;
        bits = (bits << 6) | static_cast<uint32_t>(value);
        if (++count == 4) {
            bytes += static_cast<char>(bits >> 16);
            bytes += static_cast<char>(bits >> 8);
            bytes += static_cast<char>(bits);
            bits = 0;
            count = 0;
        }
    }
    if (count == 2) bytes += static_cast<char>(bits >> 4);
    if (count == 3) {
        bytes += static_cast<char>(bits >> 10);
        bytes += static_cast<char>(bits >> 2);
    }
    return bytes;
}

std::string EncodeBase64(std::string_view bytes) {
    std::string text;
    text.reserve((bytes.size() + 2) / 3 * 4);
    for (size_t i = 0; i < bytes.size(); i += 3) {
        uint32_t bits = static_cast<uint8_t>(bytes[i]) << 16;
        if (i + 1 < bytes.size()) bits |= static_cast<uint8_t>(bytes[i + 1]) << 8;
        if (i + 2 < bytes.size()) bits |= static_cast<uint8_t>(bytes[i + 2]);
        text += kAlphabet[(bits >> 18) & 63];
        text += kAlphabet[(bits >> 12) & 63];
        text += i + 1 < bytes.size() ? kAlphabet[(bits >> 6) & 63] : '=';
        text += i + 2 < bytes.size() ? kAlphabet[bits & 63] : '=';
    }
    return text;
}

std::string WriteSeatCommand(const SeatCommand& command) {
    const auto named = std::find_if(kCommands.begin(), kCommands.end(),
                                    [&](const CommandName& c) { return c.kind == command.kind; });
    Json j = {{"command", named->name}};
    if (!command.id.empty()) j["id"] = command.id;
    switch (command.kind) {
    case SeatCommandKind::OpenExercise:
        j["text"] = command.text;
        if (command.seed) j["seed"] = *command.seed;
        break;
    case SeatCommandKind::Message:
        j["text"] = command.text;
        break;
    case SeatCommandKind::LoadState:
        j["data"] = EncodeBase64(command.text);
        break;
    case SeatCommandKind::Speed:
        j["value"] = command.value;
        break;
    case SeatCommandKind::SetHiddenFault:
        j["option"] = command.text;
        j["on"] = command.on;
        break;
    case SeatCommandKind::Watch:
        j["on"] = command.on;
        break;
    case SeatCommandKind::Rewind:
        j["seconds"] = static_cast<int>(command.value);
        break;
    case SeatCommandKind::Freeze:
    case SeatCommandKind::Continue:
    case SeatCommandKind::HandIn:
    case SeatCommandKind::SaveState:
        break;
    }
    // An exercise file's text may hold bytes that are no UTF-8: they become U+FFFD, not a throw.
    return j.dump(-1, ' ', false, Json::error_handler_t::replace);
}

std::variant<SeatCommand, std::string> ReadSeatCommand(std::string_view payload) {
    std::string why;
    const auto j = ParseBoundedObject(payload, kCommandMaxBytes, why);
    if (!j) return "message " + why;
    const auto name = StringMember(*j, "command", 32);
    if (!name) return std::string("message without a command");
    SeatCommand command;
    bool known = false;
    for (const CommandName& c : kCommands)
        if (c.name == *name) {
            command.kind = c.kind;
            known = true;
        }
    if (!known) return "unknown command '" + *name + "'";
    if (j->contains("id")) {
        const auto id = StringMember(*j, "id", kCommandIdMaxBytes);
        if (!id) return "command '" + *name + "' with a bad id";
        command.id = *id;
    }
    const auto needs = [&](const char* what) { return "command '" + *name + "' needs " + what; };
    switch (command.kind) {
    case SeatCommandKind::OpenExercise: {
        const auto text = StringMember(*j, "text", kCommandMaxBytes);
        if (!text) return needs("the exercise as \"text\"");
        command.text = *text;
        // Exactly the 64 bits the station chose: a seed off by one is another seat's device.
        if (const auto seed = j->find("seed"); seed != j->end()) {
            if (!seed->is_number_unsigned()) return needs("a \"seed\" that is a whole number of 64 bits");
            command.seed = seed->get<uint64_t>();
        }
        break;
    }
    case SeatCommandKind::LoadState: {
        const auto data = StringMember(*j, "data", kCommandMaxBytes);
        const auto bytes = data ? DecodeBase64(*data) : std::nullopt;
        if (!bytes) return needs("the state file in base64 as \"data\"");
        command.text = *bytes;
        break;
    }
    case SeatCommandKind::Speed: {
        const auto value = NumberMember(*j, "value");
        if (!value || !std::isfinite(*value)) return needs("a number as \"value\"");
        command.value = *value;
        break;
    }
    case SeatCommandKind::SetHiddenFault: {
        const auto option = StringMember(*j, "option", 32);
        const auto on = BoolMember(*j, "on");
        if (!option || !on) return needs("\"option\" (a control's name) and \"on\" (true or false)");
        if (!IsHideableFault(*option)) return "no option '" + *option + "' to hide";
        command.text = *option;
        command.on = *on;
        break;
    }
    case SeatCommandKind::Message: {
        const auto text = StringMember(*j, "text", kTraineeMessageMaxBytes);
        if (!text) return needs("a \"text\" of at most 1000 bytes");
        command.text = *text;
        break;
    }
    case SeatCommandKind::Watch: {
        const auto on = BoolMember(*j, "on");
        if (!on) return needs("\"on\" (true or false)");
        command.on = *on;
        break;
    }
    case SeatCommandKind::Rewind: {
        const auto seconds = NumberMember(*j, "seconds");
        if (!seconds || *seconds != std::floor(*seconds) || *seconds < kRoomRewindMinSeconds ||
            *seconds > kRoomRewindMaxSeconds)
            return needs("\"seconds\", a whole number from 1 to 86400");
        command.value = *seconds;
        break;
    }
    case SeatCommandKind::Freeze:
    case SeatCommandKind::Continue:
    case SeatCommandKind::HandIn:
    case SeatCommandKind::SaveState:
        break;
    }
    return command;
}

} // namespace vp7
