// SPDX-License-Identifier: GPL-3.0-or-later
// A room opened from its room file: the class sheet with each seat's code, link and QR code (which a
// reader decodes back to the link), its PDF's pages, and the station that shows every seat of the room
// from the start, "missing" until the seat's first status.
#include "ui/classroom/ClassSheet.h"
#include "DocumentsIn.h"
#include "ShownApp.h"
#include "classroom/RoomNames.h"
#include "classroom/SeatCommand.h"
#include "classroom/SeatStatus.h"
#include "ui/app/ClassroomControl.h"
#include "ui/classroom/InstructorStation.h"
#include "ui/classroom/QrCode.h"
#include "ui/classroom/RoomAuthority.h"
#include "ui/classroom/RoomMenu.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

#include <gtest/gtest.h>

using namespace vp7;

namespace {

const std::string kFingerprint(64, 'e');
constexpr int kNoBrokerPort = 9; // discard: nothing answers there

RoomFile Room(int seats, bool tls = true) {
    RoomFile room;
    room.room = "werkstatt-2";
    room.address = "192.168.10.4";
    room.webPort = 8080;
    room.mqttPort = tls ? 8883 : kNoBrokerPort;
    room.mqttTls = tls;
    room.fingerprint = tls ? kFingerprint : "";
    room.instructorUser = "instructor";
    room.instructorPassword = "Trainer-Geheimnis-42";
    static constexpr std::string_view kSigns = "23456789ABCDEFGHJKMNPQRSTUVWXYZ";
    for (int i = 1; i <= seats; ++i) {
        std::string password;
        for (int k = 0; k < 8; ++k)
            password += kSigns[static_cast<std::size_t>((i * 7 + k * 3) % kSigns.size())];
        room.seats.push_back({SeatNameOf(i), password});
    }
    room.created = "2026-12-09T08:00:00+00:00";
    return room;
}

// What zbarimg reads from an image of the code, or nothing when there is no zbarimg.
std::optional<std::string> Decoded(const QrCode& code, const QString& folder) {
    const QString zbar = QStandardPaths::findExecutable(QStringLiteral("zbarimg"));
    if (zbar.isEmpty()) return std::nullopt;
    const QString png = folder + QStringLiteral("/qr.png");
    if (!code.Image(4).save(png)) return std::string("(not saved)");
    QProcess reader;
    reader.start(zbar, {QStringLiteral("--raw"), QStringLiteral("-q"), png});
    reader.waitForFinished();
    return reader.readAllStandardOutput().trimmed().toStdString();
}

} // namespace

TEST(ClassSheet, HoldsEachSeatsCodeLinkAndQrCodeButNoInstructorsPassword) {
    const RoomFile room = Room(3);
    for (const bool german : {true, false}) {
        const std::string html = ClassSheet(room, german).Html();
        for (const RoomSeat& seat : room.seats) {
            EXPECT_NE(html.find(">" + SeatCode(seat) + "<"), std::string::npos) << seat.seat;
            const QString link =
                QString::fromStdString(WriteJoinLink(SeatTicket(room, seat))).toHtmlEscaped();
            EXPECT_NE(html.find(link.toStdString()), std::string::npos) << seat.seat;
        }
        EXPECT_EQ(QString::fromStdString(html).count(QStringLiteral("<svg class=\"qr\"")), 3);
        EXPECT_EQ(html.find(room.instructorPassword), std::string::npos);
        EXPECT_NE(html.find(german ? "Mit Code beitreten" : "Join with code"), std::string::npos);
    }
}

// The codes a phone scans from the sheet read back as the very link printed beside them.
TEST(ClassSheet, EachQrCodeReadsBackAsItsLink) {
    QTemporaryDir dir;
    RoomFile room = Room(2);
    std::vector<std::string> links;
    for (const RoomSeat& seat : room.seats)
        links.push_back(WriteJoinLink(SeatTicket(room, seat)));
    room.address = "[fd00:0:0:0:0:0:0:a4]";
    room.room = std::string(kRoomNameMaxBytes, 'r');
    room.webTls = true;
    links.push_back(WriteJoinLink(SeatTicket(room, room.seats[1]))); // the longest a link gets
    links.push_back("http://pc:80/#join=r/01-2222-2222&mqtt=1883&tls=0");
    for (const std::string& link : links) {
        const auto code = QrCode::Of(link);
        ASSERT_TRUE(code) << link;
        const auto read = Decoded(*code, dir.path());
        if (!read) GTEST_SKIP() << "no zbarimg to read QR codes";
        EXPECT_EQ(*read, link);
    }
    EXPECT_FALSE(QrCode::Of(""));
    EXPECT_FALSE(QrCode::Of(std::string(QrCode::kLongestText + 1, 'x')));
}

TEST(ClassSheet, ThePdfHasAPageForEverySixteenSeats) {
    QTemporaryDir dir;
    const struct { int seats, pages; } rows[] = {{1, 1}, {3, 1}, {16, 1}, {17, 2}, {20, 2}, {33, 3}, {99, 7}};
    for (const auto& row : rows) {
        const QString path = dir.filePath(QStringLiteral("sheet-%1.pdf").arg(row.seats));
        const ClassSheet sheet(Room(row.seats), false);
        ASSERT_EQ(sheet.WritePdf(path), std::nullopt);
        const QByteArray pdf = test::Bytes(path);
        EXPECT_TRUE(pdf.startsWith("%PDF")) << row.seats;
        EXPECT_EQ(QString::fromLatin1(pdf).count(QRegularExpression(QStringLiteral("/Type\\s*/Page\\b"))),
                  row.pages)
            << row.seats << " seats";
        EXPECT_EQ(sheet.Pages(), row.pages);
        EXPECT_FALSE(pdf.contains(QByteArray::fromStdString(Room(row.seats).instructorPassword)));
    }
    EXPECT_NE(ClassSheet(Room(3), false).WritePdf(dir.filePath(QStringLiteral("none/sheet.pdf"))),
              std::nullopt);
}

// Opened from its room file (here by a second start's `--room`), the station shows every seat; a seat becomes
// a tile of its device with its first status online, and an earlier lesson's last will leaves it missing. The
// lesson's exercise goes to a missing seat when it joins.
TEST(ClassSheet, TheStationShowsTheRoomsSeatsMissingUntilTheyJoin) {
    QTemporaryDir dir;
    const test::DocumentsIn documents(dir);
    AppWindows windows = CreateProgramWindows(test::ProgramFolder(dir).toStdString(), 1, false);
    const QString path = dir.filePath(QStringLiteral("room.json"));
    RoomFile room = Room(3, false);
    room.address = "127.0.0.1";
    ASSERT_TRUE(test::WriteFile(path, WriteRoomFile(room)));
    OpenForSecondStart(windows, {OpenKind::Room, path.toStdString()}); // `vp7sim --room` while it runs
    InstructorStation* station = windows.classroom->Station();
    ASSERT_NE(station, nullptr);
    ASSERT_EQ(station->Seats(),
              (QStringList{QStringLiteral("seat01"), QStringLiteral("seat02"), QStringLiteral("seat03")}));
    for (const QString& seat : station->Seats()) {
        EXPECT_TRUE(station->Tile(seat)->Missing());
        EXPECT_EQ(station->Tile(seat)->Summary(), seat + QStringLiteral("; missing"));
    }
    const auto status = [station](const char* seat, bool online) {
        SeatStatus s;
        s.seat = seat;
        s.room = "werkstatt-2";
        s.online = online;
        s.mode = "AUT";
        station->Received(QStringLiteral("vp7/werkstatt-2/seat/%1/status").arg(QLatin1String(seat)),
                          QByteArray::fromStdString(WriteSeatStatus(s)));
    };
    status("seat01", false);
    EXPECT_TRUE(station->Tile(QStringLiteral("seat01"))->Missing());
    station->Send({SeatCommandKind::OpenExercise, "title \"A\" \"A\"\nstart\n"});
    EXPECT_TRUE(station->Log().last().endsWith(QStringLiteral("the exercise goes to each seat as it joins")));
    status("seat02", true);
    EXPECT_FALSE(station->Tile(QStringLiteral("seat02"))->Missing());
    EXPECT_EQ(station->Tile(QStringLiteral("seat02"))->Summary(),
              QStringLiteral("seat02; connected; |; AUT"));
    status("seat02", false);
    EXPECT_EQ(station->Tile(QStringLiteral("seat02"))->Summary(), QStringLiteral("seat02; offline; |; AUT"));

    const auto written = station->findChild<RoomMenu*>()->WriteSheet();
    ASSERT_EQ(written.index(), 0u) << std::get<1>(written).toStdString();
    EXPECT_TRUE(test::Bytes(std::get<0>(written)).startsWith("%PDF"));
    EXPECT_TRUE(QFileInfo(std::get<0>(written)).absolutePath() == station->ClassFolder());
    windows.classroom->Detach();
}

// A room file that is none, or a room whose authority is neither beside the file nor served as the
// file says, opens no station and says why.
TEST(ClassSheet, ARoomIsOpenedOnlyFromItsFileWithItsOwnAuthority) {
    QTemporaryDir dir;
    const QString site = dir.filePath(QStringLiteral("site"));
    QDir().mkpath(site);
    const std::string make = "openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=room -keyout '" +
                             dir.filePath(QStringLiteral("k")).toStdString() + "' -out '" +
                             (site + QStringLiteral("/room-ca.crt")).toStdString() + "' 2>/dev/null";
    ASSERT_EQ(std::system(make.c_str()), 0);
    RoomFile room = Room(2);
    room.address = "127.0.0.1";
    room.webPort = kNoBrokerPort;
    const std::string own =
        AuthorityFingerprint(test::Bytes(site + QStringLiteral("/room-ca.crt"))).toStdString();
    const struct {
        const char* what;
        std::string text;
        QString said; // empty: opened
    } rows[] = {
        {"the room's own authority beside it",
         [&] {
             room.fingerprint = own;
             return WriteRoomFile(room);
         }(),
         {}},
        {"another authority, none served",
         [&] {
             room.fingerprint = kFingerprint;
             return WriteRoomFile(room);
         }(),
         QStringLiteral("cannot be reached")},
        {"no room file", "{\"format\":\"vp7-room 1\"}", QStringLiteral("is no room file: room: missing")},
        {"no file at all", std::string(), QStringLiteral("is no readable room file")},
    };
    for (const auto& row : rows) {
        const QString path = dir.filePath(QStringLiteral("room.json"));
        QFile::remove(path);
        if (!row.text.empty()) {
            ASSERT_TRUE(test::WriteFile(path, row.text));
        }
        const auto opened = RoomMenu::Open(path, {}, dir.filePath(QStringLiteral("kept")), false);
        if (row.said.isEmpty()) {
            ASSERT_EQ(opened.index(), 0u) << row.what << ": " << std::get<1>(opened).toStdString();
            const ClassroomSettings& settings = std::get<OpenedRoom>(opened).settings;
            EXPECT_EQ(settings.Authority(), (site + QStringLiteral("/room-ca.crt")).toStdString());
            EXPECT_EQ(settings.stationUser, "instructor");
            EXPECT_EQ(settings.port, 8883);
        } else {
            ASSERT_EQ(opened.index(), 1u) << row.what;
            EXPECT_TRUE(std::get<1>(opened).contains(row.said))
                << row.what << ": " << std::get<1>(opened).toStdString();
        }
    }
}
