// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/RecentFiles.h"

#include "formats/IniFile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace vp7;
using Paths = std::vector<std::string>;

// Newest first, each once, eight at most; the list comes back from the settings as it went in, and a
// shorter list written over a longer one does not bring back what it dropped.
TEST(RecentFiles, KeepTheirOrderOverARestart) {
    RecentFiles recent;
    for (int i = 1; i <= 10; ++i)
        recent.Add("/data/" + std::to_string(i) + ".vp7");
    recent.Add("/data/5.vp7");
    const Paths expected = {"/data/5.vp7", "/data/10.vp7", "/data/9.vp7", "/data/8.vp7",
                            "/data/7.vp7", "/data/6.vp7",  "/data/4.vp7", "/data/3.vp7"};
    EXPECT_EQ(recent.Paths(), expected);

    IniFile ini;
    ini.SetText("[Config]\r\nSprache=Deutsch\r\n");
    recent.Write(ini);
    RecentFiles restarted;
    restarted.Read(ini);
    EXPECT_EQ(restarted.Paths(), expected);
    EXPECT_EQ(ini.ReadString("Config", "Sprache", ""), "Deutsch") << "the device's sections stay";

    restarted.Remove("/data/9.vp7");
    restarted.Remove("/data/3.vp7");
    restarted.Write(ini);
    RecentFiles again;
    again.Read(ini);
    EXPECT_EQ(again.Paths(), (Paths{"/data/5.vp7", "/data/10.vp7", "/data/8.vp7", "/data/7.vp7",
                                    "/data/6.vp7", "/data/4.vp7"}));

    // Written by hand: gaps and repeats are skipped, a ninth entry is not read.
    ini.SetText("[RecentFiles]\r\nFile1=\r\nFile2=/a b/ü.vp7\r\nFile3=/a b/ü.vp7\r\nFile4=/c.vp7\r\n"
                "File9=/z.vp7\r\n");
    again.Read(ini);
    EXPECT_EQ(again.Paths(), (Paths{"/a b/ü.vp7", "/c.vp7"}));
}
