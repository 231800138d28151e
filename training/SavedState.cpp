// SPDX-License-Identifier: GPL-3.0-or-later
#include "training/SavedState.h"

#include "training/Runner.h"

#include <charconv>
#include <vector>

namespace vp7 {
namespace {

constexpr std::string_view kStateLine = "# state ";
constexpr std::string_view kVariantWords[] = {"VP7A", "VP7PA", "VP7FF"};

// "1.10" is newer than "1.9": the version compares number by number.
std::vector<long> VersionNumbers(std::string_view version) {
    std::vector<long> numbers;
    while (!version.empty()) {
        long n = 0;
        const auto [end, error] = std::from_chars(version.data(), version.data() + version.size(), n);
        numbers.push_back(error == std::errc() ? n : 0);
        const size_t dot = version.find('.');
        if (dot == std::string_view::npos) break;
        version.remove_prefix(dot + 1);
    }
    return numbers;
}

bool IsStartLine(std::string_view line) {
    const std::string_view name = Runner::CommandName(line);
    return name == "start" || name == "exercise";
}

// The milliseconds of a `wait` line; 0 for any other.
int64_t WaitOf(std::string_view line) {
    if (Runner::CommandName(line) != "wait") return 0;
    line.remove_prefix(line.find("wait") + 4);
    line = Trimmed(line);
    int64_t ms = 0;
    std::from_chars(line.data(), line.data() + line.size(), ms);
    return ms;
}

} // namespace

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

std::optional<StateRefusal> CheckSavedState(std::string_view text, std::optional<uint8_t> variant,
                                            std::string_view version) {
    const std::vector<std::string> lines = Runner::SplitLines(text);
    const std::string* stateLine = nullptr;
    for (size_t i = 0; i < lines.size(); ++i) {
        const int number = static_cast<int>(i + 1);
        if (lines[i].starts_with(kStateLine) && !stateLine) stateLine = &lines[i];
        const std::string_view name = Runner::CommandName(lines[i]);
        if (Runner::HasTrait(name, Runner::kNotInScene))
            return StateRefusal{number, "'" + std::string(name) + "' kann in einem Zustand nicht stehen",
                                "'" + std::string(name) + "' cannot stand in a saved state"};
    }
    if (!stateLine)
        return StateRefusal{0, "Die Datei ist kein gespeicherter Zustand (die Zeile '# state' fehlt).",
                            "The file is no saved state (the line '# state' is missing)."};
    const auto words = SplitWords(*stateLine);
    const std::string savedVariant = words && words->size() > 2 ? (*words)[2].text : "";
    const std::string savedVersion = words && words->size() > 3 ? (*words)[3].text : "";
    if (variant && savedVariant != VariantWord(*variant)) {
        const std::string shown = savedVariant.empty() ? "?" : savedVariant;
        return StateRefusal{0,
                            "Der Zustand wurde mit einem " + shown + " gespeichert; dieses Gerät ist ein " +
                                std::string(VariantWord(*variant)) + ".",
                            "The state was saved on a " + shown + "; this device is a " +
                                std::string(VariantWord(*variant)) + "."};
    }
    if (VersionNumbers(savedVersion) > VersionNumbers(version))
        return StateRefusal{0,
                            "Der Zustand stammt von der neueren Programmversion " + savedVersion +
                                " (dieses Programm: " + std::string(version) + ").",
                            "The state comes from the newer program version " + savedVersion +
                                " (this program: " + std::string(version) + ")."};
    return std::nullopt;
}

std::string CutRecording(std::string_view text, int64_t ms) {
    std::string cut;
    bool started = false;
    int64_t at = 0;
    for (const std::string& line : Runner::SplitLines(text)) {
        if (!started) {
            started = IsStartLine(line);
        } else if (const int64_t wait = WaitOf(line); wait > 0 && at + wait > ms) {
            if (ms > at) cut += "wait " + std::to_string(ms - at) + '\n';
            return cut;
        } else {
            at += wait;
        }
        cut += line + '\n';
    }
    return cut;
}

int64_t RecordingLengthMs(std::string_view text) {
    bool started = false;
    int64_t length = 0;
    for (const std::string& line : Runner::SplitLines(text)) {
        if (started) length += WaitOf(line);
        started = started || IsStartLine(line);
    }
    return length;
}

} // namespace vp7
