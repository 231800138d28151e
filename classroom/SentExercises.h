// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the instructor's station sent each seat as its exercise, kept until the seat hands in: in memory,
// and as a small file per seat in the class folder, so that a station opened again the same day still
// verifies the hand-ins of exercises it started before. The files are the station's own, but a folder
// can be changed under it: each is read back bounded and checked whole, and one that is not what the
// station writes counts as nothing sent.
#include "classroom/HandInVerifier.h"

#include <map>
#include <optional>
#include <string>

namespace vp7 {

class SentExercises {
public:
    // `folder` empty: kept in memory only.
    explicit SentExercises(std::string folder);
    // What was sent to `seat` from now on; false when its file could not be written (kept in memory).
    bool Keep(const std::string& seat, SentExercise sent);
    // What was sent to `seat` last, by this station or an earlier one on the same folder.
    std::optional<SentExercise> For(const std::string& seat) const;
    // The file `seat`'s exercise is kept in.
    std::string FileFor(const std::string& seat) const;

private:
    std::string folder_;
    std::map<std::string, SentExercise> sent_;
};

} // namespace vp7
