// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The instructor's history across lessons: a folder of the program's own in the user's documents
// (ROOT), a folder a room in it and one a lesson in that, named by the lesson's date: ROOT/ROOM/DATE,
// DATE as 2026-12-09. Each is the instructor's alone (0700): the reports name trainees. After the days
// the instructor keeps them, a lesson's folder is deleted whole; nothing else under ROOT ever is.
#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vp7 {

inline constexpr const char* kLessonsFolderName = "VP7 Classroom";
inline constexpr int kDefaultKeepLessonDays = 365;
inline constexpr int kLongestKeepLessonDays = 100 * 366;

// The date a lesson's folder is named by, or none for a name that is no date.
std::optional<std::chrono::year_month_day> LessonDate(std::string_view name);
std::string LessonFolderName(std::chrono::year_month_day date);

// ROOT/ROOM/DATE made where missing and closed to everyone but the user, every level; none, and why
// in `why`, when it cannot be.
std::optional<std::filesystem::path> MakeLessonFolder(const std::filesystem::path& root,
                                                      const std::string& room,
                                                      std::chrono::year_month_day date, std::string& why);

// Deletes each lesson's folder under `root` dated more than `keepDays` days before `today`: a folder
// ROOT/ROOM/DATE, ROOM a room's name and DATE a date; what is a link, no folder or otherwise named is
// left alone. A line for each lesson deleted, and for each that could not be.
std::vector<std::string> DeleteOldLessons(const std::filesystem::path& root,
                                          std::chrono::year_month_day today, int keepDays);

} // namespace vp7
