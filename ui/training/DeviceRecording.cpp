// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/training/DeviceRecording.h"

#include "session/Steering.h"
#include "session/language/RoomLines.h"
#include "sim/Simulator.h"
#include "ui/device/DeviceWindow.h"
#include "ui/qt/Messages.h"
#include "ui/training/CompareDialog.h"

#include <QAction>
#include <QDateTime>
#include <QLabel>
#include <QMenuBar>
#include <QTimer>

namespace vp7 {

// The program's items of "Datei": record a session, stop and play one, open an exercise, compare
// configurations. The running recording shows as a red dot with its time at the menu bar's right end.
DeviceRecording::DeviceRecording(DeviceWindow& window) : QObject(&window), window_(window) {
    MenuBar& menus = window.Menus();
    menus.Add(MenuPart::Program, window.Sim().state.Language);
    // An exercise's device refuses them even when reached while greyed.
    for (const ActionId id : {ActionId::Record, ActionId::StopRecording, ActionId::Play, ActionId::Exercise})
        connect(menus.Action(id), &QAction::triggered, this, [this, id] {
            if (Refused()) return;
            if (id == ActionId::StopRecording) return Stop();
            if (const auto handler = handlers_.find(id); handler != handlers_.end()) handler->second();
        });
    connect(menus.Action(ActionId::Compare), &QAction::triggered, this,
            [this] { CompareConfigurations(&window_, window_.Sim()); });
    mark_ = new QLabel(&window);
    mark_->setObjectName(QStringLiteral("RecordingMark"));
    mark_->setStyleSheet(QStringLiteral("color: #c00000; padding: 0 8px;"));
    window.menuBar()->setCornerWidget(mark_, Qt::TopRightCorner);
    markClock_ = new QTimer(this);
    markClock_->setInterval(1000);
    connect(markClock_, &QTimer::timeout, this, [this] { Show(); });
    window.RefuseReplacingWhen([this] { return Refused(); });
}

SessionRecorder* DeviceRecording::Recorder() const {
    return window_.CurrentSession().Recorder();
}

void DeviceRecording::Show() {
    // A recording that cannot be opened or no longer written (a full disk, a removed medium) ends with
    // a word.
    if (Recorder() && !Recorder()->Good()) {
        const std::string path = Recorder()->Path();
        window_.CurrentSession().StopRecording();
        window_.Host().MessageDlg(
            window_.Sim().state.Text("Die Aufzeichnung kann nicht geschrieben werden:\n",
                                     "The recording cannot be written:\n") +
                path,
            MsgType::Error, MsgButton::OK);
    }
    const bool on = Running();
    window_.Menus().Action(ActionId::Record)->setEnabled(!on && !exerciseDevice_);
    window_.Menus().Action(ActionId::StopRecording)->setEnabled(on && !exerciseDevice_);
    mark_->setVisible(on);
    if (!on) {
        markClock_->stop();
        return;
    }
    if (!markClock_->isActive()) markClock_->start();
    const int64_t seconds = Recorder()->ElapsedMs() / 1000;
    mark_->setText(
        QStringLiteral("\u25CF %1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0')));
}

void DeviceRecording::KeepForExercise() {
    exerciseDevice_ = true;
    for (const ActionId id : {ActionId::Play, ActionId::Exercise})
        window_.Menus().Action(id)->setEnabled(false);
    Show();
}

void DeviceRecording::SteerFreeze(Steering& steering, bool frozen, FreezeAsker asker) const {
    if (asker == FreezeAsker::WindowUser && room_.inRoom && room_.inRoom())
        return steering.SetFrozen(frozen, FreezeHolder::Trainee);
    steering.SetFrozen(frozen, FreezeHolder::Instructor);
    if (asker == FreezeAsker::WindowUser && !frozen) steering.SetFrozen(false, FreezeHolder::Trainee);
}

bool DeviceRecording::RefusedByRoom() {
    if (!room_.holdsDevice || !room_.holdsDevice()) return false;
    ShowPlainMessage(
        &window_, QMessageBox::Information,
        QString::fromUtf8(window_.Sim().state.Text(kRoomHoldsDeviceGerman, kRoomHoldsDeviceEnglish)));
    return true;
}

// The room's word comes first: an exercise from the room is the instructor's as well.
bool DeviceRecording::Refused() {
    if (RefusedByRoom()) return true;
    if (!exerciseDevice_) return false;
    ShowPlainMessage(&window_, QMessageBox::Information,
                     QString::fromUtf8(window_.Sim().state.Text(
                         "Während einer Übung nicht möglich: Die Aufzeichnung läuft bis zur Abgabe, und es "
                         "wird keine andere Aufzeichnung, Übung oder Sitzung geladen.",
                         "Not during an exercise: its recording runs until it is handed in, and no other "
                         "recording, exercise or session is loaded.")));
    return true;
}

void DeviceRecording::Stop() {
    if (!Running()) return;
    const QString path = QString::fromStdString(Recorder()->Path());
    window_.CurrentSession().StopRecording();
    Show();
    emit Stopped(path);
}

void DeviceRecording::Start(const std::string& path, const std::string& startLine,
                            std::optional<int64_t> startMs) {
    const std::string header = "vp7sim " VP7_VERSION ", recorded " +
                               QDateTime::currentDateTime().toString(Qt::ISODate).toStdString();
    window_.CurrentSession().Record(
        std::make_unique<SessionRecorder>(window_.Sim(), path, header, startLine, startMs));
    Show();
}

void DeviceRecording::Continue(const std::string& path, SessionRecorder::Continuation from) {
    window_.CurrentSession().Record(std::make_unique<SessionRecorder>(window_.Sim(), path, from));
    Show();
}

} // namespace vp7
