// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/FileFixture.h"

#include "formats/Cp1252.h"
#include "sim/diagnosis/Diagnostics.h"
#include "sim/diagnosis/Monitoring.h"
#include "sim/files/ConfigFiles.h"
#include "sim/motion/Scales.h"
#include "sim/operation/ParamTableView.h"

#include <algorithm>
#include <tuple>

using namespace vp7;
using vp7::test::Bytes;
using vp7::test::WriteBytes;
namespace fs = std::filesystem;

using ConfigFile = vp7::test::FileFixture;

TEST_F(ConfigFile, ASavedSituationComesBackExactly) {
    FormState& f = sim->form;
    Param("DEBA", 12);
    Click({439, 382}); // 90 degrees
    sim->UserSelect(f.SetpointDimSelect, 1);
    sim->UserCheck(f.SelfOpeningSelect, true);
    sim->UserSelect(f.DrosselSelect, 3);
    sim->diagnostics.TempFahrenheit = 1;
    sim->monitoring.OpenFaultLatched = 1;
    sim->scales.PV100 = "95,5";
    f.SetPointText.text = "Grad ° 12";
    const std::string path = SaveConfig();
    ASSERT_EQ(fs::file_size(path), 1528u);
    const std::string saved = Bytes(path);

    Restart(); // a fresh device with its parameter table open, then the file
    sim->UserClick(sim->form.ParameterTabelle1);
    const auto debaRow = [&] {
        for (const auto& row : sim->form.parTab.rows)
            if (row[0].find("DEBA") != std::string::npos) return row[1];
        return std::string("<no row>");
    };
    const std::string shown = debaRow();
    LoadConfig(path);
    EXPECT_EQ(ParamValue("DEBA"), 12);
    EXPECT_NE(debaRow(), shown) << "the open table shows what was loaded";
    EXPECT_EQ(debaRow(), sim->paramTableView.ParamValueText(sim->params.FindByName("DEBA")));
    EXPECT_EQ(S().GearIs33, 0);
    EXPECT_EQ(sim->form.SetpointDimSelect.itemIndex, 1);
    EXPECT_TRUE(sim->form.SelfOpeningSelect.checked);
    EXPECT_EQ(sim->image1.Pixel(330, 500), SpriteSet::FlatColor(SpringPistonFrame(0))) << "the spring shows";
    EXPECT_EQ(sim->form.DrosselSelect.itemIndex, 3);
    EXPECT_EQ(sim->diagnostics.TempFahrenheit, 1);
    EXPECT_EQ(sim->monitoring.OpenFaultLatched, 1);
    EXPECT_EQ(sim->scales.PV100, "95,5");
    EXPECT_EQ(sim->form.SetPointText.text, "Grad ° 12");
    EXPECT_EQ(S().Updating, 0);
    EXPECT_EQ(SaveConfig(), path);
    EXPECT_EQ(Bytes(path), saved) << "saving again gives the same bytes";
}

// A file that is not ours, or not for this variant, changes nothing, nor is it the file in use.
TEST_F(ConfigFile, BrokenOrForeignFilesAreRefusedWithTheirMessage) {
    std::vector<std::string> used;
    sim->configFiles.OnFileUsed([&](const std::string& path) { used.push_back(path); });
    const std::string goodPath = SaveConfig();
    const std::string good = Bytes(goodPath);
    const std::string path = (dir / "Data" / "broken.vp7").string();
    // The byte changed and its new value; the message.
    const std::tuple<size_t, char, const char*> cases[] = {
        {0, static_cast<char>(good[0] ^ 1), "Error in the VP7 configuration file"},
        {4, 3, "Error in the VP7 configuration file"},
        {4, 1, "Configuration file is for a VP7-PA"}};
    Param("DEBA", 30);
    for (const auto& [at, value, message] : cases) {
        SCOPED_TRACE(testing::Message() << "byte " << at << " " << int(value));
        std::string bytes = good;
        bytes[at] = value;
        WriteBytes(path, bytes);
        LoadConfig(path);
        EXPECT_EQ(LastMessage(), message);
        EXPECT_EQ(ParamValue("DEBA"), 30) << "nothing changes";
        EXPECT_EQ(S().ControllerType, 0);
        EXPECT_EQ(S().Updating, 0);
        EXPECT_EQ(sim->configFiles.CurrentFile(), goodPath);
    }
    LoadConfig(goodPath);
    EXPECT_EQ(used, (std::vector<std::string>{goodPath, goodPath})) << "saved, then loaded";
}

TEST_F(ConfigFile, EditedBytesFallBackAsTheyShould) {
    std::string bytes = Bytes(SaveConfig());
    bytes[5] = 2;  // gear
    bytes[16] = 7; // throttle
    bytes[12] = 'S';
    const int deba = sim->params.FindByName("DEBA");
    bytes[24 + 4 * deba] = static_cast<char>(0xE8); // 1000: outside 1 ... 100
    bytes[24 + 4 * deba + 1] = 3;
    bytes[24 + 4 * deba + 2] = bytes[24 + 4 * deba + 3] = 0;
    bytes[1272] = 2; // the setpoint text "77"
    bytes[1273] = bytes[1274] = '7';
    // A length past its text must not carry the filler into the scales, and from there into the
    // settings file, where it would spoil every later start.
    bytes[248] = static_cast<char>(255);
    bytes.replace(249, 255, "100" + std::string(252, '\0'));
    const std::string path = (dir / "Data" / "edited.vp7").string();
    WriteBytes(path, bytes);
    Param("SPRE", 600);
    LoadConfig(path);
    EXPECT_EQ(S().GearIs33, 0);
    EXPECT_EQ(sim->form.DrosselSelect.itemIndex, 0);
    const auto& shown = host.Messages();
    EXPECT_TRUE(std::any_of(shown.begin(), shown.end(),
                            [](const auto& m) { return m.text == "Error in the VP7 configuration file"; }));
    EXPECT_EQ(LastMessage(), "Position of gear is different to adjusted parameter")
        << "the gear is checked last";
    EXPECT_TRUE(sim->params.TableAtDefaults()) << "one bad value: every parameter at its factory value";
    EXPECT_TRUE(sim->form.SelfClosingSelect.checked) << "the options still load";
    EXPECT_EQ(sim->form.SetPointText.text, "77");
    EXPECT_EQ(sim->scales.PV100, "100");
}

TEST_F(ConfigFile, TextsCrossTheFileBoundaryInTheEightBitSet) {
    const std::pair<std::string, std::string> cases[] = {{"abc", "abc"}, {"°C", "\260C"}, {"€5", "\2005"},
                                                         {"ß", "\337"},  {"ü", "\374"},   {"→", "?"},
                                                         {"\xFF", "?"}};
    for (const auto& [utf8, eightBit] : cases)
        EXPECT_EQ(Utf8ToCp1252(utf8), eightBit) << utf8;
    EXPECT_EQ(Cp1252ToUtf8("\x80\xB0\xDF"), "€°ß");
    EXPECT_EQ(Cp1252ToUtf8("\x81"), "?");
}
