// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/app/InstructorControls.h"

#include "formats/IniFile.h"
#include "platform/FileRead.h"
#include "session/SavedState.h"
#include "session/SessionRecorder.h"
#include "session/StateFile.h"
#include "session/script/RecordingLines.h"
#include "session/script/RewindPlan.h"
#include "sim/Simulator.h"
#include "sim/files/Settings.h"
#include "ui/app/Application.h"
#include "ui/app/MainWindow.h"
#include "ui/app/StateStart.h"
#include "ui/device/Dialogs.h"
#include "ui/device/InitInfoWindow.h"
#include "ui/device/MenuBar.h"
#include "ui/device/PictureWidget.h"
#include "ui/qt/OwnFiles.h"
#include "ui/qt/SteeredQtClock.h"
#include "ui/training/ExerciseSession.h"
#include "ui/training/RewindDialog.h"
#include "ui/training/TrendWindow.h"

#include <QAction>
#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QStatusBar>

#include <cmath>

namespace vp7 {
namespace {

constexpr int kBandHeight = 36; // at 100 %

} // namespace

InstructorControls::InstructorControls(AppWindows& windows)
    : main_(*windows.main), initInfo_(&windows.main->InitInfo()),
      parameterTable_(&windows.main->ParameterTable()) {
    BuildMenu();
    band_ = new QLabel(main_.Picture());
    band_->setObjectName(QStringLiteral("FrozenBand"));
    band_->setAlignment(Qt::AlignCenter);
    band_->setAttribute(Qt::WA_TransparentForMouseEvents);
    band_->setStyleSheet(QStringLiteral("background-color: rgba(255, 210, 0, 220); color: black;"
                                        "font-weight: bold; letter-spacing: 4px;"));
    band_->hide();
    connect(&main_, &MainWindow::FormChanged, this, [this] {
        Retranslate();
        if (Frozen()) LockDeviceMenus();
    });
    connect(&main_, &MainWindow::SessionTaken, this, [this] { FollowSession(); });
    // An exercise from the room leaves the trainee no freeze of their own.
    connect(&main_, &MainWindow::ExerciseChanged, this, [this] {
        const ExerciseSession* exercise = main_.CurrentExercise();
        freeze_->setEnabled(Clock() && !(exercise && exercise->FromRoom()));
    });
    connect(&main_.Recording(), &DeviceRecording::Stopped, this,
            [this](const QString& path) { TakeOverRecording(path); });
    Retranslate();
    qApp->installEventFilter(this);
    // A replayed session's log is its recording, continued once the replay is through.
    if (Clock() && Clock()->Replaying()) return;
    KeepBacktracks();
    if (main_.Recording().Running()) return;
    // With the splash, the session begins when it was clicked away: a replay has no splash.
    if (Sim().state.SplashValid && !Sim().state.SplashDone)
        splashWait_ = connect(&main_, &MainWindow::EventHandled, this, [this] {
            if (!log_ && !main_.Recording().Running() && Sim().state.SplashDone) StartLog();
        });
    else
        StartLog();
}

InstructorControls::~InstructorControls() {
    qApp->removeEventFilter(this);
}

Simulator& InstructorControls::Sim() const {
    return main_.Sim();
}

QtClock* InstructorControls::Clock() const {
    return dynamic_cast<QtClock*>(&main_.Sim().clock);
}

void InstructorControls::FollowSession() {
    disconnect(splashWait_);
    log_.reset();
    KeepBacktracks();
    freeze_->setChecked(false);
    band_->hide();
    freeze_->setEnabled(Clock() != nullptr);
    main_.Menus().Menu(MenuId::Speed)->setEnabled(Clock() != nullptr);
    if (QtClock* clock = Clock())
        for (const QAction* speed : main_.Menus().Choices(ActionId::SpeedStep))
            if (speed->isChecked()) SteeredQtClock(*clock, Sim()).Steer().SetSpeed(speed->data().toDouble());
}

const char* InstructorControls::Text(const char* de, const char* en) const {
    return Sim().state.Text(de, en);
}

void InstructorControls::BuildMenu() {
    MenuBar& menus = main_.Menus();
    menus.Add(MenuPart::Instructor, Sim().state.Language);
    freeze_ = menus.Action(ActionId::Freeze);
    connect(freeze_, &QAction::triggered, this, [this](bool on) { Steer(on, FreezeAsker::WindowUser); });
    for (QAction* speed : menus.Choices(ActionId::SpeedStep)) {
        const double rate = speed->data().toDouble();
        connect(speed, &QAction::triggered, this, [this, rate] { SetSpeed(rate); });
    }
    CheckSpeed(1);
    connect(menus.Action(ActionId::SaveState), &QAction::triggered, this, [this] { SaveState(); });
    // Both replace the device: not where the room holds it.
    connect(menus.Action(ActionId::LoadState), &QAction::triggered, this, [this] {
        if (!main_.Recording().Refused()) LoadState();
    });
    connect(menus.Action(ActionId::Rewind), &QAction::triggered, this, [this] {
        if (!main_.Recording().Refused()) AskForRewind();
    });
    if (!Clock()) {
        freeze_->setEnabled(false);
        menus.Menu(MenuId::Speed)->setEnabled(false);
    }
    // The status bar shows only what is out of the ordinary: a speed other than 1x.
    speedShown_ = new QLabel(&main_);
    speedShown_->setObjectName(QStringLiteral("SpeedShown"));
    main_.statusBar()->addPermanentWidget(speedShown_);
    speedShown_->hide();
    main_.FitStatusBar();
}

void InstructorControls::Retranslate() {
    band_->setText(QString::fromUtf8(Text("ANGEHALTEN", "FROZEN")));
    const double rate = Clock() ? Clock()->Rate() : 1;
    speedShown_->setText(QString::fromUtf8(Text("Geschwindigkeit ", "Speed ")) + SpeedText(rate));
}

void InstructorControls::StartLog() {
    disconnect(splashWait_);
    const std::string path = logFolder_.filePath(QStringLiteral("session.vp7s")).toStdString();
    const std::string header = "vp7sim " + std::string(ProgramVersion()) + ", session of " +
                               QDateTime::currentDateTime().toString(Qt::ISODate).toStdString();
    log_ = std::make_unique<SessionRecorder>(Sim(), path, header, "start",
                                             Sim().StartedMs ? Sim().StartedMs : std::optional<int64_t>());
}

void InstructorControls::ContinueLog(const std::string& text, int64_t atMs) {
    const QString path = logFolder_.filePath(QStringLiteral("session.vp7s"));
    WriteFile(path, text);
    log_ = std::make_unique<SessionRecorder>(Sim(), path.toStdString(),
                                             SessionRecorder::Continuation{atMs, RecordingLengthMs(text)});
}

// The user's recording ended; the session's log goes on from it. Recorded sessions start without the
// splash, so the recording's time begins at the start-up tick.
void InstructorControls::TakeOverRecording(const QString& path) {
    const auto text = ReadWholeFile(path.toStdString(), kRecordingMaxBytes);
    if (!text) return;
    ContinueLog(*text, Sim().CreatedMs + Sim().Timer1.Interval() + RecordingLengthMs(*text));
}

SessionRecorder* InstructorControls::SessionRecording() const {
    return main_.Recording().Running() ? main_.Recording().Recorder() : log_.get();
}

void InstructorControls::KeepBacktracks() {
    main_.CurrentSession().KeepBacktracks([this]() -> std::optional<int64_t> {
        const SessionRecorder* recorder = SessionRecording();
        return recorder ? std::optional(recorder->RecordedMs()) : std::nullopt;
    });
}

std::optional<std::string> InstructorControls::SessionSoFar() {
    SessionRecorder* recorder = SessionRecording();
    if (!recorder) return std::nullopt;
    recorder->WriteUpToNow();
    return ReadWholeFile(recorder->Path(), kRecordingMaxBytes);
}

bool InstructorControls::Frozen() const {
    return Clock() && Clock()->Frozen();
}

// The keyboard's held key is the window's to let go (it shows it held; the device is told, as a
// recording keeps it); the session's freeze lets go of a button still down.
void InstructorControls::ReleaseHolds() {
    main_.LetGoOfKeys();
}

// The device's menu items greyed while frozen; the next sync of the form brings them back.
void InstructorControls::LockDeviceMenus() {
    for (const auto& [name, item] : main_.Menus().DeviceItems())
        item->setEnabled(false);
}

void InstructorControls::PlaceBand() {
    const QWidget* picture = main_.Picture();
    const int height = static_cast<int>(std::lround(kBandHeight * main_.Zoom().Factor()));
    // Along the top of the picture: the display and the piston stay in view.
    band_->setGeometry(0, height / 4, picture->width(), height);
    QFont font = band_->font();
    font.setPixelSize(height * 3 / 5);
    band_->setFont(font);
}

void InstructorControls::SetFrozen(bool frozen) {
    Steer(frozen, FreezeAsker::Instructor);
}

void InstructorControls::Steer(bool frozen, FreezeAsker asker) {
    if (!Clock()) return;
    const bool was = Frozen();
    if (frozen && !was) ReleaseHolds();
    SteeredQtClock steered(*Clock(), Sim());
    main_.Recording().SteerFreeze(steered.Steer(), frozen, asker);
    frozen = Frozen();
    freeze_->setChecked(frozen); // another's hold outlasts the user's continue
    if (frozen == was) return;
    if (frozen) {
        main_.AfterEvent();
        LockDeviceMenus();
        PlaceBand();
        band_->show();
        band_->raise();
    } else {
        band_->hide();
        main_.SyncFromForm();
        main_.Picture()->setFocus(Qt::OtherFocusReason);
    }
}

void InstructorControls::CheckSpeed(double rate) {
    for (QAction* a : main_.Menus().Choices(ActionId::SpeedStep))
        a->setChecked(a->data().toDouble() == rate);
}

void InstructorControls::SetSpeed(double rate) {
    if (!Clock()) return;
    SteeredQtClock(*Clock(), Sim()).Steer().SetSpeed(rate);
    CheckSpeed(rate);
    Retranslate();
    speedShown_->setVisible(rate != 1);
    main_.FitStatusBar();
}

double InstructorControls::Speed() const {
    return Clock() ? Clock()->Rate() : 1;
}

// While frozen, nothing reaches the device: no pointer or key on its windows (the menu bar stays
// usable, to go on), no device menu item.
bool InstructorControls::eventFilter(QObject* watched, QEvent* event) {
    return Frozen() && IsDeviceInput(watched, *event, {&main_, initInfo_, parameterTable_}, main_.menuBar());
}

// A file already there stays as it was when the new one cannot be written whole (a full disk).
bool InstructorControls::WriteFile(const QString& path, const std::string& text) {
    return WriteWholeFile(path, text) || WriteFailed(path);
}

bool InstructorControls::WriteFailed(const QString& path) {
    ShowPlainMessage(&main_, QMessageBox::Critical,
                     QString::fromUtf8(Text(
                         "Die Datei kann nicht geschrieben werden (eine vorhandene bleibt, wie sie war):\n",
                         "The file cannot be written (one already there stays as it was):\n")) +
                         path);
    return false;
}

void InstructorControls::SaveState() {
    if (!SessionSoFar()) return;
    QString path =
        QFileDialog::getSaveFileName(&main_, QString::fromUtf8(Text("Zustand speichern", "Save state")),
                                     QString::fromStdString(Sim().settings.DataDir()),
                                     QString::fromUtf8(Text("Zustand (*.vp7state);;Alle Dateien (*)",
                                                            "State (*.vp7state);;All files (*)")));
    if (path.isEmpty()) return;
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".vp7state");
    SaveStateTo(path);
}

bool InstructorControls::SaveStateTo(const QString& path) {
    const auto session = SessionSoFar();
    return session && WriteFile(path, vp7::SaveState(Sim(), *session));
}

// The window shows the state in place of the session; it was checked whole first, so a state that
// cannot be loaded changes nothing.
void InstructorControls::LoadState() {
    const QString path =
        QFileDialog::getOpenFileName(&main_, QString::fromUtf8(Text("Zustand laden", "Load state")),
                                     QString::fromStdString(Sim().settings.DataDir()),
                                     QString::fromUtf8(Text("Zustand (*.vp7state *.vp7s);;Alle Dateien (*)",
                                                            "State (*.vp7state *.vp7s);;All files (*)")));
    if (path.isEmpty()) return;
    LoadStateFrom(path);
}

bool InstructorControls::LoadStateFrom(const QString& path) {
    const bool german = Sim().state.Language == Language::German;
    if (IsSnapshotState(path)) return ShowSnapshotInPlace(main_, *this, path, german);
    const auto state =
        ReadStateFile(&main_, path, Sim().state.ControllerType, Sim().settings.IniPath(), german);
    if (!state) return false;
    ShowStateInPlace(main_, *this, *state);
    return true;
}

void InstructorControls::AskForRewind() {
    const auto session = SessionSoFar();
    if (!session) return;
    std::vector<RewindMark> marks;
    const Language language = Sim().state.Language;
    // The trend counts from the window's creation, the session from the start-up's end.
    const int64_t trendToSession = Sim().CreatedMs - Sim().StartedMs;
    const auto& events = main_.Trend().Events();
    for (std::size_t i = 0; i < events.Size(); ++i)
        marks.push_back(
            {events[i].timeMs + trendToSession, QString::fromStdString(events[i].Text(language))});
    RewindDialog dialog(&main_, RecordingLengthMs(*session), std::move(marks), language == Language::German);
    if (dialog.exec() == QDialog::Accepted) RewindTo(dialog.ChosenMs());
}

bool InstructorControls::RewindTo(int64_t ms) {
    const auto session = SessionSoFar();
    const std::string& settings = Sim().settings.IniPath();
    auto planned = PlanRewind(session.value_or(std::string()), ms, main_.CurrentSession().Backtracked(),
                              {.path = settings, .unreadable = IniFile::PresentButUnreadable(settings)});
    if (const auto* refusal = std::get_if<StateRefusal>(&planned)) {
        QMessageBox::critical(
            &main_, QApplication::applicationDisplayName(),
            QString::fromStdString(refusal->Text(Sim().state.Language == Language::German)));
        return false;
    }
    if (!session) return false;
    RewindPlan& plan = std::get<RewindPlan>(planned);
    const std::string cut = MakeSavedState(plan.cut, Sim().state.ControllerType, ProgramVersion());
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    // The whole session is kept, what came after the moment with it: beside the user's recording, or
    // in the data folder.
    const QString recording = main_.Recording().Running()
                                  ? QString::fromStdString(main_.Recording().Recorder()->Path())
                                  : QString();
    const QString keptStem = recording.isEmpty() ? QDir(QString::fromStdString(Sim().settings.DataDir()))
                                                       .filePath(QStringLiteral("rewound-%1").arg(stamp))
                                                 : QFileInfo(recording).path() + QLatin1Char('/') +
                                                       QFileInfo(recording).completeBaseName() +
                                                       QStringLiteral("-rewound-%1").arg(stamp);
    // Two rewinds in the same second keep both sessions.
    const QString suffix = QStringLiteral(".vp7s");
    const QString kept = CreateNumberedFiles(keptStem, {suffix});
    if (kept.isEmpty()) return WriteFailed(keptStem + suffix);
    if (!WriteFile(kept + suffix, *session)) {
        QFile::remove(kept + suffix); // the empty file made for it
        return false;
    }
    // The session goes on in the user's recording, which now ends at the moment, or in the log.
    if (!recording.isEmpty()) {
        main_.Recording().Stop();
        if (!WriteFile(recording, cut)) return false;
    }
    const std::string recordPath = recording.toStdString();
    if (plan.fromBacktrack &&
        RewindFromBacktrack(main_, *this, std::move(*plan.fromBacktrack), cut, ms, recordPath))
        return true;
    // Checked from the cut in hand, as written into the recording: nothing is read back.
    const auto state = CheckStateText(&main_, recording.isEmpty() ? kept + suffix : recording, cut,
                                      std::nullopt, settings, Sim().state.Language == Language::German);
    if (!state) return false;
    ShowStateInPlace(main_, *this, *state, recordPath);
    return true;
}

} // namespace vp7
