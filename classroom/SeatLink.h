// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A seat's connection to the classroom's broker. The network runs on the client library's own thread;
// what arrives waits in a queue until the device's thread takes it, so the device is touched on its
// own thread only. The link reconnects by itself with a growing delay and says when it did.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

struct mosquitto;
struct mosquitto_message;

namespace vp7 {

struct LinkSettings {
    std::string host;
    int port = 1883;
    std::string room, seat;
    std::string user, password; // no account when the user is empty
    std::string will;           // retained on `willTopic` by the broker when the seat goes away
    std::string willTopic;
    std::vector<std::string> subscriptions; // at QoS 1, again after every connection
    std::filesystem::path caFile;           // TLS, the broker's certificate checked against it, when set
};

class SeatLink {
public:
    explicit SeatLink(LinkSettings settings);
    ~SeatLink();
    SeatLink(const SeatLink&) = delete;
    SeatLink& operator=(const SeatLink&) = delete;

    // Begins connecting in the background; a broker that is down is tried again later. Why it cannot
    // even begin (the client library refused the settings), or nothing.
    std::optional<std::string> Start();

    struct Incoming {
        enum class Kind { Connected, Message, Note } kind = Kind::Message;
        std::string topic;
        std::string payload; // the message, or the note's text
    };
    // What has arrived since the last call, oldest first.
    std::vector<Incoming> Take();

    // Publishes at QoS 0 or 1; false when the library did not take it (it is then not sent).
    bool Publish(const std::string& topic, const std::string& payload, int qos, bool retain);
    // Publishes at QoS 1 and removes `file` once the broker acknowledged it.
    bool PublishKept(const std::string& topic, const std::string& payload, const std::filesystem::path& file);
    // Whether `file` waits for its acknowledgement.
    bool InFlight(const std::filesystem::path& file) const;
    // Waits until everything published at QoS 1 was acknowledged, or `limit` has passed; true when it was.
    bool WaitForAcknowledgements(std::chrono::milliseconds limit);
    bool Connected() const;
    // Waits until connected, refused, or `limit` has passed; true when connected.
    bool WaitForConnection(std::chrono::milliseconds limit);

    // The largest message taken from the broker; larger ones are noted and dropped unread.
    static constexpr std::size_t kIncomingMaxBytes = 1u << 20;
    // A queue that nobody drains (the device busy for long) does not grow without end.
    static constexpr std::size_t kQueueMax = 256;

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
    std::deque<Incoming> queue_;
    std::size_t dropped_ = 0;
    bool connected_ = false;
    bool answered_ = false; // the broker accepted or refused a connection, or none could be made
    std::set<int> pending_; // QoS 1 messages not yet acknowledged
    std::map<int, std::filesystem::path> keptFiles_; // removed when their message is acknowledged
};

} // namespace vp7
