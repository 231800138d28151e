// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/classroom/InstructorStation.h"

#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLabel>
#include <QMenu>
#include <QSaveFile>
#include <QScrollArea>
#include <QSplitter>
#include <QStatusBar>
#include <QTableWidget>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>

namespace vp7 {
namespace {

constexpr int kTileWidth = 260; // two display lines at their own size, and a margin
constexpr int kLogLines = 500;

// A seat's name as a file name: letters, digits, '-' and '_' only.
QString FileSafe(QString name) {
    for (QChar& c : name)
        if (!c.isLetterOrNumber() && c != QLatin1Char('-') && c != QLatin1Char('_')) c = QLatin1Char('_');
    return name.left(64);
}

QString Csv(QString field) {
    if (field.contains(QLatin1Char(',')) || field.contains(QLatin1Char('"')) ||
        field.contains(QLatin1Char('\n')))
        field = QLatin1Char('"') + field.replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
    return field;
}

// The two display lines, sent as ["upper", "lower"] or {"upper": …, "lower": …}.
std::pair<QString, QString> DisplayLines(const QJsonValue& lcd) {
    if (lcd.isArray() && lcd.toArray().size() == 2)
        return {lcd.toArray()[0].toString(), lcd.toArray()[1].toString()};
    const QJsonObject lines = lcd.toObject();
    return {lines.value(QStringLiteral("upper")).toString(), lines.value(QStringLiteral("lower")).toString()};
}

QStringList Words(const QJsonValue& list) {
    QStringList words;
    for (const QJsonValue& item : list.toArray())
        words << (item.isDouble() ? QString::number(item.toInt()) : item.toString());
    return words;
}

} // namespace

InstructorStation::InstructorStation(const QString& room, bool german, Publish publish,
                                     const QString& classFolder, QWidget* parent)
    : QMainWindow(parent), room_(room), german_(german), publish_(std::move(publish)),
      classFolder_(classFolder), grid_(new QWidget), layout_(new QGridLayout(grid_)),
      handIns_(new QTableWidget(0, 5)), connection_(new QLabel) {
    setObjectName(QStringLiteral("InstructorStation"));
    setWindowTitle(QString::fromUtf8(Text("Klassenraum %1", "Classroom %1")).arg(room));
    auto* scroll = new QScrollArea;
    scroll->setWidgetResizable(true);
    scroll->setWidget(grid_);
    layout_->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    handIns_->setObjectName(QStringLiteral("HandIns"));
    handIns_->setHorizontalHeaderLabels(
        {QString::fromUtf8(Text("Platz", "Seat")), QString::fromUtf8(Text("Übung", "Exercise")),
         QString::fromUtf8(Text("Punkte", "Score")), QString::fromUtf8(Text("Prüfungen", "Checks")),
         QString::fromUtf8(Text("Bericht", "Report"))});
    handIns_->horizontalHeader()->setStretchLastSection(true);
    handIns_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    auto* split = new QSplitter(Qt::Vertical);
    split->addWidget(scroll);
    split->addWidget(handIns_);
    split->setStretchFactor(0, 4);
    setCentralWidget(split);
    statusBar()->addWidget(connection_);
    SetConnected(false);
    BuildToolBar();
    resize(4 * kTileWidth + 60, 760);
}

void InstructorStation::BuildToolBar() {
    QToolBar* bar = addToolBar(QString::fromUtf8(Text("Befehle", "Commands")));
    bar->setObjectName(QStringLiteral("Commands"));
    const auto add = [&](const char* de, const char* en, const char* name, std::function<void()> act) {
        QAction* action = bar->addAction(QString::fromUtf8(Text(de, en)));
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this, std::move(act));
    };
    add("Übung starten…", "Start exercise…", "exercise", [this] { AskAndSend(QStringLiteral("exercise")); });
    add("Zustand laden…", "Load state…", "state", [this] { AskAndSend(QStringLiteral("state")); });
    add("Einfrieren", "Freeze", "freeze", [this] {
        Send({{QStringLiteral("command"), QStringLiteral("freeze")}});
    });
    add("Fortsetzen", "Continue", "continue", [this] {
        Send({{QStringLiteral("command"), QStringLiteral("continue")}});
    });
    auto* speeds = new QToolButton;
    speeds->setText(QString::fromUtf8(Text("Geschwindigkeit", "Speed")));
    speeds->setPopupMode(QToolButton::InstantPopup);
    auto* speedMenu = new QMenu(speeds);
    for (const double rate : {0.5, 1.0, 2.0, 5.0, 10.0})
        connect(
            speedMenu->addAction(QStringLiteral("%1×").arg(rate)), &QAction::triggered, this, [this, rate] {
                Send({{QStringLiteral("command"), QStringLiteral("speed")}, {QStringLiteral("rate"), rate}});
            });
    speeds->setMenu(speedMenu);
    bar->addWidget(speeds);
    add("Verdeckter Fehler…", "Hidden fault…", "fault", [this] { AskAndSend(QStringLiteral("fault")); });
    add("Nachricht…", "Message…", "message", [this] { AskAndSend(QStringLiteral("message")); });
    add("Abgeben lassen", "Hand in now", "handin", [this] {
        Send({{QStringLiteral("command"), QStringLiteral("handin")}});
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

// What a command needs from the instructor first: a file, a fault, a text. Cancelled, nothing is sent.
void InstructorStation::AskAndSend(const QString& command) {
    QJsonObject message{{QStringLiteral("command"), command}};
    if (command == QStringLiteral("exercise") || command == QStringLiteral("state")) {
        const bool exercise = command == QStringLiteral("exercise");
        const QString path = QFileDialog::getOpenFileName(
            this, QString::fromUtf8(exercise ? Text("Übung", "Exercise") : Text("Zustand", "State")),
            QString(), exercise ? QStringLiteral("*.vp7x") : QStringLiteral("*.vp7state"));
        if (path.isEmpty()) return;
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly) || file.size() > kLargestMessage / 2) {
            Note(QStringLiteral("cannot send %1").arg(path));
            return;
        }
        const QByteArray bytes = file.readAll();
        if (exercise)
            message.insert(QStringLiteral("text"), QString::fromUtf8(bytes));
        else
            message.insert(QStringLiteral("base64"), QString::fromLatin1(bytes.toBase64()));
    } else if (command == QStringLiteral("fault")) {
        const QStringList options{QStringLiteral("NoPreasureSelect"), QStringLiteral("BlockDownSelect"),
                                  QStringLiteral("BlockUpSelect"), QStringLiteral("FrictionSelect"),
                                  QStringLiteral("LeakageSelect")};
        bool ok = false;
        const QString option =
            QInputDialog::getItem(this, QString::fromUtf8(Text("Verdeckter Fehler", "Hidden fault")),
                                  QString::fromUtf8(Text("Option:", "Option:")), options, 0, false, &ok);
        if (!ok) return;
        const QString on = QInputDialog::getItem(
            this, option, QString::fromUtf8(Text("Setzen oder löschen:", "Set or clear:")),
            {QString::fromUtf8(Text("setzen", "set")), QString::fromUtf8(Text("löschen", "clear"))}, 0, false,
            &ok);
        if (!ok) return;
        message.insert(QStringLiteral("option"), option);
        message.insert(QStringLiteral("on"), on == QString::fromUtf8(Text("setzen", "set")));
    } else if (command == QStringLiteral("message")) {
        bool ok = false;
        const QString text = QInputDialog::getText(this, QString::fromUtf8(Text("Nachricht", "Message")),
                                                   QString::fromUtf8(Text("An die Plätze:", "To the seats:")),
                                                   QLineEdit::Normal, QString(), &ok);
        if (!ok || text.isEmpty()) return;
        message.insert(QStringLiteral("text"), text);
    }
    Send(message);
}

void InstructorStation::Send(const QJsonObject& command) {
    const QByteArray payload = QJsonDocument(command).toJson(QJsonDocument::Compact);
    const QStringList chosen = Chosen();
    if (chosen.isEmpty()) {
        publish_(QStringLiteral("vp7/%1/cmd/all").arg(room_), payload);
        return;
    }
    for (const QString& seat : chosen)
        publish_(QStringLiteral("vp7/%1/cmd/seat/%2").arg(room_, seat), payload);
}

void InstructorStation::Received(const QString& topic, const QByteArray& payload) {
    const QString prefix = QStringLiteral("vp7/%1/seat/").arg(room_);
    const QStringList parts = topic.mid(prefix.size()).split(QLatin1Char('/'));
    if (!topic.startsWith(prefix) || parts.size() != 2 || parts[0].isEmpty())
        return Note("not a seat's: " + topic);
    if (payload.size() > kLargestMessage) return Note(QStringLiteral("too large: %1").arg(topic));
    const QString& seat = parts[0];
    if (parts[1] == QStringLiteral("status") && payload.trimmed() == "offline") {
        if (SeatTile* tile = Tile(seat)) {
            SeatShown shown = tile->Shown();
            shown.online = false;
            tile->Show(shown);
        }
        return;
    }
    QJsonParseError error{};
    const QJsonDocument json = QJsonDocument::fromJson(payload, &error);
    if (error.error != QJsonParseError::NoError || !json.isObject())
        return Note(QStringLiteral("not JSON: %1: %2").arg(topic, error.errorString()));
    if (parts[1] == QStringLiteral("status")) return TakeStatus(seat, json.object());
    if (parts[1] == QStringLiteral("event")) {
        if (json.object().value(QStringLiteral("kind")).toString() == QStringLiteral("handin"))
            TakeHandIn(seat, json.object());
        return;
    }
    Note(QStringLiteral("unknown topic: %1").arg(topic));
}

void InstructorStation::TakeStatus(const QString& seat, const QJsonObject& status) {
    SeatShown shown;
    shown.seat = seat;
    shown.online = status.value(QStringLiteral("online")).toBool(true);
    shown.variant = status.value(QStringLiteral("variant")).toString();
    shown.mode = status.value(QStringLiteral("mode")).toString();
    std::tie(shown.lcdUpper, shown.lcdLower) = DisplayLines(status.value(QStringLiteral("lcd")));
    shown.position = status.value(QStringLiteral("position")).toDouble();
    shown.setpoint = status.value(QStringLiteral("setpoint")).toDouble();
    shown.faults = Words(status.value(QStringLiteral("faults")));
    shown.frozen = status.value(QStringLiteral("frozen")).toBool();
    shown.speed = status.value(QStringLiteral("speed")).toDouble(1);
    const QJsonValue exercise = status.value(QStringLiteral("exercise"));
    const QJsonObject task = exercise.isObject() ? exercise.toObject() : status;
    shown.exercise =
        exercise.isObject() ? task.value(QStringLiteral("title")).toString() : exercise.toString();
    shown.tasksDone = task.value(QStringLiteral("tasksDone")).toInt();
    shown.tasksTotal = task.value(QStringLiteral("tasksTotal")).toInt();
    shown.secondsLeft = task.value(QStringLiteral("secondsLeft")).toInt(-1);
    auto [at, added] = tiles_.try_emplace(seat, nullptr);
    if (added) {
        at->second = new SeatTile(seat, german_, grid_);
        connect(at->second, &SeatTile::Clicked, this, &InstructorStation::Clicked);
    }
    const bool reorder = added || order_ != Order::Name;
    at->second->Show(shown);
    if (reorder) Place();
}

void InstructorStation::TakeHandIn(const QString& seat, const QJsonObject& handIn) {
    const QString id = handIn.value(QStringLiteral("id")).toString();
    if (id.isEmpty()) return Note(QStringLiteral("a hand-in without an id from %1").arg(seat));
    if (handInIds_.contains(id)) return; // sent again before its acknowledgement reached the seat
    handInIds_.insert(id);
    QString checks;
    int passed = 0;
    const QJsonArray list = handIn.value(QStringLiteral("checks")).toArray();
    for (const QJsonValue& check : list)
        passed += check.toObject().value(QStringLiteral("passed")).toBool();
    checks = QStringLiteral("%1/%2").arg(passed).arg(list.size());
    QString reportPath;
    if (const QString report = handIn.value(QStringLiteral("report")).toString(); !report.isEmpty()) {
        QDir().mkpath(classFolder_);
        reportPath =
            QDir(classFolder_)
                .filePath(FileSafe(seat) + QLatin1Char('-') + FileSafe(id) + QStringLiteral(".html"));
        QSaveFile file(reportPath);
        if (!file.open(QIODevice::WriteOnly) || file.write(report.toUtf8()) < 0 || !file.commit()) {
            Note(QStringLiteral("cannot write %1").arg(reportPath));
            reportPath.clear();
        }
    }
    const int row = handIns_->rowCount();
    handIns_->insertRow(row);
    const QStringList cells{seat, handIn.value(QStringLiteral("exercise")).toString(),
                            QString::number(handIn.value(QStringLiteral("score")).toDouble()), checks,
                            reportPath};
    for (int column = 0; column < cells.size(); ++column)
        handIns_->setItem(row, column, new QTableWidgetItem(cells[column]));
    WriteResults();
}

void InstructorStation::WriteResults() {
    if (classFolder_.isEmpty() || !QDir().mkpath(classFolder_)) return;
    QString text;
    for (int column = 0; column < handIns_->columnCount(); ++column)
        text +=
            (column ? QStringLiteral(",") : QString()) + Csv(handIns_->horizontalHeaderItem(column)->text());
    text += QLatin1Char('\n');
    for (int row = 0; row < handIns_->rowCount(); ++row) {
        for (int column = 0; column < handIns_->columnCount(); ++column)
            text += (column ? QStringLiteral(",") : QString()) + Csv(handIns_->item(row, column)->text());
        text += QLatin1Char('\n');
    }
    QSaveFile file(QDir(classFolder_).filePath(QStringLiteral("results.csv")));
    if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0 || !file.commit())
        Note(QStringLiteral("cannot write the results into %1").arg(classFolder_));
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
        const SeatShown& s = t->Shown();
        switch (order_) {
        case Order::FaultsFirst:
            return std::tuple(s.faults.isEmpty(), 0.0, s.seat);
        case Order::Progress:
            return std::tuple(false, -(s.tasksTotal ? double(s.tasksDone) / s.tasksTotal : 0.0), s.seat);
        case Order::Name:
            break;
        }
        return std::tuple(false, 0.0, s.seat);
    };
    std::ranges::stable_sort(tiles, {}, key);
    QStringList seats;
    for (const SeatTile* tile : tiles)
        seats << tile->Shown().seat;
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
    log_ << QDateTime::currentDateTime().toString(Qt::ISODate) + QLatin1Char(' ') + line;
    if (log_.size() > kLogLines) log_.removeFirst();
}

} // namespace vp7
