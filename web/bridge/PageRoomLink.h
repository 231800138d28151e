// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A seat's way to its room from the page: the page's own MQTT client (web/page/room.js) over the
// WebSocket of the page's origin. What goes out is handed to the page at once; what arrives, the
// connection's state and the broker's acknowledgements are queued by the page's calls (the exported
// vp7_room_* below) and taken by the seat on its next poll. A page cannot wait inside a call: the
// waits answer with how things stand.
#include "classroom/IncomingQueue.h"
#include "classroom/RoomLink.h"

#include <map>
#include <set>

namespace vp7 {

class PageRoomLink final : public RoomLink {
public:
    explicit PageRoomLink(LinkSettings settings);
    ~PageRoomLink() override;
    static std::unique_ptr<RoomLink> Make(LinkSettings settings);
    // The link the page's calls reach: the one started last, until it goes.
    static PageRoomLink* Current();

    std::optional<std::string> Start() override;
    std::vector<Incoming> Take() override;
    bool Publish(const std::string& topic, const std::string& payload, int qos, bool retain) override;
    bool PublishKept(const std::string& topic, const std::string& payload,
                     const std::filesystem::path& file) override;
    bool InFlight(const std::filesystem::path& file) const override;
    bool WaitForAcknowledgements(std::chrono::milliseconds limit) override;
    bool Connected() const override;
    bool WaitForConnection(std::chrono::milliseconds limit) override;

    // The page's side.
    void Arrived(Incoming incoming);
    void ConnectedNow();
    void Lost();
    void Acknowledged(int id);

private:
    int Send(const std::string& topic, const std::string& payload, int qos, bool retain);

    LinkSettings settings_;
    IncomingQueue queue_;
    bool connected_ = false;
    std::set<int> pending_;                          // ids sent at QoS 1 not yet acknowledged
    std::map<int, std::filesystem::path> keptFiles_; // of those, the outbox's files
};

} // namespace vp7
