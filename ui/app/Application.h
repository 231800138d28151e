// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's windows: the main window (it is the application's main form, and makes the device's
// small windows), then the trend window.
#include "ui/app/InstanceMessage.h"
#include "ui/device/SessionMode.h"
#include "ui/qt/DeviceInput.h"
#include "ui/qt/Messages.h"
#include "ui/qt/Zoom.h"

#include <memory>
#include <string>

namespace vp7 {

class ClassroomControl;
class Clock;
class DesktopConventions;
class InstructorControls;
class PlantControl;
class QtClock;
class MainWindow;
class SessionOwner;
class TrendWindow;

struct AppWindows {
    // The session the main window shows; it outlives the windows.
    std::unique_ptr<SessionOwner> sessions;
    std::unique_ptr<MainWindow> main;
    std::unique_ptr<TrendWindow> trend;
    // The user's own program window only (CreateProgramWindows); it outlives the windows.
    std::unique_ptr<DesktopConventions> desktop;
    // The user's own program window only: freeze, speed, saved states and rewinding.
    std::unique_ptr<InstructorControls> instructor;
    // The user's own program window only: the Modbus server for a plant's control system.
    std::unique_ptr<PlantControl> plant;
    // The user's own program window only: the seat in a classroom, and the instructor's station.
    std::unique_ptr<ClassroomControl> classroom;
    // A clock the windows run on that lives with them (a device started from a saved state's).
    std::unique_ptr<QtClock> clock;
    AppWindows();
    AppWindows(AppWindows&&) noexcept;
    ~AppWindows();
};

// The program's windows; `clock` as for SessionOwner, `session` as for MainWindow.
AppWindows CreateWindows(const std::string& programDir, int scale, Clock* clock = nullptr,
                         SessionMode session = {});

// The user's own program windows: as CreateWindows, with what a desktop program is expected to do
// (DesktopConventions) and the instructor's controls; `desktopGerman` is the desktop's language, which
// a first start takes.
AppWindows CreateProgramWindows(const std::string& programDir, int scale, bool desktopGerman,
                                Clock* clock = nullptr, SessionMode session = {});

// From now on a termination signal (a logout, a shutdown) closes the program's window as its close
// button would; where the window may not close yet, the settings are kept and the program ends.
void EndOnTerminationSignals(AppWindows& windows);

// The window the user works in comes to the front (a second start asked for it): an exercise's device
// while one runs, else the main window, restored when minimized; a dialog open over it above it.
void BringToFront(MainWindow& main);
// A second start's file (--state, --play, --exercise) opened in the running program as its menus would;
// while an exercise runs, its device says why not and nothing changes.
void OpenForSecondStart(AppWindows& windows, const OpenRequest& request);

} // namespace vp7
