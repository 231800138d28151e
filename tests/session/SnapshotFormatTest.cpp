// SPDX-License-Identifier: GPL-3.0-or-later
// A snapshot's format is one number for the whole body. State files of older formats that the program
// wrote are kept here and must keep loading into the device they held; the layout of today's format is
// pinned by a hash of its listing, so that a field added, removed or resized without a new format fails.
#include "platform/StateLayout.h"
#include "session/StateFile.h"
#include "session/script/Runner.h"
#include "sim/Simulator.h"
#include "sim/Snapshot.h"
#include "support/Bytes.h"
#include "support/FolderFixture.h"
#include "support/RunScript.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

namespace vp7 {
namespace {

using SnapshotFormatTest = test::FolderFixture;

const std::string kData = VP7_TEST_SOURCE_DIR "/data/";

// What the kept files' devices show, each written by the script beside it.
constexpr const char* kShown = "print Istwert\nprint Mode\nprint param /DEBA\nprint LeakageSelect\n"
                               "print FrictionSelect\nprint ExtendedFaultsSelect\nprint lcd\n";
constexpr const char* kLater = "wait 3000\nprint Istwert\nprint lcd\n";

// A device started by the runner and led on by `script`'s lines.
struct ScriptedDevice {
    std::ostringstream out;
    Runner runner;
    ScriptedDevice(const std::filesystem::path& dir, const std::string& script) : runner(out, dir.string()) {
        std::filesystem::create_directories(dir);
        for (const std::string& line : Runner::SplitLines(script))
            runner.Execute(line);
    }
    Simulator& Sim() { return *runner.Sim(); }
};

TEST_F(SnapshotFormatTest, KeptStateFilesOfOlderFormatsLoadIntoTheirDevices) {
    const struct {
        const char* file;
        uint32_t format;
        bool extended;
        const char* shown; // kShown's lines, then kLater's
    } cases[] = {
        // The extended fault effects' part stands behind the rest, as format 2 kept it while it was on.
        {"format2-extended.vp7state", 2, true,
         "Istwert 39.6000\nMode 1\nparam /DEBA 5\nLeakageSelect 0\nFrictionSelect 1\nExtendedFaultsSelect 1\n"
         "lcd \"  39.6 \" \"  MAN38\"\nIstwert 39.6000\nlcd \"  39.6 \" \"  MAN38\"\n"},
        // Format 2 kept that part only while it held something: a state without it turns the option off,
        // whatever the device held before.
        {"format2-plain.vp7state", 2, false,
         "Istwert 41.8000\nMode 1\nparam /DEBA 5\nLeakageSelect 1\nFrictionSelect 0\nExtendedFaultsSelect 0\n"
         "lcd \"  41.8 \" \"  MAN38\"\nIstwert 41.8000\nlcd \"  41.8 \" \"  MAN38\"\n"},
    };
    ScriptedDevice device(dir / "device", "ini Config Controller VP7FF\nstart\n");
    for (const auto& c : cases) {
        const std::string path = kData + c.file;
        const auto decoded = DecodeStateFile(test::Bytes(path), std::nullopt);
        ASSERT_TRUE(std::holds_alternative<StateFile>(decoded)) << c.file;
        EXPECT_EQ(std::get<StateFile>(decoded).format, c.format) << c.file << " was rewritten";
        ASSERT_EQ(LoadState(device.Sim(), test::Bytes(path)), std::nullopt) << c.file;
        EXPECT_EQ(device.Sim().form.ExtendedFaultsSelect.checked, c.extended) << c.file;

        // Loaded, and saved again in today's format: the second file holds the same device, to its hash.
        const auto folder = dir / c.file;
        const std::string resaved = (folder / "resaved.vp7state").string();
        const std::string head = "ini Config Controller VP7FF\nstate ";
        const auto loaded = test::RunScript(head + path + '\n' + kShown + "savestate " + resaved +
                                                "\nprint statehash\n" + kLater,
                                            folder / "old");
        EXPECT_EQ(loaded.err, "") << c.file;
        const auto again =
            test::RunScript(head + resaved + '\n' + kShown + "print statehash\n" + kLater, folder / "new");
        EXPECT_EQ(again.out, loaded.out) << c.file << ", saved again";
        std::string shown = loaded.out;
        const std::size_t hash = shown.find("statehash ");
        ASSERT_NE(hash, std::string::npos) << c.file;
        EXPECT_EQ(shown.erase(hash, shown.find('\n', hash) + 1 - hash), c.shown) << c.file;
        EXPECT_EQ(std::get<StateFile>(DecodeStateFile(test::Bytes(resaved), std::nullopt)).format,
                  kSnapshotFormat);
    }
}

// The layout's hash for each format since the listing was kept; today's must be here.
struct PinnedLayout {
    uint32_t format;
    uint64_t layoutHash;
};
constexpr PinnedLayout kPinnedLayouts[] = {
    {3, 0x90F73363495710BF},
};

std::string Hex(uint64_t value) {
    char hex[19];
    std::snprintf(hex, sizeof hex, "0x%016llX", static_cast<unsigned long long>(value));
    return hex;
}

// On a failure the listing is written to the test's working folder, to be compared with the last
// commit's (git stash, run again).
TEST_F(SnapshotFormatTest, TheLayoutOfTodaysFormatIsPinned) {
    const auto pinned = std::ranges::find(kPinnedLayouts, kSnapshotFormat, &PinnedLayout::format);
    for (const char* variant : {"VP7A", "VP7PA", "VP7FF"}) {
        ScriptedDevice device(dir / variant, std::string("ini Config Controller ") + variant + "\nstart\n");
        const std::string layout = SnapshotLayout(device.Sim());
        const std::string hash = Hex(SnapshotHash(layout));
        if (pinned != std::end(kPinnedLayouts) && hash == Hex(pinned->layoutHash)) continue;
        const std::string listing = std::string("snapshot-layout-") + variant + ".txt";
        test::WriteBytes(listing, layout);
        ADD_FAILURE() << "The snapshot's layout (" << variant << ", listed in "
                      << (std::filesystem::current_path() / listing).string()
                      << ") is not the one pinned for "
                      << "format " << kSnapshotFormat << ": a field was added, removed or resized. Raise "
                      << "kSnapshotFormat (sim/Snapshot.h) unless this format was never released, teach the "
                      << "part that changed to read the older format as it was (StateVisitor::Format(), as "
                      << "ExtendedFaults::DoState reads format 2), keep a state file of the older format in "
                      << "tests/session/data, and pin the new layout here: {FORMAT, " << hash << "}.";
    }
}

// Whatever the device holds (faults, a held key, the configuration, an initialization under way),
// its listing is the same: the pinned hash fails only for a changed layout.
TEST_F(SnapshotFormatTest, TheLayoutIsTheSameWhateverTheDeviceHolds) {
    const struct {
        const char* what;
        const char* script;
    } cases[] = {
        {"faults", "set LeakageSelect 1\nset FrictionSelect 1\nset ExtendedFaultsSelect 1\nwait 2000\n"},
        {"a key held", "press inc\nwait 1500\n"},
        {"the configuration", "press mode\nwait 5000\nrelease mode\npress mode\nrelease mode\n"},
        {"an initialization", "set ExtendedFaultsSelect 1\npress mode\nwait 5000\nrelease mode\npress mode\n"
                              "release mode\npress mode\nrelease mode\npress mode\nrelease mode\npress mode\n"
                              "release mode\npress inc\nwait 4900\nrelease inc\nwait 12000\n"},
        {"German", "menu Deutsch1\nset SetPointText 12,5\nclick Enter\nwait 800\n"},
    };
    ScriptedDevice fresh(dir / "fresh", "start\n");
    const std::string expected = SnapshotLayout(fresh.Sim());
    for (const auto& c : cases) {
        ScriptedDevice device(dir / c.what, std::string("start\n") + c.script);
        EXPECT_EQ(SnapshotLayout(device.Sim()), expected) << c.what;
    }
}

// A part of the listing's own: a number, a text, a sequence, an array.
struct Part {
    int32_t number = 0;
    std::string text = "ab";
    std::vector<int16_t> items{1, 2};
    std::array<uint8_t, 3> bytes{};
    bool wide = false, extra = false;
    const char* name = "number";
    void DoState(StateVisitor& v) {
        v.Part("part");
        if (wide) {
            int64_t n = number;
            v(name, n);
        } else {
            v(name, number);
        }
        v("text", text);
        v("items", items, StateVisitor::kMaxItems);
        v("bytes", bytes);
        if (extra) v("extra", number);
    }
};

std::string Listing(Part part) {
    StateLayout layout(kSnapshotFormat);
    part.DoState(layout);
    return layout.Take();
}

TEST(StateLayoutTest, ListsFieldsAndTheirSizesNotTheirValues) {
    EXPECT_EQ(Listing({}),
              "part.number 4\npart.text count\npart.items count\npart.items 2\npart.bytes 1 x3\n");
    const struct {
        const char* what;
        Part part;
        bool same;
    } cases[] = {
        {"another number", {.number = 7}, true},
        {"a longer text", {.text = "a much longer text"}, true},
        {"more items", {.items = {1, 2, 3, 4, 5}}, true},
        {"no items", {.items = {}}, true},
        {"a field resized", {.wide = true}, false},
        {"a field added", {.extra = true}, false},
        {"a field renamed", {.name = "value"}, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Listing(c.part) == Listing({}), c.same) << c.what;
}

} // namespace
} // namespace vp7
