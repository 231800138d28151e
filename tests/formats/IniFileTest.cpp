// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/IniFile.h"

#include "support/Bytes.h"
#include "support/FolderFixture.h"

#include <random>
#include <regex>
#include <string>
#include <tuple>

namespace vp7 {
namespace {

namespace fs = std::filesystem;

// Expected texts are written with "\n" for readability; the file is saved with "\r\n".
std::string Crlf(const std::string& text) {
    return std::regex_replace(text, std::regex("\n"), "\r\n");
}

TEST(IniFileTest, ReadsValues) {
    const std::string text = "\xEF\xBB\xBF[Main]\nSpeed = 250 \nUrl=a=b=c\r\n/STRK=on\n"
                             "  Key With Blank  =\tx y\t\n; Hidden=1\n"
                             "[Other]\nOnly=o\n[main]\nLate=2\nSpeed=9\n";
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"MAIN", "speed", "250"},          {"Main", "Url", "a=b=c"},    {"main", "/strk", "on"},
        {"Main", "key with blank", "x y"}, {"Main", "Late", "2"},       {"Main", "Only", "def"},
        {"Main", "; Hidden", "def"},       {"Missing", "Speed", "def"}, {"Other", "only", "o"},
    };
    IniFile ini;
    ini.SetText(text);
    for (const auto& [section, key, expected] : cases)
        EXPECT_EQ(ini.ReadString(section, key, "def"), expected) << section << "/" << key;
}

TEST(IniFileTest, WritesInPlaceOrAtEndOfSection) {
    const std::string base = "; head\n[A]\nOne = 1\n; note\nweird line\n\n[B]\nTwo=2\n";
    // The text before, the section and key written; the text after.
    const std::tuple<std::string, const char*, const char*, std::string> cases[] = {
        {base, "a", "ONE", "; head\n[A]\nONE=x\n; note\nweird line\n\n[B]\nTwo=2\n"},
        {base, "A", "New", "; head\n[A]\nOne = 1\nNew=x\n; note\nweird line\n\n[B]\nTwo=2\n"},
        {base, "b", "New", "; head\n[A]\nOne = 1\n; note\nweird line\n\n[B]\nTwo=2\nNew=x\n"},
        {base, "C", "K", base + "\n[C]\nK=x\n"},
        {"[A]\nk=1\n\n", "C", "K", "[A]\nk=1\n\n[C]\nK=x\n"},
        {"", "C", "K", "[C]\nK=x\n"},
        {"[A]\n; only a comment\n\n[B]\n", "A", "K", "[A]\nK=x\n; only a comment\n\n[B]\n"},
        // A repeated section: an existing key is replaced where it is, a new one goes to the first.
        {"[A]\na=1\n[B]\n[A]\nb=2\n", "A", "b", "[A]\na=1\n[B]\n[A]\nb=x\n"},
        {"[A]\na=1\n[B]\n[A]\nb=2\n", "A", "c", "[A]\na=1\nc=x\n[B]\n[A]\nb=2\n"},
    };
    for (const auto& [before, section, key, expected] : cases) {
        IniFile ini;
        ini.SetText(before);
        ini.WriteString(section, key, "x");
        EXPECT_EQ(ini.Text(), Crlf(expected)) << before;
        EXPECT_EQ(ini.ReadString(section, key, "def"), "x") << before;
    }
}

TEST(IniFileTest, KeepsGarbageLines) {
    std::string garbage = "x=outside\n[Unclosed\n";
    garbage += std::string("nul\0byte=1", 10) + "\n" + std::string(100000, 'z') + "\n";
    garbage += "[S]\n\x01\xFF\xFE=\xC3\n";
    IniFile ini;
    ini.SetText(garbage);
    EXPECT_EQ(ini.Text(), Crlf(garbage));
    EXPECT_EQ(ini.ReadString("", "x", "def"), "def");
    EXPECT_EQ(ini.ReadString("Unclosed", "nul", "def"), "def");
    EXPECT_EQ(ini.ReadString("S", "\x01\xFF\xFE", "def"), "\xC3");
    ini.WriteString("S", "k", "line\nbreak");
    EXPECT_EQ(ini.ReadString("S", "k", "def"), "line break");
}

// Many writes to one file land exactly where each would land in a freshly read copy of it, odd
// names (case, blanks, "=", ";", brackets, line breaks) included.
TEST(IniFileTest, RepeatedWritesMatchFreshlyReadCopies) {
    const char* const sections[] = {"A", "a", "B", "F", "G", " C ", "[D]", "E]x"};
    const char* const keys[] = {"k", "K", "n1", "n2", "n3", " s ", "x=y", ";c", "[h]", "l\nb", ""};
    for (unsigned seed = 1; seed <= 20; ++seed) {
        std::mt19937 random(seed);
        // Mostly plain names, now and then an odd one.
        const auto pick = [&](const auto& names, size_t plain) {
            return names[random() % 5 ? random() % plain : random() % std::size(names)];
        };
        IniFile ini;
        ini.SetText("[A]\nk=0\n; note\n\n[B]\n[a]\nn1=1\n");
        for (int step = 0; step < 100; ++step) {
            const char* section = pick(sections, 5);
            const char* key = pick(keys, 5);
            IniFile fresh;
            fresh.SetText(ini.Text());
            const std::string value = std::to_string(step);
            fresh.WriteString(section, key, value);
            ini.WriteString(section, key, value);
            ASSERT_EQ(ini.Text(), fresh.Text()) << "seed " << seed << " step " << step;
            for (const char* s : sections)
                for (const char* k : keys)
                    ASSERT_EQ(ini.ReadString(s, k, "-"), fresh.ReadString(s, k, "-")) << s << "/" << k;
        }
    }
}

// On disk: the text comes back as saved, through a temporary file that does not stay; a save that
// fails leaves the old file and makes no folder; nothing that is not its own is removed. Files that
// cannot be read are FileSafetyTest's.
using IniFileOnDisk = vp7::test::FolderFixture;

TEST_F(IniFileOnDisk, SavesWholeFilesOrNothing) {
    const fs::path path = dir / "settings.ini";
    std::ofstream(path, std::ios::binary) << "[Main]\nSpeed=1\n; keep\nOdd";
    IniFile ini(path.string());
    ASSERT_TRUE(ini.Load());
    ini.WriteString("main", "Speed", "2");
    ASSERT_TRUE(ini.Save());
    const std::string saved = Crlf("[Main]\nSpeed=2\n; keep\nOdd\n");
    EXPECT_EQ(vp7::test::Bytes(path), saved);
    EXPECT_FALSE(fs::exists(path.string() + ".tmp"));

    EXPECT_FALSE(IniFile((dir / "nope" / "settings.ini").string()).Save());
    EXPECT_FALSE(fs::exists(dir / "nope"));
    // Whatever lies where a temporary file might go is not the save's: it stays, and the save goes on.
    fs::create_directory(path.string() + ".tmp");
    ini.WriteString("Main", "Speed", "3");
    EXPECT_TRUE(ini.Save());
    EXPECT_EQ(vp7::test::Bytes(path), Crlf("[Main]\nSpeed=3\n; keep\nOdd\n"));
    EXPECT_TRUE(fs::is_directory(path.string() + ".tmp"));

    // A link stays a link: the file it points to is the one replaced.
    vp7::test::WriteBytes(dir / "target.ini", "old");
    fs::create_symlink(dir / "target.ini", dir / "link.ini");
    IniFile linked((dir / "link.ini").string());
    linked.SetText("k=1");
    ASSERT_TRUE(linked.Save());
    EXPECT_TRUE(fs::is_symlink(dir / "link.ini"));
    EXPECT_EQ(vp7::test::Bytes(dir / "target.ini"), "k=1\r\n");
}

} // namespace
} // namespace vp7
