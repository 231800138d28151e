// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/RecentFiles.h"

#include "formats/IniFile.h"

#include <algorithm>

namespace vp7 {
namespace {

constexpr const char* kSection = "RecentFiles";

std::string Key(std::size_t slot) {
    return "File" + std::to_string(slot + 1);
}

} // namespace

void RecentFiles::Add(const std::string& path) {
    Remove(path);
    paths_.insert(paths_.begin(), path);
    if (paths_.size() > kMaxFiles) paths_.resize(kMaxFiles);
}

void RecentFiles::Remove(const std::string& path) {
    std::erase(paths_, path);
}

void RecentFiles::Read(const IniFile& ini) {
    paths_.clear();
    for (std::size_t slot = 0; slot < kMaxFiles; ++slot) {
        const std::string path = ini.ReadString(kSection, Key(slot), "");
        if (!path.empty() && std::find(paths_.begin(), paths_.end(), path) == paths_.end())
            paths_.push_back(path);
    }
}

void RecentFiles::Write(IniFile& ini) const {
    for (std::size_t slot = 0; slot < kMaxFiles; ++slot) {
        if (slot < paths_.size())
            ini.WriteString(kSection, Key(slot), paths_[slot]);
        else if (!ini.ReadString(kSection, Key(slot), "").empty())
            ini.WriteString(kSection, Key(slot), "");
    }
}

} // namespace vp7
