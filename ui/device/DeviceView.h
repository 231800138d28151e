// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One device shown: the controls built from its form state, the device picture and the splash view,
// laid out at a zoom inside a scroll area. The widgets mirror the form state (only what changed is
// copied, signals blocked); the user's actions on them go to the simulator's handlers. The view shows
// the session it is given and can be pointed at another one; it owns none. What the device must not
// show (an exercise's hidden and locked controls, those a plant's client works) is decided elsewhere
// and only shown here.
#include "model/FormChanges.h"
#include "ui/qt/Zoom.h"

#include <QFont>
#include <QPointer>
#include <QScrollArea>

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace vp7 {

class DeviceKeyboard;
class PictureWidget;
class QtHost;
class Session;
class Simulator;
struct Control;

class DeviceView : public QScrollArea {
    Q_OBJECT
public:
    // Shows `session`'s device, whose dialogs `host` shows; the keyboard works the device while the
    // view's window has the focus.
    DeviceView(Session& session, QtHost& host, QWidget* parent);
    ~DeviceView() override;

    // Shows `next` in place of the session shown: the pictures and the keyboard follow it at once, the
    // widgets at the next sync (SyncShown). A key held is let go on the device shown before.
    void Show(Session& next);
    // Every widget as the device shown has it, whatever changed since the last sync.
    void SyncShown();
    // The keyboard stops working the device, a key held left as it is: before the window around the
    // view is torn down, whose focus changes must not reach the device.
    void StopKeyboard();

    Session& Shown() const { return *session_; }
    Simulator& Sim() const;
    QtHost& Host() const { return host_; }
    PictureWidget* Picture() const { return picture_; }
    // The client area laid out as designed (at the zoom), inside the scroll area.
    QWidget* Form() const { return form_; }

    // The user's click on the control `name` (a button, a device menu item) goes to the device.
    void UserClick(const std::string& name);
    // Takes the simulator's change mark: syncs the widgets when the form state changed, repaints
    // what was drawn. Run after every event handed to the simulator.
    void AfterEvent();
    // Copies the whole form state into the widgets (signals blocked) and repaints what changed: for
    // what the form does not hold (hidden and locked controls, the zoom).
    void SyncFromForm();
    // The title the device gives its window.
    QString DeviceTitle() const;
    // How often the widgets were synced (benchmarks count it per event).
    long SyncCount() const { return syncCount_; }
    // The window's menus show the device's menu items: `show` gets the changes of every sync that
    // changed a control, the menu items among them.
    void ShowMenusWith(std::function<void(const FormChanges::Taken&)> show) { showMenus_ = std::move(show); }

    // Controls hidden (the rows close up over them) or shown but locked.
    void Restrict(std::set<std::string> hidden, std::set<std::string> locked);
    const std::set<std::string>& Hidden() const { return hidden_; }
    const std::set<std::string>& Locked() const { return locked_; }
    // Controls shown greyed, whatever the device says.
    void HoldForClient(std::set<std::string> held);

    // The zoom the form is shown at (1 as designed).
    const FormZoom& Zoom() const { return zoom_; }
    // Lays the form out at `factor`: every control, its fonts, the pictures.
    void ApplyZoom(double factor);
    // Whether the controls' fonts were ever zoomed (until then they stay as the style gave them).
    bool FontsZoomed() const { return !designedFonts_.empty(); }
    // A device key held on the keyboard is let go, as when the focus leaves the window.
    void LetGoOfKeys();

signals:
    // The form state was copied into the widgets; the other windows follow.
    void FormChanged();
    // An event was handled (the trend window redraws when something was recorded).
    void EventHandled();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // The keys stay the device's: arrow keys and Page Up/Down pass on to the window instead of
    // scrolling.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void BuildControls();
    QWidget* MakeWidget(const Control& c, QWidget* parent);
    // The control of the device shown now that the widget made for `name` works.
    Control& Current(const std::string& name);
    void SyncChanges(const FormChanges::Taken& changed);
    // Every control placed and its font sized at the zoom.
    void LayOutForm();
    void ZoomFonts();

    Session* session_;
    QtHost& host_;
    QWidget* form_ = nullptr;
    PictureWidget* picture_ = nullptr;
    PictureWidget* splashView_ = nullptr;
    std::map<std::string, QWidget*> widgets_;
    std::set<std::string> hidden_, locked_, heldForClient_;
    FormZoom zoom_;
    std::vector<std::pair<QPointer<QWidget>, QFont>> designedFonts_; // as polished at 100 %
    std::function<void(const FormChanges::Taken&)> showMenus_;
    long syncCount_ = 0;
    // What the widgets show, and the copy into them of what changed.
    FormChanges changes_;
    // Last, so it goes first: a focus change while the view is torn down must not reach the device.
    std::unique_ptr<DeviceKeyboard> keyboard_;
};

} // namespace vp7
