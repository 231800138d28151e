// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/app/Application.h"

#include "sim/display/ScreenCheck.h"
#include "sim/files/Settings.h"
#include "ui/app/ClassroomControl.h"
#include "ui/app/DesktopConventions.h"
#include "ui/app/MainWindow.h"
#include "ui/app/MenuBar.h"
#include "ui/app/PlantControl.h"
#include "ui/app/TerminationSignals.h"
#include "ui/app/ZoomControl.h"
#include "ui/device/Dialogs.h"
#include "ui/device/InitInfoWindow.h"
#include "ui/training/ExerciseSession.h"
#include "ui/training/InstructorControls.h"
#include "ui/training/TrendWindow.h"

#include <QAction>
#include <QApplication>
#include <QScreen>

#include <algorithm>
#include <cmath>

namespace vp7 {

AppWindows::AppWindows() = default;
AppWindows::AppWindows(AppWindows&&) noexcept = default;
// The small windows go before the main window, whose simulator they may refer to, and the session
// after every window.
AppWindows::~AppWindows() {
    if (plant) plant->Detach(); // its settings stay for the window's last write
    if (classroom) classroom->Detach();
    instructor.reset();
    trend.reset();
    initInfo.reset();
    setpointScale.reset();
    parameterTable.reset();
    screenCheck.reset();
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
    Simulator& sim = w.main->Sim();
    w.screenCheck = std::make_unique<ScreenCheckWindow>(sim, w.main.get());
    w.parameterTable = std::make_unique<ParamTableWindow>(sim, w.main.get());
    w.setpointScale = std::make_unique<ScaleDialogWindow>(sim, w.main.get());
    w.initInfo = std::make_unique<InitInfoWindow>(w.main->Sim(), w.main.get());
    InitInfoWindow* info = w.initInfo.get();
    QObject::connect(w.main.get(), &MainWindow::FormChanged, info, [info] { info->SyncFromForm(); });
    ParamTableWindow* table = w.parameterTable.get();
    QObject::connect(w.main.get(), &MainWindow::FormChanged, table, [table] { table->SyncFromForm(); });
    ScaleDialogWindow* scaleDialog = w.setpointScale.get();
    ScreenCheckWindow* check = w.screenCheck.get();
    w.main->Host().OnModalDialog([scaleDialog, check](ModalDialog dialog) {
        if (dialog == ModalDialog::SetpointScale)
            scaleDialog->Run();
        else
            check->Run();
    });
    MainWindow* main = w.main.get();
    w.trend = std::make_unique<TrendWindow>(sim, main->Trend(), main->TrendPlace(), main);
    TrendWindow* trend = w.trend.get();
    QAction* item = main->Menus().Action(ActionId::Trend);
    QObject::connect(main, &MainWindow::EventHandled, trend, [trend] { trend->Recorded(); });
    QObject::connect(main, &MainWindow::FormChanged, trend, [trend] { trend->Retranslate(); });
    QObject::connect(item, &QAction::toggled, trend, [main, trend](bool on) {
        main->TrendPlace().visible = on;
        trend->setVisible(on);
    });
    QObject::connect(trend, &TrendWindow::Closed, item, [item] { item->setChecked(false); });
    if (main->TrendPlace().visible) item->setChecked(true);
    // While an exercise runs in a device of its own, this device's trend steps aside with its window.
    QObject::connect(main, &MainWindow::ExerciseChanged, trend, [main, trend] {
        trend->setVisible(!main->CurrentExercise() && main->TrendPlace().visible);
    });
    const auto zoomSmallWindows = [info, table, scaleDialog, check, trend](double zoom) {
        info->SetZoom(zoom);
        table->SetZoom(zoom);
        scaleDialog->SetZoom(zoom);
        check->SetZoom(zoom);
        trend->SetZoom(zoom);
    };
    QObject::connect(&main->View(), &ZoomControl::SmallWindowZoomChanged, info, zoomSmallWindows);
    // A new session in the window: the small windows show its device.
    QObject::connect(main, &MainWindow::SessionTaken, info, [main, info, table, scaleDialog, check, trend] {
        Simulator& now = main->Sim();
        info->Rebind(now);
        table->Rebind(now);
        scaleDialog->Rebind(now);
        check->Rebind(now);
        trend->Rebind(now, main->Trend());
        info->SyncFromForm();
        table->SyncFromForm();
    });
    zoomSmallWindows(main->View().SmallWindowZoom());
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
    MainWindow& main = *windows.main;
    MainWindow& shown = main.CurrentExercise() ? main.CurrentExercise()->Window() : main;
    if (shown.RefusedInExercise()) return;
    const QString path = QString::fromStdString(request.path);
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
    }
}

int PictureScale() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double ratio = screen ? screen->devicePixelRatio() : 1.0;
    return std::max(1, static_cast<int>(std::ceil(ratio - 1e-6)));
}

void EndOnTerminationSignals(AppWindows& windows) {
    MainWindow* main = windows.main.get();
    CloseOnTerminationSignals(main, [main] { main->Sim().settings.SaveSettings(); });
}

} // namespace vp7
