// SPDX-License-Identifier: GPL-3.0-or-later
#include "classroom/RoomFile.h"

#include "classroom/JsonLimits.h"
#include "classroom/RoomNames.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <set>

namespace vp7 {
namespace {

constexpr int kLargestPort = 65535;
constexpr std::size_t kFingerprintLength = 64;
constexpr std::size_t kLongestPassword = 256;
constexpr std::size_t kLongestText = 253; // an address, a time: a host name is the longest of them

using Json = nlohmann::json;

// Reading stops at the first fault; `why` names the member as the file spells it.
struct Reader {
    std::string why;

    bool Fail(std::string text) {
        if (why.empty()) why = std::move(text);
        return false;
    }

    const Json* Object(const Json& in, const char* name, const std::string& path) {
        const auto it = in.find(name);
        if (it == in.end() || !it->is_object()) {
            Fail(path + ": missing or not an object");
            return nullptr;
        }
        return &*it;
    }

    bool Text(const Json& in, const char* name, const std::string& path, std::size_t longest,
              std::string& out) {
        const auto text = StringMember(in, name, longest);
        if (!text) return Fail(path + ": missing, not a string or longer than " + std::to_string(longest));
        // A line of printable text: it is shown, printed and handed to the broker as it stands.
        if (std::any_of(text->begin(), text->end(),
                        [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }))
            return Fail(path + ": holds control characters");
        out = *text;
        return true;
    }

    bool Flag(const Json& in, const char* name, const std::string& path, bool& out) {
        const auto flag = BoolMember(in, name);
        if (!flag) return Fail(path + ": missing or not true or false");
        out = *flag;
        return true;
    }

    bool Port(const Json& in, const char* name, const std::string& path, int& out) {
        const auto number = NumberMember(in, name);
        if (!number || *number != std::floor(*number) || *number < 1 || *number > kLargestPort)
            return Fail(path + ": missing or no port from 1 to " + std::to_string(kLargestPort));
        out = static_cast<int>(*number);
        return true;
    }
};

bool LowerHex(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

// "seat07": the name a seat of that number has, and no other spelling of it.
std::optional<int> SeatNumber(std::string_view name) {
    for (int number = 1; number <= kLargestSeatNumber; ++number)
        if (name == SeatNameOf(number)) return number;
    return std::nullopt;
}

bool ReadSeats(const Json& list, RoomFile& room, Reader& reader) {
    if (!list.is_array() || list.empty() || list.size() > static_cast<std::size_t>(kLargestSeatNumber))
        return reader.Fail("seats: missing, or not a list of 1 to " + std::to_string(kLargestSeatNumber) +
                           " seats");
    // A code alone is read against the room, as a trainee's is at a desktop that knows the room.
    JoinTicket known;
    known.room = room.room;
    known.address = room.address;
    std::set<std::string> seen;
    for (std::size_t i = 0; i < list.size(); ++i) {
        const std::string path = "seats[" + std::to_string(i) + "]";
        if (!list[i].is_object()) return reader.Fail(path + ": not an object");
        RoomSeat seat;
        std::string code;
        if (!reader.Text(list[i], "seat", path + ".seat", kRoomNameMaxBytes, seat.seat) ||
            !reader.Text(list[i], "code", path + ".code", kLongestJoinText, code))
            return false;
        if (!SeatNumber(seat.seat))
            return reader.Fail(path + ".seat '" + seat.seat + "': not seat01 to seat" +
                               std::to_string(kLargestSeatNumber));
        if (!seen.insert(seat.seat).second)
            return reader.Fail(path + ".seat '" + seat.seat + "': listed twice");
        const JoinReading read = ReadJoin(code, known);
        if (!read.ticket || code.find("://") != std::string::npos)
            return reader.Fail(path + ".code '" + code +
                               "': " + std::string(JoinProblemText(read.problem, false)));
        if (read.ticket->seat != seat.seat)
            return reader.Fail(path + ".code '" + code + "': a code of " + read.ticket->seat + ", not of " +
                               seat.seat);
        seat.password = read.ticket->password;
        room.seats.push_back(std::move(seat));
    }
    return true;
}

} // namespace

std::variant<RoomFile, std::string> ReadRoomFile(std::string_view text) {
    std::string why;
    const auto parsed = ParseBoundedObject(text, kLargestRoomFile, why);
    if (!parsed) return "the room file is " + why;
    const Json& json = *parsed;
    Reader reader;
    RoomFile room;
    std::string format;
    if (!reader.Text(json, "format", "format", kLongestText, format)) return reader.why;
    if (format != kRoomFileFormat) return "format '" + format + "': not " + std::string(kRoomFileFormat);
    if (!reader.Text(json, "room", "room", kRoomNameMaxBytes, room.room)) return reader.why;
    if (const auto problem = RoomNameProblem("room", room.room)) return *problem;
    const Json* web = reader.Object(json, "web", "web");
    const Json* mqtt = reader.Object(json, "mqtt", "mqtt");
    const Json* instructor = reader.Object(json, "instructor", "instructor");
    const auto seats = json.find("seats");
    const bool read =
        web && mqtt && instructor && reader.Text(json, "address", "address", kLongestText, room.address) &&
        reader.Port(*web, "port", "web.port", room.webPort) &&
        reader.Flag(*web, "tls", "web.tls", room.webTls) &&
        reader.Port(*mqtt, "port", "mqtt.port", room.mqttPort) &&
        reader.Flag(*mqtt, "tls", "mqtt.tls", room.mqttTls) &&
        reader.Text(*mqtt, "fingerprint", "mqtt.fingerprint", kFingerprintLength, room.fingerprint) &&
        reader.Text(*instructor, "user", "instructor.user", kRoomNameMaxBytes, room.instructorUser) &&
        reader.Text(*instructor, "password", "instructor.password", kLongestPassword,
                    room.instructorPassword) &&
        reader.Text(json, "created", "created", kLongestText, room.created) &&
        (seats != json.end() || reader.Fail("seats: missing")) && ReadSeats(*seats, room, reader);
    if (!read) return reader.why;
    // Host names are case-blind, and a link is read in lower case.
    std::transform(room.address.begin(), room.address.end(), room.address.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    if (!room.fingerprint.empty() &&
        (room.fingerprint.size() != kFingerprintLength || !LowerHex(room.fingerprint)))
        return "mqtt.fingerprint: not 64 lower-case hex signs";
    // A broker spoken to with TLS is checked against the room's authority, which only its fingerprint names.
    if (room.mqttTls && room.fingerprint.empty()) return "mqtt.fingerprint: empty, but the broker speaks TLS";
    if (const auto problem = RoomNameProblem("instructor's user", room.instructorUser)) return *problem;
    if (room.instructorPassword.empty()) return "instructor.password: empty";
    // Every seat's link must read back as the ticket it was written from: the address too.
    for (const RoomSeat& seat : room.seats) {
        const JoinTicket ticket = SeatTicket(room, seat);
        const JoinReading again = ReadJoin(WriteJoinLink(ticket));
        if (again.ticket != ticket)
            return "address '" + room.address + "': " + std::string(JoinProblemText(again.problem, false));
    }
    return room;
}

std::string WriteRoomFile(const RoomFile& room) {
    Json seats = Json::array();
    for (const RoomSeat& seat : room.seats)
        seats.push_back({{"seat", seat.seat}, {"code", SeatCode(seat)}});
    const Json json = {
        {"format", kRoomFileFormat},
        {"room", room.room},
        {"address", room.address},
        {"web", {{"port", room.webPort}, {"tls", room.webTls}}},
        {"mqtt", {{"port", room.mqttPort}, {"tls", room.mqttTls}, {"fingerprint", room.fingerprint}}},
        {"instructor", {{"user", room.instructorUser}, {"password", room.instructorPassword}}},
        {"seats", seats},
        {"created", room.created}};
    return json.dump(1) + "\n";
}

std::string SeatCode(const RoomSeat& seat) {
    return WriteSeatCode(SeatNumber(seat.seat).value_or(0), seat.password);
}

JoinTicket SeatTicket(const RoomFile& room, const RoomSeat& seat) {
    JoinTicket ticket;
    ticket.address = room.address;
    ticket.webPort = room.webPort;
    ticket.webTls = room.webTls;
    ticket.mqttPort = room.mqttPort;
    ticket.mqttTls = room.mqttTls;
    ticket.fingerprint = room.fingerprint;
    ticket.room = room.room;
    ticket.seat = seat.seat;
    ticket.password = seat.password;
    return ticket;
}

} // namespace vp7
