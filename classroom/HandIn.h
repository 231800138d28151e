// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A hand-in's result as a seat sends it on its event topic, and as the instructor's station reads it:
// the id makes each unique, so that one sent again after a reconnection is counted once. It carries the
// seat's recording of the exercise, which the station replays to judge the work itself
// (HandInVerifier.h): the score a seat claims is only a claim.
#include "classroom/SeatStatus.h"

#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace vp7 {

struct SeatHandIn {
    struct Check {
        std::string text; // English
        bool passed = false;
        bool operator==(const Check&) const = default;
    };
    std::string exercise; // the English title
    std::vector<Check> checks;
    std::optional<bool> question; // answered right, when there is a question
    int passed = 0, total = 0;
    // The seat's recording of the exercise up to the hand-in, its answer after it; empty when the seat
    // sent none (an older seat, or one whose recording broke a bound).
    std::string recording;
    bool operator==(const SeatHandIn&) const = default;
};

struct HandInMessage {
    std::string seat, room, id;
    SeatHandIn result;
    // The trainee's name as the seat was given it; empty from a seat that asks none (an older one).
    std::string trainee;
    bool operator==(const HandInMessage&) const = default;
};

// A check's, a title's or a trainee's name is a line.
inline constexpr std::size_t kHandInTextMaxBytes = 256;
// An exercise has some checks; a hundred is more than any has.
inline constexpr std::size_t kHandInMaxChecks = 100;
// Half an hour of a busy trainee is a few hundred kilobytes of recording and packs to a tenth; hours
// of pointer moves may still fit. The message carries it zstd-packed, in base64.
inline constexpr std::size_t kHandInRecordingMaxBytes = 4u << 20;
inline constexpr std::size_t kHandInRecordingPackedMaxBytes = 256u << 10;
// The largest hand-in: a status's worth of result, and the packed recording in base64.
inline constexpr std::size_t kHandInMaxBytes = kStatusMaxBytes + (kHandInRecordingPackedMaxBytes + 2) / 3 * 4;

// A recording over either bound is left out: the hand-in still arrives, and the station cannot verify it.
std::string WriteHandIn(const HandInMessage& message);
// Puts the seat's `recording` into `handIn` when it keeps both bounds above; when it breaks one, the
// hand-in goes without (the station cannot verify it) and the returned line says why, for the seat's log.
std::optional<std::string> AttachRecording(SeatHandIn& handIn, std::string recording);
// The hand-in a payload holds, or why it is none: bounded as a status is, its recording within the
// bounds above, unpacked to exactly the size it declares.
std::variant<HandInMessage, std::string> ReadHandIn(std::string_view payload);

} // namespace vp7
