// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A window that shows one device: its view (the device picture on the right, the option controls on the
// left), the device's menu bar built from the form state with the window's own items (the zoom, the
// trend, the keyboard, the help), and the device's small windows: the screen check, the parameter
// table, the setpoint scale and the initialization info. The program's main window is one and adds its
// own items to the menu bar; a played recording has one of its own.
#include "session/Session.h"
#include "session/trend/TrendSettings.h"
#include "ui/device/DeviceView.h"
#include "ui/device/SessionMode.h"
#include "ui/device/SessionOwner.h"
#include "ui/qt/QtClock.h"
#include "ui/qt/QtHost.h"
#include "ui/qt/Zoom.h"

#include <QMainWindow>

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <utility>

namespace vp7 {

class InitInfoWindow;
class MenuBar;
class ParamTableWindow;
class PictureWidget;
class ScaleDialogWindow;
class ScreenCheckWindow;
class ZoomControl;

class DeviceWindow : public QMainWindow {
    Q_OBJECT
public:
    // Shows the sessions of `sessions`, which opens its first as `session` says; Begin starts it.
    // `scale` is the screen's pixel scale.
    DeviceWindow(SessionOwner& sessions, int scale, const SessionMode& session);
    ~DeviceWindow() override;

    // Starts the device as `session` says (recorded or played; either starts without the splash):
    // `started` runs right after the device started (a recording begins there), before the zoom is
    // applied. Then the window takes its size and the small windows are made. On a virtual clock
    // (tests) the change mark is taken by whoever advances it.
    void Begin(const SessionMode& session, const std::function<void()>& started = {});

    // The device shown, of the session shown now.
    Session& CurrentSession() const { return sessions_.Current(); }
    Simulator& Sim() { return CurrentSession().Sim(); }
    const Simulator& Sim() const { return CurrentSession().Sim(); }
    // A session for this window to take: its device on `clock` (one of its own), with the window's
    // host and pictures, its picture kept to draw again at another scale; `seed` fixes the random
    // stream and the device starts without the splash, as a replay does, from the settings file
    // `settingsFrom` when given (a state's own), else from its own. Not started yet.
    std::unique_ptr<Session> NewSession(std::unique_ptr<Clock> clock, std::optional<uint64_t> seed,
                                        const std::string& settingsFrom = {}) {
        return sessions_.NewSession(std::move(clock), seed, settingsFrom);
    }
    // Shows `next`, started, in place of the session shown: every widget, the pictures and the small
    // windows follow it, the old device and its timers are gone. Not from inside the old device's
    // handlers.
    void TakeSession(std::unique_ptr<Session> next);
    const std::string& ProgramDir() const { return sessions_.ProgramDir(); }
    PictureWidget* Picture() const { return view_->Picture(); }
    // The device shown: its widgets, their sync, the zoom's layout and the keyboard.
    DeviceView& Device() const { return *view_; }
    bool RestartWanted() const { return sessions_.Host().RestartWanted(); }
    QtHost& Host() { return sessions_.Host(); }
    // Copies the whole form state into the widgets (signals blocked) and repaints what changed: for
    // what the form does not hold (hidden and locked controls, the zoom).
    void SyncFromForm() { view_->SyncFromForm(); }
    // The title the device gives the window.
    QString DeviceTitle() const { return view_->DeviceTitle(); }
    // Takes the simulator's change mark: syncs the widgets when the form state changed, repaints
    // what was drawn. Run after every event handed to the simulator.
    void AfterEvent() { view_->AfterEvent(); }
    // The trend recorded since the window was created, and the trend window's kept place.
    const TrendRecorder& Trend() const { return CurrentSession().Trend(); }
    TrendSettings& TrendPlace() { return trendSettings_; }
    // The menu bar's menus and items, by their handles.
    MenuBar& Menus() const { return *menus_; }
    // The device's small windows, made by Begin.
    ScreenCheckWindow& ScreenCheck() const { return *screenCheck_; }
    ParamTableWindow& ParameterTable() const { return *parameterTable_; }
    ScaleDialogWindow& SetpointScale() const { return *setpointScale_; }
    InitInfoWindow& InitInfo() const { return *initInfo_; }
    // A device key held on the keyboard is let go, as when the focus leaves the window.
    void LetGoOfKeys() { view_->LetGoOfKeys(); }
    // Controls an exercise hides (a fault it sets stays unseen) or shows but locks.
    void Restrict(std::set<std::string> hidden, std::set<std::string> locked);
    const std::set<std::string>& Hidden() const { return view_->Hidden(); }
    const std::set<std::string>& Locked() const { return view_->Locked(); }
    // Controls a client of the Modbus server works now: shown greyed, whatever the device says.
    void HoldForClient(std::set<std::string> held) { view_->HoldForClient(std::move(held)); }
    // A settings section of the window's own (the trend window's place, the view), attached to every
    // session it shows: the first reads it, all write it.
    void AddSettingsSection(std::function<void(const IniFile&)> read, std::function<void(IniFile&)> write) {
        sessions_.AddSettingsSection(std::move(read), std::move(write));
    }
    // Whether the user's "load configuration" must not replace the device's settings now, asked each time
    // (it says why to the user); a plain device window never refuses it.
    void RefuseReplacingWhen(std::function<bool()> refused) { refusesReplacing_ = std::move(refused); }
    // How often the widgets were synced (benchmarks count it per event).
    long SyncCount() const { return view_->SyncCount(); }

    // The client area laid out as designed (at the zoom), inside the window's scroll area.
    QWidget* Form() const { return view_->Form(); }
    // The zoom the form is shown at (1 as designed), and the "Ansicht" / "View" menu that chooses it.
    const FormZoom& Zoom() const { return view_->Zoom(); }
    ZoomControl& View() const { return *zoomControl_; }
    // Lays the form out at `factor`: every control, its fonts, the pictures, the menu bar's font; the
    // window keeps its size.
    void ApplyZoom(double factor);
    // The scale the device picture is drawn at; a new one renders the artwork anew and draws the
    // picture again at it. The screen's own scale is the least.
    int PictureScale() const { return sessions_.PictureScale(); }
    int ScreenScale() const { return screenScale_; }
    void SetPictureScale(int scale);
    // The window resized to show the form at its zoom (1025 x 768 points with its frame at 100 %), and
    // kept on the screen; `centred` on the screen, as at its first showing.
    void SizeToForm(bool centred);

signals:
    // The form state was copied into the window; the other windows follow.
    void FormChanged();
    // An event was handled (the trend window redraws when something was recorded).
    void EventHandled();
    // A new session is shown: whatever refers to the device follows it before the old one goes.
    void SessionTaken();

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    // The device's menu items as the form state has them.
    void ShowMenuItems(const FormChanges::Taken& changed);
    void MakeSmallWindows();
    // The clock the device shown runs on, when it is a real one.
    QtClock* LiveClock();

    SessionOwner& sessions_;
    int screenScale_;
    TrendSettings trendSettings_;
    std::unique_ptr<MenuBar> menus_;
    DeviceView* view_ = nullptr;
    ZoomControl* zoomControl_ = nullptr;
    std::unique_ptr<ScreenCheckWindow> screenCheck_;
    std::unique_ptr<ParamTableWindow> parameterTable_;
    std::unique_ptr<ScaleDialogWindow> setpointScale_;
    std::unique_ptr<InitInfoWindow> initInfo_;
    std::function<bool()> refusesReplacing_;
    bool placed_ = false;
};

} // namespace vp7
