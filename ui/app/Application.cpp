// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/app/Application.h"

#include "sim/display/ScreenCheck.h"
#include "sim/files/Settings.h"
#include "ui/app/ClassroomControl.h"
#include "ui/app/DesktopConventions.h"
#include "ui/app/InstructorControls.h"
#include "ui/app/MainWindow.h"
#include "ui/app/PlantControl.h"
#include "ui/app/TerminationSignals.h"
#include "ui/training/DeviceTrend.h"
#include "ui/training/ExerciseSession.h"
#include "ui/training/TrendWindow.h"

#include <QApplication>

#include <algorithm>

namespace vp7 {

AppWindows::AppWindows() = default;
AppWindows::AppWindows(AppWindows&&) noexcept = default;
// The trend window goes before the main window, whose simulator it refers to, and the session after
// every window.
AppWindows::~AppWindows() {
    if (plant) plant->Detach(); // its settings stay for the window's last write
    if (classroom) classroom->Detach();
    instructor.reset();
    trend.reset();
    main.reset();
    desktop.reset();
    plant.reset();
    classroom.reset();
    sessions.reset();
    clock.reset();
}

AppWindows CreateWindows(const std::string& programDir, int scale, Clock* clock, SessionMode session) {
    AppWindows w;
    w.sessions = std::make_unique<SessionOwner>(programDir, scale, clock);
    w.main = std::make_unique<MainWindow>(*w.sessions, scale, std::move(session));
    MainWindow* main = w.main.get();
    w.trend = OpenTrendWindow(*main);
    TrendWindow* trend = w.trend.get();
    // While an exercise runs in a device of its own, this device's trend steps aside with its window.
    QObject::connect(main, &MainWindow::ExerciseChanged, trend, [main, trend] {
        trend->setVisible(!main->CurrentExercise() && main->TrendPlace().visible);
    });
    return w;
}

AppWindows CreateProgramWindows(const std::string& programDir, int scale, bool desktopGerman, Clock* clock,
                                SessionMode session) {
    auto desktop = std::make_unique<DesktopConventions>(desktopGerman ? Language::German : Language::English);
    DesktopConventions* conventions = desktop.get();
    auto plant = std::make_unique<PlantControl>();
    PlantControl* plantControl = plant.get();
    auto classroom = std::make_unique<ClassroomControl>();
    ClassroomControl* classroomControl = classroom.get();
    session.beforeStart = [conventions, plantControl, classroomControl,
                           before = std::move(session.beforeStart)](Simulator& sim) {
        conventions->BeforeStart(sim);
        plantControl->BeforeStart(sim);
        classroomControl->BeforeStart(sim);
        if (before) before(sim);
    };
    AppWindows w = CreateWindows(programDir, scale, clock, std::move(session));
    conventions->Attach(*w.main);
    // A new session's device keeps the recent files too; its settings were read when it was made.
    MainWindow* main = w.main.get();
    QObject::connect(main, &MainWindow::SessionTaken, conventions,
                     [conventions, main] { conventions->BeforeStart(main->Sim()); });
    w.desktop = std::move(desktop);
    w.instructor = std::make_unique<InstructorControls>(w);
    plant->Attach(*main);
    w.plant = std::move(plant);
    classroom->Attach(w);
    w.classroom = std::move(classroom);
    return w;
}

void BringToFront(MainWindow& main) {
    QWidget* window = main.CurrentExercise() ? &main.CurrentExercise()->Window() : &main;
    for (QWidget* w : {window, QApplication::activeModalWidget()}) {
        if (!w) continue;
        w->setWindowState(w->windowState() & ~Qt::WindowMinimized);
        w->show();
        w->raise();
        w->activateWindow();
    }
}

void OpenForSecondStart(AppWindows& windows, const OpenRequest& request) {
    const QString path = QString::fromStdString(request.path);
    // The station leaves the device as it is, whatever the room holds of it.
    if (request.kind == OpenKind::Room) {
        if (windows.classroom) windows.classroom->OpenRoom(path);
        return;
    }
    MainWindow& main = *windows.main;
    DeviceRecording& shown = main.CurrentExercise() ? main.CurrentExercise()->Recording() : main.Recording();
    if (shown.Refused()) return;
    switch (request.kind) {
    case OpenKind::State:
        if (windows.instructor) windows.instructor->LoadStateFrom(path);
        break;
    case OpenKind::Recording:
        main.PlayRecording(path);
        break;
    case OpenKind::Exercise:
        main.StartExercise(path);
        break;
    case OpenKind::Room:
        break;
    }
}

void EndOnTerminationSignals(AppWindows& windows) {
    MainWindow* main = windows.main.get();
    CloseOnTerminationSignals(main, [main] { main->Sim().settings.SaveSettings(); });
}

} // namespace vp7
