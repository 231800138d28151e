// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/IniFile.h"

#include "formats/AtomicFile.h"
#include "platform/FileRead.h"

#include <cstddef>
#include <filesystem>
#include <optional>
#include <system_error>
#include <utility>

namespace vp7 {

namespace {

constexpr std::string_view kBlanks = " \t";
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
// The file has always been written with Windows line endings; keep it that way so older copies diff cleanly.
constexpr std::string_view kNewline = "\r\n";

std::string_view Trim(std::string_view text) {
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    const std::size_t last = text.find_last_not_of(kBlanks);
    return text.substr(first, last - first + 1);
}

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string Lower(std::string_view text) {
    std::string result(text);
    for (char& c : result)
        c = LowerAscii(c);
    return result;
}

bool IsComment(std::string_view line) {
    const std::string_view trimmed = Trim(line);
    return !trimmed.empty() && trimmed.front() == ';';
}

bool IsBlank(std::string_view line) {
    return Trim(line).empty();
}

// The section name of a header line, or nothing when the line is not a header.
std::optional<std::string_view> SectionName(std::string_view line) {
    const std::string_view trimmed = Trim(line);
    if (trimmed.empty() || trimmed.front() != '[') return std::nullopt;
    const std::size_t close = trimmed.find(']');
    if (close == std::string_view::npos) return std::nullopt;
    return Trim(trimmed.substr(1, close - 1));
}

struct KeyLine {
    std::string_view key;
    std::string_view value;
};

// Only meaningful for lines inside a section; headers and comments are ruled out by the caller.
std::optional<KeyLine> ParseKeyLine(std::string_view line) {
    if (IsComment(line)) return std::nullopt;
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) return std::nullopt;
    return KeyLine{Trim(line.substr(0, eq)), Trim(line.substr(eq + 1))};
}

// A line break inside a key or value would split it into lines that read back differently.
std::string SingleLine(std::string_view text) {
    std::string result(text);
    for (char& c : result) {
        if (c == '\r' || c == '\n') c = ' ';
    }
    return result;
}

} // namespace

IniFile::IniFile(std::string path) : path_(std::move(path)) {}

bool IniFile::Load() {
    lines_.clear();
    indexed_ = false;
    const auto data = ReadWholeFile(path_, MaxFileBytes);
    if (!data) return false;
    SetText(*data);
    return true;
}

bool IniFile::PresentButUnreadable(const std::string& path) {
    std::error_code ec;
    const bool present = std::filesystem::exists(std::filesystem::symlink_status(path, ec));
    return present && !ReadWholeFile(path, MaxFileBytes);
}

bool IniFile::Save(Flush flush) const {
    return WriteFileAtomically(path_, Text(), flush);
}

// The first line of the key in any section of that name, in file order.
std::string IniFile::ReadString(std::string_view section, std::string_view key, std::string_view def) const {
    BuildIndex();
    const auto found = keyLine_.find(Name{Lower(section), Lower(key)});
    if (found == keyLine_.end()) return std::string(def);
    return std::string(ParseKeyLine(lines_[found->second])->value);
}

void IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    const std::string newLine = SingleLine(key) + "=" + SingleLine(value);
    BuildIndex();
    const Name name{Lower(section), Lower(key)};
    // A line that reads back as another key or as a header (odd names) makes the index rebuild.
    const auto parsed = ParseKeyLine(newLine);
    const bool readsBack = !SectionName(newLine) && parsed && Lower(parsed->key) == name.second;

    if (const auto found = keyLine_.find(name); found != keyLine_.end()) {
        lines_[found->second] = newLine;
        if (!readsBack) indexed_ = false;
        return;
    }
    // A missing key goes after the last key of the first section of that name, or right after its
    // header when it has no keys yet.
    if (const auto end = sectionEnd_.find(name.first); end != sectionEnd_.end()) {
        const std::size_t at = end->second;
        lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), newLine);
        Inserted(at);
        if (readsBack) {
            keyLine_.emplace(name, at);
            sectionEnd_[name.first] = at + 1;
        } else {
            indexed_ = false;
        }
        return;
    }
    if (!lines_.empty() && !IsBlank(lines_.back())) lines_.emplace_back();
    lines_.push_back("[" + SingleLine(section) + "]");
    lines_.push_back(newLine);
    const auto header = SectionName(lines_[lines_.size() - 2]);
    if (readsBack && header && Lower(*header) == name.first) {
        keyLine_.emplace(name, lines_.size() - 1);
        sectionEnd_.emplace(name.first, lines_.size());
    } else {
        indexed_ = false;
    }
}

void IniFile::BuildIndex() const {
    if (indexed_) return;
    keyLine_.clear();
    sectionEnd_.clear();
    const std::string* section = nullptr; // lower case, while inside a section
    bool firstOfName = false;
    std::string current;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (const auto name = SectionName(lines_[i])) {
            current = Lower(*name);
            section = &current;
            firstOfName = sectionEnd_.emplace(current, i + 1).second;
            continue;
        }
        if (!section) continue;
        const auto keyLine = ParseKeyLine(lines_[i]);
        if (!keyLine) continue;
        keyLine_.emplace(Name{*section, Lower(keyLine->key)}, i);
        if (firstOfName) sectionEnd_[*section] = i + 1;
    }
    indexed_ = true;
}

// Everything at or after a newly inserted line moved down by one.
void IniFile::Inserted(std::size_t at) {
    for (auto& [name, line] : keyLine_) {
        if (line >= at) ++line;
    }
    for (auto& [name, end] : sectionEnd_) {
        if (end >= at) ++end;
    }
}

std::string IniFile::Text() const {
    std::string text;
    for (const std::string& line : lines_) {
        text += line;
        text += kNewline;
    }
    return text;
}

void IniFile::SetText(std::string_view text) {
    lines_.clear();
    indexed_ = false;
    if (text.starts_with(kUtf8Bom)) text.remove_prefix(kUtf8Bom.size());
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (line.ends_with('\r')) line.remove_suffix(1);
        lines_.emplace_back(line);
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
}

} // namespace vp7
