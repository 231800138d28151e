// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/language/StateValues.h"

#include "sim/Simulator.h"
#include "sim/diagnosis/Diagnostics.h"
#include "sim/diagnosis/Initialization.h"
#include "sim/diagnosis/Monitoring.h"
#include "sim/display/Lcd.h"
#include "sim/display/OperatingDisplays.h"
#include "sim/motion/Controller.h"
#include "sim/motion/Scales.h"
#include "sim/operation/ConfigMenu.h"
#include "sim/operation/ModeLogic.h"

#include <initializer_list>
#include <utility>

namespace vp7 {

const NamedValue* FindValue(const std::vector<NamedValue>& values, std::string_view name) {
    for (const NamedValue& v : values)
        if (v.name == name) return &v;
    return nullptr;
}

std::vector<NamedValue> StateValues(Simulator& sim) {
    std::vector<NamedValue> values;
    const auto AddValue = [&](std::string name, decltype(NamedValue::ref) ref) {
        values.push_back({std::move(name), ref});
    };
    SimState& s = sim.state;
    for (auto [name, ptr] : std::initializer_list<std::pair<const char*, const double*>>{
             {"Sollwert", &s.Sollwert},
             {"ReglerSollwert", &s.ReglerSollwert},
             {"KennlinienEingang", &s.KennlinienEingang},
             {"PositionSetpoint", &s.PositionSetpoint},
             {"SollwertShown", &s.SollwertShown},
             {"AutoTarget", &s.AutoTarget},
             {"ManuellTarget", &s.ManuellTarget},
             {"DeadBand", &s.DeadBand},
             {"DeadBandOffset", &s.DeadBandOffset},
             {"TightCloseInput", &s.TightCloseInput},
             {"Istwert", &s.Istwert},
             {"FrameTravel", &s.FrameTravel},
             {"StepUp", &s.StepUp},
             {"StepDown", &s.StepDown},
             {"SollwertMin", &sim.scales.SollwertMin},
             {"SollwertMax", &sim.scales.SollwertMax},
             {"ReglerMin", &sim.scales.ReglerMin},
             {"ReglerMax", &sim.scales.ReglerMax},
             {"SollwertScaleLow", &sim.scales.SollwertScaleLow},
             {"SollwertScaleHigh", &sim.scales.SollwertScaleHigh},
             {"ReglerScaleLow", &sim.scales.ReglerScaleLow},
             {"ReglerScaleHigh", &sim.scales.ReglerScaleHigh},
             {"EingabeMin", &sim.scales.EingabeMin},
             {"EingabeMax", &sim.scales.EingabeMax},
             {"EingabeFaktor", &sim.scales.EingabeFaktor},
             {"EingabeOffset", &sim.scales.EingabeOffset},
             {"Ya", &sim.scales.Ya},
             {"Ye", &sim.scales.Ye},
             {"Yfactor", &sim.scales.Yfactor},
             {"Yoffset", &sim.scales.Yoffset},
             {"TightOpenOn", &sim.scales.TightOpenOn},
             {"TightOpenOff", &sim.scales.TightOpenOff},
             {"TightCloseOn", &sim.scales.TightCloseOn},
             {"TightCloseOff", &sim.scales.TightCloseOff},
             {"RampValue", &sim.controller.RampValue},
             {"RampLow", &sim.controller.RampLow},
             {"RampHigh", &sim.controller.RampHigh},
             {"TravelSum", &sim.diagnostics.TravelSum},
             {"LeakStep", &sim.monitoring.LeakStep},
             {"IstwertShown", &sim.displays.IstwertShown},
             {"InitTarget", &sim.initialization.InitTarget},
             {"InitPosition", &sim.initialization.InitPosition},
             {"TravelTimeUp", &sim.initialization.TravelTimeUp},
             {"TravelTimeDown", &sim.initialization.TravelTimeDown},
             {"ManualStep", &sim.modes.ManualStep},
             {"DeviationLimit", &sim.monitoring.DeviationLimit},
             {"DeadBandLimit", &sim.monitoring.DeadBandLimit},
             {"ZeroStopBand", &sim.monitoring.ZeroStopBand},
             {"OpenStopBand", &sim.monitoring.OpenStopBand}})
        AddValue(name, ptr);
    for (auto [name, map] : std::initializer_list<std::pair<std::string, const LinearMap*>>{
             {"SplitRange", &sim.scales.splitRange},
             {"ReglerScale", &sim.scales.reglerScale},
             {"KennlinienEingangScale", &sim.scales.kennlinienEingang},
             {"SollwertScale", &sim.scales.sollwertPixel},
             {"ReglerPixelScale", &sim.scales.reglerPixel},
             {"VentilScale", &sim.scales.ventilPixel}}) {
        AddValue(name + "Factor", &map->factor);
        AddValue(name + "Offset", &map->offset);
    }
    for (auto [name, ptr] : std::initializer_list<std::pair<const char*, const int32_t*>>{
             {"MoveDirection", &s.MoveDirection},
             {"LastDirection", &s.LastDirection},
             {"TargetFrame", &s.TargetFrame},
             {"CurrentFrame", &s.CurrentFrame},
             {"BaseTimeUp", &s.BaseTimeUp},
             {"BaseTimeDown", &s.BaseTimeDown},
             {"SollwertMarkY", &s.SollwertMarkY},
             {"ReglerMarkY", &s.ReglerMarkY},
             {"VentilMarkY", &s.VentilMarkY},
             {"ScreenWidth", &s.ScreenWidth},
             {"ScreenHeight", &s.ScreenHeight},
             {"ScreenBitsPerPixel", &s.ScreenBitsPerPixel},
             {"MouseX", &sim.MouseX},
             {"MouseY", &sim.MouseY},
             {"EditStep", &sim.configMenu.EditStep},
             {"InitWait", &sim.initialization.InitWait},
             {"ShowCount", &sim.initialization.ShowCount},
             {"Run5Index", &sim.initialization.Run5Index},
             {"DeviationTicks", &sim.monitoring.DeviationTicks},
             {"DeviationTimeLimit", &sim.monitoring.DeviationTimeLimit},
             {"DeadBandDecayTicks", &sim.monitoring.DeadBandDecayTicks},
             {"RampDirection", &sim.controller.RampDirection},
             {"SollwertMinY", &sim.scales.SollwertMinY},
             {"SollwertMaxY", &sim.scales.SollwertMaxY},
             {"ReglerMinY", &sim.scales.ReglerMinY},
             {"ReglerMaxY", &sim.scales.ReglerMaxY},
             {"YaY", &sim.scales.YaY},
             {"YeY", &sim.scales.YeY}})
        AddValue(name, ptr);
    AddValue("CurrentParam", &sim.configMenu.CurrentParam);
    AddValue("KeyHoldCount", &sim.modes.KeyHoldCount);
    AddValue("EndStopTime", &sim.monitoring.EndStopTime);
    for (auto [name, ptr] : std::initializer_list<std::pair<const char*, decltype(NamedValue::ref)>>{
             {"MoveActive", &s.MoveActive},
             {"ScalesValid", &s.ScalesValid},
             {"MarksErased", &s.MarksErased},
             {"Mode", &s.Mode},
             {"BinMode", &s.BinMode},
             {"DiagnosticMode", &s.DiagnosticMode},
             {"InitRunning", &s.InitRunning},
             {"InitStepRunning", &s.InitStepRunning},
             {"Updating", &s.Updating},
             {"ControllerType", &s.ControllerType},
             {"Language", &s.Language},
             {"GearIs33", &s.GearIs33},
             {"SplashValid", &s.SplashValid},
             {"SplashDone", &s.SplashDone},
             {"RestartRequested", &s.RestartRequested},
             {"CheckScreen", &s.CheckScreen},
             {"CloseApplication", &s.CloseApplication},
             {"LastKeyCode", &s.LastKeyCode},
             {"LatchUmschalt", &sim.modes.LatchUmschalt},
             {"LatchKleiner", &sim.modes.LatchKleiner},
             {"LatchGroesser", &sim.modes.LatchGroesser},
             {"HoldUmschalt", &sim.modes.HoldUmschalt},
             {"HoldTimeout", &sim.modes.HoldTimeout},
             {"HoldGroesserLong", &sim.modes.HoldGroesserLong},
             {"RepeatKleiner", &sim.modes.RepeatKleiner},
             {"RepeatGroesser", &sim.modes.RepeatGroesser},
             {"Bin1BlockConfig", &sim.monitoring.Bin1BlockConfig},
             {"BinaryInput1", &sim.monitoring.BinaryInput1},
             {"BinaryInput2", &sim.monitoring.BinaryInput2},
             {"FaultOutput", &sim.monitoring.FaultOutput},
             {"Alarm1Output", &sim.monitoring.Alarm1Output},
             {"Alarm2Output", &sim.monitoring.Alarm2Output},
             {"Alarm1Active", &sim.monitoring.Alarm1Active},
             {"Alarm2Active", &sim.monitoring.Alarm2Active},
             {"ZeroFaultLatched", &sim.monitoring.ZeroFaultLatched},
             {"OpenFaultLatched", &sim.monitoring.OpenFaultLatched},
             {"DiagIndex", &sim.diagnostics.DiagIndex},
             {"InitRun", &sim.initialization.InitRun},
             {"InitPaused", &sim.initialization.InitPaused},
             {"InitShow", &sim.initialization.InitShow},
             {"TempFahrenheit", &sim.diagnostics.TempFahrenheit},
             {"Bin1BlockConfigManual", &sim.monitoring.Bin1BlockConfigManual},
             {"DiagResetPending", &sim.diagnostics.DiagResetPending},
             {"TightOpenActive", &sim.controller.TightOpenActive},
             {"TightCloseActive", &sim.controller.TightCloseActive}})
        AddValue(name, ptr);
    for (auto [name, ptr] : std::initializer_list<std::pair<const char*, const std::string*>>{
             {"PV100", &sim.scales.PV100},
             {"PV0", &sim.scales.PV0},
             {"Out100", &sim.scales.Out100},
             {"Out0", &sim.scales.Out0},
             {"SollwertScaleLowText", &sim.scales.SollwertScaleTexts[0]},
             {"SollwertScaleHighText", &sim.scales.SollwertScaleTexts[1]},
             {"ReglerScaleLowText", &sim.scales.ReglerScaleTexts[0]},
             {"ReglerScaleHighText", &sim.scales.ReglerScaleTexts[1]},
             {"LcdUpperText", &sim.lcd.LcdUpperText},
             {"LcdLowerText", &sim.lcd.LcdLowerText}})
        AddValue(name, ptr);
    return values;
}

} // namespace vp7
