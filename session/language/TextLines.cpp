// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/language/TextLines.h"

namespace vp7 {
namespace {

constexpr std::size_t kLongestQuote = 80; // characters
constexpr std::string_view kEllipsis = "…";

bool IsUtf8Continuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// The first `count` characters of UTF-8 text (or all of it), never cutting into a character.
std::string_view FirstCharacters(std::string_view text, std::size_t count) {
    std::size_t end = 0;
    for (std::size_t seen = 0; end < text.size() && seen < count; ++seen)
        do
            ++end;
        while (end < text.size() && IsUtf8Continuation(text[end]));
    return text.substr(0, end);
}

} // namespace

std::optional<std::string_view> TextLines::Next() {
    if (rest_.empty()) return std::nullopt;
    const std::size_t end = rest_.find('\n');
    std::string_view line = rest_.substr(0, end);
    rest_.remove_prefix(end == std::string_view::npos ? rest_.size() : end + 1);
    if (line.ends_with('\r')) line.remove_suffix(1);
    ++number_;
    return line;
}

std::string ShortenedQuotes(std::string_view message) {
    std::string shortened;
    std::size_t at = 0;
    while (at < message.size()) {
        const std::size_t open = message.find('\'', at);
        const std::size_t close = open == std::string_view::npos ? open : message.find('\'', open + 1);
        if (close == std::string_view::npos) break;
        const std::string_view quoted = message.substr(open + 1, close - open - 1);
        const std::string_view kept = FirstCharacters(quoted, kLongestQuote);
        shortened.append(message.substr(at, open + 1 - at)).append(kept);
        if (kept.size() < quoted.size()) shortened.append(kEllipsis);
        shortened += '\'';
        at = close + 1;
    }
    return shortened.append(message.substr(at));
}

} // namespace vp7
