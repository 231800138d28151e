// SPDX-License-Identifier: GPL-3.0-or-later
// Joining with the class sheet's code or link: the window joins the room the link names with the
// seat's account, a wrong code is refused with a word instead of the seat trying on, and the room's
// certificate authority is taken only when it is the one the link names.
#include "DocumentsIn.h"
#include "ShownApp.h"
#include "classroom/Seat.h"
#include "tests/classroom/Broker.h"
#include "ui/app/ClassroomControl.h"
#include "ui/classroom/InstructorStation.h"
#include "ui/classroom/JoinCodeDialog.h"
#include "ui/classroom/RoomAuthority.h"
#include "ui/classroom/RoomFinding.h"
#include "ui/device/MenuBar.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QNetworkDatagram>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUdpSocket>

#include <gtest/gtest.h>

#include <cstdlib>

using namespace vp7;

namespace {

constexpr int kJoinWaitMs = 10000;

// Answers the join dialog with `code` and a name, and every message box, keeping its text.
struct JoinAnswers {
    QString code;
    QStringList boxes;
    QTimer answering;
    JoinAnswers() {
        QObject::connect(&answering, &QTimer::timeout, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (auto* join = qobject_cast<JoinCodeDialog*>(modal)) {
                join->findChild<QLineEdit*>(QStringLiteral("code"))->setText(code);
                join->findChild<QLineEdit*>(QStringLiteral("trainee"))->setText(QStringLiteral("Anna Berg"));
                join->accept();
            } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                boxes << box->text();
                box->done(QMessageBox::Ok);
            }
        });
        answering.start(10);
    }
};

// A web server of one answer: `body` for every request.
struct OneAnswerServer {
    QTcpServer server;
    QByteArray body;
    explicit OneAnswerServer(QByteArray answer) : body(std::move(answer)) {
        server.listen(QHostAddress::LocalHost);
        QObject::connect(&server, &QTcpServer::newConnection, [this] {
            QTcpSocket* socket = server.nextPendingConnection();
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                if (!socket->readAll().contains("\r\n\r\n")) return;
                socket->write("HTTP/1.1 200 OK\r\nConnection: close\r\nContent-Length: " +
                              QByteArray::number(body.size()) + "\r\n\r\n" + body);
                socket->disconnectFromHost();
            });
        });
    }
};

// A port of the loopback that nothing listens on, for datagrams.
uint16_t FreeUdpPort() {
    QUdpSocket probe;
    probe.bind(QHostAddress::LocalHost, 0);
    return probe.localPort();
}

RoomFile RoomToFind(bool tls) {
    RoomFile room;
    room.room = "werkstatt-2";
    room.address = "127.0.0.1";
    room.webPort = 8443;
    room.webTls = tls;
    room.mqttPort = tls ? 8883 : 1883;
    room.mqttTls = tls;
    room.fingerprint = tls ? std::string(64, 'a') : "";
    room.instructorUser = "instructor";
    room.instructorPassword = "Trainer-Geheimnis-42";
    room.seats = {{"seat06", "ABCDEFGH"}, {"seat07", "K7QFM2XA"}};
    room.created = "2026-12-09T08:00:00+00:00";
    return room;
}

// Answers every question with `answer` (nonce in, the text of the answer out).
struct OtherAnswerer {
    QUdpSocket socket;
    std::function<std::string(const FinderQuestion&)> answer;
    OtherAnswerer() {
        socket.bind(QHostAddress::LocalHost, 0);
        QObject::connect(&socket, &QUdpSocket::readyRead, [this] {
            while (socket.hasPendingDatagrams()) {
                const QNetworkDatagram d = socket.receiveDatagram();
                if (const auto q = ReadFinderQuestion(d.data().toStdString()))
                    socket.writeDatagram(QByteArray::fromStdString(answer(*q)), d.senderAddress(),
                                         static_cast<quint16>(d.senderPort()));
            }
        });
    }
};

} // namespace

// A code alone, on a PC that never joined: the room is the one whose answer the code confirms. A wrong
// code, a seat the room does not have, an answer from one who does not know the code or made for another
// question, and silence find none.
TEST(JoinWithCode, ACodeAloneFindsOnlyTheRoomThatKnowsTheCode) {
    const RoomFile room = RoomToFind(true);
    const uint16_t port = FreeUdpPort();
    RoomFinderAnswers station(room, port);
    ASSERT_TRUE(station.Listening());
    const JoinTicket seat07 = SeatTicket(room, room.seats[1]);
    const QByteArray rightKey = FinderKey("K7QFM2XA", FinderKeySalt(seat07));
    JoinTicket elsewhere = seat07;
    elsewhere.address = "10.6.6.6";
    OtherAnswerer forger, replayer;
    forger.answer = [&](const FinderQuestion& q) {
        return WriteFinderAnswer(q.nonce, elsewhere, [&](const std::string& part) {
            return FinderMac(FinderKey("K7QFM2XB", FinderKeySalt(elsewhere)), part);
        });
    };
    replayer.answer = [&](const FinderQuestion&) {
        return WriteFinderAnswer(std::string(32, '0'), elsewhere,
                                 [&](const std::string& part) { return FinderMac(rightKey, part); });
    };
    const struct {
        const char* code;
        uint16_t port;
        bool found, otherCode;
    } rows[] = {
        {"07-K7QF-M2XA", port, true, false},
        {"07-K7QF-M2XB", port, false, true},
        {"08-K7QF-M2XA", port, false, false},
        {"07-K7QF-M2XA", forger.socket.localPort(), false, true},
        {"07-K7QF-M2XA", replayer.socket.localPort(), false, false},
        {"07-K7QF-M2XA", FreeUdpPort(), false, false},
    };
    constexpr std::chrono::milliseconds kShortLimit{700};
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.code) + " on " + std::to_string(row.port));
        const FoundRoom found = FindRoom(*ReadCodeAlone(row.code), row.port, kShortLimit);
        ASSERT_EQ(found.ticket.has_value(), row.found);
        EXPECT_EQ(found.answeredOtherCode, row.otherCode);
        if (found.ticket) {
            EXPECT_EQ(*found.ticket, seat07);
        }
    }
}

// The station with its room open answers; the join dialog takes a code alone on a PC that never joined,
// and says a word where no room answered.
TEST(JoinWithCode, TheStationsRoomIsFoundByTheDialog) {
    QTemporaryDir stationDir, seatDir;
    const test::DocumentsIn documents(stationDir);
    const uint16_t port = FreeUdpPort();
    const std::string finder = "[Classroom]\r\nRoomFinderPort=" + std::to_string(port) + "\r\n";
    const QString program = test::ProgramFolder(stationDir);
    QFile ini(stationDir.filePath(QStringLiteral("Config/VP7.ini")));
    ASSERT_TRUE(ini.open(QIODevice::Append));
    ini.write(finder.data(), static_cast<qint64>(finder.size()));
    ini.close();
    AppWindows windows = CreateProgramWindows(program.toStdString(), 1, false);
    const QString path = stationDir.filePath(QStringLiteral("room.json"));
    ASSERT_TRUE(test::WriteFile(path, WriteRoomFile(RoomToFind(false))));
    OpenForSecondStart(windows, {OpenKind::Room, path.toStdString()});
    ASSERT_NE(windows.classroom->Station(), nullptr);

    {
        // Cancelled while the room is searched for, the dialog joins nothing, though the room answers.
        JoinCodeDialog dialog(std::nullopt, QStringLiteral("Anna Berg"), false, nullptr, port);
        dialog.findChild<QLineEdit*>(QStringLiteral("code"))->setText(QStringLiteral("07-k7qf-m2xa"));
        QTimer::singleShot(0, &dialog, &QDialog::reject);
        dialog.accept();
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
    }
    for (const bool open : {true, false}) {
        JoinCodeDialog dialog(std::nullopt, QStringLiteral("Anna Berg"), false, nullptr, port);
        dialog.findChild<QLineEdit*>(QStringLiteral("code"))->setText(QStringLiteral("07-k7qf-m2xa"));
        dialog.accept();
        if (open) {
            ASSERT_EQ(dialog.result(), QDialog::Accepted)
                << dialog.findChild<QLabel*>(QStringLiteral("problem"))->text().toStdString();
            EXPECT_EQ(dialog.Ticket(), SeatTicket(RoomToFind(false), RoomToFind(false).seats[1]));
            windows.classroom->Detach(); // the station closes with its window's classroom
        } else {
            EXPECT_NE(dialog.result(), QDialog::Accepted);
            EXPECT_TRUE(dialog.findChild<QLabel*>(QStringLiteral("problem"))
                            ->text()
                            .startsWith(QStringLiteral("No room answered")));
        }
    }
}

TEST(JoinWithCode, TheLinkJoinsItsSeatAndAWrongCodeIsRefusedWithAWord) {
    QTemporaryDir dir;
    const std::filesystem::path folder = dir.path().toStdString();
    // Started by root, the broker reads its accounts as a user of its own.
    std::filesystem::permissions(folder, std::filesystem::perms::all);
    const std::string config = test::ShippedBrokerConfig(folder / "accounts", {{"seat07", "K7QFM2XA"}});
    ASSERT_FALSE(config.empty()) << "mosquitto_passwd failed";
    test::Broker broker(folder / "broker", config);
    ASSERT_TRUE(broker.Start());
    std::optional<AppWindows> windows(CreateProgramWindows(test::ProgramFolder(dir).toStdString(), 1, false));
    windows->main->show();
    ClassroomControl& classroom = *windows->classroom;
    QAction* join = windows->main->Menus().Action(ActionId::ClassroomJoinWithCode);

    JoinAnswers answers;
    answers.code =
        QStringLiteral("http://127.0.0.1:8080/#join=r1/07-k7qf-m2xa&mqtt=%1&tls=0").arg(broker.Port());
    join->trigger();
    test::RunEvents(kJoinWaitMs, [&] { return classroom.InRoom() && classroom.InRoom()->Connected(); });
    ASSERT_NE(classroom.InRoom(), nullptr) << answers.boxes.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(classroom.InRoom()->Connected());
    EXPECT_EQ(classroom.Settings().seat, "seat07");
    EXPECT_EQ(classroom.Settings().room, "r1");
    EXPECT_EQ(classroom.Settings().trainee, "Anna Berg");
    classroom.Leave();

    // The code alone, one sign wrong: the room of the last join refuses it, and the seat leaves.
    answers.code = QStringLiteral("07-K7QF-M2XB");
    join->trigger();
    test::RunEvents(kJoinWaitMs, [&] { return !answers.boxes.isEmpty(); });
    ASSERT_EQ(answers.boxes.size(), 1);
    EXPECT_TRUE(answers.boxes[0].contains(QStringLiteral("code"))) << answers.boxes[0].toStdString();
    EXPECT_EQ(classroom.InRoom(), nullptr);
}

TEST(JoinWithCode, OnlyTheAuthorityTheLinkNamesIsTaken) {
    QTemporaryDir dir;
    const QString certificate = dir.filePath(QStringLiteral("room-ca.crt"));
    const std::string make = "openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=room -keyout '" +
                             dir.filePath(QStringLiteral("k")).toStdString() + "' -out '" +
                             certificate.toStdString() + "' 2>/dev/null";
    ASSERT_EQ(std::system(make.c_str()), 0);
    QFile file(certificate);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray pem = file.readAll();
    const std::string fingerprint = AuthorityFingerprint(pem).toStdString();
    ASSERT_EQ(fingerprint.size(), 64u);
    const struct {
        const char* what;
        QByteArray served;
        std::string fingerprint;
        bool taken;
    } rows[] = {
        {"the room's own", pem, fingerprint, true},
        {"another authority than the link's", pem, std::string(64, '0'), false},
        {"no certificate at all", QByteArray("<html>hello</html>"), fingerprint, false},
        {"more than a certificate can be", QByteArray(kLargestAuthorityBytes + 1, 'A'), fingerprint, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        OneAnswerServer server(row.served);
        JoinTicket ticket;
        ticket.address = "127.0.0.1";
        ticket.webPort = server.server.serverPort();
        ticket.room = "r1";
        ticket.fingerprint = row.fingerprint;
        const QString kept = dir.filePath(QStringLiteral("kept"));
        const auto fetched = FetchRoomAuthority(ticket, kept, false);
        EXPECT_EQ(fetched.index() == 0, row.taken)
            << (fetched.index() ? std::get<1>(fetched).toStdString() : "");
        EXPECT_EQ(QFile::exists(kept + QStringLiteral("/r1-ca.crt")), row.taken);
        QFile::remove(kept + QStringLiteral("/r1-ca.crt"));
    }
}

// A refusal's word is shown whole, on as many lines as it takes: the dialog grows for it.
TEST(JoinWithCode, TheRefusalsWordIsShownWhole) {
    JoinCodeDialog dialog(std::nullopt, QStringLiteral("Anna Berg"), true, nullptr);
    dialog.show();
    test::RunEvents(50);
    dialog.findChild<QLineEdit*>(QStringLiteral("code"))->setText(QStringLiteral("03-QNBQ-U6DE"));
    dialog.accept();
    test::RunEvents(50);
    const auto* problem = dialog.findChild<QLabel*>(QStringLiteral("problem"));
    ASSERT_FALSE(problem->text().isEmpty());
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_GE(problem->height(), problem->heightForWidth(problem->width())) << problem->text().toStdString();
    EXPECT_LE(problem->geometry().bottom(), dialog.height());
}
