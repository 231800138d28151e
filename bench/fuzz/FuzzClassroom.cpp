// SPDX-License-Identifier: GPL-3.0-or-later
// What a classroom reads from its broker and its trainees: a seat's commands (an exercise's with its seed),
// the statuses, events, hand-ins (with the packed recording each carries) and seats' states the
// instructor's station reads, the codes and links a trainee types to join, and the room file the station
// opens. Any input goes to every reader; a message that was read must read back the same once written
// again.
#include "classroom/HandIn.h"
#include "classroom/JoinTicket.h"
#include "classroom/RoomFile.h"
#include "classroom/RoomFinder.h"
#include "classroom/SeatCommand.h"
#include "classroom/SeatEvent.h"
#include "classroom/SeatState.h"
#include "classroom/SeatStatus.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

template <typename Message, typename Write, typename Read>
void ExpectReadsBack(std::string_view input, Write write, Read read) {
    const auto first = read(input);
    const auto* message = std::get_if<Message>(&first);
    if (!message) return;
    const auto again = read(write(*message));
    if (!std::holds_alternative<Message>(again) || std::get<Message>(again) != *message) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    ExpectReadsBack<vp7::SeatCommand>(input, vp7::WriteSeatCommand, vp7::ReadSeatCommand);
    ExpectReadsBack<vp7::SeatStatus>(input, vp7::WriteSeatStatus, vp7::ReadSeatStatus);
    ExpectReadsBack<vp7::SeatEventMessage>(input, vp7::WriteSeatEvent, vp7::ReadSeatEvent);
    ExpectReadsBack<vp7::HandInMessage>(input, vp7::WriteHandIn, vp7::ReadHandIn);
    ExpectReadsBack<vp7::SeatStateMessage>(input, vp7::WriteSeatState, vp7::ReadSeatState);
    // A state among the events reads as it reads alone.
    const auto channel = vp7::ReadEventChannel(input);
    if (const auto* state = std::get_if<vp7::SeatStateMessage>(&channel)) {
        const auto alone = vp7::ReadSeatState(input);
        const auto* same = std::get_if<vp7::SeatStateMessage>(&alone);
        if (!same || *same != *state) std::abort();
    }
    // A code or link that was read writes a link that reads back as the same ticket.
    if (const auto read = vp7::ReadJoin(input);
        read.ticket && vp7::ReadJoin(vp7::WriteJoinLink(*read.ticket)).ticket != read.ticket)
        std::abort();
    // A finder's question or answer that was read writes one that reads back the same; an answer's MAC is
    // over exactly what precedes it.
    if (const auto question = vp7::ReadFinderQuestion(input);
        question && vp7::ReadFinderQuestion(vp7::WriteFinderQuestion(*question)) != question)
        std::abort();
    if (const auto answer = vp7::ReadFinderAnswer(input)) {
        if (input != answer->signed_ + " " + answer->mac) std::abort();
        const auto again = vp7::ReadFinderAnswer(vp7::WriteFinderAnswer(
            answer->nonce, answer->room, [&](const std::string&) { return answer->mac; }));
        if (!again || again->room != answer->room || again->nonce != answer->nonce) std::abort();
    }
    // A room file that was read writes one that reads back as the same room.
    if (const auto room = vp7::ReadRoomFile(input); const auto* read = std::get_if<vp7::RoomFile>(&room)) {
        const auto again = vp7::ReadRoomFile(vp7::WriteRoomFile(*read));
        if (!std::holds_alternative<vp7::RoomFile>(again) || std::get<vp7::RoomFile>(again) != *read)
            std::abort();
    }
    return 0;
}
