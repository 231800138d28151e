// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A small INI reader/writer that keeps everything it does not understand. Section and key names
// compare case-insensitively; a value is the rest of the line after the first "=", without the blanks
// around it; keys may contain "/" and blanks. Unknown lines, sections and keys keep their place.
// The whole file is read at once and written at once through a temporary file and a rename, so a
// crash while saving never leaves a half-written file.
#include "formats/AtomicFile.h"

#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vp7 {

class IniFile {
public:
    IniFile() = default;
    explicit IniFile(std::string path);

    // A settings file is a few kilobytes; anything near this size is not one and is not read.
    static constexpr std::size_t MaxFileBytes = 16u << 20;

    // Reads the file; a missing, unreadable or oversized file gives an empty one (returns false).
    bool Load();
    // Something is at `path` that Load cannot read (no permission, too large, a folder): the user's
    // file all the same, never to be replaced or removed.
    static bool PresentButUnreadable(const std::string& path);
    // Writes the file atomically (temporary file in the same folder, then rename). False on failure;
    // the old file is then untouched.
    bool Save(Flush flush = Flush::ToDisk) const;

    const std::string& Path() const { return path_; }

    std::string ReadString(std::string_view section, std::string_view key, std::string_view def) const;
    // Replaces the key's line or appends it at the end of its section; creates the section when missing.
    void WriteString(std::string_view section, std::string_view key, std::string_view value);

    // The text as it would be saved (tests, diagnostics).
    std::string Text() const;
    void SetText(std::string_view text);

private:
    using Name = std::pair<std::string, std::string>; // section and key, lower case

    // Where each key's line is and where each section takes a new key, so that reading and writing
    // every key of a large file stays linear. Rebuilt from the lines whenever in doubt.
    void BuildIndex() const;
    void Inserted(std::size_t at);
    std::string path_;
    std::vector<std::string> lines_;
    mutable bool indexed_ = false;
    mutable std::map<Name, std::size_t> keyLine_;
    mutable std::map<std::string, std::size_t, std::less<>> sectionEnd_;
};

} // namespace vp7
