// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/script/SessionLog.h"

#include "formats/AtomicFile.h"
#include "formats/IniFile.h"
#include "platform/FileRead.h"

#include <filesystem>
#include <utility>

namespace vp7 {
namespace {

// A settings file is small; a larger one is not the program's and is kept unread.
constexpr std::uintmax_t kSettingsMaxBytes = 64u << 20;

} // namespace

void SessionLog::KeepSettings(std::string path) {
    settingsPath_ = std::move(path);
    settingsBefore_ = ReadWholeFile(settingsPath_, kSettingsMaxBytes);
    settingsUnreadable_ = !settingsBefore_ && IniFile::PresentButUnreadable(settingsPath_);
}

bool SessionLog::RestoreSettings() const {
    if (settingsBefore_) return WriteFileAtomically(settingsPath_, *settingsBefore_);
    std::error_code ec;
    std::filesystem::remove(settingsPath_, ec);
    return true;
}

std::string SessionLog::Recording() const {
    std::string recording;
    for (const std::string& line : lines_)
        recording += line + '\n';
    return recording;
}

} // namespace vp7
