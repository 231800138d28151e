// SPDX-License-Identifier: GPL-3.0-or-later
// What the station sent each seat outlives the station: a station opened again on the same folder finds
// each seat's exercise and seed, and a file that is not one the station wrote counts as nothing sent.
#include "classroom/SentExercises.h"
#include "support/Bytes.h"
#include "support/FolderFixture.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace vp7 {
namespace {

namespace fs = std::filesystem;

struct SentExercisesTest : test::FolderFixture {};

constexpr const char* kText = "title \"A\" \"A\"\nstart\ncheck Mode <= 1 \"x\" \"x\"\n";

TEST_F(SentExercisesTest, EachSeatsExerciseIsReadBackByTheNextStation) {
    const fs::path folder = dir / "class" / "sent";
    {
        SentExercises station(folder.string());
        ASSERT_TRUE(station.Keep("anna", {kText, 18'446'744'073'709'551'615u}));
        ASSERT_TRUE(station.Keep("../ben", {"other", 7}));
        ASSERT_TRUE(station.Keep("anna", {kText, 5})); // a later exercise takes the earlier one's place
    }
    const SentExercises again(folder.string());
    const auto anna = again.For("anna");
    ASSERT_TRUE(anna);
    EXPECT_EQ(anna->text, kText);
    EXPECT_EQ(anna->seed, 5u);
    ASSERT_TRUE(again.For("../ben"));
    EXPECT_EQ(again.For("../ben")->seed, 7u);
    EXPECT_EQ(fs::path(again.FileFor("../ben")).parent_path(), folder); // the seat's name names no path
    EXPECT_FALSE(again.For("cem"));
    EXPECT_FALSE(SentExercises("").For("anna")); // in memory only, and a new one has nothing
}

TEST_F(SentExercisesTest, AFileTheStationDidNotWriteIsNothingSent) {
    const fs::path folder = dir / "sent";
    const SentExercises station(folder.string());
    const std::string file = station.FileFor("anna");
    fs::create_directories(folder);
    const struct {
        const char* what;
        std::string bytes;
    } rows[] = {
        {"no seed line", std::string(kText)},
        {"a seed that is no number", "seed 12x\n" + std::string(kText)},
        {"a seed over 64 bits", "seed 18446744073709551616\n" + std::string(kText)},
        {"a negative seed", "seed -1\n" + std::string(kText)},
        {"no exercise after the seed", "seed 1\n"},
        {"a seed line without its end", "seed 1"},
        {"far larger than any exercise", "seed 1\n" + std::string(2u << 20, 'x')},
    };
    for (const auto& row : rows) {
        test::WriteBytes(file, row.bytes);
        EXPECT_FALSE(station.For("anna")) << row.what;
    }
    fs::remove(file);
    ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
    EXPECT_FALSE(station.For("anna")) << "a pipe is read without waiting";
}

} // namespace
} // namespace vp7
