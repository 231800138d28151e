// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/Simulator.h"

#include "model/SpriteSet.h"
#include "platform/Host.h"
#include "sim/diagnosis/Diagnostics.h"
#include "sim/diagnosis/Initialization.h"
#include "sim/diagnosis/Monitoring.h"
#include "sim/display/Captions.h"
#include "sim/display/FrontPanel.h"
#include "sim/display/IoPictures.h"
#include "sim/display/Lcd.h"
#include "sim/display/OperatingDisplays.h"
#include "sim/display/ScreenCheck.h"
#include "sim/display/Splash.h"
#include "sim/faults/ExtendedFaults.h"
#include "sim/files/ConfigFiles.h"
#include "sim/files/Settings.h"
#include "sim/motion/Actuator.h"
#include "sim/motion/Characteristic.h"
#include "sim/motion/Controller.h"
#include "sim/motion/Scales.h"
#include "sim/operation/ConfigMenu.h"
#include "sim/operation/HelpTexts.h"
#include "sim/operation/HoverHelp.h"
#include "sim/operation/KeyInput.h"
#include "sim/operation/ModeLogic.h"
#include "sim/operation/ParamSet.h"
#include "sim/operation/ParamTableView.h"
#include "sim/operation/PointerInput.h"
#include "sim/operation/ScaleDialog.h"

#include <optional>
#include <utility>

namespace vp7 {

// The subsystems in the order they are built; each keeps the simulator to reach its neighbours,
// which none of them does while being built.
struct Simulator::Parts {
    explicit Parts(Simulator& sim)
        : scales(sim), characteristic(sim), controller(sim), actuator(sim), modes(sim), keyInput(sim),
          pointer(sim), configMenu(sim), diagnostics(sim), initialization(sim), monitoring(sim),
          ioPictures(sim), displays(sim), frontPanel(sim), helpTexts(sim), captions(sim), hoverHelp(sim),
          splash(sim), paramTableView(sim), scaleDialog(sim), screenCheck(sim), lcd(sim), settings(sim),
          configFiles(sim), extendedFaults(sim) {}

    ParamSet params;
    Scales scales;
    Characteristic characteristic;
    Controller controller;
    Actuator actuator;
    ModeLogic modes;
    KeyInput keyInput;
    PointerInput pointer;
    ConfigMenu configMenu;
    Diagnostics diagnostics;
    Initialization initialization;
    Monitoring monitoring;
    IoPictures ioPictures;
    OperatingDisplays displays;
    FrontPanel frontPanel;
    HelpTexts helpTexts;
    Captions captions;
    HoverHelp hoverHelp;
    Splash splash;
    ParamTableView paramTableView;
    ScaleDialog scaleDialog;
    ScreenCheck screenCheck;
    Lcd lcd;
    Settings settings;
    ConfigFiles configFiles;
    ExtendedFaults extendedFaults;
};

Simulator::Simulator(Clock& clk, Host& hst, const SpriteSet& sprs, SimulatorOptions opts)
    : clock(clk), host(hst), sprites(sprs), options(std::move(opts)), programDir(options.programDir),
      image1(sprs.Get(SpriteId::DevicePicture)), Timer1(clk, "Timer1", 100), Timer2(clk, "Timer2", 50),
      DiagnosticTimer(clk, "DiagnosticTimer", 1000), KeyTimer(clk, "KeyTimer", 50),
      AlarmBlinkTimer(clk, "AlarmBlinkTimer", 700), SetpointRampTimer(clk, "SetpointRampTimer", 1000),
      parts_(std::make_unique<Parts>(*this)), params(parts_->params), scales(parts_->scales),
      characteristic(parts_->characteristic), controller(parts_->controller), actuator(parts_->actuator),
      modes(parts_->modes), keyInput(parts_->keyInput), pointer(parts_->pointer),
      configMenu(parts_->configMenu), diagnostics(parts_->diagnostics),
      initialization(parts_->initialization), monitoring(parts_->monitoring), ioPictures(parts_->ioPictures),
      displays(parts_->displays), frontPanel(parts_->frontPanel), helpTexts(parts_->helpTexts),
      captions(parts_->captions), hoverHelp(parts_->hoverHelp), splash(parts_->splash),
      paramTableView(parts_->paramTableView), scaleDialog(parts_->scaleDialog),
      screenCheck(parts_->screenCheck), lcd(parts_->lcd), settings(parts_->settings),
      configFiles(parts_->configFiles), extendedFaults(parts_->extendedFaults) {
    const auto observed = [this](void (Simulator::*handler)(), SampleCause cause) {
        return [this, handler, cause] {
            (this->*handler)();
            Observe(cause);
        };
    };
    Timer1.SetHandler(observed(&Simulator::Timer1Timer, SampleCause::Event));
    Timer2.SetHandler(observed(&Simulator::Timer2Timer, SampleCause::MotionTick));
    DiagnosticTimer.SetHandler(observed(&Simulator::DiagnosticTimerTimer, SampleCause::MonitoringCycle));
    KeyTimer.SetHandler(observed(&Simulator::KeyTimerTimer, SampleCause::Event));
    AlarmBlinkTimer.SetHandler([this] { AlarmBlinkTimerTimer(); }); // only blinks the fault number
    SetpointRampTimer.SetHandler(observed(&Simulator::SetpointRampTimerTimer, SampleCause::Event));
    RegisterHandlers();
}

Simulator::~Simulator() = default;

// The main window's creation, in the device program's order: the order matters, since later steps read
// what earlier ones set (the settings choose the variant whose tables the parameters fill).
void Simulator::FormCreate() {
    // Option handlers stay quiet while the settings fill the controls.
    state.Updating = 1;
    state.RestartRequested = 0;

    // Folders and settings, with the parameter and diagnostic tables set up in between.
    if (!settings.LoadSettings()) {
        // The start-up is abandoned after the folder message; ending the program is the sound way out.
        state.SplashDone = 1;
        host.RequestClose();
        return;
    }

    // Automatic mode, and no marker drawn yet that a later redraw would have to erase.
    state.Mode = Mode::Automatic;
    state.ScalesValid = 0;
    state.MarksErased = 1;

    // The parameter set applied to the simulation: store, dead band; the stroke times are read from
    // the store when the speeds are computed.
    params.StoreFromTable();
    monitoring.ApplyDeadBandMonitoring();
    monitoring.ApplyDeviationMonitoring();
    monitoring.ApplyEndStopMonitoring();

    // The screen; a narrow one gets a maximized window.
    const ScreenInfo screen = host.Screen();
    state.ScreenWidth = screen.width;
    state.ScreenHeight = screen.height;
    state.ScreenBitsPerPixel = screen.bitsPerPixel;
    form.maximized = screen.width <= 1024;
    splash.Load();

    // The piston frames of the valve type the settings chose.
    actuator.SelectPistonFrames();

    // The valve last moved up, with the base stroke time of 2.5 s either way.
    state.LastDirection = 1;
    state.BaseTimeUp = state.BaseTimeDown = 2500;

    captions.SetLanguageTexts();
    state.Updating = 0;

    actuator.ComputeStrokeSpeeds();
    RandomSeed = options.randomSeed.value_or(static_cast<uint64_t>(clock.NowMs()));
    random.seed(RandomSeed);

    // The rest of the start-up runs on the one-shot tick, once the window is shown.
    CreatedMs = clock.NowMs();
    Timer1.SetEnabled(true);
    // The screen check dialog is created after the main window, in the language read at start.
    screenCheck.FormCreate();
    ViewChanged();
}

// The start-up tick: runs once, 100 ms after the window was created.
void Simulator::Timer1Timer() {
    if (!Timer1.Enabled()) return;
    Timer1.SetEnabled(false);
    host.ProcessMessages(); // the window paints once before the screen check may cover it

    if (!screenCheck.CheckAtStart()) return;

    // The splash, when one was loaded at creation; the start-up goes on after its click.
    if (state.SplashValid) {
        splash.Begin([this] { FinishStartUp(); });
        return;
    }
    FinishStartUp();
}

void Simulator::FinishStartUp() {
    state.SplashDone = 1; // from now on the window may close
    StartedMs = clock.NowMs();

    // The unlit display is taken from the picture before anything is written on it.
    lcd.CaptureLcdBackgrounds();

    scales.CalcMB();
    if (state.ScalesValid) {
        state.ScalesValid = characteristic.BuildKennlinie();
        if (state.ScalesValid)
            frontPanel.DrawScales();
        else
            ShowCharacteristicError();
    }
    // The picture shows the options read from the settings.
    DrawOptionsAndPiston();

    // The stored setpoint drives the valve, and the monitoring cycle starts.
    controller.SetpointButtonClick(Sender::Timer1);
    paramTableView.PlaceAtStart();
    DiagnosticTimer.SetEnabled(true);
    ViewChanged();
    if (startedUp_) startedUp_();
}

void Simulator::DrawOptionsAndPiston() {
    ioPictures.ShowBinaryInput1();
    ioPictures.ShowBinaryInput2();
    ioPictures.ShowAlarmModule();
    frontPanel.DrawFeedbackModule();
    frontPanel.DrawGear();
    frontPanel.DrawSupplyGauge();
    actuator.DrawPiston();
}

void Simulator::SpritesRescaled(const SpriteSet& previous) {
    // What is no sprite (the display's backgrounds) stays as it is.
    const auto now = [&](const Picture* p) {
        const std::optional<SpriteId> id = previous.IdOf(p);
        return id ? &sprites.Get(*id) : p;
    };
    image1 = image1.RedrawnOver(sprites.Get(SpriteId::DevicePicture), now);
}

void Simulator::Timer2Timer() {
    actuator.Timer2Timer();
}

void Simulator::ShowCharacteristicError() {
    host.MessageDlg(state.Text("Fehler bei den Stützwerten: Yn+1 - Yn >= 0.2",
                               "Error at the turning points: Yn+1 - Yn >= 0.2"),
                    MsgType::Error, MsgButton::OK);
}

void Simulator::RecalcScales() {
    scales.CalcMB();
    if (!state.ScalesValid) return;
    state.ScalesValid = characteristic.BuildKennlinie();
    if (!state.ScalesValid) {
        ShowCharacteristicError();
        return;
    }
    if (!state.MarksErased) actuator.DrawMarks(0);
    state.MarksErased = 1;
    frontPanel.DrawScales();
    controller.SetpointButtonClick(Sender::None);
}

void Simulator::ApplyParameters() {
    RecalcScales();
    monitoring.ApplyDeadBandMonitoring();
    monitoring.ApplyDeviationMonitoring();
    monitoring.ApplyEndStopMonitoring();
    actuator.ComputeStrokeSpeeds();
    modes.CheckGearSetting();
    paramTableView.SetParTab();
    if (state.ScalesValid) {
        displays.SollwertAnzeige(state.SollwertShown);
        displays.IstwertAnzeige(state.Istwert);
    }
    Note(Happening::ParametersApplied);
    ViewChanged();
}

// The one-second monitoring cycle.
void Simulator::DiagnosticTimerTimer() {
    if (state.InitRunning || state.InitStepRunning) {
        initialization.InitSequencer();
        return;
    }
    if (state.Mode == Mode::Automatic || state.Mode == Mode::Manual) {
        monitoring.CheckAlarms();
        monitoring.CheckFaults();
    }
    if (state.DiagnosticMode && !diagnostics.DiagResetPending) diagnostics.DiagKey(KeyCode::Neutral);
    ViewChanged();
}

void Simulator::KeyTimerTimer() {
    keyInput.KeyTimerTimer();
}

void Simulator::AlarmBlinkTimerTimer() {
    monitoring.AlarmBlinkTimerTimer();
}

void Simulator::SetpointRampTimerTimer() {
    controller.SetpointRampTimerTimer();
}

void Simulator::RegisterHandlers() {
    for (const char* option : {"BlockDownSelect", "BlockUpSelect"})
        OnClick(option, [this] { actuator.BlockDownSelectClick(); });
    OnClick("NoPreasureSelect", [this] {
        if (!state.Updating) frontPanel.DrawSupplyGauge();
        actuator.BlockDownSelectClick();
    });
    for (const char* valveType : {"SelfClosingSelect", "SelfOpeningSelect", "DoubleActingSelect"})
        OnClick(valveType, [this] {
            if (!state.Updating) actuator.ShowValveType();
            actuator.BlockDownSelectClick();
        });
    OnClick("DrosselSelect", [this] { actuator.DrosselSelectClick(); });
    OnClick("ControllerSelect", [this] { frontPanel.ControllerSelectClick(); });
    OnClick("AlarmModulSelect", [this] {
        if (state.Updating) return;
        ioPictures.ShowBinaryInput2();
        ioPictures.ShowAlarmModule();
    });
    OnClick("StromModulSelect", [this] {
        if (!state.Updating) frontPanel.DrawFeedbackModule();
    });
    OnClick("FrictionSelect", [this] { actuator.DrosselSelectClick(); });
    OnClick("ExtendedFaultsSelect", [this] {
        actuator.DrosselSelectClick();
        actuator.BlockDownSelectClick();
    });
    OnClick("SetpointDimSelect", [this] { controller.SetpointDimSelectClick(); });
    OnClick("SetpointButton", [this] { controller.SetpointButtonClick(Sender::SetpointButton); });
    OnClick("SetpointRampButton", [this] { controller.SetpointRampButtonClick(); });
    OnKeyDown("SetPointText", [this](int key) { controller.SetPointTextKeyDown(key); });
    OnClick("Konfigurationspeichern1", [this] { configFiles.Konfigurationspeichern1Click(); });
    OnClick("Konfigurationladen1", [this] { configFiles.Konfigurationladen1Click(); });
    OnClick("Deutsch1", [this] { captions.Deutsch1Click(); });
    OnClick("ParameterTabelle1", [this] { paramTableView.ParameterTabelle1Click(); });
    OnClick("ExtraCheckScreen", [this] { screenCheck.ExtraCheckScreenClick(); });
    OnClick("English1", [this] { captions.English1Click(); });
    OnClick("MausStandard", [this] { keyInput.MausStandardClick(); });
    OnClick("MausKreuz", [this] { keyInput.MausKreuzClick(); });
    OnClick("MausHand", [this] { keyInput.MausHandClick(); });
}

bool Simulator::FormCloseQuery() const {
    return state.SplashDone != 0;
}

void Simulator::FormClose() {
    settings.SaveSettings();
    if (state.RestartRequested) host.RestartProgram();
}

void Simulator::PointerDown(MouseButton button, bool shift, int x, int y) {
    const ActionScope scope =
        Enter({.kind = ActionKind::PointerDown, .button = button, .shift = shift, .x = x, .y = y});
    pointer.Down(button, shift, x, y);
    Observe(SampleCause::Event);
}

void Simulator::PointerUp(MouseButton button, int x, int y) {
    const ActionScope scope = Enter({.kind = ActionKind::PointerUp, .button = button, .x = x, .y = y});
    pointer.Up(button, x, y);
    Observe(SampleCause::Event);
}

void Simulator::PointerMove(int x, int y) {
    const ActionScope scope = Enter({.kind = ActionKind::PointerMove, .x = x, .y = y});
    pointer.Move(x, y);
    Observe(SampleCause::Event);
}

void Simulator::PressKey(DeviceKey key, MouseButton button, bool shift) {
    if (key == DeviceKey::None) return;
    const ActionScope scope =
        Enter({.kind = ActionKind::KeyPress, .button = button, .shift = shift, .index = KeyIndex(key)});
    pointer.PressKey(key, button, shift);
    Observe(SampleCause::Event);
}

void Simulator::ReleaseKey(DeviceKey key, MouseButton button) {
    if (key == DeviceKey::None) return;
    const ActionScope scope =
        Enter({.kind = ActionKind::KeyRelease, .button = button, .index = KeyIndex(key)});
    pointer.ReleaseKey(key, button);
    Observe(SampleCause::Event);
}

void Simulator::Image1MouseDown(MouseButton button, bool shift, int x, int y) {
    keyInput.Image1MouseDown(button, shift, x, y);
    ViewChanged();
}

void Simulator::Image1MouseUp(MouseButton button, int x, int y) {
    keyInput.Image1MouseUp(button, x, y);
    ViewChanged();
}

void Simulator::Image1MouseMove(int x, int y) {
    MouseX = x;
    MouseY = y;
    hoverHelp.Image1MouseMove(x, y); // marks a change only when a help label changed
}

void Simulator::FormKeyDown(int key, bool shift, bool alt, bool ctrl) {
    paramTableView.FormKeyDown(key, shift, alt, ctrl);
}

void Simulator::Image2Click() {
    const ActionScope scope = Enter({.kind = ActionKind::Click, .control = &form.Image2});
    splash.Image2Click();
    ViewChanged();
}

void Simulator::StaticMouseDown(int key, MouseButton button) {
    keyInput.CircleMouseDown(static_cast<DeviceKey>(key + 1), button);
    ViewChanged();
}

void Simulator::StaticMouseUp(int key, MouseButton button) {
    keyInput.CircleMouseUp(static_cast<DeviceKey>(key + 1), button);
    ViewChanged();
}

void Simulator::FormMouseMove() {
    hoverHelp.HideAll();
    ViewChanged();
}

void Simulator::UserCheck(Control& control, bool checked) {
    const ActionScope scope = Enter({.kind = ActionKind::Check, .control = &control, .on = checked});
    if (control.kind == ControlKind::RadioButton) {
        if (!checked || control.checked) return; // a radio button is unchecked only by its siblings
        for (Control* c : form.All())
            if (c->kind == ControlKind::RadioButton && c->parent == control.parent) c->checked = false;
    }
    if (control.checked == checked && control.kind == ControlKind::CheckBox) return;
    control.checked = checked;
    RunClick(control.name);
}

void Simulator::UserSelect(Control& control, int itemIndex) {
    const ActionScope scope = Enter({.kind = ActionKind::Select, .control = &control, .index = itemIndex});
    if (itemIndex < 0 || itemIndex >= static_cast<int>(control.items.size()) ||
        itemIndex == control.itemIndex)
        return;
    control.itemIndex = itemIndex;
    RunClick(control.name);
}

void Simulator::UserEdit(Control& control, std::string text) {
    const ActionScope scope = Enter({.kind = ActionKind::Edit, .control = &control, .text = text});
    control.text = std::move(text);
}

void Simulator::UserClick(Control& control) {
    const ActionScope scope = Enter({.kind = ActionKind::Click, .control = &control});
    RunClick(control.name);
}

void Simulator::UserKeyDown(Control& control, int key) {
    const ActionScope scope = Enter(
        {.kind = key == Controller::KeyEnter ? ActionKind::Enter : ActionKind::Ignored, .control = &control});
    if (auto it = keyHandlers_.find(control.name); it != keyHandlers_.end()) it->second(key);
    Observe(SampleCause::Event);
}

void Simulator::OnClick(std::string_view name, std::function<void()> handler) {
    clickHandlers_[std::string(name)] = std::move(handler);
}

void Simulator::OnKeyDown(std::string_view name, std::function<void(int)> handler) {
    keyHandlers_[std::string(name)] = std::move(handler);
}

void Simulator::RunClick(const std::string& name) {
    if (auto it = clickHandlers_.find(name); it != clickHandlers_.end()) it->second();
    ViewChanged();
    Observe(SampleCause::Event);
}

void Simulator::RunPauseClick() {
    const ActionScope scope = Enter({.kind = ActionKind::PauseClick});
    initialization.RunPauseButtonClick();
    Observe(SampleCause::Event);
}

ActionScope Simulator::Enter(const UserAction& action) {
    clock.BeginInput();
    if (actionObserver_) actionObserver_->OnAction(action);
    return ActionScope(clock, actionObserver_);
}

void Simulator::ViewChanged() {
    viewChanged_ = true;
}

bool Simulator::TakeViewChange() {
    return std::exchange(viewChanged_, false);
}

} // namespace vp7
