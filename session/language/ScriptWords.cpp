// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/language/ScriptWords.h"

#include "model/PictureLayout.h"
#include "session/language/Output.h"

#include <algorithm>
#include <cctype>
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

namespace {

// Edits (insert, delete, replace, swap two neighbours) from one word to the other, ignoring case.
size_t EditDistance(std::string_view a, std::string_view b) {
    const auto same = [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    };
    // Three rows of the table: two back (for a swap), the last and the one being filled.
    std::vector<size_t> before(b.size() + 1), last(b.size() + 1), row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j)
        last[j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            row[j] =
                std::min({last[j] + 1, row[j - 1] + 1, last[j - 1] + (same(a[i - 1], b[j - 1]) ? 0 : 1)});
            if (i > 1 && j > 1 && same(a[i - 1], b[j - 2]) && same(a[i - 2], b[j - 1]))
                row[j] = std::min(row[j], before[j - 2] + 1);
        }
        std::swap(before, last);
        std::swap(last, row);
    }
    return last[b.size()];
}

} // namespace

std::vector<std::string> NearestNames(std::string_view word, const std::vector<std::string>& names,
                                      size_t most) {
    // The table costs the product of both lengths: a word far longer than any name is no misspelling.
    if (word.size() > kLongestSuggestedWord) return {};
    const size_t reach = std::max<size_t>(1, word.size() / 3);
    std::vector<std::pair<size_t, const std::string*>> near;
    for (const std::string& name : names) {
        const size_t d = EditDistance(word, std::string_view(name).substr(name.rfind(' ') + 1));
        if (d <= reach) near.emplace_back(d, &name);
    }
    std::stable_sort(near.begin(), near.end(),
                     [](const auto& x, const auto& y) { return x.first < y.first; });
    std::vector<std::string> nearest;
    for (const auto& [d, name] : near)
        if (nearest.size() < most && std::find(nearest.begin(), nearest.end(), *name) == nearest.end())
            nearest.push_back(*name);
    return nearest;
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
