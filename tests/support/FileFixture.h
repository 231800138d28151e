// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The simulator fixture with what the tests of the program's files need: their bytes, the settings
// file's place, a close as a user makes it (which writes the settings), and the "Datei" menu.
#include "support/Bytes.h"
#include "support/SimFixture.h"

#include <filesystem>
#include <string>

namespace vp7::test {

struct FileFixture : SimFixture {
    std::filesystem::path Ini() const { return dir / "Config" / "VP7.ini"; }
    // Whether the settings file holds `line` as a whole line.
    bool IniHas(const std::string& line) const {
        return Bytes(Ini()).find("\n" + line + "\r\n") != std::string::npos;
    }
    int32_t ParamValue(const char* name) {
        return sim->params.ParamTable[sim->params.FindByName(name)].Value;
    }
    void Close() {
        ASSERT_TRUE(sim->FormCloseQuery());
        sim->FormClose();
    }
    // Saving and loading through the "Datei" menu, with the name the dialog gives.
    std::string SaveConfig(const std::string& name = "situation") {
        const std::string path = (dir / "Data" / name).string();
        host.QueueFile(path);
        sim->UserClick(sim->form.Konfigurationspeichern1);
        return path + ".vp7";
    }
    void LoadConfig(const std::string& path) {
        host.QueueFile(path);
        sim->UserClick(sim->form.Konfigurationladen1);
    }
};

} // namespace vp7::test
