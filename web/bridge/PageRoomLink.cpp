// SPDX-License-Identifier: GPL-3.0-or-later
#include "web/bridge/PageRoomLink.h"

#include "classroom/Outbox.h"

#include <emscripten.h>
#include <nlohmann/json.hpp>

namespace vp7 {
namespace {

PageRoomLink* current = nullptr;

// The page's client (Module.vp7Room, web/page/room.js). Each answers 0 when the page has no client.
EM_JS(int, page_room_start, (const char* settingsJson),
      { return Module.vp7Room ? Module.vp7Room.start(JSON.parse(UTF8ToString(settingsJson))) : 0; });

// The id the page gives the message, which its acknowledgement names; 0 when the page did not take it.
EM_JS(int, page_room_publish, (const char* topic, const char* data, int size, int qos, int retain), {
    if (!Module.vp7Room) return 0;
    return Module.vp7Room.publish(UTF8ToString(topic), HEAPU8.slice(data, data + size), qos,
                                  retain ? true : false);
});

EM_JS(void, page_room_stop, (), {
    if (Module.vp7Room) Module.vp7Room.stop();
});

} // namespace

PageRoomLink::PageRoomLink(LinkSettings settings) : settings_(std::move(settings)) {}

PageRoomLink::~PageRoomLink() {
    if (current != this) return;
    current = nullptr;
    page_room_stop();
}

std::unique_ptr<RoomLink> PageRoomLink::Make(LinkSettings settings) {
    return std::make_unique<PageRoomLink>(std::move(settings));
}

PageRoomLink* PageRoomLink::Current() {
    return current;
}

std::optional<std::string> PageRoomLink::Start() {
    // The page connects to its own origin: the host and port of the `classroom` line are the page's.
    const nlohmann::json settings{{"room", settings_.room},
                                  {"seat", settings_.seat},
                                  {"user", settings_.user},
                                  {"password", settings_.password},
                                  {"will", settings_.will},
                                  {"willTopic", settings_.willTopic},
                                  {"subscriptions", settings_.subscriptions}};
    if (current && current != this) current->Lost();
    current = this;
    if (!page_room_start(settings.dump().c_str())) return std::string(kNoRoomLink);
    return std::nullopt;
}

std::vector<RoomLink::Incoming> PageRoomLink::Take() {
    return queue_.Take();
}

int PageRoomLink::Send(const std::string& topic, const std::string& payload, int qos, bool retain) {
    return page_room_publish(topic.c_str(), payload.data(), static_cast<int>(payload.size()), qos, retain);
}

bool PageRoomLink::Publish(const std::string& topic, const std::string& payload, int qos, bool retain) {
    const int id = Send(topic, payload, qos, retain);
    if (id == 0) return false;
    if (qos > 0) pending_.insert(id);
    return true;
}

bool PageRoomLink::PublishKept(const std::string& topic, const std::string& payload,
                               const std::filesystem::path& file) {
    const int id = Send(topic, payload, 1, false);
    if (id == 0) return false;
    pending_.insert(id);
    keptFiles_[id] = file;
    return true;
}

bool PageRoomLink::InFlight(const std::filesystem::path& file) const {
    for (const auto& [id, path] : keptFiles_)
        if (path == file) return true;
    return false;
}

bool PageRoomLink::WaitForAcknowledgements(std::chrono::milliseconds) {
    return pending_.empty();
}

bool PageRoomLink::Connected() const {
    return connected_;
}

bool PageRoomLink::WaitForConnection(std::chrono::milliseconds) {
    return connected_;
}

void PageRoomLink::Arrived(Incoming incoming) {
    queue_.Push(std::move(incoming));
}

void PageRoomLink::ConnectedNow() {
    // As the desktop's link: what waited for an acknowledgement on the last connection is sent again
    // by the seat (the outbox) or superseded (the status).
    connected_ = true;
    pending_.clear();
    keptFiles_.clear();
    Arrived({Incoming::Kind::Connected, {}, {}});
}

void PageRoomLink::Lost() {
    connected_ = false;
}

void PageRoomLink::Acknowledged(int id) {
    pending_.erase(id);
    const auto it = keptFiles_.find(id);
    if (it == keptFiles_.end()) return;
    Outbox::Remove(it->second);
    keptFiles_.erase(it);
}

} // namespace vp7

// The page's calls into the link: the subscriptions answered (the seat counts as connected from then
// on), the connection lost, a message or a note arrived, a message acknowledged by the broker.
extern "C" {

EMSCRIPTEN_KEEPALIVE void vp7_room_connected() {
    if (auto* link = vp7::PageRoomLink::Current()) link->ConnectedNow();
}

EMSCRIPTEN_KEEPALIVE void vp7_room_lost() {
    if (auto* link = vp7::PageRoomLink::Current()) link->Lost();
}

EMSCRIPTEN_KEEPALIVE void vp7_room_message(const char* topic, const char* data, int size) {
    auto* link = vp7::PageRoomLink::Current();
    if (!link || size < 0) return;
    if (static_cast<std::size_t>(size) > vp7::IncomingQueue::kMessageMaxBytes) {
        link->Arrived({vp7::RoomLink::Incoming::Kind::Note, topic, "message larger than 1 MB ignored"});
        return;
    }
    link->Arrived(
        {vp7::RoomLink::Incoming::Kind::Message, topic, std::string(data, static_cast<std::size_t>(size))});
}

EMSCRIPTEN_KEEPALIVE void vp7_room_note(const char* text) {
    if (auto* link = vp7::PageRoomLink::Current())
        link->Arrived({vp7::RoomLink::Incoming::Kind::Note, {}, text});
}

EMSCRIPTEN_KEEPALIVE void vp7_room_acknowledged(int id) {
    if (auto* link = vp7::PageRoomLink::Current()) link->Acknowledged(id);
}

} // extern "C"
