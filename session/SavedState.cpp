// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/SavedState.h"

#include <iterator>

namespace vp7 {
namespace {

constexpr std::string_view kVariantWords[] = {"VP7A", "VP7PA", "VP7FF"};

} // namespace

std::optional<uint8_t> KnownVariant(std::string_view word) {
    for (uint8_t variant = 0; variant < std::size(kVariantWords); ++variant)
        if (word == kVariantWords[variant]) return variant;
    return std::nullopt;
}

std::string_view ProgramVersion() {
    return VP7_VERSION;
}

std::string_view VariantWord(uint8_t variant) {
    return kVariantWords[variant < std::size(kVariantWords) ? variant : 0];
}

std::string MakeSavedState(std::string_view recording, uint8_t variant, std::string_view version) {
    const std::string line =
        std::string(kStateLine) + std::string(VariantWord(variant)) + ' ' + std::string(version) + '\n';
    const size_t afterHeader = recording.starts_with('#') ? recording.find('\n') : std::string_view::npos;
    if (afterHeader == std::string_view::npos) return line + std::string(recording);
    return std::string(recording.substr(0, afterHeader + 1)) + line +
           std::string(recording.substr(afterHeader + 1));
}

StateRefusal UnreadableSettings(const std::string& iniPath) {
    return {0,
            "Die Einstellungsdatei " + iniPath +
                " kann nicht gelesen werden. Sie bleibt, wie sie ist, und nichts wird wiedergegeben.",
            "The settings file " + iniPath +
                " cannot be read. It is kept as it is, and nothing is replayed."};
}

} // namespace vp7
