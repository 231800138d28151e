// SPDX-License-Identifier: GPL-3.0-or-later
#include "classroom/Seat.h"

#include "classroom/SeatCommand.h"
#include "classroom/SeatState.h"

#include <algorithm>
#include <chrono>
#include <random>
#include <stdexcept>

namespace vp7 {
namespace {

// Unique across the seat's runs and the room's seats: the instructor's station drops a hand-in it
// has seen, since one sent again after a reconnect may arrive twice. Sorted by time within a seat.
std::string HandInId(uint64_t count) {
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::system_clock::now().time_since_epoch())
                        .count();
    std::random_device random;
    char id[40];
    std::snprintf(id, sizeof id, "%013lld-%04llu-%08x", static_cast<long long>(ms),
                  static_cast<unsigned long long>(count % 10000), static_cast<unsigned>(random()));
    return id;
}

} // namespace

Seat::Seat(SeatTarget& target, SeatSettings settings, RoomLinkMaker makeLink)
    : target_(target), settings_(std::move(settings)), topics_(TopicsOf(settings_.room, settings_.seat)),
      outbox_(settings_.outbox), makeLink_(std::move(makeLink)) {}

std::optional<std::string> Seat::Start() {
    if (const auto problem = RoomNameProblem("room", settings_.room)) return problem;
    if (const auto problem = RoomNameProblem("seat", settings_.seat)) return problem;
    if (settings_.port < 1 || settings_.port > 65535)
        return "port " + std::to_string(settings_.port) + " out of range";
    if (settings_.host.empty() || settings_.host.size() > 255) return std::string("bad host name");
    if (!makeLink_) return std::string(kNoRoomLink);
    LinkSettings link{settings_.host,  settings_.port, settings_.room,
                      settings_.seat,  settings_.user, settings_.password,
                      OfflineStatus(), topics_.status, {topics_.all, topics_.command},
                      settings_.caFile};
    link_ = makeLink_(std::move(link));
    return link_->Start();
}

std::string Seat::OfflineStatus() const {
    SeatStatus offline;
    offline.seat = settings_.seat;
    offline.room = settings_.room;
    offline.online = false;
    return WriteSeatStatus(offline);
}

void Seat::Poll() {
    // A command may open a dialog whose own event loop polls again: that poll waits for this one.
    if (!link_ || polling_) return;
    const struct Guard {
        bool& flag;
        explicit Guard(bool& f) : flag(f) { flag = true; }
        ~Guard() { flag = false; }
    } guard(polling_);
    for (const RoomLink::Incoming& incoming : link_->Take())
        Apply(incoming);
    PublishChanges();
}

void Seat::PublishChanges() {
    for (const SeatEvent& event : target_.TakeEvents()) {
        link_->Publish(topics_.event, WriteSeatEvent({settings_.seat, settings_.room, event}), 1, false);
        changed_ = true;
    }
    // Sampled on whole seconds after the first sample, whatever steps the clock takes; a device made
    // anew starts its clock again.
    const int64_t now = target_.NowMs();
    if (!lastSampleMs_ || now < *lastSampleMs_)
        lastSampleMs_ = now;
    else if (now - *lastSampleMs_ >= kStatusPeriodMs)
        *lastSampleMs_ = now - (now - *lastSampleMs_) % kStatusPeriodMs;
    else if (!changed_)
        return;
    changed_ = false;
    PublishStatus(false);
}

void Seat::Apply(const RoomLink::Incoming& message) {
    switch (message.kind) {
    case RoomLink::Incoming::Kind::Connected:
        target_.Log("connected to " + settings_.host + ":" + std::to_string(settings_.port));
        PublishStatus(true); // the broker may have lost it, or holds the last will
        SendOutbox();
        return;
    case RoomLink::Incoming::Kind::Note:
        target_.Log(message.payload);
        return;
    case RoomLink::Incoming::Kind::Message:
        break;
    }
    // The broker sends only what the seat subscribed to; anything else is not for it.
    if (message.topic != topics_.all && message.topic != topics_.command) {
        target_.Log("ignored: a message on " + message.topic.substr(0, 128));
        return;
    }
    auto read = ReadSeatCommand(message.payload);
    if (const auto* why = std::get_if<std::string>(&read)) {
        target_.Log("ignored: " + *why);
        return;
    }
    const SeatCommand& command = std::get<SeatCommand>(read);
    if (!command.id.empty()) {
        if (std::find(recentIds_.begin(), recentIds_.end(), command.id) != recentIds_.end()) {
            target_.Log("ignored: command " + command.id + " came twice");
            return;
        }
        recentIds_.push_back(command.id);
        if (recentIds_.size() > kRememberedIds) recentIds_.pop_front();
    }
    try {
        Carry(command);
    } catch (const std::exception& e) {
        target_.Log(std::string("ignored: ") + e.what());
    }
    changed_ = true;
}

void Seat::Carry(const SeatCommand& command) {
    switch (command.kind) {
    case SeatCommandKind::OpenExercise:
        return target_.OpenExercise(command.text, command.seed);
    case SeatCommandKind::LoadState:
        return target_.LoadState(command.text);
    case SeatCommandKind::Freeze:
        return target_.SetFrozen(true);
    case SeatCommandKind::Continue:
        return target_.SetFrozen(false);
    case SeatCommandKind::Speed:
        return target_.SetSpeed(command.value);
    case SeatCommandKind::SetHiddenFault:
        return target_.SetHiddenFault(command.text, command.on);
    case SeatCommandKind::Message:
        return target_.ShowMessage(command.text);
    case SeatCommandKind::HandIn:
        if (const auto result = target_.HandIn()) SendHandIn(*result);
        return;
    case SeatCommandKind::Watch:
        return target_.Watch(command.on);
    case SeatCommandKind::SaveState:
        return SendState(command.id);
    case SeatCommandKind::Rewind:
        return target_.Rewind(static_cast<int64_t>(command.value) * 1000);
    }
}

// Sent as it is, not kept in the outbox: a station that missed it asks again.
void Seat::SendState(const std::string& id) {
    SeatStateMessage message{settings_.seat, settings_.room, id, {}, {}};
    try {
        message.state = target_.SaveState();
    } catch (const std::exception& e) {
        message.refusal = e.what();
    }
    if (message.refusal.empty() && message.state.size() > kSeatStateMaxBytes)
        target_.Log("the state is too large to send: the station is told so");
    else if (!message.refusal.empty())
        target_.Log("no state to send: " + message.refusal);
    link_->Publish(topics_.event, WriteSeatState(std::move(message)), 1, false);
}

void Seat::SendHandIn(const SeatHandIn& result) {
    if (!link_) return;
    const std::string id = HandInId(++handIns_);
    const std::string payload =
        WriteHandIn(HandInMessage{settings_.seat, settings_.room, id, result, settings_.trainee});
    const auto kept = outbox_.Add(id, payload);
    if (!kept) {
        // Not kept, sent all the same: better once unguarded than not at all.
        target_.Log("hand-in " + id + " could not be kept in " + outbox_.Folder().string());
        link_->Publish(topics_.event, payload, 1, false);
        return;
    }
    if (link_->Connected()) link_->PublishKept(topics_.event, payload, *kept);
}

void Seat::SendOutbox() {
    for (const Outbox::Entry& entry : outbox_.Entries())
        if (!link_->InFlight(entry.path)) link_->PublishKept(topics_.event, entry.payload, entry.path);
}

void Seat::PublishStatus(bool always) {
    // Offline, the client library would queue every status; the one after reconnecting supersedes them.
    if (!link_->Connected()) return;
    SeatStatus status = target_.Status();
    status.seat = settings_.seat;
    status.room = settings_.room;
    status.online = true;
    std::string json = WriteSeatStatus(status);
    if (!always && lastStatus_ == json) return;
    if (link_->Publish(topics_.status, json, 1, true)) lastStatus_ = std::move(json);
}

void Seat::SendPicture(const std::string& image) {
    if (link_ && link_->Connected()) link_->Publish(topics_.picture, image, 0, false);
}

bool Seat::Connected() const {
    return link_ && link_->Connected();
}

bool Seat::WaitForConnection(std::chrono::milliseconds limit) {
    return link_ && link_->WaitForConnection(limit);
}

bool Seat::WaitForAcknowledgements(std::chrono::milliseconds limit) {
    return link_ && link_->WaitForAcknowledgements(limit);
}

bool Seat::Finish(std::chrono::milliseconds limit) {
    if (!link_) return true;
    // What happened last goes out; commands that came meanwhile find nobody to carry them out.
    PublishChanges();
    // Leaving the room as the broker would say it for a seat that went away.
    if (link_->Connected()) link_->Publish(topics_.status, OfflineStatus(), 1, true);
    return link_->WaitForAcknowledgements(limit);
}

} // namespace vp7
