// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The lines of a script, a recording or a saved state one at a time, as views into its text: a file of
// millions of short lines costs no more memory than the file itself, and a damaged line is named by
// its number before anything copies it.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace vp7 {

// A line the program writes is a few dozen characters; one longer than this is damage.
inline constexpr std::size_t kLongestScriptLine = 64u << 10;

class TextLines {
public:
    explicit TextLines(std::string_view text) : rest_(text) {}
    // The next line without its line end (LF or CR LF); nothing after the last one.
    std::optional<std::string_view> Next();
    // The number of the line Next() gave last, from 1.
    int Number() const { return number_; }

private:
    std::string_view rest_;
    int number_ = 0;
};

// The message with every quoted part ('…') of more than a readable length cut to it and marked "…",
// so a message that quotes a damaged line still fits on the screen.
std::string ShortenedQuotes(std::string_view message);

} // namespace vp7
