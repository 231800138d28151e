// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/script/RecordingLines.h"

#include "platform/SameWord.h"
#include "session/language/TextLines.h"
#include "session/script/Runner.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <vector>

namespace vp7 {
namespace {

constexpr std::string_view kStateMark = "# state"; // the state line, also when it names nothing more

// "1.10" is newer than "1.9": the version compares number by number. Nothing when a part is not a
// number that fits (a damaged line must not pass for an old one).
std::optional<std::vector<long>> VersionNumbers(std::string_view version) {
    std::vector<long> numbers;
    while (!version.empty()) {
        const std::string_view part = version.substr(0, version.find('.'));
        long n = 0;
        const auto [end, error] = std::from_chars(part.data(), part.data() + part.size(), n);
        const bool digits = !part.empty() && part.find_first_not_of("0123456789") == std::string_view::npos;
        if (!digits || error != std::errc() || end != part.data() + part.size()) return std::nullopt;
        numbers.push_back(n);
        if (part.size() == version.size()) break;
        version.remove_prefix(part.size() + 1);
        if (version.empty()) return std::nullopt; // "1."
    }
    return numbers;
}

bool IsStateLine(std::string_view line) {
    return line.starts_with(kStateLine) || line == kStateMark;
}

// The value an `ini Config Controller VALUE` line writes, as the settings file gives it back (section
// and key in any case, the value without the blanks around it); nothing for any other line.
std::optional<std::string_view> ControllerSetting(std::string_view line) {
    if (Runner::CommandName(line) != "ini") return std::nullopt;
    line = Trimmed(line).substr(3);
    std::string_view words[2];
    for (std::string_view& word : words) {
        line = Trimmed(line);
        word = line.substr(0, line.find_first_of(" \t"));
        line.remove_prefix(word.size());
    }
    if (!SameIgnoringCase(words[0], "Config") || !SameIgnoringCase(words[1], "Controller"))
        return std::nullopt;
    return Trimmed(line);
}

StateRefusal DamagedStateLine(const std::string& german, const std::string& english) {
    return {0, "Die Zeile '# state' ist beschädigt: " + german, "The line '# state' is damaged: " + english};
}

bool IsStartLine(std::string_view line) {
    const std::string_view name = Runner::CommandName(line);
    return name == "start" || name == "exercise";
}

} // namespace

int64_t WaitOf(std::string_view line) {
    if (Runner::CommandName(line) != "wait") return 0;
    line.remove_prefix(line.find("wait") + 4);
    line = Trimmed(line);
    int64_t ms = 0;
    std::from_chars(line.data(), line.data() + line.size(), ms);
    return ms;
}

std::optional<StateRefusal> CheckSavedState(std::string_view text, std::optional<uint8_t> variant,
                                            std::string_view version) {
    std::optional<std::string_view> stateLine, controller;
    TextLines lines(text);
    while (const auto line = lines.Next()) {
        const int number = lines.Number();
        if (line->size() > kLongestScriptLine)
            return StateRefusal{
                number, "Die Zeile ist länger als " + std::to_string(kLongestScriptLine) + " Zeichen.",
                "The line is longer than " + std::to_string(kLongestScriptLine) + " characters."};
        if (IsStateLine(*line) && !stateLine) stateLine = *line;
        // The last one wins, as in the settings file the lines write.
        if (const auto setting = ControllerSetting(*line)) controller = setting;
        const std::string_view name = Runner::CommandName(*line);
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
    // What the state will run on is what its own settings lines select; the state line must agree.
    const std::optional<uint8_t> named = KnownVariant(savedVariant);
    const std::optional<uint8_t> selected =
        controller ? std::optional<uint8_t>(KnownVariant(*controller).value_or(0)) : std::nullopt;
    if (savedVariant.empty() && !selected)
        return DamagedStateLine("Sie nennt keine Gerätevariante.", "it names no device variant.");
    if (!savedVariant.empty() && !named)
        return DamagedStateLine("Die Gerätevariante '" + savedVariant + "' ist unbekannt.",
                                "the device variant '" + savedVariant + "' is unknown.");
    if (named && selected && *named != *selected) {
        const std::string settings(VariantWord(*selected));
        return StateRefusal{0,
                            "Die Zeile '# state' nennt einen " + savedVariant +
                                ", die Einstellungen des Zustands wählen einen " + settings + ".",
                            "The line '# state' names a " + savedVariant +
                                ", but the state's settings select a " + settings + "."};
    }
    const uint8_t saved = selected ? *selected : *named;
    if (variant && saved != *variant) {
        const std::string shown(VariantWord(saved));
        return StateRefusal{0,
                            "Der Zustand wurde mit einem " + shown + " gespeichert; dieses Gerät ist ein " +
                                std::string(VariantWord(*variant)) + ".",
                            "The state was saved on a " + shown + "; this device is a " +
                                std::string(VariantWord(*variant)) + "."};
    }
    const auto savedNumbers = VersionNumbers(savedVersion);
    if (!savedNumbers)
        return DamagedStateLine("Die Programmversion '" + savedVersion + "' ist keine Versionsnummer.",
                                "the program version '" + savedVersion + "' is no version number.");
    if (*savedNumbers > VersionNumbers(version).value_or(std::vector<long>{}))
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

std::vector<TimedLine> RecordedLines(std::string_view text) {
    std::vector<TimedLine> lines;
    bool started = false;
    int64_t at = 0;
    for (const std::string& line : Runner::SplitLines(text)) {
        if (!started) {
            started = IsStartLine(line);
        } else if (const std::string_view name = Runner::CommandName(line); name == "wait") {
            at += WaitOf(line);
        } else if (!name.empty() && !Runner::HasTrait(name, Runner::kOutput)) {
            lines.push_back({at, line});
        }
    }
    return lines;
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
