// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/classroom/InstructorStation.h"

#include "classroom/HandIn.h"
#include "classroom/RoomNames.h"
#include "classroom/SeatCommand.h"
#include "classroom/SeatEvent.h"
#include "platform/FileRead.h"
#include "session/exercise/KeptExercise.h"
#include "ui/classroom/HandInGrader.h"
#include "ui/classroom/HiddenFaults.h"
#include "ui/classroom/LiveView.h"
#include "ui/classroom/StationSeatActions.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QRandomGenerator>
#include <QScrollArea>
#include <QSplitter>
#include <QStatusBar>
#include <QTableWidget>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>

#include <algorithm>

namespace vp7 {
namespace {
constexpr int kScoreColumn = 3;
constexpr int kChecksColumn = 4;

constexpr int kTileWidth = 260; // two display lines at their own size, and a margin
constexpr int kLogLines = 500;
constexpr int kNoteShownMs = 10000;
// A seat sends its picture for a while after each request; the station asks again well before that.
constexpr int kWatchRenewMs = kWatchLeaseMs / 3;

SeatCommand Watching(bool on) {
    return {SeatCommandKind::Watch, {}, 1, on};
}

} // namespace

InstructorStation::InstructorStation(const QString& room, bool german, Publish publish,
                                     const QString& classFolder, QWidget* parent)
    : QMainWindow(parent), room_(room), german_(german), publish_(std::move(publish)),
      classFolder_(classFolder),
      records_(classFolder, german,
               [this](const char* de, const char* en, const QString& path) { Note(de, en, path); }),
      grid_(new QWidget), layout_(new QGridLayout(grid_)), handIns_(new QTableWidget(0, 6)),
      connection_(new QLabel), lesson_(new QLabel),
      sent_(classFolder.isEmpty() ? std::string()
                                  : QDir(classFolder).filePath(QStringLiteral("sent")).toStdString()),
      grader_(new HandInGrader(
          [this](const HandInMessage& handIn, const HandInVerdict& verdict) { Store(handIn, verdict); },
          this)),
      hidden_(new HiddenFaults(german,
                               [this](const QStringList& seats, SeatCommand command) {
                                   seats.isEmpty() ? SendToRoom(std::move(command))
                                                   : SendTo(seats, std::move(command));
                               })),
      actions_(new StationSeatActions(*this, german)) {
    setObjectName(QStringLiteral("InstructorStation"));
    setWindowTitle(QString::fromUtf8(Text("Klassenraum %1", "Classroom %1")).arg(room));
    auto* scroll = new QScrollArea;
    scroll->setWidgetResizable(true);
    scroll->setWidget(grid_);
    grid_->installEventFilter(this);
    layout_->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    handIns_->setObjectName(QStringLiteral("HandIns"));
    handIns_->setHorizontalHeaderLabels(
        {QString::fromUtf8(Text("Platz", "Seat")), QString::fromUtf8(Text("Name", "Trainee")),
         QString::fromUtf8(Text("Übung", "Exercise")), QString::fromUtf8(Text("Punkte", "Score")),
         QString::fromUtf8(Text("Prüfungen", "Checks")), QString::fromUtf8(Text("Bericht", "Report"))});
    handIns_->horizontalHeader()->setStretchLastSection(true);
    handIns_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    auto* split = new QSplitter(Qt::Vertical);
    split->addWidget(scroll);
    auto* below = new QSplitter(Qt::Horizontal);
    below->addWidget(handIns_);
    below->addWidget(hidden_);
    below->setStretchFactor(0, 3);
    split->addWidget(below);
    connect(hidden_, &HiddenFaults::Changed, this, &InstructorStation::MarkHiddenFaults);
    split->setStretchFactor(0, 4);
    setCentralWidget(split);
    // Beside the notes shown a while, never under them.
    statusBar()->addPermanentWidget(connection_);
    lesson_->setObjectName(QStringLiteral("LessonExercise"));
    statusBar()->addPermanentWidget(lesson_);
    SetConnected(false);
    BuildToolBar();
    BuildMenu();
    resize(4 * kTileWidth + 60, 760);
    watching_.setInterval(kWatchRenewMs);
    connect(&watching_, &QTimer::timeout, this, [this] {
        QStringList watched;
        for (const auto& [seat, view] : views_)
            if (view) watched << seat;
        if (watched.isEmpty()) return watching_.stop();
        SendTo(watched, Watching(true));
    });
}

LiveView* InstructorStation::OpenLiveView(const QString& seat) {
    QPointer<LiveView>& view = views_[seat];
    if (!view) {
        view = new LiveView(seat, german_, this);
        if (const SeatTile* tile = Tile(seat)) view->TakeStatus(tile->Shown());
        connect(view, &LiveView::Closed, this,
                [this](const QString& closed) { SendTo({closed}, Watching(false)); });
        SendTo({seat}, Watching(true));
        if (!watching_.isActive()) watching_.start();
    }
    view->show();
    view->raise();
    return view;
}

void InstructorStation::BuildToolBar() {
    QToolBar* bar = addToolBar(QString::fromUtf8(Text("Befehle", "Commands")));
    bar->setObjectName(QStringLiteral("Commands"));
    const auto add = [&](const char* de, const char* en, const char* name, std::function<void()> act) {
        QAction* action = bar->addAction(QString::fromUtf8(Text(de, en)));
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this, std::move(act));
    };
    add("Übung starten…", "Start exercise…", "exercise",
        [this] { AskAndSend(SeatCommandKind::OpenExercise); });
    add("Zustand laden…", "Load state…", "state", [this] { AskAndSend(SeatCommandKind::LoadState); });
    add("Zustand speichern", "Save state", "savestate", [this] { actions_->RequestStates(Chosen()); });
    add("Zurückspulen…", "Rewind…", "rewind", [this] { actions_->AskAndRewind(); });
    add("Einfrieren", "Freeze", "freeze", [this] { Send({SeatCommandKind::Freeze}); });
    add("Fortsetzen", "Continue", "continue", [this] { Send({SeatCommandKind::Continue}); });
    auto* speeds = new QToolButton;
    speeds->setText(QString::fromUtf8(Text("Geschwindigkeit", "Speed")));
    speeds->setPopupMode(QToolButton::InstantPopup);
    auto* speedMenu = new QMenu(speeds);
    for (const double rate : {0.5, 1.0, 2.0, 5.0, 10.0})
        connect(speedMenu->addAction(QStringLiteral("%1×").arg(rate)), &QAction::triggered, this,
                [this, rate] {
                    Send({SeatCommandKind::Speed, {}, rate});
                });
    speeds->setMenu(speedMenu);
    bar->addWidget(speeds);
    add("Verdeckter Fehler…", "Hidden fault…", "fault",
        [this] { AskAndSend(SeatCommandKind::SetHiddenFault); });
    add("Nachricht…", "Message…", "message", [this] { AskAndSend(SeatCommandKind::Message); });
    add("Abgeben lassen", "Hand in now", "handin", [this] { Send({SeatCommandKind::HandIn}); });
    add("Live-Ansicht", "Live view", "live", [this] {
        for (const QString& seat : Chosen())
            OpenLiveView(seat);
    });
    bar->addSeparator();
    auto* order = new QComboBox;
    order->setObjectName(QStringLiteral("Order"));
    order->addItems({QString::fromUtf8(Text("nach Name", "by name")),
                     QString::fromUtf8(Text("Störungen zuerst", "faults first")),
                     QString::fromUtf8(Text("nach Fortschritt", "by progress"))});
    connect(order, &QComboBox::currentIndexChanged, this, [this](int i) { SortBy(static_cast<Order>(i)); });
    bar->addWidget(order);
}

// The lessons' history: the class folder opened in the desktop's file manager, and the days it is kept.
void InstructorStation::BuildMenu() {
    QMenu* menu = menuBar()->addMenu(QString::fromUtf8(Text("&Unterricht", "&Lessons")));
    QAction* open =
        menu->addAction(QString::fromUtf8(Text("Ordner des Unterrichts öffnen", "Open the lesson's folder")));
    open->setObjectName(QStringLiteral("openLessonFolder"));
    open->setEnabled(!classFolder_.isEmpty());
    connect(open, &QAction::triggered, this, [this] {
        if (!QDir().mkpath(classFolder_) || !QDesktopServices::openUrl(QUrl::fromLocalFile(classFolder_)))
            Note("Kann %1 nicht öffnen", "cannot open %1", classFolder_);
    });
    QAction* keep = menu->addAction(QString::fromUtf8(Text("Unterricht aufbewahren…", "Keep lessons…")));
    keep->setObjectName(QStringLiteral("keepLessons"));
    connect(keep, &QAction::triggered, this, [this] {
        bool ok = false;
        const int days = QInputDialog::getInt(
            this, QString::fromUtf8(Text("Unterricht aufbewahren", "Keep lessons")),
            QString::fromUtf8(
                Text("Der Ordner eines Unterrichts wird beim Start der Station gelöscht, wenn er "
                     "älter ist als (Tage):",
                     "A lesson's folder is deleted when the station starts once it is older "
                     "than (days):")),
            keepLessonDays_, 1, kLongestKeepLessonDays, 1, &ok);
        if (!ok) return;
        keepLessonDays_ = days;
        emit KeepLessonDaysChosen(days);
    });
}

// What a command needs from the instructor first: a file, a fault, a text. Cancelled, nothing is sent.
void InstructorStation::AskAndSend(SeatCommandKind kind) {
    SeatCommand command{kind};
    if (kind == SeatCommandKind::OpenExercise || kind == SeatCommandKind::LoadState) {
        const bool exercise = kind == SeatCommandKind::OpenExercise;
        // The shipped exercises first, as the program's own "open exercise" offers them.
        const QDir shipped(QCoreApplication::applicationDirPath() + QStringLiteral("/Exercises"));
        const QString path = QFileDialog::getOpenFileName(
            this,
            QString::fromUtf8(exercise ? Text("Übung starten", "Start exercise")
                                       : Text("Zustand laden", "Load state")),
            exercise && shipped.exists() ? shipped.path() : classFolder_,
            QString::fromUtf8(
                exercise
                    ? Text("Übung (*.vp7x);;Alle Dateien (*)", "Exercise (*.vp7x);;All files (*)")
                    : Text("Zustand (*.vp7state);;Alle Dateien (*)", "State (*.vp7state);;All files (*)")));
        if (path.isEmpty()) return;
        auto bytes = ReadWholeFile(path.toStdString(), kLargestMessage / 2);
        if (!bytes) {
            Note("Kann %1 nicht senden", "cannot send %1", path);
            return;
        }
        command.text = std::move(*bytes); // the writer carries a state's bytes as base64
    } else if (kind == SeatCommandKind::SetHiddenFault) {
        const auto asked = hidden_->Ask(this);
        if (!asked) return;
        command = *asked;
    } else if (kind == SeatCommandKind::Message) {
        bool ok = false;
        const QString text = QInputDialog::getText(this, QString::fromUtf8(Text("Nachricht", "Message")),
                                                   QString::fromUtf8(Text("An die Plätze:", "To the seats:")),
                                                   QLineEdit::Normal, QString(), &ok);
        if (!ok || text.isEmpty()) return;
        command.text = text.toStdString();
    }
    Send(std::move(command));
}

// Each command with an id of its own: a seat does one delivered twice (after a reconnection) once.
QByteArray InstructorStation::Payload(SeatCommand& command) {
    command.id = QStringLiteral("station-%1-%2")
                     .arg(QDateTime::currentMSecsSinceEpoch())
                     .arg(++commandsSent_)
                     .toStdString();
    return QByteArray::fromStdString(WriteSeatCommand(command));
}

void InstructorStation::Send(SeatCommand command) {
    const QStringList seats = Chosen();
    if (command.kind == SeatCommandKind::OpenExercise && seats.isEmpty())
        return StartLessonExercise(std::move(command));
    if (!seats.isEmpty()) return SendTo(seats, std::move(command));
    SendToRoom(std::move(command));
}

void InstructorStation::SendToRoom(SeatCommand command) {
    publish_(QString::fromStdString(RoomCommandTopic(room_.toStdString())), Payload(command));
    hidden_->Sent({}, command);
}

void InstructorStation::MarkHiddenFaults() {
    for (const auto& [seat, tile] : tiles_)
        tile->ShowHiddenFaults(hidden_->On(seat));
}

void InstructorStation::SendTo(const QStringList& seats, SeatCommand command) {
    if (command.kind == SeatCommandKind::OpenExercise) return SendExercise(seats, std::move(command));
    const QByteArray payload = Payload(command);
    for (const QString& seat : seats)
        publish_(QString::fromStdString(SeatCommandTopic(room_.toStdString(), seat.toStdString())), payload);
    hidden_->Sent(seats, command);
}

// Each seat's device draws from a seed of its own, so that a neighbour's recording replays to nothing
// here; what was sent is kept before it goes, so that the hand-in finds it however fast it comes.
void InstructorStation::SendExercise(const QStringList& seats, SeatCommand command) {
    if (const auto title = ExerciseTitleOf(command.text)) titles_[title->en] = title->In(german_);
    for (const QString& seat : seats) {
        command.seed = QRandomGenerator::global()->generate64();
        if (SeatTile* tile = Tile(seat)) tile->ShowHandedIn({});
        if (!sent_.Keep(seat.toStdString(), {command.text, *command.seed}))
            Note("Die an %1 gesendete Übung kann nicht in %2 bleiben",
                 "cannot keep the exercise sent to %1 in %2", seat, ClassFolder());
        publish_(QString::fromStdString(SeatCommandTopic(room_.toStdString(), seat.toStdString())),
                 Payload(command));
        if (command.text == lessonExercise_) lessonSeats_.insert(seat);
    }
}

// Never to the room's topic: a seat's device made on no seed of the station's hands in what no replay
// here can verify. The seats known now get it at once, the others as their first status comes.
void InstructorStation::StartLessonExercise(SeatCommand command) {
    lessonExercise_ = command.text;
    lessonSeats_.clear();
    QStringList seats = Seats();
    seats.removeIf([this](const QString& seat) { return Tile(seat)->Missing(); }); // each gets it as it joins
    if (seats.isEmpty()) {
        Note("Noch kein Platz: Die Übung geht an jeden Platz, sobald er dazukommt",
             "no seat has joined yet: the exercise goes to each seat as it joins");
        lesson_->setText(
            QString::fromUtf8(Text("Noch kein Platz: Die Übung geht an jeden Platz, sobald er dazukommt",
                                   "No seat yet: the exercise goes to each seat as it joins")));
        return;
    }
    lesson_->setText(QString::fromUtf8(Text("Die Übung geht auch an jeden Platz, der noch dazukommt",
                                            "The exercise goes to each seat that joins later too")));
    SendExercise(seats, std::move(command));
}

int InstructorStation::Grading() const {
    return grader_->Pending();
}

void InstructorStation::Received(const QString& topic, const QByteArray& payload) {
    const auto from = ReadSeatTopic(room_.toStdString(), topic.toStdString());
    if (!from) return Note("Nicht von einem Platz: %1", "not a seat's: %1", topic);
    if (payload.size() > kLargestMessage) return Note("Zu groß: %1", "too large: %1", topic);
    const std::string& seat = from->seat;
    const std::string_view text(payload.constData(), static_cast<std::size_t>(payload.size()));
    switch (from->channel) {
    case SeatChannel::Status: {
        auto status = ReadSeatStatus(text);
        if (const auto* why = std::get_if<std::string>(&status))
            return Note(QStringLiteral("%1: %2").arg(topic, QString::fromStdString(*why)));
        if (std::get<SeatStatus>(status).seat != seat)
            return Note("Zustand eines anderen Platzes: %1", "another seat's status: %1", topic);
        return TakeStatus(std::move(std::get<SeatStatus>(status)));
    }
    case SeatChannel::Picture: {
        const auto view = views_.find(QString::fromStdString(seat));
        if (view == views_.end() || !view->second) return; // a frame for a view closed meanwhile
        if (!view->second->TakeFrame(payload)) Note("Kein Bild: %1", "not a picture: %1", topic);
        return;
    }
    case SeatChannel::Event: {
        const auto read = ReadEventChannel(text);
        if (const auto* why = std::get_if<std::string>(&read))
            return Note(QStringLiteral("%1: %2").arg(topic, QString::fromStdString(*why)));
        if (const auto* state = std::get_if<SeatStateMessage>(&read)) {
            if (state->seat != seat)
                return Note("Gespeicherter Zustand eines anderen Platzes: %1", "another seat's state: %1",
                            topic);
            actions_->TakeState(QString::fromStdString(seat), *state);
            return;
        }
        // A seat's events are the trend's marks, shown on the seat itself; the station takes hand-ins.
        const auto* handIn = std::get_if<HandInMessage>(&read);
        if (!handIn) return;
        if (handIn->seat != seat)
            return Note("Abgabe eines anderen Platzes: %1", "another seat's hand-in: %1", topic);
        return TakeHandIn(*handIn);
    }
    }
}

SeatTile* InstructorStation::NewTile(const QString& seat) {
    auto* tile = new SeatTile(seat, german_, grid_);
    connect(tile, &SeatTile::Clicked, this, &InstructorStation::Clicked);
    connect(tile, &SeatTile::Opened, this, [this](const QString& opened) { OpenLiveView(opened); });
    tile->ShowHiddenFaults(hidden_->On(seat));
    return tile;
}

void InstructorStation::ExpectSeats(const QStringList& seats) {
    for (const QString& seat : seats)
        if (auto [at, added] = tiles_.try_emplace(seat, nullptr); added) {
            at->second = NewTile(seat);
            at->second->ShowMissing();
        }
    Place();
}

void InstructorStation::TakeStatus(SeatStatus status) {
    const QString seat = QString::fromStdString(status.seat);
    auto [at, added] = tiles_.try_emplace(seat, nullptr);
    if (added) at->second = NewTile(seat);
    if (!status.online && at->second->Missing()) return; // an earlier lesson's last will
    if (!status.online) { // the last will: what the seat showed last stays, greyed
        SeatStatus last = at->second->Shown();
        last.online = false;
        status = std::move(last);
    }
    // A seat that joins after the lesson's exercise was started gets it with its first status online.
    if (status.online && lessonExercise_ && !lessonSeats_.contains(seat))
        SendExercise({seat}, {SeatCommandKind::OpenExercise, *lessonExercise_});
    if (const auto title = titles_.find(status.exercise); title != titles_.end())
        status.exercise = title->second;
    const bool reorder = added || order_ != Order::Name;
    at->second->Show(status);
    if (const auto view = views_.find(seat); view != views_.end() && view->second)
        view->second->TakeStatus(status);
    if (reorder) Place();
}

void InstructorStation::TakeHandIn(const HandInMessage& handIn) {
    // A hand-in is its seat's and id's: the id is the seat's choice, so another seat's hand-in with the
    // same id is another hand-in, never one to drop as sent twice.
    const std::string key = handIn.seat + '\n' + handIn.id;
    if (!handInKeys_.insert(key).second) return; // sent again before its acknowledgement reached the seat
    // Stored by this station before it was opened again: the same hand-in, sent once more.
    if (records_.Reported(handIn)) return;
    grader_->Grade(handIn, sent_.For(handIn.seat));
}

// The station's own judgement in the row: the replay's score and checks, or "not verified" and why.
void InstructorStation::Store(const HandInMessage& handIn, const HandInVerdict& verdict) {
    const QDateTime now = QDateTime::currentDateTime();
    const QString reason = QString::fromStdString(verdict.refusal);
    QString exercise = QString::fromStdString(handIn.result.exercise);
    QString score = QString::fromUtf8(Text("nicht geprüft", "not verified"));
    QString checks = reason;
    QStringList texts{reason};
    if (verdict.Verified() && verdict.work) {
        const SeatHandIn& result = *verdict.replayed;
        const ReplayedWork& work = *verdict.work;
        exercise = QString::fromStdString(work.exercise.In(german_));
        score = QStringLiteral("%1/%2").arg(result.passed).arg(result.total);
        // Each check's mark in the order of the exercise, the question's answer after them; the texts
        // are in the cell's tool tip and the report.
        QStringList marks;
        texts.clear();
        for (const ReplayedWork::Check& check : work.checks) {
            marks << (check.passed ? QStringLiteral("✔") : QStringLiteral("✘"));
            texts << marks.back() + QLatin1Char(' ') + QString::fromStdString(check.text.In(german_));
        }
        checks = marks.join(QLatin1Char(' '));
        if (result.question)
            checks += (checks.isEmpty() ? QString() : QStringLiteral(" · ")) +
                      QString::fromUtf8(*result.question ? Text("Frage richtig", "question right")
                                                         : Text("Frage falsch", "question wrong"));
    }
    if (SeatTile* tile = Tile(QString::fromStdString(handIn.seat))) tile->ShowHandedIn(score);
    const QString reportPath = records_.Keep(handIn, verdict, now);
    const int row = handIns_->rowCount();
    handIns_->insertRow(row);
    const QStringList cells{QString::fromStdString(handIn.seat),
                            QString::fromStdString(handIn.trainee),
                            exercise,
                            score,
                            checks,
                            reportPath};
    for (int column = 0; column < cells.size(); ++column)
        handIns_->setItem(row, column, new QTableWidgetItem(cells[column]));
    handIns_->item(row, kChecksColumn)->setToolTip(texts.join(QLatin1Char('\n')));
    if (!verdict.Verified()) handIns_->item(row, kScoreColumn)->setToolTip(reason);
}

void InstructorStation::SetConnected(bool connected) {
    connection_->setText(QString::fromUtf8(connected
                                               ? Text("Broker verbunden", "Broker connected")
                                               : Text("Broker nicht verbunden", "Broker not connected")));
}

void InstructorStation::SortBy(Order order) {
    order_ = order;
    Place();
}

QStringList InstructorStation::Seats() const {
    std::vector<const SeatTile*> tiles;
    for (const auto& [seat, tile] : tiles_)
        tiles.push_back(tile);
    const auto key = [this](const SeatTile* t) {
        const SeatStatus& s = t->Shown();
        switch (order_) {
        case Order::FaultsFirst:
            return std::tuple(s.faults.empty(), 0.0, s.seat);
        case Order::Progress:
            return std::tuple(false, -(s.checks ? double(s.checksHolding) / s.checks : 0.0), s.seat);
        case Order::Name:
            break;
        }
        return std::tuple(false, 0.0, s.seat);
    };
    std::ranges::stable_sort(tiles, {}, key);
    QStringList seats;
    for (const SeatTile* tile : tiles)
        seats << QString::fromStdString(tile->Shown().seat);
    return seats;
}

SeatTile* InstructorStation::Tile(const QString& seat) const {
    const auto it = tiles_.find(seat);
    return it == tiles_.end() ? nullptr : it->second;
}

// The tiles in rows as wide as the window allows; placed again only when the order or the width changed.
void InstructorStation::Place() {
    const int columns = std::max(1, (width() - 40) / kTileWidth);
    const QStringList seats = Seats();
    bool same = columns == columns_ && layout_->count() == seats.size();
    for (int i = 0; same && i < seats.size(); ++i)
        same = layout_->itemAtPosition(i / columns, i % columns) &&
               layout_->itemAtPosition(i / columns, i % columns)->widget() == Tile(seats[i]);
    if (same) return;
    columns_ = columns;
    for (const QString& seat : seats)
        layout_->removeWidget(Tile(seat));
    for (int i = 0; i < seats.size(); ++i) {
        SeatTile* tile = Tile(seats[i]);
        tile->setFixedWidth(kTileWidth - 10);
        layout_->addWidget(tile, i / columns, i % columns);
        tile->show();
    }
}

void InstructorStation::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    Place();
}

void InstructorStation::Choose(const QStringList& seats) {
    for (const auto& [seat, tile] : tiles_)
        tile->SetChosen(seats.contains(seat));
}

void InstructorStation::closeEvent(QCloseEvent* event) {
    if (!actions_->MayClose()) return event->ignore();
    QMainWindow::closeEvent(event);
    if (event->isAccepted()) emit Closed();
}

bool InstructorStation::eventFilter(QObject* watched, QEvent* event) {
    if (watched == grid_ && event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
        Choose({});
    return QMainWindow::eventFilter(watched, event);
}

QStringList InstructorStation::Chosen() const {
    QStringList chosen;
    for (const auto& [seat, tile] : tiles_)
        if (tile->Chosen()) chosen << seat;
    return chosen;
}

void InstructorStation::Clicked(const QString& seat, bool adding) {
    if (!adding) return Choose(Chosen() == QStringList{seat} ? QStringList() : QStringList{seat});
    QStringList chosen = Chosen();
    if (chosen.contains(seat))
        chosen.removeAll(seat);
    else
        chosen << seat;
    Choose(chosen);
}

void InstructorStation::Note(const QString& line) {
    statusBar()->showMessage(line, kNoteShownMs);
    log_ << QDateTime::currentDateTime().toString(Qt::ISODate) + QLatin1Char(' ') + line;
    if (log_.size() > kLogLines) log_.removeFirst();
}

} // namespace vp7
