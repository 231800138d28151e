// SPDX-License-Identifier: GPL-3.0-or-later
// How a seat meets its classroom: the settings section read back whatever it holds, and the password
// kept for the user's eyes only.
#include "classroom/ClassroomSettings.h"

#include "formats/IniFile.h"
#include "support/FolderFixture.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sys/stat.h>

namespace vp7 {
namespace {

TEST(ClassroomSettings, TheSectionReadsBackAndDamageGivesTheDefaults) {
    IniFile ini;
    ClassroomSettings chosen;
    chosen.host = "broker.school";
    chosen.port = 18830;
    chosen.tls = true;
    chosen.room = "B12";
    chosen.seat = "seat-3";
    chosen.user = "seat-3";
    chosen.rememberPassword = true;
    chosen.trainee = "Jörg Müller";
    chosen.keepLessonDays = 30;
    chosen.Write(ini);
    ClassroomSettings read;
    read.Read(ini);
    EXPECT_EQ(read.host, "broker.school");
    EXPECT_EQ(read.port, 18830);
    EXPECT_TRUE(read.tls && read.rememberPassword);
    EXPECT_EQ(read.room + read.seat + read.user, "B12seat-3seat-3");
    EXPECT_EQ(read.trainee, "Jörg Müller");
    EXPECT_EQ(read.keepLessonDays, 30);

    ini.WriteString("Classroom", "Port", "99999");
    ini.WriteString("Classroom", "Room", "a/b");
    ini.WriteString("Classroom", "Host", "");
    ini.WriteString("Classroom", "Trainee", "Jörg\tMüller"); // a hand-in's name is one plain line
    ini.WriteString("Classroom", "KeepLessonDays", "0");
    read.Read(ini);
    EXPECT_EQ(read.trainee, "");
    EXPECT_EQ(read.keepLessonDays, kDefaultKeepLessonDays);
    EXPECT_EQ(read.port, ClassroomSettings::kDefaultTlsPort);
    EXPECT_EQ(read.room, "");
    EXPECT_EQ(read.host, "127.0.0.1");
    IniFile empty;
    read.Read(empty);
    EXPECT_EQ(read.port, ClassroomSettings::kDefaultPort);
    EXPECT_FALSE(read.tls);
}

struct ClassroomPassword : test::FolderFixture {};

TEST_F(ClassroomPassword, IsKeptForTheUserAloneAndNotReadWhenOthersMayRead) {
    const std::string path = (dir / "classroom.pass").string();
    ASSERT_TRUE(KeepPassword(path, "s3cret"));
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_EQ(KeptPassword(path), "s3cret");
    ::chmod(path.c_str(), 0644);
    EXPECT_EQ(KeptPassword(path), std::nullopt);
    EXPECT_EQ(KeptPassword((dir / "none").string()), std::nullopt);
    EXPECT_FALSE(KeepPassword((dir / "no-folder" / "p").string(), "x"));
}

} // namespace
} // namespace vp7
