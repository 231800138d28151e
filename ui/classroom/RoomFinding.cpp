// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/classroom/RoomFinding.h"

#include <QEventLoop>
#include <QMessageAuthenticationCode>
#include <QNetworkDatagram>
#include <QNetworkInterface>
#include <QPasswordDigestor>
#include <QRandomGenerator>
#include <QTimer>

#include <algorithm>
#include <set>

namespace vp7 {
namespace {

constexpr int kKeyBytes = 32;
constexpr qint64 kSecondMs = 1000;
// The question goes out again as long as no answer came: a datagram may be lost.
constexpr int kAskAgainMs = 400;
// An answer costs the seat a key's stretching: no more are weighed in one search.
constexpr std::size_t kLargestAnswersWeighed = 8;

QByteArray Bytes(const std::string& text) {
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

// Where a question goes: the broadcast address of every network this PC is on, the general one, and
// this PC itself (a station on the seat's own PC, as in a trial).
QList<QHostAddress> Listeners() {
    std::set<QString> seen;
    QList<QHostAddress> to{QHostAddress(QHostAddress::Broadcast), QHostAddress(QHostAddress::LocalHost)};
    for (const QNetworkInterface& net : QNetworkInterface::allInterfaces()) {
        if (!(net.flags() & QNetworkInterface::IsUp) || !(net.flags() & QNetworkInterface::CanBroadcast))
            continue;
        for (const QNetworkAddressEntry& entry : net.addressEntries())
            if (!entry.broadcast().isNull() && seen.insert(entry.broadcast().toString()).second)
                to << entry.broadcast();
    }
    return to;
}

} // namespace

QByteArray FinderKey(const std::string& password, const std::string& salt) {
    return QPasswordDigestor::deriveKeyPbkdf2(QCryptographicHash::Sha256, Bytes(password), Bytes(salt),
                                              kFinderKeyIterations, kKeyBytes);
}

std::string FinderMac(const QByteArray& key, const std::string& signedPart) {
    return QMessageAuthenticationCode::hash(Bytes(signedPart), key, QCryptographicHash::Sha256)
        .toHex()
        .toStdString();
}

RoomFinderAnswers::RoomFinderAnswers(RoomFile room, uint16_t port, QObject* parent)
    : QObject(parent), room_(std::move(room)) {
    if (port == 0) return;
    // A room on this PC's loopback has its seats on this PC: nothing of it listens beyond.
    const bool local = QHostAddress(QString::fromStdString(room_.address)).isLoopback();
    socket_.bind(local ? QHostAddress(QHostAddress::LocalHost) : QHostAddress(QHostAddress::AnyIPv4), port,
                 QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint);
    connect(&socket_, &QUdpSocket::readyRead, this, &RoomFinderAnswers::Answer);
    second_.start();
}

void RoomFinderAnswers::Answer() {
    while (socket_.hasPendingDatagrams()) {
        const QNetworkDatagram datagram = socket_.receiveDatagram(kLongestFinderMessage + 1);
        if (second_.elapsed() >= kSecondMs) {
            second_.restart();
            answeredThisSecond_ = 0;
        }
        const QByteArray data = datagram.data();
        const auto question = ReadFinderQuestion(std::string_view(data.constData(), data.size()));
        if (!question || answeredThisSecond_ >= kAnswersPerSecond) continue;
        const auto seat = std::find_if(room_.seats.begin(), room_.seats.end(),
                                       [&](const RoomSeat& s) { return s.seat == question->seat; });
        if (seat == room_.seats.end()) continue; // another room's seat, or none
        ++answeredThisSecond_;
        const JoinTicket ticket = SeatTicket(room_, *seat);
        auto key = keys_.find(seat->seat);
        if (key == keys_.end())
            key = keys_.emplace(seat->seat, FinderKey(seat->password, FinderKeySalt(ticket))).first;
        const std::string answer = WriteFinderAnswer(
            question->nonce, ticket, [&](const std::string& part) { return FinderMac(key->second, part); });
        socket_.writeDatagram(Bytes(answer), datagram.senderAddress(),
                              static_cast<quint16>(datagram.senderPort()));
    }
}

FoundRoom FindRoom(const JoinTicket& code, uint16_t port, std::chrono::milliseconds limit) {
    QUdpSocket socket;
    if (!socket.bind(QHostAddress::AnyIPv4, 0)) return {};
    const QByteArray nonce =
        QByteArray::number(QRandomGenerator::system()->generate64(), 16).rightJustified(16, '0') +
        QByteArray::number(QRandomGenerator::system()->generate64(), 16).rightJustified(16, '0');
    const QByteArray question = Bytes(WriteFinderQuestion({code.seat, nonce.toStdString()}));
    const QList<QHostAddress> listeners = Listeners();
    const auto ask = [&] {
        for (const QHostAddress& to : listeners)
            socket.writeDatagram(question, to, port);
    };
    FoundRoom result;
    std::optional<JoinTicket>& found = result.ticket;
    // The question goes to several addresses and out again: the same answer comes more than once, and
    // is weighed once.
    std::set<QByteArray> weighed;
    QEventLoop loop;
    QTimer again, over;
    QObject::connect(&again, &QTimer::timeout, ask);
    QObject::connect(&over, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(&socket, &QUdpSocket::readyRead, &loop, [&] {
        while (socket.hasPendingDatagrams() && !found) {
            const QByteArray data = socket.receiveDatagram(kLongestFinderMessage + 1).data();
            auto answer = ReadFinderAnswer(std::string_view(data.constData(), data.size()));
            if (!answer || answer->nonce != nonce.toStdString() || answer->room.seat != code.seat ||
                weighed.size() >= kLargestAnswersWeighed || !weighed.insert(data).second)
                continue;
            const QByteArray key = FinderKey(code.password, FinderKeySalt(answer->room));
            if (FinderMac(key, answer->signed_) != answer->mac) {
                result.answeredOtherCode = true;
                continue;
            }
            found = std::move(answer->room);
            found->password = code.password;
            loop.quit();
        }
    });
    ask();
    again.start(kAskAgainMs);
    over.setSingleShot(true);
    over.start(static_cast<int>(limit.count()));
    loop.exec();
    if (found) result.answeredOtherCode = false;
    return result;
}

} // namespace vp7
