// SPDX-License-Identifier: GPL-3.0-or-later
// vp7-headless [--dir DIR] [--realtime] [SCRIPT]: runs a scenario script (or standard input) against the
// simulator on a virtual clock and prints what it asks for; --help and --version say what it is.
#include "classroom/RunnerSeat.h"
#include "formats/PrivateFolders.h"
#include "headless/PlantServer.h"
#include "headless/RoomLinks.h"
#include "session/script/Runner.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// What the seat published at QoS 1 has this long to be acknowledged before the runner ends.
constexpr std::chrono::seconds kAcknowledgementWait{3};

constexpr char kUsage[] = "usage: vp7-headless [--dir DIR] [SCRIPT]\n";
constexpr char kHelp[] =
    "Runs a scenario script of the KELDAR VP7 simulator, from SCRIPT or standard input (also for\n"
    "SCRIPT \"-\"), on a simulated clock, and prints what it asks for on standard output.\n"
    "\n"
    "  --dir DIR    the program folder, with the settings in DIR/Config/VP7.ini (made when missing);\n"
    "               without it a temporary folder, removed at the end\n"
    "  --realtime   a `wait` lets its time pass as the wall clock does (a seat in a classroom)\n"
    "  -h, --help   show this help and end\n"
    "  --version    show the version and end\n"
    "\n"
    "Exit status: 0 when the script ran to its end; 1 when a command could not be carried out (a file\n"
    "not written or read) or no temporary folder could be made; 2 for an unknown command or a bad\n"
    "argument (\"error LINE: REASON\" on standard error) or a script that cannot be opened.\n"
    "The commands and their output: man vp7-headless\n";

} // namespace

int main(int argc, char** argv) {
    // A shared PC's other users read nothing the runner writes: settings, hand-ins, pictures.
    vp7::CreatePrivately();
    std::string dir, script;
    bool paced = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--dir" && i + 1 < argc) {
            dir = argv[++i];
        } else if (arg == "--realtime") {
            paced = true;
        } else if (arg == "--help" || arg == "-h") {
            std::cout << kUsage << kHelp;
            return 0;
        } else if (arg == "--version") {
            std::cout << "vp7-headless " VP7_VERSION "\n";
            return 0;
        } else if ((!arg.empty() && arg[0] == '-' && arg != "-") || !script.empty()) {
            std::cerr << kUsage;
            return 2;
        } else {
            script = arg;
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
        vp7::TightenOwnFolders(dir, false);
    }

    int status;
    {
        vp7::Runner runner(std::cout, dir);
        runner.SetPaced(paced);
        // A `classroom` line joins a room; hand-ins wait in the program folder until delivered.
        vp7::RunnerSeat seat(runner, (fs::path(dir) / "Classroom").string(), std::cerr, vp7::RoomLinks());
        // A `modbus` line serves the device's registers to a plant's control system.
        const auto plant = vp7::AttachPlantServer(runner);
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
        seat.Finish(kAcknowledgementWait);
    }
    if (!tempDir.empty()) {
        std::error_code ec;
        fs::remove_all(tempDir, ec);
    }
    return status;
}
