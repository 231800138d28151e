// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One trainee's seat in a classroom: publishes the device's status (retained, once a second of the
// device's clock and after what changed it, only when it differs from the last one published) and its
// events, carries out the instructor's commands from the room's two command topics, and keeps every
// hand-in in an outbox on disk until the broker acknowledged it. All of it on the device's thread, from
// Poll(); the link (a RoomLink) only fills the queue Poll drains.
#include "classroom/Outbox.h"
#include "classroom/RoomLink.h"
#include "classroom/RoomNames.h"
#include "classroom/SeatTarget.h"

#include <chrono>
#include <deque>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace vp7 {

struct SeatSettings {
    std::string host;
    int port = 1883;
    std::string room, seat, user, password;
    std::filesystem::path caFile; // TLS with the room's certificate authority when there is one
    std::filesystem::path outbox; // the folder hand-ins wait in
    std::string trainee;          // the name each hand-in carries; empty when none was given
};

class Seat {
public:
    // The status is sampled this often on the device's clock.
    static constexpr int64_t kStatusPeriodMs = 1000;
    // Ids of commands just done, against the same command delivered twice.
    static constexpr std::size_t kRememberedIds = 64;

    // The seat reaches its room through a link `makeLink` makes; without one it cannot join.
    Seat(SeatTarget& target, SeatSettings settings, RoomLinkMaker makeLink);
    // Why the seat cannot join (a bad name, a port out of range, no link, the link's refusal), or
    // nothing; a broker that is down is no reason: the seat works on alone and joins when it can.
    std::optional<std::string> Start();
    // Waits up to `limit` for the first connection; true when the seat is connected.
    bool WaitForConnection(std::chrono::milliseconds limit);
    // Takes what arrived, publishes what changed.
    void Poll();
    // Sends a hand-in's result to the room, kept in the outbox until the broker has it.
    void SendHandIn(const SeatHandIn& result);
    // The seat's device picture for the instructor's live view, sent as it is (no retry, not kept).
    void SendPicture(const std::string& image);
    bool Connected() const;
    // Waits up to `limit` until the broker acknowledged everything published; true when it did.
    bool WaitForAcknowledgements(std::chrono::milliseconds limit);
    // Before the program ends: waits up to `limit` for the broker's acknowledgements.
    bool Finish(std::chrono::milliseconds limit);

    // The last will's payload: the seat's status with online false.
    std::string OfflineStatus() const;
    const SeatTopics& Topics() const { return topics_; }

private:
    void Apply(const RoomLink::Incoming& message);
    void PublishChanges();
    void Carry(const struct SeatCommand& command);
    void PublishStatus(bool always);
    void SendOutbox();
    // The device's state, or why there is none, to the station that asked with `id`.
    void SendState(const std::string& id);

    SeatTarget& target_;
    SeatSettings settings_;
    SeatTopics topics_;
    Outbox outbox_;
    RoomLinkMaker makeLink_;
    std::unique_ptr<RoomLink> link_;
    std::optional<std::string> lastStatus_;
    std::optional<int64_t> lastSampleMs_;
    bool changed_ = false; // a command or event since the last sample
    std::deque<std::string> recentIds_;
    uint64_t handIns_ = 0;
    bool polling_ = false;
};

} // namespace vp7
