// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A saved state is a session's recording with one more comment line, `# state VARIANT VERSION`: the
// device variant it was saved on (the settings file's word, `VP7PA`) and the program's version.
// Loading replays it on the simulated clock and goes on from its end; rewinding replays a recording
// cut at a moment. Both speak the runner's language, so one interpreter serves them all.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vp7 {

// The largest recording or saved state read: hours of session are a few megabytes.
inline constexpr std::uintmax_t kRecordingMaxBytes = 64u << 20;

// This program's version, as a saved state records it.
std::string_view ProgramVersion();

// The settings file's word for a device variant (0 = 0/4-20 mA, 1 = PA, 2 = FF).
std::string_view VariantWord(uint8_t variant);

// The recording's text as a saved state: the state line after its first comment line (the
// recording's header), so the file still reads as the recording it is.
std::string MakeSavedState(std::string_view recording, uint8_t variant, std::string_view version);

struct StateRefusal {
    int line; // 0 when the file as a whole is refused
    std::string german, english;
    const std::string& Text(bool inGerman) const { return inGerman ? german : english; }
};

// Why a saved state cannot be loaded into a device of `variant` (nullopt: any variant) by the program
// of `version`: not a state at all, a damaged state line, another variant (the one the state's own
// settings lines select, which the state line must name too), a newer program, a line too long or
// one that may not stand in a state. Lines the runner refuses are found by replaying it
// (ReadPlayScript). Reads the text line by line, copying none.
std::optional<StateRefusal> CheckSavedState(std::string_view text, std::optional<uint8_t> variant,
                                            std::string_view version);

// Why nothing is replayed over a settings file that is there but cannot be read (IniFile::
// PresentButUnreadable): its replacement or removal would lose the user's settings.
StateRefusal UnreadableSettings(const std::string& iniPath);

// The recording up to `ms` simulated milliseconds after its start line: every line before the start,
// the actions up to and at that moment (with the answers written before them), and a last `wait` to
// it. A moment after the recording's end keeps it whole.
std::string CutRecording(std::string_view text, int64_t ms);

// The milliseconds of a `wait` line; 0 for any other.
int64_t WaitOf(std::string_view line);

struct TimedLine {
    int64_t atMs; // after the start line
    std::string text;
};
// The recording's lines after its start line that act (no waits, comments or output), each at its moment.
std::vector<TimedLine> RecordedLines(std::string_view text);

// The recording's length after its start line, in simulated milliseconds.
int64_t RecordingLengthMs(std::string_view text);

} // namespace vp7
