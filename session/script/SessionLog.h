// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a script's session did, as a recording keeps it: every line that acted since the start, and the
// settings file as it was before the script touched it, so that a rewind can put both back.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vp7 {

class SessionLog {
public:
    // Keeps the settings file at `path` as it is now; one that is there but cannot be read is noted.
    void KeepSettings(std::string path);
    // The settings file kept back in its place (removed when there was none); false when it cannot
    // be written, and then nothing changed.
    bool RestoreSettings() const;
    bool SettingsUnreadable() const { return settingsUnreadable_; }
    const std::string& SettingsPath() const { return settingsPath_; }
    // The settings file's text as RestoreSettings puts it back; nullopt when it removes the file.
    const std::optional<std::string>& SettingsBefore() const { return settingsBefore_; }

    void Note(std::string_view line) { lines_.emplace_back(line); }
    std::size_t Size() const { return lines_.size(); }
    // Forgets the lines after the first `size`.
    void Truncate(std::size_t size) { lines_.resize(size); }
    void Clear() { lines_.clear(); }
    // The lines as a recording's text, one a line.
    std::string Recording() const;

private:
    std::vector<std::string> lines_;
    std::string settingsPath_;
    std::optional<std::string> settingsBefore_;
    bool settingsUnreadable_ = false;
};

} // namespace vp7
