// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/files/Settings.h"

#include "formats/AtomicFile.h"
#include "formats/IniFile.h"
#include "platform/Host.h"
#include "platform/NumberFormat.h"
#include "platform/StateVisitor.h"
#include "sim/Simulator.h"
#include "sim/diagnosis/Diagnostics.h"
#include "sim/diagnosis/Monitoring.h"
#include "sim/motion/Scales.h"
#include "sim/operation/HelpTexts.h"
#include "sim/operation/ParamSet.h"

#include <filesystem>
#include <system_error>

namespace vp7 {
namespace fs = std::filesystem;
namespace {

constexpr std::string_view kUnset = "xx-yy-zz"; // the default of number keys: never a number
constexpr std::string_view kExtendedSection = "ExtendedFaults";

// A flag is "1" exactly; anything else is off.
bool Flag(const IniFile& ini, std::string_view section, std::string_view key, std::string_view def) {
    return ini.ReadString(section, key, def) == "1";
}

const char* FlagText(bool on) {
    return on ? "1" : "0";
}

// Creates the folder when missing and proves it can be written to (with a file of a fresh name: a
// fixed one could be a link another user left there).
bool UsableFolder(const fs::path& dir) {
    std::error_code ec;
    if (!fs::is_directory(dir, ec)) fs::create_directories(dir, ec);
    if (!fs::is_directory(dir, ec)) return false;
    return FolderTakesNewFiles(dir.string());
}

} // namespace

std::vector<std::string> SettingsBases(const std::string& programDir, const std::string& userDir) {
    std::vector<std::string> bases;
    std::error_code ec;
    if (!fs::exists(fs::path(programDir) / kInstalledMark, ec)) bases.push_back(programDir);
    if (!userDir.empty()) bases.push_back(userDir);
    return bases;
}

Settings::Settings(Simulator& sim) : sim_(sim), baseDir_(sim.programDir) {}

std::string Settings::ConfigDir() const {
    return (fs::path(baseDir_) / "Config").string();
}
std::string Settings::DataDir() const {
    return (fs::path(baseDir_) / "Data").string();
}
std::string Settings::IniPath() const {
    return (fs::path(ConfigDir()) / "VP7.ini").string();
}

// An installed program's folder is not the user's: the per-user folder takes its place, so the
// simulator still starts and keeps its settings.
bool Settings::EnsureFolders() {
    bool dataFailed = false;
    for (const std::string& base : SettingsBases(sim_.programDir, sim_.options.userDir)) {
        if (!UsableFolder(fs::path(base) / "Config")) continue;
        if (!UsableFolder(fs::path(base) / "Data")) {
            dataFailed = true;
            continue;
        }
        baseDir_ = base;
        return true;
    }
    const SimState& s = sim_.state;
    const char* text =
        dataFailed
            ? s.Text("Ordner \\Data konnte nicht angelegt werden", "Folder \\Data could not created")
            : s.Text("Ordner \\Config konnte nicht angelegt werden", "Folder \\Config could not created");
    sim_.host.MessageDlg(text, MsgType::Error, MsgButton::OK);
    return false;
}

std::string Settings::ParameterKey(int index) const {
    const ParamSet& p = sim_.params;
    if (index == p.TSUPIndex) return "TSUP";
    if (index == p.TSDOIndex) return "TSDO";
    if (index == p.BIN1Index) return "BIN1";
    std::string key = p.ParamTable[index].Name;
    const size_t first = key.find_first_not_of(' '), last = key.find_last_not_of(' ');
    return first == std::string::npos ? std::string() : key.substr(first, last - first + 1);
}

bool Settings::LoadSettings() {
    loaded_ = false;
    if (!EnsureFolders()) return false;
    const std::string& from = sim_.options.settingsFrom;
    const std::string source = from.empty() ? IniPath() : from;
    std::error_code ec;
    const bool firstStart = !fs::exists(source, ec) && !ec;
    IniFile ini(source);
    ini.Load(); // a missing or unreadable file: every key at its default
    loaded_ = true;
    SimState& s = sim_.state;
    FormState& f = sim_.form;

    ReadConfig(ini, firstStart);
    f.ExtendedFaultsSelect.checked = Flag(ini, kExtendedSection, "On", "0");
    if (s.ControllerType != 0) { // the fieldbus variants take the setpoint in % only
        f.SetpointDimSelect.itemIndex = 0;
        f.SetpointDimSelect.enabled = false;
    } else {
        f.SetpointDimSelect.itemIndex = ini.ReadString("Config", "SollDim", "%") == "mA" ? 1 : 0;
        f.SetpointDimSelect.enabled = true;
    }
    // "VenitlArt" is misspelt in every existing file; the key stays as it is so old settings files keep
    // their valve type.
    const std::string valve = ini.ReadString("Config", "VenitlArt", "D");
    f.SelfClosingSelect.checked = valve == "S";
    f.SelfOpeningSelect.checked = valve == "O";
    f.DoubleActingSelect.checked = valve != "S" && valve != "O";

    // The tables the values below overwrite.
    sim_.helpTexts.SetupHelpTexts();
    sim_.params.LoadTableFromStore();
    sim_.diagnostics.InitDiagTable();

    const std::string drossel = ini.ReadString("Config", "Drossel", "0");
    f.DrosselSelect.itemIndex =
        drossel.size() == 1 && drossel[0] >= '0' && drossel[0] <= '3' ? drossel[0] - '0' : 0;

    ReadParameters(ini);
    ReadDiagnostics(ini);

    Scales& sc = sim_.scales;
    sc.PV100 = ini.ReadString("Skalen", "PV100", "100");
    sc.PV0 = ini.ReadString("Skalen", "PV0", "0");
    sc.Out100 = "100.0"; // the controller scale is fixed; a stored one is ignored
    sc.Out0 = "0.0";
    f.SetPointText.text = ini.ReadString("Skalen", "SP", "0");

    ParTabState& t = f.parTab;
    const auto place = [&](const char* key, int fallback) {
        const auto v = ReadInt32(ini.ReadString("ParTab", key, std::to_string(fallback)));
        return v && *v >= 0 ? *v : fallback;
    };
    t.left = place("Left", 10);
    t.top = place("Top", 63);
    t.height = place("Height", 409);
    t.checked = Flag(ini, "ParTab", "Checked", "0");
    // The program's own sections (its windows, the recent files) stay this PC's under a state's settings.
    IniFile own(IniPath());
    if (!from.empty()) own.Load();
    for (const Section& section : sections_)
        section.read(from.empty() ? ini : own);
    return true;
}

void Settings::ReadConfig(const IniFile& ini, bool firstStart) {
    SimState& s = sim_.state;
    FormState& f = sim_.form;
    const auto check = ReadInt32(ini.ReadString("Config", "CheckScreen", "1"));
    s.CheckScreen = !check || *check != 0;
    f.ExtraCheckScreen.checked = s.CheckScreen;
    const bool germanFirst = firstStart && firstStartLanguage_ == Language::German;
    s.Language = ini.ReadString("Config", "Sprache", germanFirst ? "Deutsch" : "English") == "Deutsch"
                     ? Language::German
                     : Language::English;
    f.Deutsch1.checked = s.Language == Language::German;
    f.English1.checked = s.Language == Language::English;
    const std::string cursor = ini.ReadString("Config", "Mauszeiger", "Standard");
    f.cursor = cursor == "Kreuz"  ? CursorShape::Cross
               : cursor == "Hand" ? CursorShape::Hand
                                  : CursorShape::Standard;
    f.MausStandard.checked = f.cursor == CursorShape::Standard;
    f.MausKreuz.checked = f.cursor == CursorShape::Cross;
    f.MausHand.checked = f.cursor == CursorShape::Hand;
    f.HelpOthers.checked = Flag(ini, "Config", "HilfeSonstiges", "0");
    f.HelpKeys.checked = Flag(ini, "Config", "HilfeTasten", "0");
    f.AlarmModulSelect.checked = Flag(ini, "Config", "Alarmmodul", "0");
    f.StromModulSelect.checked = Flag(ini, "Config", "Strommodul", "0");
    static const char* const kVariants[] = {"VP7A", "VP7PA", "VP7FF"};
    const std::string controller =
        ini.ReadString("Config", "Controller",
                       kVariants[sim_.options.controllerType <= 2 ? sim_.options.controllerType : 0]);
    s.ControllerType = controller == "VP7PA" ? 1 : controller == "VP7FF" ? 2 : 0;
    f.ControllerSelect.itemIndex = s.ControllerType;
    s.GearIs33 = ini.ReadString("Config", "Getriebe", "33") == "90" ? 0 : 1;
}

void Settings::ReadParameters(const IniFile& ini) {
    ParamSet& p = sim_.params;
    for (int i = p.ParamFirstIndex; i <= p.ParamLastIndex; ++i) {
        TParamField& field = p.ParamTable[i];
        const auto v = ReadInt32(ini.ReadString("Parameter", ParameterKey(i), kUnset));
        if (v && ((*v >= field.Min && *v <= field.Max) || *v == field.Special)) field.Value = *v;
    }
    sim_.monitoring.ZeroFaultLatched = Flag(ini, "Parameter", "ZeroLimit", "0");
    sim_.monitoring.OpenFaultLatched = Flag(ini, "Parameter", "OpenLimit", "0");
    if (sim_.state.ControllerType == 2) {
        // The FF variant keeps its own tight-closing pair; a missing or bad one switches the side off.
        for (auto [key, index] : {std::pair{"FYCDO", p.YCDOIndex}, std::pair{"FYCUP", p.YCUPIndex}}) {
            TParamField& field = p.ParamTable[index];
            const auto v = ReadInt32(ini.ReadString("Parameter", key, kUnset));
            field.Value = v && *v >= field.Min && *v <= field.Max ? *v : -1200;
        }
        p.StoreFromTable(); // derives YCLS from the pair
    }
}

void Settings::ReadDiagnostics(const IniFile& ini) {
    Diagnostics& d = sim_.diagnostics;
    for (TDiagField& field : d.DiagTable) {
        const std::string key = field.Name.substr(field.Name.find_first_not_of(' '));
        if (const auto v =
                ReadInt32(ini.ReadString("Diagnose", key.substr(0, key.find_last_not_of(' ') + 1), kUnset)))
            field.Value = *v;
    }
    d.TempFahrenheit = ini.ReadString("Diagnose", "TempDim", "C") == "F";
}

void Settings::SaveSettings() {
    // Settings never read (a start-up that failed) are defaults, not the user's: they replace nothing.
    if (!loaded_) return;
    try {
        IniFile ini(IniPath());
        std::error_code ec;
        // A file that is there but cannot be read would lose its other sections and comments.
        if (!ini.Load() && fs::exists(ini.Path(), ec)) return;
        WriteAll(ini);
        ini.Save(); // through a temporary file: a failure leaves the previous file whole
    } catch (...) {
        // Writing the settings must never keep the program from closing.
    }
}

void Settings::WriteAll(IniFile& ini) const {
    WriteConfig(ini);
    WriteParameters(ini);
    const Diagnostics& d = sim_.diagnostics;
    for (const TDiagField& field : d.DiagTable) {
        const std::string key = field.Name.substr(field.Name.find_first_not_of(' '));
        ini.WriteString("Diagnose", key.substr(0, key.find_last_not_of(' ') + 1), WriteHex32(field.Value));
    }
    ini.WriteString("Diagnose", "TempDim", d.TempFahrenheit ? "F" : "C");
    const Scales& sc = sim_.scales;
    ini.WriteString("Skalen", "PV100", sc.PV100);
    ini.WriteString("Skalen", "PV0", sc.PV0);
    ini.WriteString("Skalen", "Out100", sc.Out100);
    ini.WriteString("Skalen", "Out0", sc.Out0);
    ini.WriteString("Skalen", "SP", sim_.form.SetPointText.text);
    const ParTabState& t = sim_.form.parTab;
    ini.WriteString("ParTab", "Left", std::to_string(t.left));
    ini.WriteString("ParTab", "Top", std::to_string(t.top));
    ini.WriteString("ParTab", "Height", std::to_string(t.height));
    ini.WriteString("ParTab", "Checked", FlagText(t.checked));
    // A section of its own, written once the option was ever on: files without it stay as they were.
    if (sim_.form.ExtendedFaultsSelect.checked || !ini.ReadString(kExtendedSection, "On", "").empty())
        ini.WriteString(kExtendedSection, "On", FlagText(sim_.form.ExtendedFaultsSelect.checked));
    for (const Section& section : sections_)
        section.write(ini);
}

void Settings::WriteConfig(IniFile& ini) const {
    const SimState& s = sim_.state;
    const FormState& f = sim_.form;
    ini.WriteString("Config", "CheckScreen", FlagText(s.CheckScreen));
    ini.WriteString("Config", "Sprache", s.Language == Language::German ? "Deutsch" : "English");
    ini.WriteString("Config", "Mauszeiger",
                    f.MausKreuz.checked  ? "Kreuz"
                    : f.MausHand.checked ? "Hand"
                                         : "Standard");
    ini.WriteString("Config", "HilfeSonstiges", FlagText(f.HelpOthers.checked));
    ini.WriteString("Config", "HilfeTasten", FlagText(f.HelpKeys.checked));
    ini.WriteString("Config", "Alarmmodul", FlagText(f.AlarmModulSelect.checked));
    ini.WriteString("Config", "Strommodul", FlagText(f.StromModulSelect.checked));
    static const char* const kVariants[] = {"VP7A", "VP7PA", "VP7FF"};
    if (f.ControllerSelect.itemIndex >= 0 && f.ControllerSelect.itemIndex <= 2)
        ini.WriteString("Config", "Controller", kVariants[f.ControllerSelect.itemIndex]);
    ini.WriteString("Config", "Getriebe", s.GearIs33 ? "33" : "90");
    ini.WriteString("Config", "VenitlArt",
                    f.SelfClosingSelect.checked   ? "S"
                    : f.SelfOpeningSelect.checked ? "O"
                                                  : "D");
    ini.WriteString("Config", "SollDim", f.SetpointDimSelect.itemIndex == 1 ? "mA" : "%");
    ini.WriteString("Config", "Drossel", std::to_string(f.DrosselSelect.itemIndex));
}

void Settings::WriteParameters(IniFile& ini) const {
    const ParamSet& p = sim_.params;
    const bool ff = sim_.state.ControllerType == 2;
    for (int i = p.ParamFirstIndex; i <= p.ParamLastIndex; ++i) {
        if (ff && (i == p.YCDOIndex || i == p.YCUPIndex)) continue; // the other variants' lines stay
        ini.WriteString("Parameter", ParameterKey(i), WriteHex32(p.ParamTable[i].Value));
    }
    if (ff) {
        ini.WriteString("Parameter", "FYCDO", WriteHex32(p.ParamTable[p.YCDOIndex].Value));
        ini.WriteString("Parameter", "FYCUP", WriteHex32(p.ParamTable[p.YCUPIndex].Value));
    }
    ini.WriteString("Parameter", "ZeroLimit", FlagText(sim_.monitoring.ZeroFaultLatched));
    ini.WriteString("Parameter", "OpenLimit", FlagText(sim_.monitoring.OpenFaultLatched));
}

// The folder it reads and writes is where this program runs, not part of the device.
void Settings::DoState(StateVisitor& v) {
    v.Part("settings");
    v("loaded_", loaded_);
    v("firstStartLanguage_", firstStartLanguage_);
}

} // namespace vp7
