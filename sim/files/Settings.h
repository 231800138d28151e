// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The settings kept in Config/VP7.ini beside the program: options, parameters, diagnostic values,
// scales and window places, read while the main window is created and written when it closes.
#include "model/DeviceCodes.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vp7 {

class StateVisitor;

class IniFile;
class Simulator;

// A file of this name beside the program marks its folder as installed: it belongs to the package
// manager, so the settings never go there, not even when it can be written (as by root).
inline constexpr char kInstalledMark[] = "vp7sim.installed";

// The folders that may hold "Config" and "Data", in the order they are tried: the program's own unless
// it is marked as installed, then the per-user folder where there is one.
std::vector<std::string> SettingsBases(const std::string& programDir, const std::string& userDir);

class Settings {
public:
    explicit Settings(Simulator& sim);
    // Its own fields, for a snapshot: saved, loaded, checked and compared alike.
    void DoState(StateVisitor& v);

    // Makes sure "Config" and "Data" exist beside the program, or in the per-user folder when the
    // program's folder cannot be written or is installed (SettingsBases), then reads every key in its order
    // (a missing file, section or key gives its default) and sets up the parameter and diagnostic tables in
    // between. False after the folder message: the start-up is then abandoned.
    bool LoadSettings();
    // Writes every key; a failure is ignored and leaves the previous file whole. Nothing is written
    // unless LoadSettings got as far as reading the file, or when a file there could not be read.
    void SaveSettings();
    // Every key as SaveSettings writes it, into `ini` (a recording starts with the settings in force).
    void WriteAll(IniFile& ini) const;

    // A section kept by what runs beside the device (the trend window's place): read with the other
    // keys, written in the same save. Register before the settings are read.
    void AddSection(std::function<void(const IniFile&)> read, std::function<void(IniFile&)> write) {
        sections_.push_back({std::move(read), std::move(write)});
    }

    // The language of a first start, when there is no settings file yet (the desktop's); without it,
    // and whenever there is a file, the file decides as ever (English when it says nothing).
    void SetFirstStartLanguage(Language language) { firstStartLanguage_ = language; }

    // The folder holding "Config" and "Data": the program's own, or the per-user one.
    const std::string& BaseDir() const { return baseDir_; }
    std::string ConfigDir() const;
    std::string DataDir() const;
    std::string IniPath() const;

private:
    bool EnsureFolders();
    // The settings key of a parameter: its display name without blanks, TSUP/TSDO/BIN1 fixed.
    std::string ParameterKey(int index) const;
    void ReadConfig(const IniFile& ini, bool firstStart);
    void ReadParameters(const IniFile& ini);
    void ReadDiagnostics(const IniFile& ini);
    void WriteConfig(IniFile& ini) const;
    void WriteParameters(IniFile& ini) const;
    Simulator& sim_;
    std::string baseDir_;
    bool loaded_ = false;
    std::optional<Language> firstStartLanguage_;
    struct Section {
        std::function<void(const IniFile&)> read;
        std::function<void(IniFile&)> write;
    };
    std::vector<Section> sections_;
};

} // namespace vp7
