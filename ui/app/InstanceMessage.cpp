// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/app/InstanceMessage.h"

#include <algorithm>
#include <array>
#include <utility>

namespace vp7 {
namespace {

constexpr std::string_view kRaise = "raise";
constexpr std::string_view kOpen = "open ";
constexpr std::array<std::pair<OpenKind, std::string_view>, 4> kKinds = {{{OpenKind::State, "state"},
                                                                          {OpenKind::Recording, "play"},
                                                                          {OpenKind::Exercise, "exercise"},
                                                                          {OpenKind::Room, "room"}}};

} // namespace

std::string InstanceMessageLine(const InstanceMessage& message) {
    if (!message.open) return std::string(kRaise) + '\n';
    const auto kind =
        std::ranges::find(kKinds, message.open->kind, &std::pair<OpenKind, std::string_view>::first);
    return std::string(kOpen) + std::string(kind->second) + ' ' + message.open->path + '\n';
}

std::optional<InstanceMessage> ReadInstanceMessage(std::string_view line) {
    if (line.size() > kInstanceMessageMaxBytes) return std::nullopt;
    if (line.ends_with('\n')) line.remove_suffix(1);
    if (line == kRaise) return InstanceMessage{};
    if (!line.starts_with(kOpen)) return std::nullopt;
    line.remove_prefix(kOpen.size());
    const std::size_t space = line.find(' ');
    if (space == std::string_view::npos) return std::nullopt;
    const std::string_view word = line.substr(0, space), path = line.substr(space + 1);
    const auto kind = std::ranges::find(kKinds, word, &std::pair<OpenKind, std::string_view>::second);
    const bool controlFree =
        std::ranges::none_of(path, [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; });
    if (kind == kKinds.end() || !path.starts_with('/') || !controlFree) return std::nullopt;
    return InstanceMessage{OpenRequest{kind->first, std::string(path)}};
}

} // namespace vp7
