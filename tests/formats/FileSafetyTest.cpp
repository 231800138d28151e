// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/FileFixture.h"

#include "formats/AtomicFile.h"
#include "platform/BmpFile.h"

#include <algorithm>
#include <functional>
#include <grp.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace vp7;
using vp7::test::Bytes;
using vp7::test::WriteBytes;
namespace fs = std::filesystem;

namespace {

// Root passes every permission check, so what an ordinary user may not do runs directly only when the
// tests already run as one, else in a forked child as "nobody" that owns `dir`; expectations that fail
// in the child fail the test.
void AsOrdinaryUser(const fs::path& dir, const std::function<void()>& body) {
    if (::geteuid() != 0) return body();
    constexpr uid_t kNobody = 65534;
    if (::lchown(dir.c_str(), kNobody, kNobody) != 0) ADD_FAILURE() << "chown " << dir;
    for (const auto& entry : fs::recursive_directory_iterator(dir))
        if (::lchown(entry.path().c_str(), kNobody, kNobody) != 0) ADD_FAILURE() << "chown " << entry.path();
    const pid_t child = ::fork();
    ASSERT_GE(child, 0) << "fork";
    if (child == 0) {
        const bool dropped = ::setgroups(0, nullptr) == 0 && ::setgid(kNobody) == 0 && ::setuid(kNobody) == 0;
        if (!dropped) ::_exit(3);
        body();
        ::_exit(::testing::Test::HasFailure() ? 1 : 0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status)) << "the child died";
    ASSERT_NE(WEXITSTATUS(status), 3) << "could not drop to an ordinary user";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "an expectation failed as an ordinary user (see above)";
}

std::string Head(const fs::path& path, size_t n) {
    std::string bytes(n, '\0');
    std::ifstream(path, std::ios::binary).read(bytes.data(), static_cast<std::streamsize>(n));
    return bytes;
}

// What a user can leave where the program expects one of its files, made from that file's good bytes.
struct Condition {
    const char* what;
    bool unread; // the program cannot read it, so a settings file there must survive the close
    void (*make)(const fs::path& path, const std::string& good);
};
const Condition kConditions[] = {
    {"missing", false, [](const fs::path&, const std::string&) {}},
    {"a folder", true, [](const fs::path& p, const std::string&) { fs::create_directory(p); }},
    {"no read permission", true,
     [](const fs::path& p, const std::string& good) {
         WriteBytes(p, good);
         fs::permissions(p, fs::perms::owner_write);
     }},
    {"a pipe", true, [](const fs::path& p, const std::string&) { ::mkfifo(p.c_str(), 0644); }},
    {"3 GB", true,
     [](const fs::path& p, const std::string& good) {
         WriteBytes(p, good);
         fs::resize_file(p, std::uintmax_t{3} << 30); // sparse: no disk is used
     }},
    {"empty", false, [](const fs::path& p, const std::string&) { WriteBytes(p, ""); }},
    {"one byte short", false,
     [](const fs::path& p, const std::string& good) { WriteBytes(p, good.substr(0, good.size() - 1)); }},
    {"one byte long", false, [](const fs::path& p, const std::string& good) { WriteBytes(p, good + '\n'); }},
};

using FileSafety = vp7::test::FileFixture;

} // namespace

// Each condition through the real load paths: a configuration file from the "Datei" menu, the splash
// picture and the settings file at start. None may end the program, hang or lose the user's file.
TEST_F(FileSafety, EveryFileConditionFailsSoftly) {
    const std::string goodConfig = Bytes(SaveConfig());
    const std::string goodIni = "[Config]\r\nSprache=Deutsch\r\n[Mine]\r\nkept=1\r\n";
    Picture splash(800, 300);
    WriteBmp((dir / "splash.bmp").string(), splash);
    const std::string goodBmp = Bytes(dir / "splash.bmp");

    AsOrdinaryUser(dir, [&] {
        for (const Condition& c : kConditions) {
            SCOPED_TRACE(c.what);
            fs::remove_all(dir / "Config");
            fs::create_directories(dir / "Config");
            fs::remove_all(dir / "Opening.bmp");
            c.make(Ini(), goodIni);
            c.make(dir / "Opening.bmp", goodBmp);
            const bool read = !c.unread && fs::exists(Ini()) && fs::file_size(Ini()) > 0;
            Restart();
            EXPECT_EQ(S().SplashDone, 1) << "the start-up went on without a splash";
            EXPECT_EQ(S().Language, read ? Language::German : Language::English)
                << "a cut or lengthened file is read; anything else starts with the defaults";

            const fs::path config = dir / "Data" / "picked.vp7";
            fs::remove_all(config);
            c.make(config, goodConfig);
            Param("DEBA", 33);
            const size_t before = host.Messages().size();
            LoadConfig(config.string());
            EXPECT_EQ(host.Messages().size(), before + 1);
            EXPECT_EQ(LastMessage(), S().Text("Fehler in der VP7-Konfigurationsdatei",
                                              "Error in the VP7 configuration file"));
            EXPECT_EQ(ParamValue("DEBA"), 33) << "nothing was loaded";
            fs::remove_all(config);

            // The settings file at close: one that could not be read is not replaced by defaults.
            const fs::file_status made = fs::symlink_status(Ini());
            const std::uintmax_t size = fs::is_regular_file(made) ? fs::file_size(Ini()) : 0;
            Close();
            if (read) {
                EXPECT_NE(Bytes(Ini()).find("[Mine]\r\nkept=1"), std::string::npos)
                    << "the user's lines stay";
            }
            if (!c.unread) continue;
            EXPECT_EQ(fs::symlink_status(Ini()).type(), made.type());
            if (!fs::is_regular_file(made)) continue;
            EXPECT_EQ(fs::file_size(Ini()), size);
            fs::permissions(Ini(), fs::perms::owner_read | fs::perms::owner_write);
            EXPECT_EQ(Head(Ini(), goodIni.size()), goodIni);
        }
    });
}

// A trainee on a shared PC cannot replace a trainer's protected files; a file that is replaced keeps
// its mode.
TEST_F(FileSafety, WriteProtectedFilesStayAsTheyAre) {
    const fs::path config = dir / "Data" / "trainer.vp7";
    WriteBytes(config, "the trainer's configuration");
    fs::permissions(config, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    WriteBytes(Ini(), "[Config]\r\nSprache=Deutsch\r\n");
    AsOrdinaryUser(dir, [&] {
        for (const char* typed : {"trainer", "trainer.vp7"}) {
            SaveConfig(typed);
            EXPECT_EQ(LastMessage(), "unbekannter Fehler") << typed;
            EXPECT_EQ(Bytes(config), "the trainer's configuration") << typed;
        }
        fs::permissions(Ini(), fs::perms::owner_read | fs::perms::group_read);
        const std::string before = Bytes(Ini());
        const size_t messages = host.Messages().size();
        Close();
        EXPECT_EQ(Bytes(Ini()), before) << "a protected settings file is not replaced";
        EXPECT_EQ(host.Messages().size(), messages) << "and the close says nothing";

        const auto shared = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
        fs::permissions(Ini(), shared);
        Restart();
        sim->UserClick(sim->form.English1);
        Close();
        EXPECT_NE(Bytes(Ini()).find("Sprache=English"), std::string::npos);
        EXPECT_EQ(fs::status(Ini()).permissions(), shared);
    });
}

// Another user of a shared class folder plants links where the program used to put its temporary
// files; a save never writes through one, leaves them be and leaves no file of its own behind.
TEST_F(FileSafety, LinksPlantedBesideTheFilesAreNeverWrittenThrough) {
    const fs::path victim = dir / "victim";
    WriteBytes(victim, "precious");
    const fs::path planted[] = {Ini().string() + ".tmp",
                                dir / "Config" / ".VP7.ini.tmp",
                                dir / "Config" / ".vp7-write-test",
                                dir / "Data" / ".vp7-write-test",
                                dir / "Data" / "situation.vp7.tmp",
                                dir / "Data" / ".situation.vp7.tmp"};
    for (const fs::path& link : planted)
        fs::create_symlink(victim, link);
    const auto listing = [](const fs::path& folder) {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder))
            names.push_back(entry.path().filename().string());
        std::ranges::sort(names);
        return names;
    };
    const auto configBefore = listing(dir / "Config");
    const mode_t umaskBefore = ::umask(002); // a group's folder: new files would be group-writable

    Restart(); // the folders are proved writable
    sim->UserClick(sim->form.English1);
    Close(); // the settings are written
    const std::string config = SaveConfig();
    EXPECT_EQ(Bytes(victim), "precious");
    for (const fs::path& link : planted)
        EXPECT_TRUE(fs::is_symlink(link)) << link;
    EXPECT_NE(Bytes(Ini()).find("Sprache=English"), std::string::npos);
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(config)));
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(Ini())));
    auto configAfter = configBefore;
    if (!std::ranges::binary_search(configAfter, "VP7.ini")) configAfter.push_back("VP7.ini");
    std::ranges::sort(configAfter);
    EXPECT_EQ(listing(dir / "Config"), configAfter) << "no temporary file is left";
    EXPECT_EQ(fs::status(Ini()).permissions(), fs::perms(0644)) << "a new file is not writable by others";
    ::umask(umaskBefore);
}

// A full disk: the save says so, and the old file stays whole beside no temporary file. Mounting a
// disk that small takes root; elsewhere the test is skipped.
TEST(FullDisk, ASaveThatDoesNotFitKeepsTheOldFile) {
    const fs::path disk = fs::temp_directory_path() / ("vp7-full-" + std::to_string(::getpid()));
    fs::create_directories(disk);
    if (::geteuid() != 0 || ::mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=64k") != 0) {
        fs::remove(disk);
        GTEST_SKIP() << "cannot mount a small disk here";
    }
    struct Unmount {
        fs::path at;
        ~Unmount() {
            ::umount(at.c_str());
            fs::remove_all(at);
        }
    } unmount{disk};
    const std::string path = (disk / "VP7.ini").string();
    ASSERT_TRUE(WriteFileAtomically(path, "[Config]\r\nSprache=Deutsch\r\n"));
    for (const auto& [what, bytes] : {std::pair{"larger than the disk", 200u << 10},
                                      std::pair{"the disk less the old file", 62u << 10}}) {
        SCOPED_TRACE(what);
        EXPECT_FALSE(WriteFileAtomically(path, std::string(bytes, 'x')));
        EXPECT_EQ(Bytes(path), "[Config]\r\nSprache=Deutsch\r\n");
        EXPECT_EQ(std::distance(fs::directory_iterator(disk), fs::directory_iterator()), 1);
    }
    EXPECT_TRUE(WriteFileAtomically(path, std::string(20u << 10, 'y'))) << "what fits is written";
    EXPECT_EQ(Bytes(path).size(), 20u << 10);
}
