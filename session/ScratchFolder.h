// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A fresh temporary folder for checking a script in (an exercise, a saved state), removed with
// everything in it.
#include "session/language/ScriptWords.h"

#include <filesystem>
#include <string>
#include <unistd.h>

namespace vp7 {

struct ScratchFolder {
    explicit ScratchFolder(const char* prefix = "vp7-check") {
        std::string pattern = (std::filesystem::temp_directory_path() / prefix).string() + "-XXXXXX";
        if (!mkdtemp(pattern.data())) throw RunFailure("cannot create a temporary folder");
        path = pattern;
    }
    ~ScratchFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    std::string path;
};

} // namespace vp7
