// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the station does to seats beyond the protocol's plain commands: asks seats for their device's
// state and keeps each answer as SEAT-TIME.vp7state in the lesson's folder, rewinds seats by the seconds
// the instructor chooses, and asks before the station closes while seats are connected. A seat's state
// is taken only when the station asked that seat for one, once, and only when it reads whole as a state
// file.
#include "classroom/SeatState.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <set>

namespace vp7 {

class InstructorStation;

class StationSeatActions : public QObject {
    Q_OBJECT
public:
    // Answers whether to close while `online` seats are connected.
    using CloseAsker = std::function<bool(int online)>;

    StationSeatActions(InstructorStation& station, bool german);

    // Asks `seats` (none: every seat known) for their state.
    void RequestStates(QStringList seats);
    // A seat's answer; the path of the file it was kept in, or empty.
    QString TakeState(const QString& seat, const SeatStateMessage& answer);
    // Asks how far back, then rewinds the chosen seats (none: the room).
    void AskAndRewind();
    // Asks before closing while seats are connected; true when the station may close.
    bool MayClose();
    void SetCloseAsker(CloseAsker asker) { closeAsker_ = std::move(asker); }
    // Closes the station without asking: the program closes.
    void CloseUnasked();

private:
    QString StatePath(const QString& seat) const;
    const char* Text(const char* de, const char* en) const { return german_ ? de : en; }

    InstructorStation& station_;
    bool german_;
    std::set<QString> asked_; // the seats whose state is awaited
    CloseAsker closeAsker_;
    bool unasked_ = false;
};

} // namespace vp7
