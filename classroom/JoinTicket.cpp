// SPDX-License-Identifier: GPL-3.0-or-later
#include "classroom/JoinTicket.h"

#include "classroom/RoomNames.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>

namespace vp7 {
namespace {

constexpr int kHttpPort = 80, kHttpsPort = 443;
constexpr int kMqttPort = 1883, kMqttTlsPort = 8883;
constexpr int kLargestPort = 65535;
constexpr std::size_t kFingerprintLength = 64;
constexpr std::size_t kLongestAddress = 253; // the longest host name there is
constexpr std::string_view kJoinKey = "join=";

char Upper(char c) {
    return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::optional<int> Number(std::string_view text, int lowest, int highest) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    if (value < lowest || value > highest) return std::nullopt;
    return value;
}

struct Code {
    int seat = 0;
    std::string password;
};

// "07-K7QF-M2XA", "07 k7qf m2xa", "07K7QFM2XA": two digits, then the eight signs.
std::optional<Code> ReadCode(std::string_view text, JoinProblem& problem) {
    std::string signs;
    for (char c : text) {
        if (c == '-' || c == ' ' || c == '\t') continue;
        signs += Upper(c);
    }
    problem = JoinProblem::NotACode;
    if (signs.size() != 2 + kCodePasswordLength) return std::nullopt;
    if (!std::isdigit(static_cast<unsigned char>(signs[0])) ||
        !std::isdigit(static_cast<unsigned char>(signs[1])))
        return std::nullopt;
    const std::string password = signs.substr(2);
    if (!std::all_of(password.begin(), password.end(),
                     [](char c) { return kCodeAlphabet.find(c) != std::string_view::npos; }))
        return std::nullopt;
    const int seat = (signs[0] - '0') * 10 + (signs[1] - '0');
    if (seat < 1 || seat > kLargestSeatNumber) {
        problem = JoinProblem::SeatOutOfRange;
        return std::nullopt;
    }
    problem = JoinProblem::None;
    return Code{seat, password};
}

// A host name of letters, digits, '-' and '.', an IPv4 address (the same signs), or an IPv6 one in
// brackets: nothing that could end the link's authority or reach another part of a URL.
bool GoodAddress(std::string_view address) {
    if (address.empty() || address.size() > kLongestAddress) return false;
    if (address.front() == '[')
        return address.size() > 2 && address.back() == ']' &&
               std::all_of(address.begin() + 1, address.end() - 1, [](char c) {
                   return std::isxdigit(static_cast<unsigned char>(c)) || c == ':' || c == '.';
               });
    return std::all_of(address.begin(), address.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '.';
    });
}

JoinReading Refused(JoinProblem problem) {
    return {std::nullopt, problem};
}

JoinReading ReadLink(std::string_view link) {
    JoinTicket ticket;
    const std::size_t schemeEnd = link.find("://");
    const std::string scheme = Lower(link.substr(0, schemeEnd));
    if (scheme != "http" && scheme != "https") return Refused(JoinProblem::NotOurLink);
    ticket.webTls = scheme == "https";
    std::string_view rest = link.substr(schemeEnd + 3);
    const std::size_t hash = rest.find('#');
    if (hash == std::string_view::npos) return Refused(JoinProblem::NotOurLink);
    const std::string_view fragment = rest.substr(hash + 1);
    std::string_view authority = rest.substr(0, std::min(rest.find('/'), hash));
    // The port follows the last colon outside an IPv6 address's brackets.
    const std::size_t colon = authority.rfind(':');
    ticket.webPort = ticket.webTls ? kHttpsPort : kHttpPort;
    if (colon != std::string_view::npos && authority.find(']', colon) == std::string_view::npos) {
        const auto port = Number(authority.substr(colon + 1), 1, kLargestPort);
        if (!port) return Refused(JoinProblem::BadPort);
        ticket.webPort = *port;
        authority = authority.substr(0, colon);
    }
    if (!GoodAddress(authority)) return Refused(JoinProblem::BadAddress);
    ticket.address = Lower(authority);

    std::optional<std::string_view> join, mqtt, tls, fingerprint;
    for (std::size_t at = 0; at <= fragment.size();) {
        const std::size_t end = std::min(fragment.find('&', at), fragment.size());
        const std::string_view part = fragment.substr(at, end - at);
        const std::size_t equals = part.find('=');
        const std::string_view key = part.substr(0, equals);
        const std::string_view value = equals == std::string_view::npos ? "" : part.substr(equals + 1);
        if (key == kJoinKey.substr(0, kJoinKey.size() - 1))
            join = value;
        else if (key == "mqtt")
            mqtt = value;
        else if (key == "tls")
            tls = value;
        else if (key == "fp")
            fingerprint = value;
        at = end + 1;
    }
    if (!join) return Refused(JoinProblem::NotOurLink);
    const std::size_t slash = join->rfind('/');
    if (slash == std::string_view::npos) return Refused(JoinProblem::NotOurLink);
    ticket.room = std::string(join->substr(0, slash));
    if (RoomNameProblem("room", ticket.room)) return Refused(JoinProblem::BadRoom);
    JoinProblem problem = JoinProblem::None;
    const auto code = ReadCode(join->substr(slash + 1), problem);
    if (!code) return Refused(problem);
    ticket.seat = SeatNameOf(code->seat);
    ticket.password = code->password;

    if (tls && *tls != "0" && *tls != "1") return Refused(JoinProblem::NotOurLink);
    ticket.mqttTls = tls == "1";
    ticket.mqttPort = ticket.mqttTls ? kMqttTlsPort : kMqttPort;
    if (mqtt) {
        const auto port = Number(*mqtt, 1, kLargestPort);
        if (!port) return Refused(JoinProblem::BadPort);
        ticket.mqttPort = *port;
    }
    if (fingerprint) {
        ticket.fingerprint = Lower(*fingerprint);
        const bool hex = std::all_of(ticket.fingerprint.begin(), ticket.fingerprint.end(),
                                     [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); });
        if (!hex || ticket.fingerprint.size() != kFingerprintLength)
            return Refused(JoinProblem::BadFingerprint);
    }
    // A broker spoken to with TLS is checked against the room's authority, which only the link names.
    if (ticket.mqttTls && ticket.fingerprint.empty()) return Refused(JoinProblem::BadFingerprint);
    return {ticket, JoinProblem::None};
}

} // namespace

std::string SeatNameOf(int seatNumber) {
    char name[16];
    std::snprintf(name, sizeof name, "seat%02d", seatNumber);
    return name;
}

JoinReading ReadJoin(std::string_view text, const std::optional<JoinTicket>& known) {
    if (text.size() > kLongestJoinText) return Refused(JoinProblem::TooLong);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    if (text.find("://") != std::string_view::npos) return ReadLink(text);
    JoinProblem problem = JoinProblem::None;
    const auto code = ReadCode(text, problem);
    if (!code) return Refused(problem);
    if (!known || known->room.empty() || known->address.empty()) return Refused(JoinProblem::RoomUnknown);
    JoinTicket ticket = *known;
    ticket.seat = SeatNameOf(code->seat);
    ticket.password = code->password;
    return {ticket, JoinProblem::None};
}

std::optional<JoinTicket> ReadCodeAlone(std::string_view text) {
    if (text.size() > kLongestJoinText || text.find("://") != std::string_view::npos) return std::nullopt;
    JoinProblem problem = JoinProblem::None;
    const auto code = ReadCode(text, problem);
    if (!code) return std::nullopt;
    JoinTicket ticket;
    ticket.seat = SeatNameOf(code->seat);
    ticket.password = code->password;
    return ticket;
}

std::string WriteSeatCode(int seatNumber, std::string_view password) {
    const std::string signs(password);
    return SeatNameOf(seatNumber).substr(4) + "-" + signs.substr(0, 4) + "-" + signs.substr(4);
}

std::string WriteJoinLink(const JoinTicket& t) {
    const int seat = t.seat.size() > 4 ? std::stoi(t.seat.substr(4)) : 0;
    std::string link = std::string(t.webTls ? "https" : "http") + "://" + t.address + ":" +
                       std::to_string(t.webPort) + "/#join=" + t.room + "/" +
                       WriteSeatCode(seat, t.password) + "&mqtt=" + std::to_string(t.mqttPort) +
                       "&tls=" + (t.mqttTls ? "1" : "0");
    if (!t.fingerprint.empty()) link += "&fp=" + t.fingerprint;
    return link;
}

std::string_view JoinProblemText(JoinProblem problem, bool german) {
    switch (problem) {
    case JoinProblem::None:
        return "";
    case JoinProblem::TooLong:
        return german ? "Das ist zu lang für einen Code oder Link vom Klassenblatt."
                      : "That is too long for a code or link from the class sheet.";
    case JoinProblem::NotACode:
        return german ? "Das ist kein Code vom Klassenblatt (so: 07-K7QF-M2XA)."
                      : "That is not a code from the class sheet (like this: 07-K7QF-M2XA).";
    case JoinProblem::SeatOutOfRange:
        return german ? "Diesen Platz gibt es nicht: der Code beginnt mit 01 bis 99."
                      : "There is no such seat: a code begins with 01 to 99.";
    case JoinProblem::NotOurLink:
        return german ? "Das ist kein Link vom Klassenblatt." : "That is not a link from the class sheet.";
    case JoinProblem::BadAddress:
        return german ? "Die Adresse im Link ist ungültig." : "The address in the link is not valid.";
    case JoinProblem::BadPort:
        return german ? "Eine Portnummer im Link ist ungültig." : "A port number in the link is not valid.";
    case JoinProblem::BadRoom:
        return german ? "Der Raumname im Link ist ungültig." : "The room's name in the link is not valid.";
    case JoinProblem::BadFingerprint:
        return german ? "Der Link prüft die Verbindung nicht richtig: bitte den Link vom Klassenblatt nehmen."
                      : "The link does not check the connection properly: please use the link from the class "
                        "sheet.";
    case JoinProblem::RoomUnknown:
        return german ? "Ein Code allein reicht hier nicht: bitte den ganzen Link vom Klassenblatt eingeben."
                      : "A code alone is not enough here: please enter the whole link from the class sheet.";
    }
    return "";
}

} // namespace vp7
