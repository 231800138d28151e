// SPDX-License-Identifier: GPL-3.0-or-later
// The instructor's station as the broker's messages reach it: tiles made and kept up to date, what
// cannot be read passed over with a line in the log, commands to the chosen seats or to the room, and
// each hand-in stored once with its report.
#include "ui/classroom/ConnectDialog.h"
#include "ui/classroom/InstructorStation.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTableWidget>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace vp7;

namespace {

struct Station {
    QTemporaryDir folder;
    std::vector<std::pair<QString, QByteArray>> sent;
    InstructorStation station{
        QStringLiteral("room1"), false,
        [this](const QString& topic, const QByteArray& payload) { sent.emplace_back(topic, payload); },
        folder.filePath(QStringLiteral("class"))};
    void Status(const QString& seat, const QByteArray& json) {
        station.Received(QStringLiteral("vp7/room1/seat/%1/status").arg(seat), json);
    }
};

} // namespace

TEST(ClassroomStation, SeatsShowWhatTheirStatusSaysAndBadMessagesChangeNothing) {
    Station s;
    s.Status(QStringLiteral("anna"),
             R"({"seat":"anna","variant":"VP7A","mode":"MAN","lcd":["  37.0"," MAN37"],
        "position":37.0,"setpoint":37.0,"faults":[],"frozen":false,"speed":1})");
    s.Status(QStringLiteral("ben"), R"({"seat":"ben","mode":"AUT","lcd":{"upper":"  80.0","lower":" AUT80"},
        "position":79.5,"faults":[3],"frozen":true,"speed":2,
        "exercise":{"title":"Leak","tasksDone":1,"tasksTotal":3,"secondsLeft":125}})");
    ASSERT_EQ(s.station.Seats(), (QStringList{QStringLiteral("anna"), QStringLiteral("ben")}));
    EXPECT_EQ(s.station.Tile(QStringLiteral("anna"))->Summary().toStdString(),
              "anna; connected; 37.0|MAN37; MAN");
    EXPECT_EQ(s.station.Tile(QStringLiteral("ben"))->Summary().toStdString(),
              "ben; connected; 80.0|AUT80; AUT · frozen · 2×; Fault 3; Leak · 1/3 · 2:05");
    s.station.SortBy(InstructorStation::Order::FaultsFirst);
    EXPECT_EQ(s.station.Seats().front(), QStringLiteral("ben"));

    const auto before = s.station.Tile(QStringLiteral("anna"))->Shown();
    const struct {
        const char* topic;
        QByteArray payload;
    } bad[] = {
        {"vp7/room1/seat/anna/status", "{not json"},
        {"vp7/room1/seat/anna/status", "[1, 2]"},
        {"vp7/room1/seat/anna/status", QByteArray(InstructorStation::kLargestMessage + 1, ' ')},
        {"vp7/room2/seat/anna/status", R"({"mode":"AUT"})"},
        {"vp7/room1/seat/anna/sideways", R"({"mode":"AUT"})"},
        {"vp7/room1/seat//status", R"({"mode":"AUT"})"},
    };
    for (const auto& b : bad)
        s.station.Received(QString::fromLatin1(b.topic), b.payload);
    EXPECT_EQ(s.station.Tile(QStringLiteral("anna"))->Shown(), before);
    EXPECT_EQ(s.station.Seats().size(), 2);
    EXPECT_EQ(s.station.Log().size(), qsizetype(std::size(bad)));

    // The last will greys the seat; its next status brings it back.
    s.station.Received(QStringLiteral("vp7/room1/seat/anna/status"), "offline");
    EXPECT_FALSE(s.station.Tile(QStringLiteral("anna"))->Shown().online);
    s.Status(QStringLiteral("anna"), R"({"mode":"MAN","online":true})");
    EXPECT_TRUE(s.station.Tile(QStringLiteral("anna"))->Shown().online);
}

TEST(ClassroomStation, CommandsGoToTheChosenSeatsOrToTheRoom) {
    Station s;
    for (const char* seat : {"anna", "ben", "cem"})
        s.Status(QString::fromLatin1(seat), R"({"mode":"AUT"})");
    s.station.findChild<QAction*>(QStringLiteral("freeze"))->trigger();
    s.station.Choose({QStringLiteral("ben"), QStringLiteral("cem")});
    s.station.findChild<QAction*>(QStringLiteral("handin"))->trigger();
    const std::vector<std::pair<QString, QByteArray>> expected{
        {QStringLiteral("vp7/room1/cmd/all"), R"({"command":"freeze"})"},
        {QStringLiteral("vp7/room1/cmd/seat/ben"), R"({"command":"handin"})"},
        {QStringLiteral("vp7/room1/cmd/seat/cem"), R"({"command":"handin"})"},
    };
    EXPECT_EQ(s.sent, expected);
}

TEST(ClassroomStation, EachHandInIsStoredOnceWithItsReport) {
    Station s;
    const QByteArray handIn = R"({"kind":"handin","id":"anna-7","exercise":"Leak","score":80,
        "checks":[{"text":"found","passed":true},{"text":"fixed","passed":false}],"report":"<html>ok</html>"})";
    for (int copy = 0; copy < 2; ++copy) // sent again before its acknowledgement reached the seat
        s.station.Received(QStringLiteral("vp7/room1/seat/anna/event"), handIn);
    s.station.Received(QStringLiteral("vp7/room1/seat/ben/event"), R"({"kind":"handin","exercise":"Leak"})");
    ASSERT_EQ(s.station.HandIns()->rowCount(), 1);
    EXPECT_EQ(s.station.HandIns()->item(0, 3)->text(), QStringLiteral("1/2"));
    QFile report(QDir(s.station.ClassFolder()).filePath(QStringLiteral("anna-anna-7.html")));
    ASSERT_TRUE(report.open(QIODevice::ReadOnly));
    EXPECT_EQ(report.readAll(), "<html>ok</html>");
    QFile results(QDir(s.station.ClassFolder()).filePath(QStringLiteral("results.csv")));
    ASSERT_TRUE(results.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = results.readAll().split('\n');
    ASSERT_GE(lines.size(), 2);
    EXPECT_TRUE(lines[1].startsWith("anna,Leak,80,1/2,")) << lines[1].toStdString();
    EXPECT_EQ(s.station.Log().size(), 1); // the hand-in without an id
}

// The connect dialog takes only what can be used, and hands back what was typed.
TEST(ClassroomConnect, TheDialogRefusesNamesThatCannotStandInTopics) {
    ClassroomSettings settings;
    settings.room = "B12";
    settings.seat = "seat-3";
    ConnectDialog dialog(settings, QStringLiteral("pw"), false, nullptr);
    const struct {
        const char* field;
        const char* text;
        const char* problem;
    } cases[] = {
        {"room", "B/12", "Room: holds '/'"},    {"room", "", "Room: empty"},
        {"seat", "seat #3", "Seat: holds ' '"}, {"host", "  ", "The broker is missing."},
        {"user", "a+b", "User: holds '+'"},
    };
    for (const auto& c : cases) {
        auto* field = dialog.findChild<QLineEdit*>(QString::fromLatin1(c.field));
        ASSERT_NE(field, nullptr) << c.field;
        const QString before = field->text();
        field->setText(QString::fromLatin1(c.text));
        EXPECT_EQ(dialog.Problem().toStdString(), c.problem) << c.field << " = " << c.text;
        field->setText(before);
    }
    EXPECT_TRUE(dialog.Problem().isEmpty());
    dialog.findChild<QCheckBox*>(QStringLiteral("tls"))->setChecked(true);
    const ClassroomSettings chosen = dialog.Settings();
    EXPECT_EQ(chosen.port, ClassroomSettings::kDefaultTlsPort);
    EXPECT_TRUE(chosen.tls);
    EXPECT_EQ(chosen.room + "|" + chosen.seat, "B12|seat-3");
    EXPECT_EQ(dialog.Password(), QStringLiteral("pw"));
}
