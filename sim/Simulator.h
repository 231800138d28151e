// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One running simulated device: the shared state, the main window's form state and picture, its six
// timers and one object per subsystem. The front ends construct it, call FormCreate(), and then feed it
// timer ticks (through the clock) and user actions; it never calls a window toolkit itself.
//
// The device's own German names are kept for its state, so they match the device's manuals:
//   Sollwert          setpoint as entered (%)        Istwert            actual valve position (%)
//   ReglerSollwert    setpoint on the controller scale   KennlinienEingang  input of the characteristic
//   PositionSetpoint  position the characteristic asks for   Kennlinie   characteristic curve
//   Stützwerte        its support points              Totzone            dead band
//   Kolben            piston (its picture frames)     Ventil             valve
//   Stellzeit         stroke time                     Drossel            throttle
//   Getriebe          gear (33 or 90 degrees)         Druckluft          supply air
//   Manuell           manual mode                     Anzeige            display
//   Umschalt, Kleiner, Groesser   the mode, decrease and increase keys
//   Stoer...          fault ...                       Hilfe              help
//   Datei, Konfiguration laden / speichern   file menu: load / save a configuration
//   Sprache, Mauszeiger, Skalen   language, pointer shape, scales (settings sections)
#include "model/FormState.h"
#include "model/SampleObserver.h"
#include "model/SimState.h"
#include "model/UserAction.h"
#include "platform/Clock.h"
#include "platform/Mt64.h"
#include "platform/Picture.h"

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vp7 {

class Host;
class SpriteSet;
class Actuator;
class Captions;
class Characteristic;
class ConfigFiles;
class ConfigMenu;
class Controller;
class Diagnostics;
class ExtendedFaults;
class FrontPanel;
class HelpTexts;
class HoverHelp;
class Initialization;
class IoPictures;
class KeyInput;
class Lcd;
class ModeLogic;
class Monitoring;
class OperatingDisplays;
class ParamSet;
class ParamTableView;
class PointerInput;
class ScaleDialog;
class Scales;
class ScreenCheck;
class Settings;
class Splash;
class StateVisitor;

// What a simulator is created with besides its platform.
struct SimulatorOptions {
    SimulatorOptions(std::string dir = {}, uint8_t type = 0, std::string user = {})
        : programDir(std::move(dir)), controllerType(type), userDir(std::move(user)) {}
    // The folder the program file lives in; its settings and data folders sit beside it.
    std::string programDir;
    // The device variant (0 = 0/4-20 mA, 1 = PA, 2 = FF) the settings select when they say nothing.
    uint8_t controllerType = 0;
    // A per-user folder for "Config" and "Data" when the program's folder cannot be written.
    std::string userDir;
    // A recorded or replayed session: the random stream's seed instead of the clock's, and no splash
    // picture to click away first.
    std::optional<uint64_t> randomSeed;
    bool withoutSplash = false;
    // A loaded state's own settings file, read at the start in place of the device's own (which is
    // still the one written): the state is the device that was saved, whatever this PC's settings say.
    std::string settingsFrom;
};

class Simulator {
public:
    Simulator(Clock& clock, Host& host, const SpriteSet& sprites, SimulatorOptions options);
    ~Simulator();
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    // The main window's creation; ends by arming the one-shot start-up timer.
    void FormCreate();
    // Scales and characteristic recomputed and redrawn after a change, and the setpoint confirmed.
    void RecalcScales();
    // The parameter set applied to the simulation, as leaving the configuration does.
    void ApplyParameters();
    // Whether the main window may close now, and its close handler.
    bool FormCloseQuery() const;
    void FormClose();

    // Timer handlers.
    void Timer1Timer();
    void Timer2Timer();
    void DiagnosticTimerTimer();
    void KeyTimerTimer();
    void AlarmBlinkTimerTimer();
    void SetpointRampTimerTimer();

    // The pointer on the device picture, in picture coordinates: the desktop program, the runner and the
    // tests hand every pointer event here, and PointerInput decides what it reaches.
    void PointerDown(MouseButton button, bool shift, int x, int y);
    void PointerUp(MouseButton button, int x, int y);
    void PointerMove(int x, int y);
    // A device key pressed or released by name (the keyboard, the runner's `press`): the pointer at the
    // key's centre.
    void PressKey(DeviceKey key, MouseButton button, bool shift = false);
    void ReleaseKey(DeviceKey key, MouseButton button);

    // The form's handlers, which the calls above route pointer events to. The picture's (picture
    // coordinates):
    void Image1MouseDown(MouseButton button, bool shift, int x, int y);
    void Image1MouseUp(MouseButton button, int x, int y);
    void Image1MouseMove(int x, int y);
    // Pointer over the window outside the picture.
    void FormMouseMove();
    // A click on the splash view.
    void Image2Click();
    // The initialization info window's Pause / Continue button.
    void RunPauseClick();
    // A key pressed while the main window has the focus (F5 refreshes the parameter table).
    void FormKeyDown(int key, bool shift, bool alt, bool ctrl);
    // The red circles on latched keys; `key` 0 mode, 1 decrease, 2 increase.
    void StaticMouseDown(int key, MouseButton button);
    void StaticMouseUp(int key, MouseButton button);

    // A user changed a control. The form state takes the new value first, then the control's click
    // handler runs, as the toolkit did it.
    void UserCheck(Control& control, bool checked);    // check box or radio button
    void UserSelect(Control& control, int itemIndex);  // radio group
    void UserEdit(Control& control, std::string text); // edit field: no handler
    void UserClick(Control& control);                  // button or menu item
    void UserKeyDown(Control& control, int key);       // key in an edit field (13 = Enter)

    // Subsystems register the click handler of the controls they own ("SetpointButton" -> its Click).
    void OnClick(std::string_view controlName, std::function<void()> handler);
    void OnKeyDown(std::string_view controlName, std::function<void(int key)> handler);
    // Told once the start-up is through (the splash clicked away, when one was shown), at the end of
    // its tick: an exercise sets its scene then, after the unlit display was taken from the picture.
    void OnStartedUp(std::function<void()> handler) { startedUp_ = std::move(handler); }

    // The sprites were rendered anew at another scale (a zoomed window); `previous` are the ones drawn
    // so far. The device picture, which must keep a log (Picture::KeepLog), is drawn again from it at
    // the new scale, and the piston frames in use are the new ones.
    void SpritesRescaled(const SpriteSet& previous);

    // Form state was changed by program code. Only a mark: the front end takes it once after each
    // event it delivered (and before a modal box), so one event syncs the widgets at most once.
    void ViewChanged();
    // Everything of this device as data, for a snapshot (Snapshot.h): the shared and form state, the
    // picture, the timers, the random stream, and each subsystem's own fields.
    void DoState(StateVisitor& v);
    // Whether the form state changed since the last call.
    bool TakeViewChange();
    // The picture drawn anew from the state, with this device's sprites: the unlit device, then what
    // the start-up draws, the markers and the display as last written. A snapshot drawn with another
    // look (the runner's flat sprites, another zoom) is shown so.
    void RepaintPicture();

    // A recorder beside the device (the trend): told at each motion tick, each monitoring cycle and
    // after each user action or other timer, and of the happenings that leave no trace in the state.
    void SetSampleObserver(SampleObserver* observer) { sampleObserver_ = observer; }
    // A recorder of the user's actions: told of each as it enters, after the timer ticks already due.
    void SetActionObserver(ActionObserver* observer) { actionObserver_ = observer; }
    ActionObserver* GetActionObserver() const { return actionObserver_; }
    // What the user answered in a dialog the library asked for (message box, file or scale dialog,
    // screen check); the front end reports it here so that a recording can give the same answers.
    void Answered(const UserAction& answer) {
        if (actionObserver_) actionObserver_->OnAction(answer);
    }
    void Note(Happening what) {
        if (sampleObserver_) sampleObserver_->OnHappening(what);
    }

    Clock& clock;
    Host& host;
    const SpriteSet& sprites;
    const SimulatorOptions options;
    const std::string programDir;

    SimState state;
    FormState form;
    Picture image1;

    Timer Timer1;
    Timer Timer2;
    Timer DiagnosticTimer;
    Timer KeyTimer;
    Timer AlarmBlinkTimer;
    Timer SetpointRampTimer;

    // Last pointer position over the picture; kept when the pointer leaves it.
    int32_t MouseX = 0;
    int32_t MouseY = 0;

    // Seeded once from the clock at creation; the controller's dead band draws from it.
    Mt64 random;
    uint64_t RandomSeed = 0;
    // The clock's time when the main window's creation armed the start-up tick.
    int64_t CreatedMs = 0;
    // When the start-up was through: at the start-up tick, or when the splash was clicked away.
    int64_t StartedMs = 0;

private:
    // Declared here so that it is built before the references to it below.
    struct Parts;
    std::unique_ptr<Parts> parts_;

public:
    // Each subsystem, known here by its name only: a change to one recompiles its users alone.
    ParamSet& params;
    Scales& scales;
    Characteristic& characteristic;
    Controller& controller;
    Actuator& actuator;
    ModeLogic& modes;
    KeyInput& keyInput;
    PointerInput& pointer;
    ConfigMenu& configMenu;
    Diagnostics& diagnostics;
    Initialization& initialization;
    Monitoring& monitoring;
    IoPictures& ioPictures;
    OperatingDisplays& displays;
    FrontPanel& frontPanel;
    HelpTexts& helpTexts;
    Captions& captions;
    HoverHelp& hoverHelp;
    Splash& splash;
    ParamTableView& paramTableView;
    ScaleDialog& scaleDialog;
    ScreenCheck& screenCheck;
    Lcd& lcd;
    Settings& settings;
    ConfigFiles& configFiles;
    ExtendedFaults& extendedFaults;

private:
    // The start-up tick from the splash's end on (steps 4 to 10).
    void FinishStartUp();
    // The binary inputs, the alarm module, the feedback module, the gear, the supply gauge and the
    // piston as the options and the position stand.
    void DrawOptionsAndPiston();
    void ShowCharacteristicError();
    void RegisterHandlers();
    void RunClick(const std::string& name);
    // Runs the timer ticks already due, then tells the action observer.
    [[nodiscard]] ActionScope Enter(const UserAction& action);
    void Observe(SampleCause cause) {
        if (sampleObserver_) sampleObserver_->OnSample(cause);
    }

    std::map<std::string, std::function<void()>, std::less<>> clickHandlers_;
    std::function<void()> startedUp_;
    std::map<std::string, std::function<void(int)>, std::less<>> keyHandlers_;
    bool viewChanged_ = true; // the widgets start out empty
    SampleObserver* sampleObserver_ = nullptr;
    ActionObserver* actionObserver_ = nullptr;
};

} // namespace vp7
