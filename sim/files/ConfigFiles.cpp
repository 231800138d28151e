// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/files/ConfigFiles.h"

#include "formats/AtomicFile.h"
#include "formats/Cp1252.h"
#include "platform/FileRead.h"
#include "platform/Host.h"
#include "platform/StateVisitor.h"
#include "sim/Simulator.h"
#include "sim/diagnosis/Diagnostics.h"
#include "sim/diagnosis/Monitoring.h"
#include "sim/display/FrontPanel.h"
#include "sim/files/Settings.h"
#include "sim/motion/Actuator.h"
#include "sim/motion/Scales.h"
#include "sim/operation/HelpTexts.h"
#include "sim/operation/ModeLogic.h"
#include "sim/operation/ParamSet.h"
#include "sim/operation/ParamTableView.h"

#include <algorithm>
#include <filesystem>

namespace vp7 {
namespace {

const char* const kExtension = "vp7";
const char* const kFilter = "Konfigurationsdatei (*.vp7)|*.vp7|Alle Dateien (*.*)|*.*";
constexpr size_t kTexts = 248, kTextSize = 256, kParameters = 24;

void Put32(ConfigFiles::Record& r, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        r[at + i] = static_cast<uint8_t>(v >> (8 * i));
}
uint32_t Get32(const ConfigFiles::Record& r, size_t at) {
    return r[at] | r[at + 1] << 8 | r[at + 2] << 16 | static_cast<uint32_t>(r[at + 3]) << 24;
}

// One length byte and 255 character bytes, in the 8-bit character set.
void PutText(ConfigFiles::Record& r, size_t at, const std::string& utf8) {
    std::string text = Utf8ToCp1252(utf8);
    if (text.size() > 255) text.resize(255);
    r[at] = static_cast<uint8_t>(text.size());
    std::copy(text.begin(), text.end(), r.begin() + static_cast<std::ptrdiff_t>(at + 1));
}
// A damaged or hand-edited length byte may run past the text into filler bytes: the text ends at its
// first control character, so no NUL or line break reaches the scales or the settings file.
std::string GetText(const ConfigFiles::Record& r, size_t at) {
    const auto first = r.begin() + static_cast<std::ptrdiff_t>(at + 1);
    const auto end = std::find_if(first, first + r[at], [](uint8_t c) { return c < 0x20 || c == 0x7F; });
    return Cp1252ToUtf8(std::string(first, end));
}

// "Alle Dateien" lets a user pick anything: a huge file is refused by its size before it is read.
std::optional<ConfigFiles::Record> ReadRecordBytes(const std::string& path) {
    const auto bytes = ReadWholeFile(path, ConfigFiles::RecordSize);
    if (!bytes || bytes->size() != ConfigFiles::RecordSize) return std::nullopt;
    ConfigFiles::Record r;
    std::copy(bytes->begin(), bytes->end(), r.begin());
    return r;
}

} // namespace

ConfigFiles::ConfigFiles(Simulator& sim) : sim_(sim) {}

std::string ConfigFiles::FileErrorText(int code) const {
    static const char* const kTexts[4][2] = {
        {"Ordner \\Config konnte nicht angelegt werden", "Folder \\Config could not created"},
        {"Ordner \\Data konnte nicht angelegt werden", "Folder \\Data could not created"},
        {"Fehler in der VP7-Konfigurationsdatei", "Error in the VP7 configuration file"},
        {"unbekannter Fehler", "unbekannter Fehler"}};
    const int row = code >= 0 && code <= 2 ? code : 3;
    return sim_.state.Text(kTexts[row][0], kTexts[row][1]);
}

void ConfigFiles::ShowFileError(int code) {
    sim_.host.MessageDlg(FileErrorText(code), MsgType::Error, MsgButton::OK);
}

std::string ConfigFiles::VariantText(uint8_t variant) const {
    static const char* const kVariant[VariantCount][2] = {
        {"Konfigurationsdatei ist für einen VP7-A", "Configuration file is for a VP7-A"},
        {"Konfigurationsdatei ist für einen VP7-PA", "Configuration file is for a VP7-PA"},
        {"Konfigurationsdatei ist für einen VP7-FF", "Configuration file is for a VP7-FF"}};
    return sim_.state.Text(kVariant[variant][0], kVariant[variant][1]);
}

int32_t ConfigFiles::RecordParam(const Record& record, int index) {
    return static_cast<int32_t>(Get32(record, kParameters + 4 * static_cast<size_t>(index)));
}

std::optional<ConfigFiles::Record> ConfigFiles::ReadRecord(const std::string& path) {
    auto r = ReadRecordBytes(path);
    if (!r || Get32(*r, 0) != Signature || RecordVariant(*r) >= VariantCount) return std::nullopt;
    return r;
}

ConfigFiles::Record ConfigFiles::BuildRecord() const {
    Record r{};
    const SimState& s = sim_.state;
    const FormState& f = sim_.form;
    Put32(r, 0, Signature);
    r[VariantByte] = s.ControllerType;
    r[5] = s.GearIs33;
    Put32(r, 8, static_cast<uint32_t>(f.SetpointDimSelect.itemIndex));
    r[12] = f.SelfClosingSelect.checked ? 'S' : f.SelfOpeningSelect.checked ? 'O' : 'D';
    Put32(r, 16, static_cast<uint32_t>(f.DrosselSelect.itemIndex));
    r[20] = sim_.diagnostics.TempFahrenheit;
    r[21] = sim_.monitoring.OpenFaultLatched;
    r[22] = sim_.monitoring.ZeroFaultLatched;
    const ParamSet& p = sim_.params;
    for (int i = p.ParamFirstIndex; i <= p.ParamLastIndex; ++i)
        Put32(r, kParameters + 4 * static_cast<size_t>(i), static_cast<uint32_t>(p.ParamTable[i].Value));
    const Scales& sc = sim_.scales;
    const std::string* texts[] = {&sc.PV100, &sc.PV0, &sc.Out100, &sc.Out0, &f.SetPointText.text};
    for (size_t i = 0; i < 5; ++i)
        PutText(r, kTexts + i * kTextSize, *texts[i]);
    return r;
}

void ConfigFiles::Konfigurationspeichern1Click() {
    auto path = sim_.host.SaveFileDialog(kFilter, sim_.settings.DataDir(), kExtension);
    if (!path) return;
    // The dialog adds the extension itself; a name without one is completed the same way here.
    if (std::filesystem::path(*path).extension().empty()) *path += std::string(".") + kExtension;
    const Record r = BuildRecord();
    // A full disk or a locked folder is reported instead of passing for success, and the file that
    // was there stays whole.
    if (!WriteFileAtomically(*path, std::string_view(reinterpret_cast<const char*>(r.data()), r.size())))
        return ShowFileError(3);
    Used(*path);
}

void ConfigFiles::Konfigurationladen1Click() {
    const auto path = sim_.host.OpenFileDialog(kFilter, sim_.settings.DataDir());
    if (!path) return;
    const auto r = ReadRecordBytes(*path);
    if (!r) return ShowFileError(2);
    if (LoadRecord(*r)) Used(*path);
}

void ConfigFiles::Used(const std::string& path) {
    currentFile_ = path;
    if (fileUsed_) fileUsed_(path);
}

bool ConfigFiles::LoadRecord(const Record& r) {
    SimState& s = sim_.state;
    FormState& f = sim_.form;
    ParamSet& p = sim_.params;
    if (Get32(r, 0) != Signature) {
        ShowFileError(2);
        return false;
    }
    s.Updating = 1;
    if (RecordVariant(r) >= VariantCount) {
        ShowFileError(2);
        s.Updating = 0;
        return false;
    }
    if (RecordVariant(r) != s.ControllerType) {
        sim_.host.MessageDlg(VariantText(RecordVariant(r)), MsgType::Error, MsgButton::OK);
        s.Updating = 0;
        return false;
    }
    s.GearIs33 = r[5] <= 1 ? r[5] : 0;
    const auto unit = static_cast<int32_t>(Get32(r, 8));
    f.SetpointDimSelect.itemIndex = unit > 1 ? 0 : unit < 0 ? -1 : unit;
    f.SelfClosingSelect.checked = r[12] == 'S';
    f.SelfOpeningSelect.checked = r[12] == 'O';
    f.DoubleActingSelect.checked = r[12] != 'S' && r[12] != 'O';
    const auto throttle = static_cast<int32_t>(Get32(r, 16));
    f.DrosselSelect.itemIndex = throttle > 3 ? 0 : throttle;
    sim_.diagnostics.TempFahrenheit = r[20];
    sim_.monitoring.OpenFaultLatched = r[21];
    sim_.monitoring.ZeroFaultLatched = r[22];

    sim_.helpTexts.SetupHelpTexts();
    p.LoadTableFromStore();
    bool bad = false;
    for (int i = p.ParamFirstIndex; i <= p.ParamLastIndex; ++i) {
        TParamField& field = p.ParamTable[i];
        field.Value = RecordParam(r, i);
        if ((field.Value < field.Min || field.Value > field.Max) && field.Value != field.Special) bad = true;
    }
    if (bad) { // one bad value: all parameters at their factory values, the rest of the file still counts
        ShowFileError(2);
        p.SetFactoryDefaults(s.ControllerType);
        p.LoadTableFromStore();
    }
    Scales& sc = sim_.scales;
    std::string* texts[] = {&sc.PV100, &sc.PV0, &sc.Out100, &sc.Out0, &f.SetPointText.text};
    for (size_t i = 0; i < 5; ++i)
        *texts[i] = GetText(r, kTexts + i * kTextSize);

    p.StoreFromTable();
    sim_.RecalcScales();
    sim_.monitoring.ApplyDeadBandMonitoring();
    sim_.monitoring.ApplyDeviationMonitoring();
    sim_.monitoring.ApplyEndStopMonitoring();
    sim_.actuator.ComputeStrokeSpeeds();
    sim_.frontPanel.DrawGear();
    sim_.actuator.ShowValveType(); // a spring-return actuator shows its spring
    sim_.modes.CheckGearSetting();
    s.Updating = 0;
    if (f.parTab.visible) sim_.paramTableView.SetParTab(); // an open table shows what was loaded
    sim_.Note(Happening::ConfigurationLoaded);
    sim_.ViewChanged();
    return true;
}

void ConfigFiles::DoState(StateVisitor& v) {
    v.Part("configFiles");
    v("currentFile_", currentFile_);
}

} // namespace vp7
