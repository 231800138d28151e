// SPDX-License-Identifier: GPL-3.0-or-later
#include "classroom/JoinTicket.h"
#include "classroom/RoomFinder.h"

#include <gtest/gtest.h>

#include <string>

using namespace vp7;

namespace {

const std::string kFingerprint(64, 'a');
const std::string kNonce(32, 'c');
const std::string kMac(64, 'e');

// The room's ticket for `seat`: its page and its broker over TLS.
JoinTicket Room(const std::string& seat, const std::string& password) {
    return {"trainer-pc", 8443, true, 8883, true, kFingerprint, "room1", seat, password};
}

} // namespace

// What a trainee types or scans, read: the ticket it gives, or the word why not.
TEST(JoinTicket, ReadsCodesAndLinksAndSaysWhyNot) {
    const JoinTicket known = Room("seat01", "AAAAAAAA");
    const std::string link =
        "https://Trainer-PC:8443/#join=room1/07-K7QF-M2XA&mqtt=8883&tls=1&fp=" + kFingerprint;
    struct Row {
        std::string text;
        bool knowsRoom;
        JoinProblem problem;
        std::string seat, password; // when read
    };
    const Row rows[] = {
        {"07-K7QF-M2XA", true, JoinProblem::None, "seat07", "K7QFM2XA"},
        {"  07 k7qf m2xa\n", true, JoinProblem::None, "seat07", "K7QFM2XA"},
        {"07K7QFM2XA", true, JoinProblem::None, "seat07", "K7QFM2XA"},
        {"99-ZZZZ-2222", true, JoinProblem::None, "seat99", "ZZZZ2222"},
        {"07-K7QF-M2XA", false, JoinProblem::RoomUnknown, "", ""},
        {"00-K7QF-M2XA", true, JoinProblem::SeatOutOfRange, "", ""},
        {"07-K7QF-M2X0", true, JoinProblem::NotACode, "", ""}, // 0 is no sign of a code
        {"07-K7QF-M2XAB", true, JoinProblem::NotACode, "", ""},
        {"7-K7QF-M2XA", true, JoinProblem::NotACode, "", ""},
        {"", true, JoinProblem::NotACode, "", ""},
        {std::string(2000, '7'), true, JoinProblem::TooLong, "", ""},
        {link, false, JoinProblem::None, "seat07", "K7QFM2XA"},
        {"ftp://trainer-pc/#join=room1/07-K7QF-M2XA", false, JoinProblem::NotOurLink, "", ""},
        {"http://trainer-pc:8080/?join=room1/07-K7QF-M2XA", false, JoinProblem::NotOurLink, "", ""},
        {"http://trainer-pc:8080/#join=07-K7QF-M2XA", false, JoinProblem::NotOurLink, "", ""},
        {"http://trainer-pc:0/#join=room1/07-K7QF-M2XA", false, JoinProblem::BadPort, "", ""},
        {"http://trainer-pc:80x/#join=room1/07-K7QF-M2XA", false, JoinProblem::BadPort, "", ""},
        {"http://trainer-pc/#join=room1/07-K7QF-M2XA&mqtt=70000", false, JoinProblem::BadPort, "", ""},
        {"http://user@trainer-pc/#join=room1/07-K7QF-M2XA", false, JoinProblem::BadAddress, "", ""},
        {"http://trainer pc/#join=room1/07-K7QF-M2XA", false, JoinProblem::BadAddress, "", ""},
        {"http://trainer-pc/#join=room+1/07-K7QF-M2XA", false, JoinProblem::BadRoom, "", ""},
        {"http://trainer-pc/#join=room1/07-K7QF-M2XA&tls=1", false, JoinProblem::BadFingerprint, "", ""},
        {"http://trainer-pc/#join=room1/07-K7QF-M2XA&tls=1&fp=abc", false, JoinProblem::BadFingerprint, "",
         ""},
        {"http://trainer-pc/#join=room1/07-K7QF-M2XA&tls=2", false, JoinProblem::NotOurLink, "", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text.substr(0, 80));
        const JoinReading read = ReadJoin(row.text, row.knowsRoom ? std::optional(known) : std::nullopt);
        EXPECT_EQ(read.problem, row.problem);
        EXPECT_EQ(read.ticket.has_value(), row.problem == JoinProblem::None);
        if (read.ticket) {
            EXPECT_EQ(read.ticket->seat, row.seat);
            EXPECT_EQ(read.ticket->password, row.password);
        }
        EXPECT_EQ(JoinProblemText(row.problem, true).empty(), row.problem == JoinProblem::None);
    }
}

// The link the class sheet prints reads back as the ticket it was made from, its defaults filled in
// where it leaves them out, an IPv6 address and a plain room among them; a code from the link alone
// joins the same room.
TEST(JoinTicket, LinksReadBackAsTheirTickets) {
    JoinTicket plain = Room("seat03", "23456789");
    plain.webTls = false;
    plain.webPort = 8080;
    plain.mqttTls = false;
    plain.mqttPort = 1883;
    plain.fingerprint.clear();
    JoinTicket v6 = Room("seat12", "ZZZZZZZZ");
    v6.address = "[fd00::1]";
    for (const JoinTicket& ticket : {Room("seat07", "K7QFM2XA"), plain, v6}) {
        const std::string link = WriteJoinLink(ticket);
        SCOPED_TRACE(link);
        const JoinReading read = ReadJoin(link);
        ASSERT_TRUE(read.ticket);
        EXPECT_EQ(*read.ticket, ticket);
        const JoinReading code =
            ReadJoin(WriteSeatCode(std::stoi(ticket.seat.substr(4)), ticket.password), *read.ticket);
        ASSERT_TRUE(code.ticket);
        EXPECT_EQ(*code.ticket, ticket);
    }
    const JoinReading defaults =
        ReadJoin("https://trainer-pc/#join=room1/07-K7QF-M2XA&tls=1&fp=" + kFingerprint);
    ASSERT_TRUE(defaults.ticket);
    EXPECT_EQ(defaults.ticket->webPort, 443);
    EXPECT_EQ(defaults.ticket->mqttPort, 8883);
}

// A question names a seat a code can name and a nonce of its length; anything else is no question.
TEST(RoomFinder, AQuestionIsReadOnlyWhenWhole) {
    const std::string good = "VP7-FIND 1 seat07 " + kNonce;
    ASSERT_EQ(ReadFinderQuestion(good), (FinderQuestion{"seat07", kNonce}));
    EXPECT_EQ(WriteFinderQuestion({"seat07", kNonce}), good);
    for (const std::string& bad :
         {"VP7-FIND 2 seat07 " + kNonce, "VP7-FIND 1 seat00 " + kNonce, "VP7-FIND 1 seat100 " + kNonce,
          "VP7-FIND 1 desk07 " + kNonce, "VP7-FIND 1 seat07 " + kNonce.substr(1),
          "VP7-FIND 1 seat07 " + std::string(32, 'C'), "VP7-FIND 1 seat07 " + kNonce + " ",
          std::string("VP7-FIND 1 seat07"), "VP7-FIND 1 seat07 " + std::string(2000, 'c'), std::string()})
        EXPECT_FALSE(ReadFinderQuestion(bad)) << bad;
}

// An answer carries the seat's link with its code left out, and reads back as the room's ticket without
// the password; the MAC is over all before it. A link with a code in it, or none, is no answer.
TEST(RoomFinder, AnAnswerNeverCarriesTheCodeAndReadsBackAsTheRoom) {
    std::string macOver;
    const std::string answer =
        WriteFinderAnswer(kNonce, Room("seat07", "K7QFM2XA"), [&](const std::string& part) {
            macOver = part;
            return kMac;
        });
    EXPECT_EQ(answer.find("K7QF"), std::string::npos) << answer;
    const auto read = ReadFinderAnswer(answer);
    ASSERT_TRUE(read);
    JoinTicket expected = Room("seat07", "K7QFM2XA");
    expected.password.clear();
    EXPECT_EQ(read->room, expected);
    EXPECT_EQ(read->nonce, kNonce);
    EXPECT_EQ(read->mac, kMac);
    EXPECT_EQ(read->signed_, macOver);
    EXPECT_EQ(answer, macOver + " " + kMac);

    const std::string link = macOver.substr(std::string("VP7-ROOM 1 ").size() + kNonce.size() + 1);
    for (const std::string& bad :
         {"VP7-ROOM 1 " + kNonce + " " + link + " " + kMac.substr(1),
          "VP7-ROOM 1 " + kNonce + " " + link + " " + std::string(64, 'E'),
          "VP7-ROOM 1 " + kNonce + " " + kMac, "VP7-ROOM 1 " + kNonce.substr(2) + " " + link + " " + kMac,
          "VP7-ROOM 1 " + kNonce + " 07-2222-2222 " + kMac,
          "VP7-ROOM 1 " + kNonce + " " + WriteJoinLink(Room("seat07", "K7QFM2XA")) + " " + kMac,
          "VP7-ROOM 1 " + kNonce + " " + link + std::string(2000, 'x') + " " + kMac,
          std::string("VP7-ROOM 1 "), std::string(" ")})
        EXPECT_FALSE(ReadFinderAnswer(bad)) << bad;
}

// Each room's seats have keys of their own: the salt is the room's authority, or its name without one.
TEST(RoomFinder, TheKeysSaltIsTheRoomsOwn) {
    JoinTicket seat = Room("seat07", "K7QFM2XA");
    const std::string withAuthority = FinderKeySalt(seat);
    seat.fingerprint = std::string(64, 'b');
    EXPECT_NE(FinderKeySalt(seat), withAuthority);
    seat.fingerprint.clear();
    EXPECT_NE(FinderKeySalt(seat).find("room1\nseat07"), std::string::npos);
}
