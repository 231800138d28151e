// SPDX-License-Identifier: GPL-3.0-or-later
// The instructor's station as the broker's messages reach it: tiles made and kept up to date, what
// cannot be read passed over with a line in the log, commands to the chosen seats or to the room, and
// each hand-in stored once with its report.
#include "ShownApp.h"
#include "classroom/SeatCommand.h"
#include "classroom/SeatState.h"
#include "classroom/SentExercises.h"
#include "session/StateFile.h"
#include "ui/classroom/HiddenFaults.h"
#include "ui/classroom/InstructorStation.h"
#include "ui/classroom/LiveFrame.h"
#include "ui/classroom/LiveView.h"
#include "ui/classroom/StationSeatActions.h"

#include <QAction>
#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStatusBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <map>
#include <set>

using namespace vp7;

namespace {

struct Station {
    QTemporaryDir folder;
    std::vector<std::pair<QString, QByteArray>> sent;
    InstructorStation station{
        QStringLiteral("room1"), false,
        [this](const QString& topic, const QByteArray& payload) { sent.emplace_back(topic, payload); },
        folder.filePath(QStringLiteral("class"))};
    void Status(const SeatStatus& status) {
        station.Received(QStringLiteral("vp7/room1/seat/%1/status").arg(QString::fromStdString(status.seat)),
                         QByteArray::fromStdString(WriteSeatStatus(status)));
    }
};

SeatStatus Seat(const char* name, std::string mode) {
    SeatStatus s;
    s.seat = name;
    s.room = "room1";
    s.variant = "VP7A";
    s.mode = std::move(mode);
    return s;
}

constexpr char kExercise[] = "title \"A\" \"A\"\nstart\n";

// The seed of each seat's exercise the station sent: `kExercise` on the seat's own topic, with the seed
// the station keeps for the seat.
std::map<std::string, uint64_t> ExerciseSeeds(const Station& s) {
    const SentExercises kept(QDir(s.station.ClassFolder()).filePath(QStringLiteral("sent")).toStdString());
    std::map<std::string, uint64_t> seeds;
    for (const auto& [topic, payload] : s.sent) {
        const std::string seat = topic.section(QLatin1Char('/'), -1).toStdString();
        EXPECT_EQ(topic, QStringLiteral("vp7/room1/cmd/seat/") + QString::fromStdString(seat));
        const auto read = ReadSeatCommand(payload.toStdString());
        const auto* command = std::get_if<SeatCommand>(&read);
        if (!command || !command->seed || !kept.For(seat)) {
            ADD_FAILURE() << "no exercise with a kept seed for " << seat << ": " << payload.data();
            continue;
        }
        EXPECT_EQ(command->text, kExercise) << seat;
        EXPECT_EQ(*command->seed, kept.For(seat)->seed) << seat;
        seeds[seat] = *command->seed;
    }
    return seeds;
}

} // namespace

TEST(ClassroomStation, SeatsShowWhatTheirStatusSaysAndBadMessagesChangeNothing) {
    Station s;
    SeatStatus anna = Seat("anna", "MAN");
    anna.lcdUpper = "  37.0";
    anna.lcdLower = " MAN37";
    anna.position = 37;
    s.Status(anna);
    SeatStatus ben = Seat("ben", "AUT");
    ben.lcdUpper = "  80.0";
    ben.lcdLower = " AUT80";
    ben.position = 79.5;
    ben.faults = {3};
    ben.frozen = true;
    ben.speed = 2;
    ben.exercise = "Leak";
    ben.checks = 3;
    ben.checksHolding = 1;
    ben.timeLeftMs = 125'000;
    s.Status(ben);
    ASSERT_EQ(s.station.Seats(), (QStringList{QStringLiteral("anna"), QStringLiteral("ben")}));
    EXPECT_EQ(s.station.Tile(QStringLiteral("anna"))->Summary().toStdString(),
              "anna; connected; 37.0|MAN37; MAN");
    EXPECT_EQ(s.station.Tile(QStringLiteral("ben"))->Summary().toStdString(),
              "ben; connected; 80.0|AUT80; AUT · frozen · 2×; Fault 3; Leak; 1/3 holding · 2:05 left");
    s.station.SortBy(InstructorStation::Order::FaultsFirst);
    EXPECT_EQ(s.station.Seats().front(), QStringLiteral("ben"));

    const QByteArray annaJson = QByteArray::fromStdString(WriteSeatStatus(anna));
    QByteArray asBen = annaJson;
    asBen.replace("\"anna\"", "\"ben\"");
    const struct {
        const char* topic;
        QByteArray payload;
    } bad[] = {
        {"vp7/room1/seat/anna/status", "{not json"},
        {"vp7/room1/seat/anna/status", "[1, 2]"},
        {"vp7/room1/seat/anna/status", QByteArray(InstructorStation::kLargestMessage + 1, ' ')},
        {"vp7/room1/seat/anna/status", asBen}, // another seat's status on anna's topic
        {"vp7/room2/seat/anna/status", annaJson},
        {"vp7/room1/seat/anna/sideways", annaJson},
        {"vp7/room1/seat//status", annaJson},
        {"vp7/room1/seat/anna/event", R"({"kind":"handin","seat":"anna"})"},
    };
    const SeatStatus before = s.station.Tile(QStringLiteral("ben"))->Shown();
    for (const auto& b : bad)
        s.station.Received(QString::fromLatin1(b.topic), b.payload);
    EXPECT_EQ(s.station.Tile(QStringLiteral("ben"))->Shown(), before);
    EXPECT_EQ(s.station.Seats().size(), 2);
    EXPECT_EQ(s.station.Log().size(), qsizetype(std::size(bad)));

    // The last will greys the seat, what it showed last kept; its next status brings it back.
    SeatStatus gone = Seat("anna", "");
    gone.online = false;
    s.Status(gone);
    EXPECT_FALSE(s.station.Tile(QStringLiteral("anna"))->Shown().online);
    EXPECT_EQ(s.station.Tile(QStringLiteral("anna"))->Shown().lcdLower, " MAN37");
    s.Status(anna);
    EXPECT_TRUE(s.station.Tile(QStringLiteral("anna"))->Shown().online);
}

TEST(ClassroomStation, CommandsGoToTheChosenSeatsOrToTheRoom) {
    Station s;
    for (const char* seat : {"anna", "ben", "cem"})
        s.Status(Seat(seat, "AUT"));
    s.station.findChild<QAction*>(QStringLiteral("freeze"))->trigger();
    // A click on a tile chooses it, Ctrl+click adds one; a click beside the tiles chooses none.
    QTest::mouseClick(s.station.Tile(QStringLiteral("ben")), Qt::LeftButton);
    QTest::mouseClick(s.station.Tile(QStringLiteral("cem")), Qt::LeftButton, Qt::ControlModifier);
    EXPECT_EQ(s.station.Chosen(), QStringList({QStringLiteral("ben"), QStringLiteral("cem")}));
    s.station.findChild<QAction*>(QStringLiteral("handin"))->trigger();
    QTest::mouseClick(s.station.Tile(QStringLiteral("ben"))->parentWidget(), Qt::LeftButton, {},
                      QPoint(1, 1));
    EXPECT_TRUE(s.station.Chosen().isEmpty());
    const std::vector<std::pair<QString, SeatCommandKind>> expected{
        {QStringLiteral("vp7/room1/cmd/all"), SeatCommandKind::Freeze},
        {QStringLiteral("vp7/room1/cmd/seat/ben"), SeatCommandKind::HandIn},
        {QStringLiteral("vp7/room1/cmd/seat/cem"), SeatCommandKind::HandIn},
    };
    ASSERT_EQ(s.sent.size(), expected.size());
    // What the station sends, the seats read; each command has an id of its own (the same for every seat
    // it goes to), so that one delivered twice is done once.
    std::set<std::string> ids;
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(s.sent[i].first, expected[i].first);
        const auto read = ReadSeatCommand(s.sent[i].second.toStdString());
        ASSERT_TRUE(std::holds_alternative<SeatCommand>(read)) << s.sent[i].second.data();
        EXPECT_EQ(std::get<SeatCommand>(read).kind, expected[i].second);
        ids.insert(std::get<SeatCommand>(read).id);
    }
    EXPECT_EQ(ids.size(), 2u);
}

// An exercise goes to each seat on its own topic with a seed of its own, the chosen ones or every seat
// known; what was sent is kept in the class folder, where a station opened again finds it.
TEST(ClassroomStation, AnExerciseGoesToEachSeatWithASeedOfItsOwn) {
    Station s;
    for (const char* seat : {"anna", "ben"})
        s.Status(Seat(seat, "AUT"));
    s.station.Send({SeatCommandKind::OpenExercise, kExercise});
    ASSERT_EQ(s.sent.size(), 2u);
    const auto seeds = ExerciseSeeds(s);
    ASSERT_EQ(seeds.size(), 2u);
    EXPECT_NE(seeds.at("anna"), seeds.at("ben"));

    // Opened again, the station knows what it sent anna: her hand-in is refused for its missing
    // recording, not as one of an exercise never sent; cem was sent nothing.
    InstructorStation again(
        QStringLiteral("room1"), false, [](const QString&, const QByteArray&) {}, s.station.ClassFolder());
    for (const char* seat : {"anna", "cem"}) {
        HandInMessage handIn{seat, "room1", "1", {}, ""};
        again.Received(QStringLiteral("vp7/room1/seat/%1/event").arg(QString::fromLatin1(seat)),
                       QByteArray::fromStdString(WriteHandIn(handIn)));
    }
    ASSERT_EQ(again.HandIns()->rowCount(), 2);
    EXPECT_EQ(again.HandIns()->item(0, 4)->text(), QStringLiteral("the hand-in carries no recording"));
    EXPECT_EQ(again.HandIns()->item(1, 4)->text(), QStringLiteral("the station sent this seat no exercise"));
}

// Started before any seat has joined, the lesson's exercise goes to none yet, as the station says; each
// seat that joins gets it once, however many statuses it sends, on its own topic with the seed kept for it.
TEST(ClassroomStation, TheLessonsExerciseGoesToEachSeatAsItJoins) {
    Station s;
    s.station.Send({SeatCommandKind::OpenExercise, kExercise});
    EXPECT_TRUE(s.sent.empty());
    const auto* lesson = s.station.findChild<QLabel*>(QStringLiteral("LessonExercise"));
    EXPECT_TRUE(lesson && lesson->text().contains(QStringLiteral("as it joins")));
    EXPECT_TRUE(s.station.Log().back().endsWith(QStringLiteral("goes to each seat as it joins")));
    for (const char* seat : {"ben", "ben", "cem", "ben", "cem"})
        s.Status(Seat(seat, "AUT"));
    ASSERT_EQ(s.sent.size(), 2u);
    EXPECT_EQ(s.sent[0].first, QStringLiteral("vp7/room1/cmd/seat/ben"));
    const auto seeds = ExerciseSeeds(s);
    ASSERT_EQ(seeds.size(), 2u);
    EXPECT_NE(seeds.at("ben"), seeds.at("cem"));
}

TEST(ClassroomStation, EachHandInIsStoredOnceWithItsReport) {
    Station s;
    HandInMessage handIn{"anna", "room1", "anna-7", {}, "Anna Bähr, 2b"};
    handIn.result.exercise = "Leak <1>";
    handIn.result.checks = {{"found", true}, {"fixed", false}};
    handIn.result.passed = 1;
    handIn.result.total = 2;
    const QByteArray json = QByteArray::fromStdString(WriteHandIn(handIn));
    for (int copy = 0; copy < 2; ++copy) // sent again before its acknowledgement reached the seat
        s.station.Received(QStringLiteral("vp7/room1/seat/anna/event"), json);
    ASSERT_EQ(s.station.HandIns()->rowCount(), 1);
    // Sent nothing by this station and carrying no recording, its claim is no score of the station's.
    EXPECT_EQ(s.station.HandIns()->item(0, 1)->text(), QStringLiteral("Anna Bähr, 2b"));
    EXPECT_EQ(s.station.HandIns()->item(0, 3)->text(), QStringLiteral("not verified"));
    // Another seat's hand-in under the same id is another hand-in.
    HandInMessage other = handIn;
    other.seat = "ben";
    s.station.Received(QStringLiteral("vp7/room1/seat/ben/event"),
                       QByteArray::fromStdString(WriteHandIn(other)));
    ASSERT_EQ(s.station.HandIns()->rowCount(), 2);
    const QDir folder(s.station.ClassFolder());
    const QStringList reports = folder.entryList({QStringLiteral("*-anna-7-*.html")});
    ASSERT_EQ(reports.size(), 2) << reports.join(' ').toStdString();
    const QByteArray html =
        test::Bytes(folder.filePath(reports.filter(QStringLiteral("anna-anna")).value(0)));
    EXPECT_TRUE(html.contains("Leak &lt;1&gt;") && html.contains("not verified") && !html.contains("fixed") &&
                html.contains("Anna Bähr, 2b"))
        << html.data();
    const QList<QByteArray> lines = test::Bytes(folder.filePath(QStringLiteral("results.csv"))).split('\n');
    ASSERT_GE(lines.size(), 2);
    EXPECT_TRUE(lines[0].startsWith("\xEF\xBB\xBF"
                                    "Date,Room,Seat,Trainee,"))
        << lines[0].toStdString();
    EXPECT_TRUE(lines[1].endsWith(
        ",room1,anna,\"Anna Bähr, 2b\",Leak <1>,,,,no: the station sent this seat no exercise\r"))
        << lines[1].toStdString();
    EXPECT_TRUE(s.station.Log().isEmpty());

    // The station opened again the same day keeps the day's results, and stores a hand-in it stored
    // before its restart no second time.
    InstructorStation again(
        QStringLiteral("room1"), false, [](const QString&, const QByteArray&) {}, s.station.ClassFolder());
    handIn.id = "anna-8";
    handIn.result.exercise = "=HYPERLINK(\"x\")"; // a hostile seat's text, which a spreadsheet would run
    again.Received(QStringLiteral("vp7/room1/seat/anna/event"), json);
    again.Received(QStringLiteral("vp7/room1/seat/anna/event"),
                   QByteArray::fromStdString(WriteHandIn(handIn)));
    const QByteArray csv = test::Bytes(folder.filePath(QStringLiteral("results.csv")));
    EXPECT_EQ(csv.count('\n'), 4);
    EXPECT_TRUE(csv.contains(",anna,\"Anna Bähr, 2b\",\"'=HYPERLINK(\"\"x\"\")\",,,,no: ")) << csv.data();
}

// A pipe planted as the results file would hold the station up until someone read it: the hand-in is
// shown and the station says why its row is not stored.
TEST(ClassroomStation, AResultsFileThatIsAPipeHoldsNothingUp) {
    Station s;
    ASSERT_TRUE(QDir().mkpath(s.station.ClassFolder()));
    const QString results = QDir(s.station.ClassFolder()).filePath(QStringLiteral("results.csv"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(results).constData(), 0600), 0);
    HandInMessage handIn{"anna", "room1", "anna-1", {}, ""};
    s.station.Received(QStringLiteral("vp7/room1/seat/anna/event"),
                       QByteArray::fromStdString(WriteHandIn(handIn)));
    EXPECT_EQ(s.station.HandIns()->rowCount(), 1);
    ASSERT_FALSE(s.station.Log().isEmpty());
    EXPECT_TRUE(s.station.Log().back().contains(QStringLiteral("no file")))
        << s.station.Log().back().toStdString();
}

// The faults the station hid are listed and marked on their tiles by the captions the device shows, and
// "Clear all" clears each where it was set: the room's on the room, a seat's on the seat.
TEST(ClassroomStation, ListsTheHiddenFaultsAndClearsThemAll) {
    Station s;
    for (const char* seat : {"anna", "ben"})
        s.Status(Seat(seat, "AUT"));
    s.station.Send({SeatCommandKind::SetHiddenFault, "FrictionSelect", 1, true});
    s.station.SendTo({QStringLiteral("anna")}, {SeatCommandKind::SetHiddenFault, "LeakageSelect", 1, true});
    s.station.SendTo({QStringLiteral("ben")}, {SeatCommandKind::SetHiddenFault, "BlockUpSelect", 1, true});
    s.station.SendTo({QStringLiteral("ben")}, {SeatCommandKind::SetHiddenFault, "BlockUpSelect", 1, false});
    s.Status(Seat("cem", "AUT")); // joined later: the room's fault reached it not
    QListWidget* list = s.station.Faults()->List();
    QStringList listed;
    for (int i = 0; i < list->count(); ++i)
        listed << list->item(i)->text();
    EXPECT_EQ(listed,
              (QStringList{QStringLiteral("All seats · Friction"), QStringLiteral("anna · Leakage")}));
    const struct {
        const char* seat;
        const char* mark;
    } marks[] = {{"anna", "◆ hidden: Friction, Leakage"}, {"ben", "◆ hidden: Friction"}};
    for (const auto& m : marks)
        EXPECT_TRUE(s.station.Tile(QString::fromUtf8(m.seat))->Summary().endsWith(QString::fromUtf8(m.mark)))
            << s.station.Tile(QString::fromUtf8(m.seat))->Summary().toStdString();

    s.sent.clear();
    s.station.findChild<QPushButton*>(QStringLiteral("ClearHiddenFaults"))->click();
    const std::vector<std::pair<QString, std::string>> cleared{
        {QStringLiteral("vp7/room1/cmd/all"), "FrictionSelect"},
        {QStringLiteral("vp7/room1/cmd/seat/anna"), "LeakageSelect"},
    };
    ASSERT_EQ(s.sent.size(), cleared.size());
    for (std::size_t i = 0; i < cleared.size(); ++i) {
        EXPECT_EQ(s.sent[i].first, cleared[i].first);
        const auto read = ReadSeatCommand(s.sent[i].second.toStdString());
        ASSERT_TRUE(std::holds_alternative<SeatCommand>(read));
        EXPECT_EQ(std::get<SeatCommand>(read).text, cleared[i].second);
        EXPECT_FALSE(std::get<SeatCommand>(read).on);
    }
    EXPECT_EQ(list->count(), 0);
    EXPECT_FALSE(s.station.Tile(QStringLiteral("anna"))->Summary().contains(QStringLiteral("hidden")));
}

// A German station says what it notes and lists in German, the note shown a while in its status bar.
TEST(ClassroomStation, AGermanStationSpeaksGerman) {
    QTemporaryDir folder;
    InstructorStation station(
        QStringLiteral("room1"), true, [](const QString&, const QByteArray&) {}, folder.path());
    station.Send({SeatCommandKind::SetHiddenFault, "FrictionSelect", 1, true});
    ASSERT_EQ(station.Faults()->List()->count(), 1);
    EXPECT_EQ(station.Faults()->List()->item(0)->text(), QStringLiteral("Alle Plätze · Reibung"));
    const struct {
        const char* topic;
        const char* note;
    } rows[] = {
        {"vp7/room2/seat/anna/status", "Nicht von einem Platz: vp7/room2/seat/anna/status"},
        {"vp7/room1/seat/anna/event", "anna: ein Zustand, um den niemand bat, nicht behalten"},
    };
    const QByteArray state =
        QByteArray::fromStdString(WriteSeatState({"anna", "room1", "", EncodeStateFile({}), ""}));
    for (const auto& row : rows) {
        station.Received(QString::fromUtf8(row.topic), state);
        EXPECT_TRUE(station.Log().back().endsWith(QString::fromUtf8(row.note)))
            << station.Log().back().toStdString();
        EXPECT_EQ(station.statusBar()->currentMessage(), QString::fromUtf8(row.note));
    }

    // A seat names its exercise by the English title; its tile shows the German one of what was sent.
    SeatStatus anna = Seat("anna", "AUT");
    const auto status = [&] {
        station.Received(QStringLiteral("vp7/room1/seat/anna/status"),
                         QByteArray::fromStdString(WriteSeatStatus(anna)));
    };
    status();
    station.Send(
        {SeatCommandKind::OpenExercise, "title \"Ventil wird langsam\" \"The valve slows down\"\nstart\n"});
    anna.exercise = "The valve slows down";
    anna.checks = 3;
    status();
    EXPECT_EQ(station.Tile(QStringLiteral("anna"))->Summary().toStdString(),
              "anna; verbunden; |; AUT; Ventil wird langsam; 0/3 erfüllt; ◆ verdeckt: Reibung");
    // Handed in, the tile says so with the station's score in place of the checks the seat goes on
    // sending; the next exercise sent brings them back.
    HandInMessage handIn{"anna", "room1", "anna-1", {}, "Anna"};
    handIn.result.exercise = anna.exercise;
    station.Received(QStringLiteral("vp7/room1/seat/anna/event"),
                     QByteArray::fromStdString(WriteHandIn(handIn)));
    EXPECT_EQ(station.Tile(QStringLiteral("anna"))->Summary().toStdString(),
              "anna; verbunden; |; AUT; Ventil wird langsam; abgegeben · nicht geprüft; ◆ verdeckt: Reibung");
    station.Send(
        {SeatCommandKind::OpenExercise, "title \"Ventil wird langsam\" \"The valve slows down\"\nstart\n"});
    EXPECT_EQ(station.Tile(QStringLiteral("anna"))->Summary().toStdString(),
              "anna; verbunden; |; AUT; Ventil wird langsam; 0/3 erfüllt; ◆ verdeckt: Reibung");
}

// Every fault an instructor may hide has a caption of the device's own in both languages.
TEST(ClassroomStation, NamesEachHideableFaultByItsCaption) {
    for (const std::string_view fault : kHideableFaults)
        for (const bool german : {true, false}) {
            const QString caption = HiddenFaults::Caption(fault, german);
            EXPECT_FALSE(caption.isEmpty()) << fault;
            EXPECT_FALSE(caption.contains(QStringLiteral("Select"))) << fault;
        }
}

// A state is kept only from a seat asked for one, once, and only when it reads whole as a state file.
TEST(ClassroomStation, KeepsTheStateOfASeatItAskedAsAFileThatLoads) {
    Station s;
    for (const char* seat : {"anna", "ben", "cem", "dora"})
        s.Status(Seat(seat, "AUT"));
    s.station.Choose({QStringLiteral("anna"), QStringLiteral("ben"), QStringLiteral("cem")});
    s.station.findChild<QAction*>(QStringLiteral("savestate"))->trigger();
    ASSERT_EQ(s.sent.size(), 3u);
    EXPECT_EQ(std::get<SeatCommand>(ReadSeatCommand(s.sent[0].second.toStdString())).kind,
              SeatCommandKind::SaveState);
    const std::string file = EncodeStateFile({0, "1.0", 0, "snapshot", "start\n"});
    std::string damaged = file;
    damaged.back() ^= 1;
    const struct {
        const char* seat;
        SeatStateMessage answer;
        bool kept;
        const char* noted; // part of the log's line
    } rows[] = {
        {"anna", {"anna", "room1", "", file, ""}, true, "kept in"},
        {"anna", {"anna", "room1", "", file, ""}, false, "nobody asked"}, // the second answer
        {"dora", {"dora", "room1", "", file, ""}, false, "nobody asked"},
        {"ben", {"ben", "room1", "", damaged, ""}, false, "not kept"},
        {"cem", {"cem", "room1", "", "", "a dialog is open on the seat"}, false, "a dialog is open"},
    };
    const QDir folder(s.station.ClassFolder());
    for (const auto& row : rows) {
        const qsizetype before = folder.entryList({QStringLiteral("*.vp7state")}).size();
        s.station.Received(QStringLiteral("vp7/room1/seat/%1/event").arg(QString::fromUtf8(row.seat)),
                           QByteArray::fromStdString(WriteSeatState(row.answer)));
        EXPECT_EQ(folder.entryList({QStringLiteral("*.vp7state")}).size(), before + row.kept) << row.seat;
        ASSERT_FALSE(s.station.Log().isEmpty());
        EXPECT_TRUE(s.station.Log().back().contains(QString::fromUtf8(row.noted)))
            << s.station.Log().back().toStdString();
    }
    const QStringList kept = folder.entryList({QStringLiteral("anna-*.vp7state")});
    ASSERT_EQ(kept.size(), 1);
    EXPECT_EQ(test::Bytes(folder.filePath(kept[0])).toStdString(), file);
    EXPECT_EQ(QFileInfo(folder.filePath(kept[0])).permissions() &
                  (QFileDevice::ReadOther | QFileDevice::ReadGroup),
              QFileDevice::Permissions());
}

// The station asks before it closes only while a seat is connected, and stays open when told so.
TEST(ClassroomStation, ClosingAsksOnlyWhileSeatsAreConnected) {
    const struct {
        std::vector<bool> online; // the seats' last statuses
        bool answer;
        int asked; // -1: not asked
        bool closed;
    } rows[] = {
        {{}, false, -1, true},
        {{false, false}, false, -1, true},
        {{true, false, true}, false, 2, false},
        {{true}, true, 1, true},
    };
    for (const auto& row : rows) {
        Station s;
        int asked = -1;
        s.station.SeatActions()->SetCloseAsker([&](int online) {
            asked = online;
            return row.answer;
        });
        for (std::size_t i = 0; i < row.online.size(); ++i) {
            SeatStatus status = Seat(i == 0 ? "anna" : i == 1 ? "ben" : "cem", "AUT");
            status.online = row.online[i];
            s.Status(status);
        }
        s.station.show();
        EXPECT_EQ(s.station.close(), row.closed);
        EXPECT_EQ(asked, row.asked);
    }
}

TEST(ClassroomLiveView, ShowsAFrameWholeAndPassesOverWhatIsNone) {
    const auto encoded = [](QSize size, const char* format) {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, format);
        return bytes;
    };
    LiveView view(QStringLiteral("anna"), false, nullptr);
    const struct {
        QByteArray bytes;
        bool taken;
    } frames[] = {
        {"not a picture", false},
        {encoded({kLargestFrameSide + 1, 8}, "png"), false}, // too large by its header alone
        {encoded({16, 16}, "bmp"), false},
        {encoded({600, 300}, "jpeg"), true},
    };
    for (const auto& frame : frames)
        EXPECT_EQ(view.TakeFrame(frame.bytes), frame.taken) << frame.bytes.left(16).toHex().data();
    // The window opens to show the frame whole; made smaller, the frame shrinks with it.
    const QLabel* picture = view.findChild<QLabel*>();
    EXPECT_GE(picture->height(), 300);
    view.resize(400, 300);
    EXPECT_LE(picture->pixmap().deviceIndependentSize().width(), picture->width());
}
