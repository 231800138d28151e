// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ScriptedAnswers.h"

#include <filesystem>

namespace vp7 {

std::optional<MsgButton> ScriptedAnswers::TakeAnswer() {
    if (answers_.empty()) return std::nullopt;
    const MsgButton b = answers_.front();
    answers_.pop_front();
    return b;
}

std::optional<std::string> ScriptedAnswers::NextFile(FileUse use) {
    if (files_.empty()) return std::nullopt;
    std::optional<std::string> path = std::move(files_.front());
    files_.pop_front();
    if (!path || fileFolder_.empty()) return path;
    namespace fs = std::filesystem;
    const fs::path kept = fs::path(fileFolder_) / fs::path(*path).filename();
    std::error_code ec;
    if (use == FileUse::Save || fs::exists(kept, ec)) return kept.string();
    return path;
}

} // namespace vp7
