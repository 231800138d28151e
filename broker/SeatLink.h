// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A seat's or the instructor's station's connection to the classroom's MQTT broker. The network runs on the
// client library's own thread; what arrives waits in a queue until the device's thread takes it, so the
// device is touched on its own thread only. The link reconnects by itself with a growing delay and says when
// it did.
#include "classroom/IncomingQueue.h"
#include "classroom/RoomLink.h"

#include <condition_variable>
#include <map>
#include <mutex>
#include <set>
#include <thread>

struct mosquitto;
struct mosquitto_message;

namespace vp7 {

class SeatLink final : public RoomLink {
public:
    explicit SeatLink(LinkSettings settings);
    ~SeatLink() override;
    SeatLink(const SeatLink&) = delete;
    SeatLink& operator=(const SeatLink&) = delete;

    // RoomLink; Start's refusal is the client library's.
    std::optional<std::string> Start() override;
    std::vector<Incoming> Take() override;
    bool Publish(const std::string& topic, const std::string& payload, int qos, bool retain) override;
    bool PublishKept(const std::string& topic, const std::string& payload,
                     const std::filesystem::path& file) override;
    bool InFlight(const std::filesystem::path& file) const override;
    bool WaitForAcknowledgements(std::chrono::milliseconds limit) override;
    bool Connected() const override;
    bool WaitForConnection(std::chrono::milliseconds limit) override;

    // The link for a seat or a station (a RoomLinkMaker).
    static std::unique_ptr<RoomLink> Make(LinkSettings settings);

    // The largest message taken from the broker; larger ones are noted and dropped unread.
    static constexpr std::size_t kIncomingMaxBytes = IncomingQueue::kMessageMaxBytes;

private:
    static void OnConnect(mosquitto*, void* self, int rc);
    static void OnDisconnect(mosquitto*, void* self, int rc);
    static void OnMessage(mosquitto*, void* self, const mosquitto_message* message);
    static void OnPublish(mosquitto*, void* self, int mid);
    static void OnSubscribe(mosquitto*, void* self, int mid, int count, const int* granted);
    void Subscribed();
    void Push(Incoming incoming);
    // Until the first connection: the library's own thread reconnects only a client that was connected.
    void ConnectLater();

    LinkSettings settings_;
    mosquitto* client_ = nullptr;
    bool looping_ = false;
    int subscribeMid_ = 0; // the network thread's own
    std::thread connector_;
    bool stopping_ = false;
    mutable std::mutex mutex_;
    std::condition_variable acknowledged_;
    IncomingQueue queue_;
    bool connected_ = false;
    bool answered_ = false; // the broker accepted or refused a connection, or none could be made
    std::set<int> pending_; // QoS 1 messages not yet acknowledged
    std::map<int, std::filesystem::path> keptFiles_; // removed when their message is acknowledged
};

} // namespace vp7
