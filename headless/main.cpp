// SPDX-License-Identifier: GPL-3.0-or-later
// vp7-headless [--dir DIR] [SCRIPT]: runs a scenario script (or standard input) against the simulator
// on a virtual clock and prints what it asks for.
#include "training/Runner.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

int main(int argc, char** argv) {
    std::string dir, script;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--dir" && i + 1 < argc) {
            dir = argv[++i];
        } else if (arg == "--help" || arg == "-h" || (!arg.empty() && arg[0] == '-' && arg != "-")) {
            std::cerr << "usage: vp7-headless [--dir DIR] [SCRIPT]\n";
            return 2;
        } else if (script.empty()) {
            script = arg;
        } else {
            std::cerr << "usage: vp7-headless [--dir DIR] [SCRIPT]\n";
            return 2;
        }
    }

    // Without --dir the program folder is a fresh temporary one, removed at the end.
    std::string tempDir;
    if (dir.empty()) {
        std::string pattern = (fs::temp_directory_path() / "vp7-headless-XXXXXX").string();
        if (!mkdtemp(pattern.data())) {
            std::cerr << "vp7-headless: cannot create a temporary folder\n";
            return 1;
        }
        dir = tempDir = pattern;
    } else {
        std::error_code ec;
        fs::create_directories(dir, ec);
    }

    int status;
    {
        vp7::Runner runner(std::cout, dir);
        if (script.empty() || script == "-") {
            status = runner.Run(std::cin, std::cerr);
        } else {
            std::ifstream in(script);
            if (!in) {
                std::cerr << "vp7-headless: cannot open " << script << '\n';
                status = 2;
            } else {
                runner.SetScriptFolder(fs::path(script).parent_path().string());
                status = runner.Run(in, std::cerr);
            }
        }
    }
    if (!tempDir.empty()) {
        std::error_code ec;
        fs::remove_all(tempDir, ec);
    }
    return status;
}
