// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/device/DeviceWindow.h"

#include "formats/IniFile.h"
#include "sim/files/Settings.h"
#include "sim/operation/ParamTableView.h"
#include "ui/artwork/Artwork.h"
#include "ui/device/Dialogs.h"
#include "ui/device/HelpMenu.h"
#include "ui/device/InitInfoWindow.h"
#include "ui/device/KeyboardHelp.h"
#include "ui/device/MenuBar.h"
#include "ui/device/ViewAccess.h"
#include "ui/device/ZoomControl.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMouseEvent>
#include <QSignalBlocker>

namespace vp7 {

DeviceWindow::DeviceWindow(SessionOwner& sessions, int scale, const SessionMode& session)
    : sessions_(sessions), screenScale_(scale) {
    sessions_.Open(this, session);
    setObjectName(QStringLiteral("Form1"));
    setWindowIcon(ProgramIcon());
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(11);
    setFont(f);
    setMouseTracking(true);

    // A real clock from outside (an exercise's) is served as the window's own.
    Host().OnBeforeModal([this] {
        if (QtClock* live = LiveClock()) live->Thaw();
        AfterEvent();
    });
    Host().OnAnswered([this](const UserAction& answer) { Sim().Answered(answer); });
    if (QtClock* live = LiveClock()) live->AfterEachTick([this] { AfterEvent(); });
    // Events of the small windows reach the simulator too; whatever they changed is taken before the
    // event loop sleeps.
    if (auto* dispatcher = QAbstractEventDispatcher::instance())
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, [this] { AfterEvent(); });

    menus_ = std::make_unique<MenuBar>(*menuBar(), Sim().form);
    menus_->Add(MenuPart::Device, Sim().state.Language);
    for (Control* c : Sim().form.All()) {
        QAction* item = c->kind == ControlKind::MenuItem ? menus_->Item(*c) : nullptr;
        if (!item || item->menu()) continue;
        // Loading a configuration replaces what the device was set to.
        const bool replaces = c->name == Sim().form.Konfigurationladen1.name;
        connect(item, &QAction::triggered, this, [this, name = c->name, replaces] {
            if (!replaces || !refusesReplacing_ || !refusesReplacing_()) view_->UserClick(name);
        });
    }
    view_ = new DeviceView(CurrentSession(), Host(), this);
    setCentralWidget(view_);
    view_->ShowMenusWith([this](const FormChanges::Taken& changed) { ShowMenuItems(changed); });
    connect(view_, &DeviceView::FormChanged, this, &DeviceWindow::FormChanged);
    connect(view_, &DeviceView::EventHandled, this, &DeviceWindow::EventHandled);
    zoomControl_ = new ZoomControl(*this);
    Sim().image1.KeepLog(); // a new zoom draws the picture again from it
    AddKeyboardHelp(*view_, *menus_->Action(ActionId::Keyboard));
    AddHelpMenu(*this);
    MakeViewAccessible(*view_);
    AddSettingsSection([this](const IniFile& ini) { trendSettings_.Read(ini); },
                       [this](IniFile& ini) { trendSettings_.Write(ini); });
}

void DeviceWindow::Begin(const SessionMode& session, const std::function<void()>& started) {
    Host().PlayFrom(session.script);
    if (session.beforeStart) session.beforeStart(Sim());
    CurrentSession().Start(session.afterCreate);
    if (started) started();
    zoomControl_->Start();
    AfterEvent();
    adjustSize();
    if (Sim().form.maximized) setWindowState(windowState() | Qt::WindowMaximized);
    MakeSmallWindows();
}

// The small windows go first, then the keyboard: focus changes while the window is torn down must not
// reach the device.
DeviceWindow::~DeviceWindow() {
    initInfo_.reset();
    setpointScale_.reset();
    parameterTable_.reset();
    screenCheck_.reset();
    view_->StopKeyboard();
}

// Made in the device program's order once the device runs: the screen check dialog, the parameter
// table window, the setpoint scale dialog and the initialization info window.
void DeviceWindow::MakeSmallWindows() {
    Simulator& sim = Sim();
    screenCheck_ = std::make_unique<ScreenCheckWindow>(sim, this);
    parameterTable_ = std::make_unique<ParamTableWindow>(sim, this);
    setpointScale_ = std::make_unique<ScaleDialogWindow>(sim, this);
    initInfo_ = std::make_unique<InitInfoWindow>(sim, this);
    InitInfoWindow* info = initInfo_.get();
    connect(this, &DeviceWindow::FormChanged, info, [info] { info->SyncFromForm(); });
    ParamTableWindow* table = parameterTable_.get();
    connect(this, &DeviceWindow::FormChanged, table, [table] { table->SyncFromForm(); });
    ScaleDialogWindow* scaleDialog = setpointScale_.get();
    ScreenCheckWindow* check = screenCheck_.get();
    Host().OnModalDialog([scaleDialog, check](ModalDialog dialog) {
        if (dialog == ModalDialog::SetpointScale)
            scaleDialog->Run();
        else
            check->Run();
    });
    const auto zoomSmallWindows = [info, table, scaleDialog, check](double zoom) {
        info->SetZoom(zoom);
        table->SetZoom(zoom);
        scaleDialog->SetZoom(zoom);
        check->SetZoom(zoom);
    };
    connect(zoomControl_, &ZoomControl::SmallWindowZoomChanged, info, zoomSmallWindows);
    // A new session in the window: the small windows show its device.
    connect(this, &DeviceWindow::SessionTaken, info, [this, info, table, scaleDialog, check] {
        Simulator& now = Sim();
        info->Rebind(now);
        table->Rebind(now);
        scaleDialog->Rebind(now);
        check->Rebind(now);
        info->SyncFromForm();
        table->SyncFromForm();
    });
    zoomSmallWindows(zoomControl_->SmallWindowZoom());
}

// The window was designed as 1025 x 768 points with its frame, centred on the screen; the frame's size
// is known only once the window is shown.
void DeviceWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (placed_ || isMaximized()) return;
    placed_ = true;
    SizeToForm(true);
}

QtClock* DeviceWindow::LiveClock() {
    return dynamic_cast<QtClock*>(&Sim().clock);
}

void DeviceWindow::TakeSession(std::unique_ptr<Session> next) {
    view_->Show(*next);
    std::unique_ptr<Session> old = sessions_.Replace(std::move(next));
    if (QtClock* live = LiveClock()) live->AfterEachTick([this] { AfterEvent(); });
    CurrentSession().Trend().Conceal(Hidden());
    emit SessionTaken();
    old.reset();
    view_->SyncShown();
    AfterEvent();
}

void DeviceWindow::ShowMenuItems(const FormChanges::Taken& changed) {
    const FormState& form = Sim().form;
    for (const Control* c : changed.controls) {
        if (c->kind != ControlKind::MenuItem) continue;
        QAction* a = menus_->Item(*c);
        const QSignalBlocker block(a);
        a->setText(QString::fromStdString(c->caption));
        a->setChecked(c->checked);
        // A "Datei" menu opened empty, while the configuration hides both its items, could not be
        // opened again; its hidden items show greyed instead.
        a->setVisible(c->visible || c->parent == form.Datei1.name);
        a->setEnabled(c->enabled && c->visible);
    }
    menus_->Retranslate(Sim().state.Language);
}

void DeviceWindow::Restrict(std::set<std::string> hidden, std::set<std::string> locked) {
    CurrentSession().Trend().Conceal(hidden);
    view_->Restrict(std::move(hidden), std::move(locked));
}

// The window sees keys before its controls: F5 refreshes the parameter table.
void DeviceWindow::keyPressEvent(QKeyEvent* event) {
    const auto m = event->modifiers();
    Sim().FormKeyDown(event->key() == Qt::Key_F5 ? ParamTableView::KeyF5 : 0, m & Qt::ShiftModifier,
                      m & Qt::AltModifier, m & Qt::ControlModifier);
    AfterEvent();
    QMainWindow::keyPressEvent(event);
}

void DeviceWindow::mouseMoveEvent(QMouseEvent* event) {
    Sim().FormMouseMove();
    AfterEvent();
    QMainWindow::mouseMoveEvent(event);
}

} // namespace vp7
