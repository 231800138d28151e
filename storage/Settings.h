#pragma once
// The settings kept beside the program in Config/VP7.ini, read while the main window is created and
// written when it closes.
#include <string>

namespace vp7 {

class Simulator;

class Settings {
public:
    explicit Settings(Simulator& sim);

    // Makes sure the folders "Config" and "Data" exist beside the program. On failure shows the
    // folder message and returns false: the start-up is then abandoned.
    bool EnsureFolders();
    // What a missing settings file gives: every key at its default.
    void ApplyDefaults();

    std::string ConfigDir() const;
    std::string DataDir() const;
    std::string IniPath() const;

private:
    Simulator& sim_;
};

} // namespace vp7
