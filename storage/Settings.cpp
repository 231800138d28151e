#include "storage/Settings.h"

#include "core/Simulator.h"
#include "platform/Host.h"

#include <filesystem>
#include <system_error>

namespace vp7 {
namespace fs = std::filesystem;

Settings::Settings(Simulator& sim) : sim_(sim) {}

std::string Settings::ConfigDir() const { return (fs::path(sim_.programDir) / "Config").string(); }
std::string Settings::DataDir() const { return (fs::path(sim_.programDir) / "Data").string(); }
std::string Settings::IniPath() const { return (fs::path(ConfigDir()) / "VP7.ini").string(); }

bool Settings::EnsureFolders() {
    struct Folder {
        std::string path;
        const char* message[2];
    };
    const Folder folders[] = {
        {ConfigDir(), {"Ordner \\Config konnte nicht angelegt werden", "Folder \\Config could not created"}},
        {DataDir(), {"Ordner \\Data konnte nicht angelegt werden", "Folder \\Data could not created"}},
    };
    for (const Folder& f : folders) {
        std::error_code ec;
        if (fs::is_directory(f.path, ec)) continue;
        fs::create_directory(f.path, ec);
        if (!fs::is_directory(f.path, ec)) {
            sim_.host.MessageDlg(f.message[sim_.state.Language == 0 ? 0 : 1], MsgType::Error, MsgButton::OK);
            return false;
        }
    }
    return true;
}

void Settings::ApplyDefaults() {
    SimState& s = sim_.state;
    FormState& form = sim_.form;
    s.CheckScreen = 1;
    form.ExtraCheckScreen.checked = true;
    s.Language = 1;
    form.English1.checked = true;
    form.Deutsch1.checked = false;
    form.MausStandard.checked = true;
    form.cursor = CursorShape::Standard;
    form.HelpOthers.checked = false;
    form.HelpKeys.checked = false;
    form.AlarmModulSelect.checked = false;
    form.StromModulSelect.checked = false;
    s.ControllerType = sim_.options.controllerType <= 2 ? sim_.options.controllerType : 0;
    form.ControllerSelect.itemIndex = s.ControllerType;
    s.GearIs33 = 1;
    // The fieldbus variants take the setpoint in % only.
    form.SetpointDimSelect.itemIndex = 0;
    form.SetpointDimSelect.enabled = s.ControllerType == 0;
    form.DoubleActingSelect.checked = true;
    form.SelfClosingSelect.checked = form.SelfOpeningSelect.checked = false;
    form.DrosselSelect.itemIndex = 0;
    form.SetPointText.text = std::string(1, '0');
}

} // namespace vp7
