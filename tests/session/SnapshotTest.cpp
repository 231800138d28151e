// SPDX-License-Identifier: GPL-3.0-or-later
// A snapshot is the whole device: random sessions on every variant, cut in the configuration, the
// diagnostics, an initialization, a ramp or a key held mid-hold. The recording replayed reaches the same
// snapshot byte for byte, and a fresh device restored from it goes on exactly as the original does.
#include "sim/Snapshot.h"
#include "model/PictureLayout.h"
#include "model/SpriteSet.h"
#include "platform/ScriptedHost.h"
#include "platform/VirtualClock.h"
#include "session/SessionRecorder.h"
#include "session/StateFile.h"
#include "session/language/StateValues.h"
#include "session/script/PrintedValue.h"
#include "session/script/Runner.h"
#include "sim/Simulator.h"
#include "sim/diagnosis/Initialization.h"
#include "sim/operation/ConfigMenu.h"
#include "sim/operation/ParamSet.h"
#include "support/Bytes.h"
#include "support/DeviceState.h"
#include "support/FolderFixture.h"
#include "support/Operator.h"
#include "support/RandomTrainee.h"
#include "support/RunScript.h"

#include <optional>
#include <random>
#include <sstream>
#include <vector>

namespace vp7 {
namespace {

constexpr std::pair<int, int> kKeys[] = {{layout::KeyCentres[0].x, layout::KeyCentres[0].y},
                                         {layout::KeyCentres[1].x, layout::KeyCentres[1].y},
                                         {layout::KeyCentres[2].x, layout::KeyCentres[2].y}};
constexpr auto kModeKey = kKeys[0], kIncKey = kKeys[2];

// One device on a clock and a host of its own, each message box's answer told to the recorder.
struct Device {
    VirtualClock clock;
    ScriptedHost host;
    std::unique_ptr<Simulator> sim;

    Device(const SpriteSet& sprites, const std::filesystem::path& dir, uint8_t variant, int64_t atMs) {
        std::filesystem::create_directories(dir);
        clock.Advance(atMs);
        sim = std::make_unique<Simulator>(clock, host, sprites, SimulatorOptions{dir.string(), variant});
        host.OnMessage([this](const ScriptedHost::Message& m) {
            sim->Answered({.kind = ActionKind::Answer, .answer = m.answer});
        });
        sim->FormCreate();
    }
    test::Operator Person() { return {clock, host, *sim}; }
    void EnterConfiguration() { Person().Hold(kModeKey, 5000); }
};

using Rng = std::mt19937;
int Pick(Rng& rng, int n) {
    return std::uniform_int_distribution<int>(0, n - 1)(rng);
}

// What a trainee does, or time passing.
void RandomAction(Device& d, Rng& rng) {
    if (const int which = Pick(rng, 9); which < test::RandomTrainee::kActions)
        test::RandomTrainee{d.Person(), rng}.Act(which);
    else
        d.clock.Advance(Pick(rng, 5000));
}

// Where a session is cut for its snapshot: each leaves the device in the middle of something.
enum class Scene { Configuration, Diagnostics, Initialization, Ramp, KeyHeld, Anywhere };
constexpr Scene kScenes[] = {Scene::Configuration, Scene::Diagnostics, Scene::Initialization,
                             Scene::Ramp,          Scene::KeyHeld,     Scene::Anywhere};

void LeadInto(Scene scene, Device& d, Rng& rng) {
    Simulator& sim = *d.sim;
    switch (scene) {
    case Scene::Configuration:
        d.EnterConfiguration();
        for (int i = Pick(rng, 6); i > 0; --i)
            d.Person().Click(kKeys[Pick(rng, 3)]);
        break;
    case Scene::Diagnostics:
        for (auto key : kKeys)
            d.Person().Click(key, MouseButton::Right);
        d.clock.Advance(2000);
        for (int i = Pick(rng, 5); i > 0; --i)
            d.Person().Click(kIncKey);
        break;
    case Scene::Initialization: {
        d.EnterConfiguration();
        for (uint32_t guard = 0; sim.configMenu.CurrentParam != uint32_t(sim.params.INITAIndex) && guard < 80;
             ++guard)
            d.Person().Click(kModeKey);
        d.Person().Hold(kIncKey, 5000);
        d.clock.Advance(1000 + Pick(rng, 30000));
        break;
    }
    case Scene::Ramp: // near its top, so that it may have turned
        d.sim->UserSelect(sim.form.SetpointRampSelect, Pick(rng, 2));
        d.Person().Enter("96");
        d.sim->UserClick(sim.form.SetpointRampButton);
        d.clock.Advance(1500 + Pick(rng, 20000));
        break;
    case Scene::KeyHeld: // pressed and still held: the key timer counts the hold
        d.Person().Down(kKeys[Pick(rng, 3)]);
        d.clock.Advance(300 + Pick(rng, 2500));
        break;
    case Scene::Anywhere:
        break;
    }
}

// Everything `print` knows of a device, the display read back, the messages shown and the picture's
// hash: two devices that print the same here look the same to every script. While the third run of an
// initialization measures a travel, its field holds the clock's time: left out for a clock at another time.
std::string Printout(Device& d, bool sameClock = true) {
    Simulator& sim = *d.sim;
    std::vector<std::string> lines = test::DeviceState(sim);
    const uint8_t measuring = sim.initialization.RunStep[2];
    if (!sameClock && (measuring == 1 || measuring == 2))
        std::erase_if(lines, [](const std::string& line) { return line.starts_with("TravelTime"); });
    std::vector<std::vector<std::string>> more = {{"title"}};
    for (int i = 0; i < 9; ++i)
        more.push_back({"fault", std::to_string(i)});
    const auto values = StateValues(sim);
    for (const auto& words : more) {
        try {
            const PrintedValue printed = LookUpPrinted(sim, values, words);
            lines.push_back(printed.name + ' ' + printed.value);
        } catch (const ScriptError&) { // not every fault prints
        }
    }
    std::string out;
    for (const std::string& line : lines)
        out += line + '\n';
    const Picture& picture = sim.image1;
    const std::string_view pixels(reinterpret_cast<const char*>(picture.Bits()),
                                  size_t(picture.DeviceWidth()) * picture.DeviceHeight() * sizeof(Rgb));
    out += "picture " + std::to_string(SnapshotHash(pixels)) + '\n';
    out += "messages " + std::to_string(d.host.Messages().size());
    if (!d.host.Messages().empty()) out += ' ' + d.host.Messages().back().text;
    return out + '\n';
}

struct SnapshotTest : test::FolderFixture {
    SpriteSet sprites = SpriteSet::Flat();
};

// The logical pixels where two pictures differ, each at its own scale.
int DifferingPixels(const Picture& a, const Picture& b) {
    int differing = 0;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            differing += a.Pixel(x, y) != b.Pixel(x, y);
    return differing;
}

std::string WithoutPictureHash(std::string printout) {
    const size_t at = printout.find("\npicture ");
    return printout.erase(at, printout.find('\n', at + 1) - at);
}

// A state drawn with other sprites or at another scale (the runner's flat sprites, a zoomed window) is
// drawn anew with the device's own: as the same session drawn live at that scale shows it, and it goes
// on alike.
TEST_F(SnapshotTest, ReplayedAndRestoredDevicesMatchTheLiveOne) {
    const SpriteSet zoomed = SpriteSet::Flat(2);
    int cases = 0;
    for (uint8_t variant = 0; variant < 3; ++variant)
        for (const Scene scene : kScenes)
            for (unsigned seed = 1; seed <= 2; ++seed, ++cases) {
                const std::string context = "variant " + std::to_string(variant) + ", scene " +
                                            std::to_string(int(scene)) + ", seed " + std::to_string(seed);
                const auto folder = dir / std::to_string(cases);
                Rng rng(seed * 7919 + cases), largeRng = rng;
                // The session, and for one seed the same session drawn live at twice the scale.
                Device live(sprites, folder / "live", variant, 0);
                std::vector<std::pair<Device*, Rng*>> driven = {{&live, &rng}};
                std::optional<Device> large, redrawn;
                if (seed == 1)
                    driven.push_back({&large.emplace(zoomed, folder / "large", variant, 0), &largeRng});
                for (auto [device, deviceRng] : driven)
                    device->clock.Advance(100); // the start-up tick
                const auto recordingPath = folder / "session.vp7s";
                SessionRecorder recorder(*live.sim, recordingPath.string(), "snapshot test");
                for (auto [device, deviceRng] : driven) {
                    for (int i = 20 + Pick(*deviceRng, 40); i > 0; --i)
                        RandomAction(*device, *deviceRng);
                    LeadInto(scene, *device, *deviceRng);
                }
                const std::string snapshot = TakeSnapshot(*live.sim);

                // The recording so far, replayed by the runner, ends in the same device.
                recorder.WriteUpToNow();
                std::ostringstream printed;
                Runner runner(printed, (folder / "replay").string());
                std::filesystem::create_directories(folder / "replay");
                for (const std::string& line : Runner::SplitLines(test::Bytes(recordingPath)))
                    runner.Execute(line);
                ASSERT_NE(runner.Sim(), nullptr) << context;
                EXPECT_EQ(SnapshotDifference(*runner.Sim(), snapshot), std::nullopt) << context;
                EXPECT_EQ(SnapshotHash(TakeSnapshot(*runner.Sim())), SnapshotHash(snapshot)) << context;

                // A fresh device restored from it takes the same further actions and prints the same
                // after each: at the same moment to the bit; on a clock at another time (times are kept
                // relative to now) alike as far as anything prints; at another scale, drawn as the large
                // one is, alike but for the picture.
                Device restored(sprites, folder / "restored", variant, live.clock.NowMs());
                Device shifted(sprites, folder / "shifted", variant, live.clock.NowMs() + 12345);
                for (Device* device : {&restored, &shifted}) {
                    ASSERT_EQ(RestoreSnapshot(*device->sim, snapshot), std::nullopt) << context;
                    ASSERT_EQ(TakeSnapshot(*device->sim), snapshot) << context;
                    device->host.ClearMessages();
                }
                Rng liveRng(seed), restoredRng(seed), shiftedRng(seed), redrawnRng(seed);
                std::vector<std::pair<Device*, Rng*>> going = {
                    {&live, &liveRng}, {&restored, &restoredRng}, {&shifted, &shiftedRng}};
                if (large) {
                    Device& d = redrawn.emplace(zoomed, folder / "redrawn", variant, live.clock.NowMs());
                    ASSERT_EQ(RestoreSnapshot(*d.sim, snapshot), std::nullopt) << context;
                    EXPECT_EQ(d.sim->image1.Scale(), 2) << context;
                    EXPECT_EQ(DifferingPixels(d.sim->image1, large->sim->image1), 0) << context;
                    d.host.ClearMessages();
                    going.push_back({&d, &redrawnRng});
                }
                live.host.ClearMessages();
                for (int step = 0; step < 25; ++step) {
                    for (auto [device, deviceRng] : going) {
                        RandomAction(*device, *deviceRng);
                        device->clock.Advance(Pick(*deviceRng, 2000));
                    }
                    const std::string expected = Printout(live);
                    ASSERT_EQ(Printout(restored), expected) << context << ", step " << step;
                    ASSERT_EQ(Printout(shifted, false), Printout(live, false))
                        << context << ", step " << step << " (shifted)";
                    if (redrawn) {
                        ASSERT_EQ(WithoutPictureHash(Printout(*redrawn)), WithoutPictureHash(expected))
                            << context << ", step " << step << " (redrawn)";
                    }
                }
                EXPECT_EQ(SnapshotDifference(*restored.sim, TakeSnapshot(*live.sim)), std::nullopt)
                    << context;
            }
}

// Every kind of bad state file is refused with its reason, and the device stays as it was.
TEST_F(SnapshotTest, BadStatesAreRefusedAndChangeNothing) {
    Device d(sprites, dir / "device", 0, 0);
    d.clock.Advance(100);
    d.Person().Enter("40");
    d.clock.Advance(3000);
    const std::string file = SaveState(*d.sim, "start\nwait 3000\n");
    const std::string body = TakeSnapshot(*d.sim);
    Device pa(sprites, dir / "pa", 1, 0);
    const auto changed = [](std::string text, size_t at, char byte) {
        text[at] = byte;
        return text;
    };
    // The header: magic 8, format 4, variant 1, version's length 1, version, clock 8, sizes 8 + 8.
    const size_t sizesAt = 14 + ProgramVersion().size() + 8;
    std::string huge = file;
    huge.replace(sizesAt, 8, std::string("\xff\xff\xff\xff\xff\xff\xff\x7f", 8));
    const struct {
        const char* what;
        std::string text;
        const char* reason;
    } cases[] = {
        {"empty", "", "not a snapshot state"},
        {"a recording", "start\nwait 100\n", "not a snapshot state"},
        {"another magic word", changed(file, 7, 'X'), "not a snapshot state"},
        {"a newer format", changed(file, 8, char(kSnapshotFormat + 1)), "newer format"},
        {"older than any read", changed(file, 8, char(kOldestSnapshotFormat - 1)), "older format"},
        {"cut short in the header", file.substr(0, 20), "damaged or incomplete"},
        {"cut short in the body", file.substr(0, file.size() - 40), "damaged or incomplete"},
        {"a byte flipped in the body", changed(file, file.size() - 30, file[file.size() - 30] ^ 1),
         "damaged or incomplete"},
        {"a byte flipped in the version", changed(file, 15, file[15] ^ 1), "damaged or incomplete"},
        {"a huge size", huge, "damaged or incomplete"},
        {"saved on PA", SaveState(*pa.sim, ""), "saved on VP7PA, not on VP7A"},
        // The body's own checks, behind a sound checksum: a body cut short, one byte more, another layout.
        {"a body cut short", EncodeStateFile({0, "1", 0, body.substr(0, body.size() / 2), ""}), "cut short"},
        {"a body too long", EncodeStateFile({0, "1", 0, body + "x", ""}), "bytes after"},
        {"another layout",
         EncodeStateFile({0, "1", 0, changed(body, body.find("ControllerSelect"), 'c'), ""}),
         "not 'ControllerSelect'"},
    };
    for (const auto& c : cases) {
        const auto refusal = LoadState(*d.sim, c.text);
        ASSERT_TRUE(refusal.has_value()) << c.what;
        EXPECT_NE(refusal->english.find(c.reason), std::string::npos) << c.what << ": " << refusal->english;
        EXPECT_FALSE(refusal->german.empty()) << c.what;
        EXPECT_EQ(SnapshotDifference(*d.sim, body), std::nullopt) << c.what;
    }
    EXPECT_EQ(LoadState(*d.sim, file), std::nullopt);
}

// The runner's commands: a snapshot saved, restored by another script in place of the start, and
// compared by its hash; one of another variant refused with the runner's error, as every refusal of
// BadStatesAreRefusedAndChangeNothing would be.
TEST_F(SnapshotTest, TheRunnerSavesRestoresAndComparesStates) {
    const auto run = [&](const std::string& folder, const std::string& script,
                         std::string* errors = nullptr) {
        std::filesystem::create_directories(dir / folder);
        const auto result = test::RunScript(script, dir / folder);
        if (errors) *errors = result.err;
        return result.out;
    };
    const std::string path = (dir / "s.vp7state").string();
    const std::string saved = run("a", "ini Config Controller VP7FF\nstart\nwait 500\npress mode\nwait 1500\n"
                                       "savestate " +
                                           path +
                                           "\nprint statehash\nwait 4000\nrelease mode\n"
                                           "print Mode\nprint lcd\nprint statehash\n");
    const std::string restored =
        run("b", "state " + path +
                     "\nprint statehash\nwait 4000\nrelease mode\nprint Mode\nprint lcd\n"
                     "print statehash\n");
    EXPECT_EQ(restored, saved);
    EXPECT_TRUE(saved.starts_with("statehash ")) << saved;

    std::string errors;
    run("d", "ini Config Controller VP7PA\nstate " + path + "\n", &errors);
    EXPECT_EQ(errors, "error 2: " + path + ": the state was saved on VP7FF, not on VP7PA\n");
}

} // namespace
} // namespace vp7
