// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The configuration files used last, newest first, for "Datei → Zuletzt geöffnet", kept in the
// settings file's section [RecentFiles] as File1 … File8. The device's own sections never see them, and
// an older program leaves the section alone.
#include <string>
#include <vector>

namespace vp7 {

class IniFile;

class RecentFiles {
public:
    static constexpr std::size_t kMaxFiles = 8;

    const std::vector<std::string>& Paths() const { return paths_; }
    // `path` goes to the front; a path already listed moves there, the oldest beyond kMaxFiles drops.
    void Add(const std::string& path);
    void Remove(const std::string& path);

    // Empty and repeated entries are skipped; a slot the list no longer fills is emptied, so a shorter
    // list does not bring back the entries it dropped.
    void Read(const IniFile& ini);
    void Write(IniFile& ini) const;

private:
    std::vector<std::string> paths_;
};

} // namespace vp7
