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

// The variant a settings file's word names; nothing for a word that names none.
std::optional<uint8_t> KnownVariant(std::string_view word);

// The comment line that makes a recording a saved state, before its variant and version.
inline constexpr std::string_view kStateLine = "# state ";

// Why nothing is replayed over a settings file that is there but cannot be read (IniFile::
// PresentButUnreadable): its replacement or removal would lose the user's settings.
StateRefusal UnreadableSettings(const std::string& iniPath);

} // namespace vp7
