// SPDX-License-Identifier: GPL-3.0-or-later
#include "classroom/RoomFinder.h"

#include <algorithm>

namespace vp7 {
namespace {

constexpr std::string_view kQuestionStart = "VP7-FIND 1 ";
constexpr std::string_view kAnswerStart = "VP7-ROOM 1 ";

bool LowerHex(std::string_view text, std::size_t length) {
    return text.size() == length && std::all_of(text.begin(), text.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
           });
}

// The seat's name as the code gives it: "seat" and two digits, 01 to 99.
bool GoodSeat(std::string_view seat) {
    if (seat.size() != 6 || seat.substr(0, 4) != "seat") return false;
    const int number = (seat[4] - '0') * 10 + (seat[5] - '0');
    return seat[4] >= '0' && seat[4] <= '9' && seat[5] >= '0' && seat[5] <= '9' && number >= 1 &&
           number <= kLargestSeatNumber;
}

} // namespace

std::string WriteFinderQuestion(const FinderQuestion& question) {
    return std::string(kQuestionStart) + question.seat + " " + question.nonce;
}

std::optional<FinderQuestion> ReadFinderQuestion(std::string_view message) {
    if (message.size() > kLongestFinderMessage || !message.starts_with(kQuestionStart)) return std::nullopt;
    message.remove_prefix(kQuestionStart.size());
    const std::size_t blank = message.find(' ');
    if (blank == std::string_view::npos) return std::nullopt;
    FinderQuestion question{std::string(message.substr(0, blank)), std::string(message.substr(blank + 1))};
    if (!GoodSeat(question.seat) || !LowerHex(question.nonce, kFinderNonceLength)) return std::nullopt;
    return question;
}

std::string FinderAnswerSigned(const std::string& nonce, JoinTicket seat) {
    seat.password.assign(kCodePasswordLength, kCodeAlphabet.front());
    return std::string(kAnswerStart) + nonce + " " + WriteJoinLink(seat);
}

std::optional<FinderAnswer> ReadFinderAnswer(std::string_view message) {
    if (message.size() > kLongestFinderMessage || !message.starts_with(kAnswerStart)) return std::nullopt;
    const std::size_t macAt = message.rfind(' ');
    if (macAt == std::string_view::npos || macAt < kAnswerStart.size()) return std::nullopt;
    const std::string_view mac = message.substr(macAt + 1);
    const std::string_view rest = message.substr(kAnswerStart.size(), macAt - kAnswerStart.size());
    const std::size_t blank = rest.find(' ');
    if (blank == std::string_view::npos) return std::nullopt;
    const std::string_view nonce = rest.substr(0, blank);
    if (!LowerHex(nonce, kFinderNonceLength) || !LowerHex(mac, kFinderMacLength)) return std::nullopt;
    // A link names no room alone: it must be a whole one, whose code is only placeholders.
    const std::string_view link = rest.substr(blank + 1);
    if (link.find("://") == std::string_view::npos) return std::nullopt;
    JoinReading read = ReadJoin(link);
    if (!read.ticket || read.ticket->password != std::string(kCodePasswordLength, kCodeAlphabet.front()))
        return std::nullopt;
    read.ticket->password.clear();
    return FinderAnswer{std::string(nonce), std::move(*read.ticket), std::string(mac),
                        std::string(message.substr(0, macAt))};
}

std::string FinderKeySalt(const JoinTicket& seat) {
    return "vp7sim room finder\n" + (seat.fingerprint.empty() ? seat.room : seat.fingerprint) + "\n" +
           seat.seat;
}

} // namespace vp7
