// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a seat and the instructor's station need of the way to the room's broker: publish, subscribe,
// take what arrived, the connection's state. The seat and the station speak the room's protocol over
// it and never see the network; the desktop program and the runner use the broker layer's MQTT client,
// a build without threads can put another behind the same calls. What arrives is only taken on the
// thread that owns the seat, so whatever the link does in the background never touches the device.
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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

class RoomLink {
public:
    virtual ~RoomLink() = default;

    // Begins connecting in the background; a broker that is down is tried again later. Why it cannot
    // even begin (the settings are refused), or nothing.
    virtual std::optional<std::string> Start() = 0;

    struct Incoming {
        enum class Kind { Connected, Message, Note } kind = Kind::Message;
        std::string topic;
        std::string payload; // the message, or the note's text
    };
    // What has arrived since the last call, oldest first.
    virtual std::vector<Incoming> Take() = 0;

    // Publishes at QoS 0 or 1; false when the link did not take it (it is then not sent).
    virtual bool Publish(const std::string& topic, const std::string& payload, int qos, bool retain) = 0;
    // Publishes at QoS 1 and removes `file` once the broker acknowledged it.
    virtual bool PublishKept(const std::string& topic, const std::string& payload,
                             const std::filesystem::path& file) = 0;
    // Whether `file` waits for its acknowledgement.
    virtual bool InFlight(const std::filesystem::path& file) const = 0;
    // Waits until everything published at QoS 1 was acknowledged, or `limit` has passed; true when it was.
    virtual bool WaitForAcknowledgements(std::chrono::milliseconds limit) = 0;
    virtual bool Connected() const = 0;
    // Waits until connected, refused, or `limit` has passed; true when connected.
    virtual bool WaitForConnection(std::chrono::milliseconds limit) = 0;
};

// The start of the note a link gives when the broker refuses the account (its name or password): a
// refusal that every try meets again, unlike a broker that is away.
inline constexpr std::string_view kAccountRefused = "broker refused the account: ";

// Makes the link a seat or a station connects through; empty in a program built without one.
using RoomLinkMaker = std::function<std::unique_ptr<RoomLink>(LinkSettings)>;

// Why a program without a link cannot join a room.
inline constexpr const char* kNoRoomLink = "this program was built without the classroom's network link";

} // namespace vp7
