// SPDX-License-Identifier: GPL-3.0-or-later
#include "classroom/LessonFolders.h"

#include "classroom/RoomNames.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>

namespace vp7 {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono;

constexpr size_t kDateLength = 10; // 2026-12-09

std::optional<int> Digits(std::string_view text) {
    if (text.empty() ||
        !std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); }))
        return std::nullopt;
    int value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

bool IsRealFolder(const fs::path& path) {
    std::error_code ec;
    return fs::symlink_status(path, ec).type() == fs::file_type::directory;
}

} // namespace

std::optional<year_month_day> LessonDate(std::string_view name) {
    if (name.size() != kDateLength || name[4] != '-' || name[7] != '-') return std::nullopt;
    const auto y = Digits(name.substr(0, 4)), m = Digits(name.substr(5, 2)), d = Digits(name.substr(8, 2));
    if (!y || !m || !d) return std::nullopt;
    const year_month_day date{year(*y), month(static_cast<unsigned>(*m)), day(static_cast<unsigned>(*d))};
    if (!date.ok()) return std::nullopt;
    return date;
}

std::string LessonFolderName(year_month_day date) {
    char text[32]; // room for any year the type holds, though a lesson's has four digits
    std::snprintf(text, sizeof text, "%04d-%02u-%02u", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
    return text;
}

std::optional<fs::path> MakeLessonFolder(const fs::path& root, const std::string& room, year_month_day date,
                                         std::string& why) {
    if (const auto problem = RoomNameProblem("room", room)) {
        why = *problem;
        return std::nullopt;
    }
    const fs::path lesson = root / room / LessonFolderName(date);
    std::error_code ec;
    fs::create_directories(lesson, ec);
    for (const fs::path& level : {root, root / room, lesson})
        if (!ec && IsRealFolder(level))
            fs::permissions(level, fs::perms::owner_all, fs::perm_options::replace, ec);
    if (ec || !IsRealFolder(lesson)) {
        why = "cannot make " + lesson.string() + (ec ? ": " + ec.message() : std::string());
        return std::nullopt;
    }
    return lesson;
}

std::vector<std::string> DeleteOldLessons(const fs::path& root, year_month_day today, int keepDays) {
    std::vector<std::string> lines;
    const sys_days oldestKept = sys_days(today) - days(std::max(0, keepDays));
    std::error_code ec;
    if (!IsRealFolder(root)) return lines;
    std::vector<fs::path> old;
    for (const fs::directory_entry& room : fs::directory_iterator(root, ec)) {
        if (!IsRealFolder(room.path()) || RoomNameProblem("room", room.path().filename().string())) continue;
        std::error_code inRoom;
        for (const fs::directory_entry& lesson : fs::directory_iterator(room.path(), inRoom)) {
            const auto date = LessonDate(lesson.path().filename().string());
            if (date && IsRealFolder(lesson.path()) && sys_days(*date) < oldestKept)
                old.push_back(lesson.path());
        }
    }
    std::sort(old.begin(), old.end());
    for (const fs::path& lesson : old) {
        const std::string name = lesson.parent_path().filename().string() + '/' + lesson.filename().string();
        std::error_code removing;
        fs::remove_all(lesson, removing);
        lines.push_back(removing ? "cannot delete the lesson " + name + ": " + removing.message()
                                 : "deleted the lesson " + name + ", older than " + std::to_string(keepDays) +
                                       " days");
    }
    return lines;
}

} // namespace vp7
