#include "storage/IniFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

namespace vp7 {
namespace {

namespace fs = std::filesystem;

// Expected texts are written with "\n" for readability; the file is saved with "\r\n".
std::string Crlf(std::string_view text) {
    std::string result;
    for (char c : text) result += (c == '\n') ? std::string("\r\n") : std::string(1, c);
    return result;
}

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(IniFileTest, ReadsValues) {
    const std::string text = "\xEF\xBB\xBF[Main]\nSpeed = 250 \nUrl=a=b=c\r\n/STRK=on\n"
                             "  Key With Blank  =\tx y\t\n; Hidden=1\n"
                             "[Other]\nOnly=o\n[main]\nLate=2\nSpeed=9\n";
    struct Case {
        const char* section;
        const char* key;
        const char* expected;
    } const cases[] = {
        {"MAIN", "speed", "250"},          {"Main", "Url", "a=b=c"},   {"main", "/strk", "on"},
        {"Main", "key with blank", "x y"}, {"Main", "Late", "2"},      {"Main", "Only", "def"},
        {"Main", "; Hidden", "def"},       {"Missing", "Speed", "def"}, {"Other", "only", "o"},
    };
    IniFile ini;
    ini.SetText(text);
    for (const Case& c : cases) {
        EXPECT_EQ(ini.ReadString(c.section, c.key, "def"), c.expected) << c.section << "/" << c.key;
    }
}

TEST(IniFileTest, WritesInPlaceOrAtEndOfSection) {
    const std::string base = "; head\n[A]\nOne = 1\n; note\nweird line\n\n[B]\nTwo=2\n";
    struct Case {
        std::string before;
        const char* section;
        const char* key;
        std::string expected;
    } const cases[] = {
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
    for (const Case& c : cases) {
        IniFile ini;
        ini.SetText(c.before);
        ini.WriteString(c.section, c.key, "x");
        EXPECT_EQ(ini.Text(), Crlf(c.expected)) << c.before;
        EXPECT_EQ(ini.ReadString(c.section, c.key, "def"), "x") << c.before;
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
            for (const char* s : sections) {
                for (const char* k : keys) ASSERT_EQ(ini.ReadString(s, k, "-"), fresh.ReadString(s, k, "-")) << s << "/" << k;
            }
        }
    }
}

class IniFileDiskTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("vp7_ini_" + std::to_string(std::random_device{}()));
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    void WriteFile(const fs::path& path, const std::string& bytes) {
        std::ofstream(path, std::ios::binary) << bytes;
    }

    fs::path dir_;
};

TEST_F(IniFileDiskTest, RoundTripsThroughDisk) {
    const fs::path path = dir_ / "settings.ini";
    WriteFile(path, "[Main]\nSpeed=1\n; keep\nOdd");
    IniFile ini(path.string());
    ASSERT_TRUE(ini.Load());
    ini.WriteString("main", "Speed", "2");
    ini.WriteString("Extra", "Key With Blank", "v");
    ASSERT_TRUE(ini.Save());
    EXPECT_EQ(ReadBytes(path), Crlf("[Main]\nSpeed=2\n; keep\nOdd\n\n[Extra]\nKey With Blank=v\n"));
    EXPECT_FALSE(fs::exists(path.string() + ".tmp"));

    IniFile again(path.string());
    ASSERT_TRUE(again.Load());
    EXPECT_EQ(again.ReadString("MAIN", "speed", "def"), "2");
    EXPECT_EQ(again.Text(), ini.Text());
}

TEST_F(IniFileDiskTest, LoadOfMissingFileOrFolderGivesEmptyContent) {
    for (const fs::path& path : {dir_ / "missing.ini", dir_}) {
        IniFile ini(path.string());
        ini.SetText("[A]\nk=1\n");
        EXPECT_FALSE(ini.Load()) << path;
        EXPECT_EQ(ini.Text(), "") << path;
    }
}

TEST_F(IniFileDiskTest, FailedSaveLeavesOldFileAndNoTemporary) {
    const fs::path missingFolder = dir_ / "nope" / "settings.ini";
    IniFile lost(missingFolder.string());
    lost.SetText("[A]\nk=1\n");
    EXPECT_FALSE(lost.Save());
    EXPECT_FALSE(fs::exists(dir_ / "nope"));

    // The temporary path is taken by a folder, so the new text cannot be written at all.
    const fs::path path = dir_ / "settings.ini";
    WriteFile(path, "old");
    fs::create_directory(path.string() + ".tmp");
    IniFile blocked(path.string());
    blocked.SetText("[A]\nk=1\n");
    EXPECT_FALSE(blocked.Save());
    EXPECT_EQ(ReadBytes(path), "old");
    EXPECT_TRUE(fs::is_directory(path.string() + ".tmp"));

    // The target is a non-empty folder, so the rename fails after the temporary was written.
    const fs::path folderTarget = dir_ / "folder.ini";
    fs::create_directories(folderTarget / "inside");
    IniFile onFolder(folderTarget.string());
    onFolder.SetText("[A]\nk=1\n");
    EXPECT_FALSE(onFolder.Save());
    EXPECT_TRUE(fs::is_directory(folderTarget / "inside"));
    EXPECT_FALSE(fs::exists(folderTarget.string() + ".tmp"));
}

} // namespace
} // namespace vp7
