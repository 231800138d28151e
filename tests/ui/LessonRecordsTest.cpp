// SPDX-License-Identifier: GPL-3.0-or-later
// What the instructor keeps of a lesson: the results as a spreadsheet of the station's language, the
// station's report of a hand-in in it, and the lessons' folders, deleted after the days they are kept.
#include "classroom/LessonFolders.h"
#include "classroom/ResultsSheet.h"
#include "classroom/StationReport.h"
#include "support/Bytes.h"
#include "support/FolderFixture.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace vp7;
namespace fs = std::filesystem;

namespace {

HandInVerdict Verified(BilingualText title, std::vector<ReplayedWork::Check> checks, bool withQuestion,
                       int64_t takenMs) {
    HandInVerdict verdict;
    ReplayedWork work{std::move(title), std::move(checks), takenMs, {}, {}, withQuestion};
    SeatHandIn replayed{work.exercise.en, {}, {}, 0, 0, {}};
    for (const ReplayedWork::Check& check : work.checks) {
        replayed.checks.push_back({check.text.en, check.passed});
        replayed.passed += check.passed;
    }
    if (withQuestion) {
        work.question = BilingualText{"Welches Ventil?", "Which valve?"};
        work.answer = BilingualText{"Zuluft", "Supply"};
        replayed.question = true;
        ++replayed.passed;
    }
    replayed.total = static_cast<int>(work.checks.size()) + withQuestion;
    verdict.replayed = replayed;
    verdict.work = work;
    return verdict;
}

struct Handed {
    std::string when;
    HandInMessage handIn;
    HandInVerdict verdict;
};

std::vector<Handed> Lesson() {
    const std::vector<ReplayedWork::Check> leakChecks{{{"Leck gefunden", "Leak found"}, true, "1"},
                                                      {{"Hub 40 %", "Stroke 40 %"}, false, "37,5"}};
    HandInMessage anna{"seat01", "r1", "1", {}, "Jörg \"Jo\" Müller"};
    HandInMessage ben{"seat02", "r1", "2", {}, ""}; // an older seat: no name
    ben.result.exercise = "=cmd|' /C calc'!A0";
    HandInMessage cem{"seat03", "r1", "3", {}, "Cem; B."};
    HandInVerdict refused;
    refused.refusal = "the hand-in carries no recording";
    return {
        {"2026-12-09 14:05", anna,
         Verified({"Leck \"A\";\nTeil 1", "Leak \"A\";\npart 1"}, leakChecks, true, 754'000)},
        {"2026-12-09 14:06", ben, refused},
        {"2026-12-09 14:07", cem,
         Verified({"Hub, Teil 2", "Stroke, part 2"}, {{{"Zu", "Closed"}, true, ""}}, false, 59'999)},
    };
}

} // namespace

// One lesson's hand-ins make the same file in both languages but for the separators, decimal signs
// and texts; a head comes first and again where the checks change, and a station opened again the
// same day goes on under the head in force.
TEST(ResultsSheet, WritesTheLessonAsASpreadsheetOfTheLanguageReads) {
    const struct {
        bool german;
        std::string file;
    } languages[] = {
        {true,
         "\xEF\xBB\xBF"
         "Datum;Raum;Platz;Name;Übung;Punkte;von;Minuten;Geprüft;Leck gefunden;Hub 40 %;Welches Ventil?\r\n"
         "2026-12-09 14:05;r1;seat01;\"Jörg \"\"Jo\"\" Müller\";\"Leck \"\"A\"\";\nTeil "
         "1\";2;3;12,6;ja;1;0;1\r\n"
         "2026-12-09 14:06;r1;seat02;;'=cmd|' /C calc'!A0;;;;nein: the hand-in carries no recording\r\n"
         "Datum;Raum;Platz;Name;Übung;Punkte;von;Minuten;Geprüft;Zu\r\n"
         "2026-12-09 14:07;r1;seat03;\"Cem; B.\";Hub, Teil 2;1;1;1,0;ja;1\r\n"},
        {false,
         "\xEF\xBB\xBF"
         "Date,Room,Seat,Trainee,Exercise,Points,Of,Minutes,Verified,Leak found,Stroke 40 %,Which valve?\r\n"
         "2026-12-09 14:05,r1,seat01,\"Jörg \"\"Jo\"\" Müller\",\"Leak \"\"A\"\";\npart "
         "1\",2,3,12.6,yes,1,0,1\r\n"
         "2026-12-09 14:06,r1,seat02,,'=cmd|' /C calc'!A0,,,,no: the hand-in carries no recording\r\n"
         "Date,Room,Seat,Trainee,Exercise,Points,Of,Minutes,Verified,Closed\r\n"
         "2026-12-09 14:07,r1,seat03,Cem; B.,\"Stroke, part 2\",1,1,1.0,yes,1\r\n"},
    };
    const std::vector<Handed> lesson = Lesson();
    for (const auto& language : languages) {
        ResultsSheet sheet(language.german, "");
        std::string file;
        for (const Handed& h : lesson)
            file += sheet.Add(h.when, h.handIn, h.verdict);
        EXPECT_EQ(file, language.file) << language.german;

        // Opened again: the last exercise's hand-in goes under its head, the first one's brings its own.
        ResultsSheet again(language.german, file);
        const std::string more = again.Add(lesson[2].when, lesson[2].handIn, lesson[2].verdict);
        EXPECT_EQ(more.find("Geprüft"), std::string::npos) << more;
        EXPECT_EQ(more.find("Verified"), std::string::npos) << more;
        const std::string first = again.Add(lesson[0].when, lesson[0].handIn, lesson[0].verdict);
        EXPECT_TRUE(first.starts_with(language.german ? "Datum;" : "Date,")) << first;
    }
}

TEST(StationReport, SaysWhatTheReplayFoundInTheStationsLanguage) {
    const std::vector<Handed> lesson = Lesson();
    const struct {
        bool german;
        const Handed& handed;
        std::vector<std::string> says;
    } reports[] = {
        {true,
         lesson[0],
         {"<html lang=\"de\">", "Leck &quot;A&quot;", "Jörg &quot;Jo&quot; Müller", "Benötigte Zeit", "12:34",
          "Leck gefunden", "37,5", "&#10008; nicht bestanden", "Welches Ventil?", "Antwort: Zuluft", "2 / 3",
          "2026-12-09 14:05"}},
        {false,
         lesson[0],
         {"<html lang=\"en\">", "Leak &quot;A&quot;", "Time taken", "12:34", "Stroke 40 %", "Value found",
          "&#10004; passed", "Answer: Supply", "2 / 3"}},
        {true, lesson[1], {"nicht angegeben", "nicht geprüft", "the hand-in carries no recording", "seat02"}},
        {false, lesson[1], {"not given", "not verified", "the hand-in carries no recording", "Handed in"}},
    };
    for (const auto& report : reports) {
        const std::string html =
            StationReportHtml(report.handed.handIn, report.handed.verdict, report.handed.when, report.german);
        for (const std::string& text : report.says)
            EXPECT_NE(html.find(text), std::string::npos) << text << " in\n" << html;
    }
}

struct LessonFolders : test::FolderFixture {};
enum class Entry { Folder, File, Link };

// Exactly the lessons' folders past the days kept go; what is no lesson's stays whatever its date.
TEST_F(LessonFolders, RetentionDeletesOnlyTheLessonsPastThePeriod) {
    const auto today =
        std::chrono::year_month_day{std::chrono::year(2026), std::chrono::December, std::chrono::day(9)};
    const fs::path root = dir / kLessonsFolderName;
    const fs::path outside = dir / "outside";
    fs::create_directories(outside / "2019-01-01");
    const struct {
        std::string path;
        Entry kind;
        bool deleted;
    } entries[] = {
        {"r1/2026-12-09", Entry::Folder, false},
        {"r1/2025-12-09", Entry::Folder, false}, // 365 days: still kept
        {"r1/2025-12-08", Entry::Folder, true},
        {"r2/2020-01-01", Entry::Folder, true},
        {"r1/notes", Entry::Folder, false},
        {"r1/2025-02-30", Entry::Folder, false}, // no date
        {"r1/2025-1-01", Entry::Folder, false},
        {"r1/2020-01-02", Entry::File, false},
        {"r1/2020-01-03", Entry::Link, false},
        {"not a room/2020-01-01", Entry::Folder, false},
        {"2020-01-04", Entry::Folder, false}, // a room's place, not a lesson's
    };
    for (const auto& e : entries) {
        const fs::path path = root / e.path;
        fs::create_directories(path.parent_path());
        if (e.kind == Entry::Folder) fs::create_directories(path / "sent");
        if (e.kind == Entry::Folder) test::WriteBytes(path / "results.csv", "x");
        if (e.kind == Entry::File) test::WriteBytes(path, "x");
        if (e.kind == Entry::Link) fs::create_directory_symlink(outside, path);
    }
    const std::vector<std::string> lines = DeleteOldLessons(root, today, kDefaultKeepLessonDays);
    EXPECT_EQ(lines, (std::vector<std::string>{"deleted the lesson r1/2025-12-08, older than 365 days",
                                               "deleted the lesson r2/2020-01-01, older than 365 days"}));
    for (const auto& e : entries)
        EXPECT_EQ(fs::exists(fs::symlink_status(root / e.path)), !e.deleted) << e.path;
    EXPECT_TRUE(fs::exists(outside / "2019-01-01"));

    std::string why;
    const auto lesson = MakeLessonFolder(root, "r3", today, why);
    ASSERT_TRUE(lesson) << why;
    EXPECT_EQ(*lesson, root / "r3" / "2026-12-09");
    for (const fs::path& level : {root, root / "r3", *lesson}) {
        struct stat info {};
        ASSERT_EQ(::stat(level.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0700u) << level;
    }
    EXPECT_FALSE(MakeLessonFolder(root, "../up", today, why));
}
