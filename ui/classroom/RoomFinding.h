// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Finding the room by a seat's code alone (classroom/RoomFinder.h) over the local network: the station
// answers for its open room, the join dialog searches. Datagrams on the finder's port, each bounded; the
// station answers a bounded number a second and stretches each seat's key once.
#include "classroom/RoomFile.h"
#include "classroom/RoomFinder.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QUdpSocket>

#include <chrono>
#include <map>
#include <optional>
#include <string>

namespace vp7 {

// The seat's key, stretched from its password with FinderKeySalt's salt.
QByteArray FinderKey(const std::string& password, const std::string& salt);
// The MAC of `signedPart` under `key`, as lower-case hex.
std::string FinderMac(const QByteArray& key, const std::string& signedPart);

class RoomFinderAnswers : public QObject {
    Q_OBJECT
public:
    // Answers for the seats of `room` on `port` of every IPv4 address of this PC (of the loopback only,
    // for a room there); port 0: not at all.
    RoomFinderAnswers(RoomFile room, uint16_t port, QObject* parent = nullptr);
    // False when the port is another program's or 0: seats then join by the link.
    bool Listening() const { return socket_.state() == QAbstractSocket::BoundState; }

private:
    void Answer();

    // A question costs a datagram; an answer the first time a seat's key is stretched: a flood of them
    // is answered in part, never with the window held up.
    static constexpr int kAnswersPerSecond = 20;

    RoomFile room_;
    QUdpSocket socket_;
    std::map<std::string, QByteArray> keys_; // by seat, stretched on its first question
    QElapsedTimer second_;
    int answeredThisSecond_ = 0;
};

struct FoundRoom {
    std::optional<JoinTicket> ticket;
    bool answeredOtherCode = false; // none found, but answers came for the seat: a sign of the code wrong
};

// Asks the local network (and this PC) for the room of `code` (a ticket of only the seat and its
// password) on `port`, for at most `limit`, handling the window's events meanwhile: the room's ticket
// for the seat from the first answer whose MAC the code confirms, or none.
FoundRoom FindRoom(const JoinTicket& code, uint16_t port, std::chrono::milliseconds limit);

} // namespace vp7
