// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The class's results as a spreadsheet opens them in the station's language: German with ';' between
// fields and decimal commas, English with ',' and points; UTF-8 behind a byte order mark, so that a
// spreadsheet reads umlauts right; fields quoted as RFC 4180 says, and lines ending in CR LF.
//
// A line a hand-in: when it was handed in, the room, seat and trainee, the exercise, its points and of
// how many, the minutes taken, whether the station verified it (or why not), then one column a check
// (1 or 0, the question's answer last) headed by the check's text. The checks differ from exercise to
// exercise, so a head line comes before the first line and again wherever the checks change; "verified"
// stands before the checks, so a hand-in that was not, and has no checks to show, keeps every column
// it has in its place.
#include "classroom/HandInVerifier.h"

#include <string>
#include <string_view>
#include <vector>

namespace vp7 {

inline constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

class ResultsSheet {
public:
    // `existing` is what the file holds already (a station opened again the same day): the head in force
    // is its last head line.
    ResultsSheet(bool german, std::string_view existing);

    // The text to add to the file for one hand-in; `handedIn` as "2026-12-09 14:05", local time.
    std::string Add(const std::string& handedIn, const HandInMessage& handIn, const HandInVerdict& verdict);

    // One line of fields, each quoted as it needs, with the separator of the language.
    std::string Line(const std::vector<std::string>& fields) const;
    std::vector<std::string> Head(const HandInVerdict& verdict) const;
    std::vector<std::string> Fields(const std::string& handedIn, const HandInMessage& handIn,
                                    const HandInVerdict& verdict) const;

private:
    bool german_;
    bool empty_;
    std::string head_; // the head line in force, without its line end
};

} // namespace vp7
