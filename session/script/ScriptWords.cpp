// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/script/ScriptWords.h"

#include "model/PictureLayout.h"
#include "session/script/Output.h"

#include <charconv>

namespace vp7 {

int ToInt(const std::string& word, const char* what) {
    int v = 0;
    const auto [p, ec] = std::from_chars(word.data(), word.data() + word.size(), v);
    if (ec != std::errc() || p != word.data() + word.size())
        throw ScriptError(std::string("bad ") + what + " '" + word + "'");
    return v;
}

PicturePoint ToPicturePoint(const std::string& x, const std::string& y) {
    const PicturePoint p{ToInt(x, "x"), ToInt(y, "y")};
    if (p.x < 0 || p.y < 0 || p.x >= layout::PictureSize.width || p.y >= layout::PictureSize.height)
        throw ScriptError("point outside the picture");
    return p;
}

std::string_view Trimmed(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") + 1 - first);
}

std::optional<std::vector<ScriptWord>> SplitWords(std::string_view line) {
    constexpr std::string_view kBlanks = " \t";
    std::vector<ScriptWord> words;
    size_t i = 0;
    while ((i = line.find_first_not_of(kBlanks, i)) != std::string_view::npos) {
        ScriptWord word;
        word.begin = i;
        if (line[i] != '"') {
            const size_t end = std::min(line.size(), line.find_first_of(kBlanks, i));
            word.text = line.substr(i, end - i);
            i = end;
        } else {
            size_t end = i + 1;
            while (end < line.size() && line[end] != '"')
                end += line[end] == '\\' ? 2 : 1;
            // The closing quote must be there and end the word.
            if (end >= line.size() || (end + 1 < line.size() && kBlanks.find(line[end + 1]) == kBlanks.npos))
                return std::nullopt;
            if (!UnquoteText(line.substr(i, end + 1 - i), word.text)) return std::nullopt;
            word.quoted = true;
            i = end + 1;
        }
        words.push_back(std::move(word));
    }
    return words;
}

} // namespace vp7
