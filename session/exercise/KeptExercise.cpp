// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/exercise/KeptExercise.h"

#include "platform/Sha256.h"
#include "session/language/ScriptWords.h"

#include <optional>

namespace vp7 {
namespace {

constexpr std::string_view kTitleCommand = "title";
constexpr std::size_t kGermanWord = 0;
constexpr std::size_t kEnglishWord = 1;

std::string FileSafe(std::string_view title) {
    std::string safe;
    for (const char c : title) {
        if (safe.size() == kKeptTitleBytes) break;
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                           c == '-' || c == '_';
        safe += plain ? c : '_';
    }
    return safe;
}

} // namespace

std::optional<BilingualText> ExerciseTitleOf(std::string_view text) {
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = Trimmed(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!line.starts_with(kTitleCommand) || line.size() == kTitleCommand.size() ||
            (line[kTitleCommand.size()] != ' ' && line[kTitleCommand.size()] != '\t'))
            continue;
        const auto words = SplitWords(line.substr(kTitleCommand.size()));
        if (words && words->size() > kEnglishWord)
            return BilingualText{(*words)[kGermanWord].text, (*words)[kEnglishWord].text};
        return std::nullopt;
    }
    return std::nullopt;
}

std::string KeptExerciseName(std::string_view text) {
    const auto titles = ExerciseTitleOf(text);
    std::string title = FileSafe(titles ? titles->en : "");
    if (title.empty()) title = "exercise";
    return title + '-' + Sha256Hex(text).substr(0, kKeptHashDigits) + ".vp7x";
}

} // namespace vp7
