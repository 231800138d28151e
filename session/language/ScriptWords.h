// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How the scenario language reads the words of a line: the two kinds of error a line can end in,
// whole numbers, points on the device picture and quoted texts among plain words.
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace vp7 {

// A bad command or argument: the script stops with exit status 2.
struct ScriptError : std::runtime_error {
    using std::runtime_error::runtime_error;
};
// The command was right but could not be carried out (a file not written): exit status 1.
struct RunFailure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// What is wrong with a script read whole before it runs, and on which line (1-based).
struct ScriptProblem {
    int line;
    std::string reason;
};

// A whole number; ScriptError "bad WHAT 'WORD'" otherwise.
int ToInt(const std::string& word, const char* what);

struct PicturePoint {
    int x, y;
};
// A point on the device picture; ScriptError when it lies outside.
PicturePoint ToPicturePoint(const std::string& x, const std::string& y);

// The device keys' words (`press`, `release`) in key order: mode, decrease, increase.
inline constexpr std::string_view kKeyWords[3] = {"mode", "dec", "inc"};

// The text without the blanks and tabs at its ends.
std::string_view Trimmed(std::string_view text);

// Up to `most` of `names` within a few edits of `word` (a third of its length, one at least), nearest
// first, in their order among equals. Letter case is no edit, two swapped neighbours are one; a name of
// several words is measured by its last one, so "param YFCT" answers "YFTC". A word longer than
// kLongestSuggestedWord gets none, at once.
inline constexpr size_t kLongestSuggestedWord = 64;
std::vector<std::string> NearestNames(std::string_view word, const std::vector<std::string>& names,
                                      size_t most = 3);

// One word of a line: a plain word, or a text in double quotes (unquoted here) that may hold blanks.
struct ScriptWord {
    std::string text;
    bool quoted = false;
    size_t begin = 0; // where it starts in the line
};
// The words of `line`; nothing when a quoted text is malformed or not closed.
std::optional<std::vector<ScriptWord>> SplitWords(std::string_view line);

} // namespace vp7
