// SPDX-License-Identifier: GPL-3.0-or-later
#include "classroom/RoomFile.h"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <functional>
#include <string>

using namespace vp7;
using Json = nlohmann::json;

namespace {

const std::string kFingerprint = "0123456789abcdef0123456789abcdef0123456789abcdef0123456789abcdef";

RoomFile ThreeSeats() {
    RoomFile room;
    room.room = "room1";
    room.address = "trainer-pc";
    room.webPort = 8080;
    room.mqttPort = 8883;
    room.mqttTls = true;
    room.fingerprint = kFingerprint;
    room.instructorUser = "instructor";
    room.instructorPassword = "s3cret-of-the-trainer";
    room.seats = {{"seat01", "K7QFM2XA"}, {"seat02", "ZZZZ2222"}, {"seat03", "ABCDEFGH"}};
    room.created = "2026-12-09T08:00:00+00:00";
    return room;
}

} // namespace

// A room file as the set-up writes it, each part broken in turn: read, or refused with the part named.
TEST(RoomFile, ReadsTheRoomOrNamesWhatIsWrong) {
    struct Row {
        const char* what;
        std::function<void(Json&)> change;
        std::string why; // empty: read
    };
    const Row rows[] = {
        {"as written", [](Json&) {}, ""},
        {"address in capitals", [](Json& j) { j["address"] = "Trainer-PC"; }, ""},
        {"an IPv6 address", [](Json& j) { j["address"] = "[fd00::1]"; }, ""},
        {"no TLS and no fingerprint",
         [](Json& j) { j["mqtt"] = Json::parse(R"({"port":1883,"tls":false,"fingerprint":""})"); }, ""},
        {"a key of a later version", [](Json& j) { j["later"] = Json::parse("[1,2]"); }, ""},
        {"a code typed in lower case", [](Json& j) { j["seats"][1]["code"] = "02-zzzz-2222"; }, ""},
        {"another format", [](Json& j) { j["format"] = "vp7-room 2"; }, "format 'vp7-room 2'"},
        {"a room name with a slash", [](Json& j) { j["room"] = "a/b"; }, "room name"},
        {"a number for the room", [](Json& j) { j["room"] = 7; }, "room: missing"},
        {"an address with a user", [](Json& j) { j["address"] = "me@trainer-pc"; }, "address 'me@"},
        {"an address ending the link", [](Json& j) { j["address"] = "pc/#join=x"; }, "address"},
        {"web port 0", [](Json& j) { j["web"]["port"] = 0; }, "web.port"},
        {"web port 65536", [](Json& j) { j["web"]["port"] = 65536; }, "web.port"},
        {"a port with a fraction", [](Json& j) { j["mqtt"]["port"] = 8883.5; }, "mqtt.port"},
        {"a port as text", [](Json& j) { j["mqtt"]["port"] = "8883"; }, "mqtt.port"},
        {"tls as a number", [](Json& j) { j["web"]["tls"] = 1; }, "web.tls"},
        {"web as a list", [](Json& j) { j["web"] = {1}; }, "web: missing or not an object"},
        {"TLS without fingerprint", [](Json& j) { j["mqtt"]["fingerprint"] = ""; },
         "mqtt.fingerprint: empty"},
        {"fingerprint in capitals", [](Json& j) { j["mqtt"]["fingerprint"] = std::string(64, 'A'); },
         "mqtt.fingerprint: not 64"},
        {"fingerprint too short", [](Json& j) { j["mqtt"]["fingerprint"] = "abcd"; }, "mqtt.fingerprint"},
        {"fingerprint too long", [](Json& j) { j["mqtt"]["fingerprint"] = kFingerprint + "0"; },
         "mqtt.fingerprint"},
        {"no instructor's password", [](Json& j) { j["instructor"]["password"] = ""; }, "password: empty"},
        {"a password with a line break", [](Json& j) { j["instructor"]["password"] = "a\nb"; },
         "control characters"},
        {"an instructor named with a wildcard", [](Json& j) { j["instructor"]["user"] = "#"; }, "user"},
        {"no seats", [](Json& j) { j["seats"] = Json::array(); }, "seats: missing, or not"},
        {"seats missing", [](Json& j) { j.erase("seats"); }, "seats: missing"},
        {"100 seats", [](Json& j) { j["seats"] = std::vector<Json>(100, j["seats"][0]); },
         "seats: missing, or not"},
        {"a seat as text", [](Json& j) { j["seats"][0] = "seat01"; }, "seats[0]: not an object"},
        {"seat 00",
         [](Json& j) { j["seats"][0] = Json::parse(R"({"seat":"seat00","code":"00-K7QF-M2XA"})"); },
         "seats[0].seat 'seat00'"},
        {"seat 1 in one digit", [](Json& j) { j["seats"][0]["seat"] = "seat1"; }, "seats[0].seat 'seat1'"},
        {"seat 100", [](Json& j) { j["seats"][0]["seat"] = "seat100"; }, "seats[0].seat"},
        {"a seat twice", [](Json& j) { j["seats"][2] = j["seats"][1]; },
         "seats[2].seat 'seat02': listed twice"},
        {"another seat's code", [](Json& j) { j["seats"][0]["code"] = "02-K7QF-M2XA"; },
         "seats[0].code '02-K7QF-M2XA': a code of seat02"},
        {"a code with an O", [](Json& j) { j["seats"][0]["code"] = "01-K7QF-M2XO"; }, "seats[0].code"},
        {"a link for a code", [](Json& j) { j["seats"][0]["code"] = "http://pc/#join=room1/01-K7QF-M2XA"; },
         "seats[0].code"},
        {"no creation time", [](Json& j) { j.erase("created"); }, "created"},
    };
    const std::string good = WriteRoomFile(ThreeSeats());
    for (const Row& row : rows) {
        Json json = Json::parse(good);
        row.change(json);
        const auto read = ReadRoomFile(json.dump());
        if (row.why.empty()) {
            EXPECT_TRUE(std::holds_alternative<RoomFile>(read))
                << row.what << ": " << (read.index() ? std::get<std::string>(read) : "");
        } else {
            ASSERT_TRUE(std::holds_alternative<std::string>(read)) << row.what;
            EXPECT_NE(std::get<std::string>(read).find(row.why), std::string::npos)
                << row.what << ": " << std::get<std::string>(read);
        }
    }
}

TEST(RoomFile, ReadsBackWhatItWrote) {
    const RoomFile room = ThreeSeats();
    const auto read = ReadRoomFile(WriteRoomFile(room));
    ASSERT_TRUE(std::holds_alternative<RoomFile>(read)) << std::get<std::string>(read);
    EXPECT_EQ(std::get<RoomFile>(read), room);
    EXPECT_EQ(SeatCode(room.seats[0]), "01-K7QF-M2XA");
    EXPECT_EQ(WriteJoinLink(SeatTicket(room, room.seats[1])),
              "http://trainer-pc:8080/#join=room1/02-ZZZZ-2222&mqtt=8883&tls=1&fp=" + kFingerprint);
}

// What is no room file at all is refused before any part is looked at.
TEST(RoomFile, RefusesWhatIsNoRoomFile) {
    const struct {
        std::string text, why;
    } rows[] = {
        {"", "not JSON"},
        {"[1,2]", "not a JSON object"},
        {std::string(1000, '[') + std::string(1000, ']'), "nested too deeply"},
        {"{\"format\":\"vp7-room 1\",\"pad\":\"" + std::string(kLargestRoomFile, 'x') + "\"}", "larger than"},
        {"{\"format\":\"vp7-room 1\"", "not JSON"},
        {"{}", "format: missing"},
    };
    for (const auto& row : rows) {
        const auto read = ReadRoomFile(row.text);
        ASSERT_TRUE(std::holds_alternative<std::string>(read)) << row.text.substr(0, 40);
        EXPECT_NE(std::get<std::string>(read).find(row.why), std::string::npos)
            << std::get<std::string>(read);
    }
}
