// SPDX-License-Identifier: GPL-3.0-or-later
// Any script, with every command, run by the scenario runner. The input may carry further files after
// its script, each from a line `=== NAME` on: exercises, saved states and configurations the script
// names. They lie in a scratch folder that is also the working folder, and inputs with a folder
// separator in them are passed over, so nothing is written anywhere else. Inputs whose waits add up to
// more than a minute of simulated time (counted once more for each rewind) are passed over too: they
// test nothing a shorter one does not, and the fuzzer would spend its time on them.
#include "FuzzSupport.h"

#include "session/language/ScriptWords.h"
#include "session/script/Runner.h"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string_view>

namespace {

constexpr std::string_view kFileLine = "=== ";
constexpr int64_t kLongestInputMs = 60'000;

// Whether the input's waits, with each rewind replaying what came before, take too long to run, or it
// serves clients.
bool TooLong(const std::vector<std::string>& lines) {
    int64_t waits = 0, rewinds = 0;
    for (const std::string& line : lines) {
        const std::string_view name = vp7::Runner::CommandName(line);
        if (name == "rewind") ++rewinds;
        // A Modbus server listens on a real port and serves in real time; FuzzModbus covers its requests.
        if (vp7::Runner::HasTrait(name, vp7::Runner::kPlant)) return true;
        if (name != "wait") continue;
        const auto words = vp7::SplitWords(line);
        if (!words || words->size() != 2) continue;
        try {
            waits += std::max(0, vp7::ToInt((*words)[1].text, "time"));
        } catch (const vp7::ScriptError&) {
        }
        if (waits > kLongestInputMs) return true;
    }
    return waits * (rewinds + 1) > kLongestInputMs;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    namespace fs = std::filesystem;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    if (input.find('/') != std::string_view::npos || input.find('\\') != std::string_view::npos) return 0;
    const std::vector<std::string> lines = vp7::Runner::SplitLines(input);
    if (TooLong(lines)) return 0;

    static const fs::path scratch = [] {
        const fs::path dir = vp7::fuzz::ProgramDir() / "scripts";
        fs::create_directories(dir);
        fs::current_path(dir); // where the files the script writes by name go
        return dir;
    }();
    const fs::path programDir = vp7::fuzz::ProgramDir() / "program";
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator(scratch, ec)) // the working folder stays
        fs::remove_all(entry.path(), ec);
    fs::remove_all(programDir, ec);
    fs::create_directories(programDir, ec);
    std::string script;
    std::ofstream file;
    for (const std::string& line : lines) {
        if (line.starts_with(kFileLine)) {
            file = std::ofstream(scratch / line.substr(kFileLine.size()), std::ios::binary);
            continue;
        }
        if (file.is_open())
            file << line << '\n';
        else
            script += line + '\n';
    }
    file.close();

    std::ostringstream out, err;
    std::istringstream in(script);
    vp7::Runner runner(out, programDir.string());
    runner.SetScriptFolder(scratch.string());
    runner.Run(in, err);
    return 0;
}
