// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/app/ClassroomControl.h"

#include "classroom/DeviceStatus.h"
#include "classroom/Seat.h"
#include "classroom/SeatCommand.h"
#include "formats/AtomicFile.h"
#include "platform/FileRead.h"
#include "session/SessionRecorder.h"
#include "session/StateFile.h"
#include "session/Steering.h"
#include "session/exercise/ExerciseRun.h"
#include "session/exercise/KeptExercise.h"
#include "session/language/RoomLines.h"
#include "session/script/Runner.h"
#include "session/trend/TrendRecorder.h"
#include "sim/Simulator.h"
#include "sim/files/Settings.h"
#include "ui/app/Application.h"
#include "ui/app/InstructorControls.h"
#include "ui/app/MainWindow.h"
#include "ui/app/StateStart.h"
#include "ui/classroom/ConnectDialog.h"
#include "ui/classroom/InstructorStation.h"
#include "ui/classroom/JoinCodeDialog.h"
#include "ui/classroom/RoomAuthority.h"
#include "ui/classroom/RoomMenu.h"
#include "ui/classroom/StationLink.h"
#include "ui/classroom/StationSeatActions.h"
#include "ui/device/MenuBar.h"
#include "ui/device/PictureWidget.h"
#include "ui/training/ExerciseSession.h"

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QDateTime>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QStandardPaths>
#include <QStatusBar>

#include <chrono>
#include <filesystem>
#include <numeric>

namespace vp7 {
namespace {

// Leaving the room at the end waits this long for the broker to have the last status and hand-ins.
constexpr std::chrono::milliseconds kLeaveWait{1000};
// The live view's frames: the picture made no wider than this, in JPEG of this quality.
constexpr int kFrameWidth = 800;
constexpr int kFrameQuality = 70;

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

int64_t WallMs() {
    return QDateTime::currentMSecsSinceEpoch();
}

} // namespace

ClassroomControl::ClassroomControl() {
    poll_.setInterval(kPollMs);
    connect(&poll_, &QTimer::timeout, this, [this] { Poll(); });
    frames_.setInterval(kFrameMs);
    connect(&frames_, &QTimer::timeout, this, [this] { SendFrame(); });
}

ClassroomControl::~ClassroomControl() {
    Detach();
}

void ClassroomControl::BeforeStart(Simulator& sim) {
    sim.settings.AddSection([this](const IniFile& ini) { settings_.Read(ini); },
                            [this](IniFile& ini) { settings_.Write(ini); });
}

void ClassroomControl::Attach(AppWindows& windows) {
    main_ = windows.main.get();
    instructor_ = windows.instructor.get();
    main_->Recording().SeatIn(
        {.inRoom = [this] { return seat_ != nullptr; }, .holdsDevice = [this] { return HoldsDevice(); }});
    const MenuBar& menus = main_->Menus();
    connect(menus.Action(ActionId::ClassroomConnect), &QAction::triggered, this, [this] { AskToJoin(); });
    connect(menus.Action(ActionId::ClassroomJoinWithCode), &QAction::triggered, this,
            [this] { AskToJoinWithCode(); });
    connect(menus.Action(ActionId::ClassroomDisconnect), &QAction::triggered, this, [this] { Leave(); });
    connect(menus.Action(ActionId::InstructorStation), &QAction::triggered, this,
            [this] { AskForStation(); });
    shown_ = new QLabel(main_);
    shown_->setObjectName(QStringLiteral("ClassroomShown"));
    main_->statusBar()->addWidget(shown_);
    // A new session (a loaded state, a rewind) keeps the seat in its room; its trend starts afresh.
    connect(main_, &MainWindow::SessionTaken, this, [this] {
        BeforeStart(main_->Sim());
        trend_ = nullptr;
    });
    connect(main_, &MainWindow::ExerciseChanged, this, [this] { FollowExercise(); });
    connect(main_, &MainWindow::Closing, this, [this] {
        if (station_) station_->SeatActions()->CloseUnasked();
    });
    connect(main_, &MainWindow::FormChanged, this, [this] { ShowConnection(); });
    // In a room when the program ended: joined again when nothing needs asking.
    std::optional<std::string> password = std::string();
    if (settings_.rememberPassword) password = KeptPassword(PasswordFile("Classroom.password"));
    if (settings_.joined && password && (settings_.user.empty() || !password->empty()))
        Join(settings_, *password);
    ShowConnection();
}

void ClassroomControl::Detach() {
    if (!main_) return;
    disconnect(main_, nullptr, this, nullptr);
    main_->Recording().SeatIn({});
    station_.reset();
    stationLink_.reset();
    if (seat_) seat_->Finish(kLeaveWait); // still in the room at the next start: the settings say so
    seat_.reset();
    poll_.stop();
    frames_.stop();
    shown_ = nullptr; // the window's own
    main_ = nullptr;
}

bool ClassroomControl::German() const {
    return main_->Sim().state.Language == Language::German;
}

std::string ClassroomControl::PasswordFile(const char* name) const {
    return (std::filesystem::path(main_->Sim().settings.IniPath()).parent_path() / name).string();
}

std::string ClassroomControl::ClassroomFolder() const {
    return (std::filesystem::path(main_->Sim().settings.DataDir()) / "Classroom").string();
}

void ClassroomControl::KeepOrForget(const std::string& file, bool keep, const std::string& password) {
    std::error_code ec;
    if (!keep)
        std::filesystem::remove(file, ec);
    else if (!KeepPassword(file, password))
        ShowPlainMessage(main_, QMessageBox::Warning,
                         QString::fromUtf8(Text("Das Passwort kann nicht gespeichert werden: ",
                                                "The password cannot be kept: ")) +
                             Q(file));
}

void ClassroomControl::AskToJoin() {
    const std::string file = PasswordFile("Classroom.password");
    const QString kept = settings_.rememberPassword ? Q(KeptPassword(file).value_or("")) : QString();
    ConnectDialog dialog(settings_, kept, German(), main_);
    if (dialog.exec() != QDialog::Accepted) return;
    const ClassroomSettings chosen = dialog.Settings();
    const std::string password = dialog.Password().toStdString();
    KeepOrForget(file, chosen.rememberPassword, password);
    Join(chosen, password);
}

void ClassroomControl::AskToJoinWithCode() {
    std::optional<JoinTicket> known;
    if (!settings_.room.empty()) {
        known.emplace();
        known->address = settings_.host;
        known->mqttPort = settings_.port;
        known->mqttTls = settings_.tls;
        known->room = settings_.room;
    }
    JoinCodeDialog dialog(known, Q(settings_.trainee), German(), main_, settings_.finderPort);
    if (dialog.exec() != QDialog::Accepted) return;
    const JoinTicket& ticket = dialog.Ticket();
    ClassroomSettings chosen = settings_;
    chosen.host = ticket.address;
    chosen.port = static_cast<uint16_t>(ticket.mqttPort);
    chosen.tls = ticket.mqttTls;
    chosen.room = ticket.room;
    chosen.seat = ticket.seat;
    chosen.user = ticket.seat;
    chosen.rememberPassword = true; // joining again in the lesson needs no code
    // A code alone joins the room of the last join, whose authority is kept already.
    if (ticket.mqttTls && !ticket.fingerprint.empty()) {
        const auto authority = FetchRoomAuthority(ticket, Q(ClassroomFolder()), German());
        if (authority.index() == 1) {
            ShowPlainMessage(main_, QMessageBox::Warning, std::get<1>(authority));
            return;
        }
        chosen.caFile = std::get<0>(authority).toStdString();
    }
    chosen.trainee = dialog.Trainee().toStdString();
    KeepOrForget(PasswordFile("Classroom.password"), true, ticket.password);
    if (Join(chosen, ticket.password)) joinedByCode_ = true;
}

bool ClassroomControl::Join(const ClassroomSettings& settings, const std::string& password) {
    Leave();
    SeatSettings seat{settings.host,   settings.port, settings.room,        settings.seat,
                      settings.user,   password,      settings.Authority(), ClassroomFolder() + "/Outbox",
                      settings.trainee};
    auto joining = std::make_unique<Seat>(*this, std::move(seat), BrokerLinks());
    settings_ = settings;
    settings_.joined = false; // until it has joined
    if (const auto problem = joining->Start()) {
        ShowPlainMessage(main_, QMessageBox::Warning,
                         QString::fromUtf8(Text("Der Platz kann dem Klassenraum nicht beitreten: ",
                                                "The seat cannot join the classroom: ")) +
                             Q(*problem));
        ShowConnection();
        return false;
    }
    seat_ = std::move(joining);
    settings_.joined = true;
    trend_ = nullptr;
    FollowExercise();
    poll_.start();
    ShowConnection();
    return true;
}

void ClassroomControl::Leave() {
    joinedByCode_ = false;
    if (!seat_) return;
    seat_->Finish(kLeaveWait);
    seat_.reset();
    settings_.joined = false;
    poll_.stop();
    frames_.stop();
    connected_ = false;
    ShowConnection();
}

InstructorStation* ClassroomControl::OpenStation(const ClassroomSettings& settings,
                                                 const std::string& password) {
    station_.reset(); // before the link its commands go through
    stationLink_.reset();
    // The window that is a seat keeps its own room; the station's account is remembered beside it.
    if (seat_) {
        settings_.stationUser = settings.stationUser;
    } else {
        const bool joined = settings_.joined;
        settings_ = settings;
        settings_.joined = joined;
    }
    auto link = std::make_unique<StationLink>(settings, password);
    // The lessons' history lies where the instructor finds it, in the documents; what is older than the
    // days it is kept goes at the station's start, each lesson deleted said in the station's log.
    // A user without a documents folder keeps them in the program's data instead.
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const std::filesystem::path lessons =
        (documents.isEmpty() ? ClassroomFolder() : QFile::encodeName(documents).toStdString()) + '/' +
        kLessonsFolderName;
    const QDate date = QDate::currentDate();
    const std::chrono::year_month_day today{std::chrono::year(date.year()),
                                            std::chrono::month(static_cast<unsigned>(date.month())),
                                            std::chrono::day(static_cast<unsigned>(date.day()))};
    const std::vector<std::string> deleted = DeleteOldLessons(lessons, today, settings_.keepLessonDays);
    std::string why;
    const auto lesson = MakeLessonFolder(lessons, settings.room, today, why);
    const QString folder = lesson ? QFile::decodeName(lesson->string().c_str()) : QString();
    StationLink* through = link.get();
    auto station = std::make_unique<InstructorStation>(
        Q(settings.room), German(),
        [through](const QString& topic, const QByteArray& payload) { through->Publish(topic, payload); },
        folder);
    if (const auto problem = link->Start(*station)) {
        ShowPlainMessage(main_, QMessageBox::Warning,
                         QString::fromUtf8(Text("Die Ausbilderstation kann nicht verbinden: ",
                                                "The instructor station cannot connect: ")) +
                             Q(*problem));
        return nullptr;
    }
    stationLink_ = std::move(link);
    station_ = std::move(station);
    station_->SetKeepLessonDays(settings_.keepLessonDays);
    // Queued: the station whose menu asks is replaced by the room's.
    connect(new RoomMenu(*station_, German()), &RoomMenu::OpenRequested, this,
            [this](const QString& path) { QTimer::singleShot(0, this, [this, path] { OpenRoom(path); }); });
    connect(station_.get(), &InstructorStation::KeepLessonDaysChosen, this,
            [this](int days) { settings_.keepLessonDays = days; });
    if (!lesson) station_->Note("Kein Ordner für den Unterricht: %1", "no class folder: %1", Q(why));
    for (const std::string& line : deleted)
        station_->Note(Q(line));
    if (!deleted.empty())
        station_->statusBar()->showMessage(
            QString::fromUtf8(Text("Gelöscht, älter als %1 Tage: %2", "Deleted, older than %1 days: %2"))
                .arg(settings_.keepLessonDays)
                .arg(Q(std::accumulate(deleted.begin(), deleted.end(), std::string(),
                                       [](std::string all, const std::string& line) {
                                           return all.empty() ? line : all + "; " + line;
                                       }))));
    // A closed station is gone: no broker connection, no polling, nothing watched.
    connect(station_.get(), &InstructorStation::Closed, this, [this] {
        QTimer::singleShot(0, this, [this] {
            station_.reset();
            stationLink_.reset();
        });
    });
    station_->show();
    return station_.get();
}

void ClassroomControl::AskForStation() {
    if (station_) {
        station_->show();
        station_->raise();
        station_->activateWindow();
        return;
    }
    const std::string file = PasswordFile("ClassroomStation.password");
    const QString kept = settings_.rememberPassword ? Q(KeptPassword(file).value_or("")) : QString();
    ConnectDialog dialog(settings_, kept, German(), main_, ConnectDialog::For::Station);
    if (dialog.exec() != QDialog::Accepted) return;
    const ClassroomSettings chosen = dialog.Settings();
    const std::string password = dialog.Password().toStdString();
    KeepOrForget(file, chosen.rememberPassword, password);
    OpenStation(chosen, password);
}

InstructorStation* ClassroomControl::OpenRoom(const QString& path) {
    auto opened = RoomMenu::Open(path, settings_, Q(ClassroomFolder()), German());
    if (const auto* why = std::get_if<QString>(&opened)) {
        ShowPlainMessage(station_ ? static_cast<QWidget*>(station_.get()) : main_, QMessageBox::Warning,
                         *why);
        return nullptr;
    }
    auto& [room, settings] = std::get<OpenedRoom>(opened);
    InstructorStation* station = OpenStation(settings, room.instructorPassword);
    if (station) station->findChild<RoomMenu*>()->SetRoom(std::move(room), settings_.finderPort);
    return station;
}

QString ClassroomControl::StatusText() const {
    if (!seat_) return {};
    const QString where = QString::fromUtf8(Text("Klassenraum %1, Platz %2: ", "Classroom %1, seat %2: "))
                              .arg(Q(settings_.room), Q(settings_.seat));
    return where + QString::fromUtf8(seat_->Connected() ? Text("verbunden", "connected")
                                                        : Text("nicht verbunden, neuer Versuch folgt",
                                                               "not connected, trying again"));
}

void ClassroomControl::ShowConnection() {
    if (!main_) return;
    const QString text = StatusText();
    if (shown_->text() != text) shown_->setText(text);
    shown_->setVisible(seat_ != nullptr);
    main_->FitStatusBar();
    main_->Menus().Action(ActionId::ClassroomDisconnect)->setEnabled(seat_ != nullptr);
}

void ClassroomControl::Poll() {
    if (!seat_) return;
    seat_->Poll();
    if (seat_ && seat_->Connected() != connected_) {
        connected_ = seat_->Connected();
        ShowConnection();
    }
}

bool ClassroomControl::HoldsDevice() const {
    if (!seat_) return false;
    if (const ExerciseSession* exercise = Exercise(); exercise && exercise->FromRoom()) return true;
    const auto* clock = dynamic_cast<const QtClock*>(&Shown().Sim().clock);
    if (clock && (clock->FreezeHolders() & FreezeBit(FreezeHolder::Instructor))) return true;
    return !roomHidden_.empty();
}

ExerciseSession* ClassroomControl::Exercise() const {
    return main_->CurrentExercise();
}

DeviceWindow& ClassroomControl::Shown() const {
    return Exercise() ? Exercise()->Window() : *main_;
}

// The trainee's own hand-in goes to the room as the instructor's does.
void ClassroomControl::FollowExercise() {
    trend_ = nullptr;
    ExerciseSession* exercise = Exercise();
    if (!exercise || exercise == followed_) return;
    followed_ = exercise;
    connect(exercise, &ExerciseSession::HandedIn, this, [this, exercise] {
        if (seat_ && exercise->Result()) seat_->SendHandIn(WithRecording(*exercise));
    });
}

// The exercise's recording up to the hand-in and the trainee's answer after it, as the station replays it.
SeatHandIn ClassroomControl::WithRecording(const ExerciseSession& exercise) {
    const ExerciseResult& result = *exercise.Result();
    SeatHandIn handIn = HandInOf(result);
    auto recording = ReadFileStart(exercise.RecordingPath().toStdString(), kHandInRecordingMaxBytes + 1);
    if (!recording) {
        Log("the exercise's recording cannot be read: the hand-in goes without it, not verified");
        return handIn;
    }
    if (result.chosen) *recording += "choose " + std::to_string(*result.chosen + 1) + '\n';
    if (const auto leftOut = AttachRecording(handIn, std::move(*recording))) Log(*leftOut);
    return handIn;
}

int64_t ClassroomControl::NowMs() const {
    return Shown().Sim().clock.NowMs();
}

SeatStatus ClassroomControl::Status() {
    SeatStatus status;
    DeviceWindow& shown = Shown();
    FillDeviceStatus(status, shown.Sim(), shown.Trend());
    if (ExerciseSession* exercise = Exercise()) {
        status.frozen = exercise->Frozen();
        status.speed = exercise->Speed();
        const ExerciseRun& run = exercise->Run();
        status.exercise = run.Definition().title.en;
        status.checks = static_cast<int>(run.Definition().checks.size());
        status.checksHolding = exercise->ChecksHolding();
        if (!exercise->Result()) status.timeLeftMs = run.TimeLeftMs(NowMs());
    } else {
        status.frozen = instructor_->Frozen();
        status.speed = instructor_->Speed();
    }
    return status;
}

std::vector<SeatEvent> ClassroomControl::TakeEvents() {
    const TrendRecorder& trend = Shown().Trend();
    if (&trend != trend_) { // another device: what it records from now on
        trend_ = &trend;
        eventsTaken_ = trend.Events().Pushed();
    }
    return TrendEventsSince(trend, eventsTaken_);
}

// A dialog's own event loop (the time-up notice, a question) may be running on what would be replaced.
void ClassroomControl::CheckNoDialog() const {
    if (QApplication::activeModalWidget())
        throw std::runtime_error(
            "a dialog is open on the seat; the command can be sent again once it is closed");
}

void ClassroomControl::OpenExercise(const std::string& text, std::optional<uint64_t> seed) {
    CheckNoDialog();
    std::error_code ec;
    std::filesystem::create_directories(ClassroomFolder(), ec);
    const std::string path = ClassroomFolder() + "/" + KeptExerciseName(text);
    if (!WriteFileAtomically(path, text)) throw std::runtime_error("cannot write " + path);
    // The name the trainee gave when joining, on the panel and in the report as in the hand-in.
    const std::string& trainee = settings_.trainee.empty() ? settings_.seat : settings_.trainee;
    auto started = StartExerciseFor(Q(path), Q(trainee), main_->Sim().settings.DataDir(), German(), seed);
    if (const auto* why = std::get_if<QString>(&started)) throw std::runtime_error(why->toStdString());
    auto& session = std::get<std::unique_ptr<ExerciseSession>>(started);
    session->TakeFromRoom();
    main_->RunExercise(std::move(session));
}

void ClassroomControl::LoadState(const std::string& bytes) {
    CheckNoDialog();
    if (!IsSnapshotFile(bytes)) throw std::runtime_error("not a snapshot state");
    // Made whole for the window's own device, which the exercise ended shows, before the exercise ends:
    // a state it refuses (damaged, of another variant, not fitting) leaves the trainee's work as it was,
    // and the refusal goes to the instructor, not into a box on the trainee's screen.
    auto made = SessionForWindow(*main_, bytes);
    if (const auto* refusal = std::get_if<StateRefusal>(&made)) throw std::runtime_error(refusal->english);
    main_->EndExercise(); // the state takes the place of whatever the trainee worked on
    ShowSessionInPlace(*main_, *instructor_, std::move(std::get<SnapshotSession>(made)));
}

// What the room did stands in the recording of the device it did it to, so that a replay shows it.
void ClassroomControl::Record(const RoomAction& action) {
    if (SessionRecorder* recorder = Shown().CurrentSession().Recorder())
        recorder->WriteOutside(RoomLine(action));
}

void ClassroomControl::SetFrozen(bool frozen) {
    if (ExerciseSession* exercise = Exercise())
        exercise->SetFrozen(frozen);
    else
        instructor_->SetFrozen(frozen);
    Record({RoomAction::Kind::Freeze, frozen, 1, {}});
}

void ClassroomControl::SetSpeed(double speed) {
    if (!Steering::SpeedAllowed(speed)) throw std::runtime_error("speed out of range");
    if (ExerciseSession* exercise = Exercise())
        exercise->SetSpeed(speed);
    else
        instructor_->SetSpeed(speed);
    Record({RoomAction::Kind::Speed, false, speed, {}});
}

void ClassroomControl::SetHiddenFault(const std::string& option, bool on) {
    if (ExerciseSession* exercise = Exercise()) {
        exercise->SetHiddenOption(option, on);
    } else {
        std::set<std::string> hidden = main_->Hidden();
        vp7::SetHiddenFault(main_->Sim(), &main_->CurrentSession().Trend(), hidden, option, on);
        main_->Restrict(std::move(hidden), main_->Locked());
        main_->AfterEvent();
    }
    // Set: the room holds it hidden until it clears it.
    if (on)
        roomHidden_.insert(option);
    else
        roomHidden_.erase(option);
    Record({RoomAction::Kind::Fault, on, 1, option});
}

void ClassroomControl::ShowMessage(const std::string& text) {
    QWidget* over = &Shown();
    if (message_ && message_->parentWidget() != over) {
        message_->close(); // deleted later: the new text goes into a new box
        message_.clear();
    }
    if (!message_) {
        message_ = new QMessageBox(QMessageBox::Information,
                                   QString::fromUtf8(Text("Nachricht des Ausbilders", "From the instructor")),
                                   QString(), QMessageBox::Ok, over);
        message_->setObjectName(QStringLiteral("InstructorMessage"));
        message_->setAttribute(Qt::WA_DeleteOnClose);
        message_->setTextFormat(Qt::PlainText);
        message_->setModal(false);
    }
    message_->setText(Q(text));
    message_->show();
    message_->raise();
    Record({RoomAction::Kind::Message, false, 1, text});
}

std::optional<SeatHandIn> ClassroomControl::HandIn() {
    ExerciseSession* exercise = Exercise();
    if (!exercise) throw std::runtime_error("no exercise to hand in");
    // Handed in already, its result is on its way (or in the outbox); a second would be a second row.
    if (exercise->Result()) throw std::runtime_error("the exercise was handed in already");
    if (exercise->HandingIn()) throw std::runtime_error("the trainee is handing in already");
    // The question, if there is one, is asked first; the result goes to the room when it is given.
    QTimer::singleShot(0, exercise, [exercise] { exercise->HandIn(); });
    return std::nullopt;
}

void ClassroomControl::Watch(bool on) {
    if (!on) {
        frames_.stop();
        return;
    }
    watchedUntilMs_ = WallMs() + kWatchLeaseMs;
    lastFrame_.clear(); // the viewer that asked has none yet
    if (!frames_.isActive()) frames_.start();
    SendFrame();
}

void ClassroomControl::SendFrame() {
    if (!seat_ || WallMs() > watchedUntilMs_) return frames_.stop();
    QImage image = Shown().Picture()->grab().toImage();
    if (image.width() > kFrameWidth) image = image.scaledToWidth(kFrameWidth, Qt::SmoothTransformation);
    QByteArray frame;
    QBuffer buffer(&frame);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", kFrameQuality);
    if (frame == lastFrame_) return;
    lastFrame_ = frame;
    seat_->SendPicture(frame.toStdString());
}

void ClassroomControl::Log(const std::string& line) {
    qInfo("classroom: %s", line.c_str());
    if (shown_) shown_->setToolTip(Q(line));
    // A broker that refuses a code's account refuses it again at every try: the code was wrong (or
    // is of another lesson), which the trainee is told once instead of the seat trying on.
    // The seat is in its Poll here: it leaves once that is done.
    if (joinedByCode_ && line.starts_with(kAccountRefused)) {
        joinedByCode_ = false;
        QTimer::singleShot(0, this, [this] {
            Leave();
            ShowPlainMessage(main_, QMessageBox::Warning,
                             QString::fromUtf8(Text("Der Klassenraum nimmt diesen Code nicht an. Bitte den "
                                                    "Code vom Klassenblatt prüfen.",
                                                    "The room does not take this code. Please check the "
                                                    "code on the class sheet.")));
        });
    }
}

} // namespace vp7
