// SPDX-License-Identifier: GPL-3.0-or-later
// Each exercise the room sends a seat keeps a file of its own, named for a person by its title and
// kept apart by its hash: a later lesson's exercise never takes an earlier one's place, so `verify`
// on an earlier report still finds its exercise unchanged.
#include "session/exercise/KeptExercise.h"
#include "session/script/Runner.h"
#include "support/SimFixture.h"

#include <sstream>

namespace vp7 {
namespace {

namespace fs = std::filesystem;

constexpr char kLeak[] = "title \"Leck\" \"Leak search\"\nstart\ncheck Istwert > -1 \"a\" \"a\"\n";

TEST(KeptExercise, NamedByTitleAndHash) {
    const struct {
        std::string text;
        const char* name; // with HASH for the text's own first digits
    } cases[] = {
        {kLeak, "Leak_search-HASH.vp7x"},
        {"  title \"x\" \"a/../b c\xC3\xA4\"\nstart\n", "a____b_c__-HASH.vp7x"}, // nothing of a path
        {"title \"x\" \"" + std::string(100, 'L') + "\"\n",
         "LLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLL-HASH.vp7x"},
        {"start\n", "exercise-HASH.vp7x"},
        {"title \"only German\"\n", "exercise-HASH.vp7x"},
        {"titles \"a\" \"b\"\n", "exercise-HASH.vp7x"},
        {"title \"a\" \"unclosed\n", "exercise-HASH.vp7x"},
    };
    for (const auto& c : cases) {
        const std::string name = KeptExerciseName(c.text);
        const std::size_t at = name.rfind('-');
        ASSERT_NE(at, std::string::npos) << name;
        EXPECT_EQ(name.substr(0, at + 1) + "HASH.vp7x", c.name) << c.text;
        EXPECT_EQ(name.size() - at - 1, kKeptHashDigits + 5) << name;
    }
    // The same title, another text: another file.
    EXPECT_NE(KeptExerciseName(std::string(kLeak) + "# changed\n"), KeptExerciseName(kLeak));
}

using KeptExerciseRunner = test::SimFixture;

TEST_F(KeptExerciseRunner, TheRoomsExercisesAtASeatEachKeepTheirFile) {
    std::ostringstream out;
    Runner runner(out, dir.string());
    runner.Execute("start");
    const std::string second = std::string(kLeak) + "limit 60000\n";
    for (const std::string& text : {std::string(kLeak), second, std::string(kLeak)})
        runner.OpenExerciseText(text);
    for (const std::string& text : {std::string(kLeak), second}) {
        const fs::path kept = dir / "Classroom" / KeptExerciseName(text);
        ASSERT_TRUE(fs::exists(kept)) << kept;
        EXPECT_EQ(fs::file_size(kept), text.size());
    }
    EXPECT_EQ(runner.CurrentExercise().title.en, "Leak search");
}

} // namespace
} // namespace vp7
