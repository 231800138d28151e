// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The instructor's station: every seat of a room as a tile, sorted as the instructor likes; commands to
// the chosen seats, or to the whole room when none is chosen; the hand-ins as they arrive, each report
// saved into the class folder and the class's results as CSV. An exercise goes to each seat with a random
// seed of its own, and the station judges each hand-in itself by replaying the seat's recording
// (HandInGrader): the score it shows and stores is its own, or "not verified" with the reason. It speaks to
// the broker through `publish` and is told of every message received; what it cannot read it notes in its log
// and passes over.
#include "classroom/HandIn.h"
#include "classroom/LessonFolders.h"
#include "classroom/SeatCommand.h"
#include "classroom/SentExercises.h"
#include "ui/classroom/SeatTile.h"
#include "ui/classroom/StationRecords.h"

#include <QMainWindow>
#include <QPointer>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>

class QGridLayout;
class QLabel;
class QTableWidget;

namespace vp7 {

class HandInGrader;
class HiddenFaults;
class LiveView;
class StationSeatActions;

class InstructorStation : public QMainWindow {
    Q_OBJECT
public:
    using Publish = std::function<void(const QString& topic, const QByteArray& payload)>;
    // The largest message read: a status is a few hundred bytes, a hand-in's report some kilobytes.
    static constexpr qsizetype kLargestMessage = 1 << 20;

    InstructorStation(const QString& room, bool german, Publish publish, const QString& classFolder,
                      QWidget* parent = nullptr);

    // A message from the broker on a seat's channel: its status, an event or a live view's frame.
    void Received(const QString& topic, const QByteArray& payload);
    void SetConnected(bool connected);

    enum class Order { Name, FaultsFirst, Progress };
    void SortBy(Order order);
    // The room's seats shown from the start: one that has not joined as missing until its first status.
    void ExpectSeats(const QStringList& seats);
    // The seats in the order shown.
    QStringList Seats() const;
    SeatTile* Tile(const QString& seat) const;
    void Choose(const QStringList& seats);
    QStringList Chosen() const;

    // A command to the chosen seats, or to all; each sent with an id of its own. An exercise goes to
    // each seat known on its own topic, with a seed of its own, and is kept for its hand-in. One sent
    // to all is the lesson's: each seat that comes online later is sent it too, once, with a seed of its
    // own (before any seat is known, only then), and the status bar says so.
    void Send(SeatCommand command);
    void SendTo(const QStringList& seats, SeatCommand command);
    // The seat's live view, opened (or raised); the seat is asked for its picture while it is open.
    LiveView* OpenLiveView(const QString& seat);
    // A line in the station's log, shown a while in its status bar.
    void Note(const QString& line);
    // The line in the station's language, QString arguments in place of %1, %2, ...
    template <typename... Args> void Note(const char* de, const char* en, const Args&... args) {
        if constexpr (sizeof...(Args) == 0)
            Note(QString::fromUtf8(Text(de, en)));
        else
            Note(QString::fromUtf8(Text(de, en)).arg(args...));
    }
    const QStringList& Log() const { return log_; }
    QTableWidget* HandIns() const { return handIns_; }
    QString ClassFolder() const { return classFolder_; }
    // The days a lesson's folder is kept, as the instructor last chose them in the station's menu.
    void SetKeepLessonDays(int days) { keepLessonDays_ = days; }
    // Hand-ins whose replay is under way.
    int Grading() const;
    HiddenFaults* Faults() const { return hidden_; }
    StationSeatActions* SeatActions() const { return actions_; }

protected:
    // A click beside the tiles chooses none again, so the next command goes to the whole room.
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

signals:
    void Closed();
    void KeepLessonDaysChosen(int days);

private:
    void BuildToolBar();
    void BuildMenu();
    void Place();
    SeatTile* NewTile(const QString& seat);
    void TakeStatus(SeatStatus status);
    void TakeHandIn(const HandInMessage& handIn);
    void SendExercise(const QStringList& seats, SeatCommand command);
    void StartLessonExercise(SeatCommand command);
    // The report's file for a hand-in.
    void Store(const HandInMessage& handIn, const HandInVerdict& verdict);
    QByteArray Payload(SeatCommand& command);
    void AskAndSend(SeatCommandKind kind);
    void Clicked(const QString& seat, bool adding);
    void SendToRoom(SeatCommand command);
    void MarkHiddenFaults();
    const char* Text(const char* de, const char* en) const { return german_ ? de : en; }

    QString room_;
    bool german_;
    Publish publish_;
    QString classFolder_;
    StationRecords records_;
    Order order_ = Order::Name;
    std::map<QString, SeatTile*> tiles_;
    uint64_t commandsSent_ = 0;
    QWidget* grid_;
    QGridLayout* layout_;
    QTableWidget* handIns_;
    QLabel* connection_;
    QLabel* lesson_;                   // where the lesson's exercise goes
    std::set<std::string> handInKeys_; // each hand-in (seat and id) stored once, however often it arrives
    int keepLessonDays_ = kDefaultKeepLessonDays;
    SentExercises sent_;
    std::optional<std::string> lessonExercise_; // the exercise sent to all, for the seats still to come
    std::set<QString> lessonSeats_;             // the seats it went to
    // Seats name their exercise by its English title; the tiles show the title of what was sent in
    // the station's language.
    std::map<std::string, std::string> titles_;
    HandInGrader* grader_;
    QStringList log_;
    int columns_ = 0;
    std::map<QString, QPointer<LiveView>> views_;
    QTimer watching_; // asks the watched seats again, before their view would lapse
    HiddenFaults* hidden_;
    StationSeatActions* actions_;
};

} // namespace vp7
