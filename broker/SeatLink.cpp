// SPDX-License-Identifier: GPL-3.0-or-later
#include "broker/SeatLink.h"

#include "classroom/Outbox.h"

#include <mosquitto.h>

#include <random>

namespace vp7 {
namespace {

// A broker that went away is tried again after 1 s, then 2, 4, ... up to 16 s.
constexpr unsigned kReconnectFirstS = 1, kReconnectLongestS = 16;
constexpr int kKeepAliveS = 10;

struct Library {
    Library() { mosquitto_lib_init(); }
    ~Library() { mosquitto_lib_cleanup(); }
};

void UseLibrary() {
    static Library library;
}

std::string ClientId(const LinkSettings& s) {
    // Unique per run: a seat started twice would otherwise throw the other off the broker in turns.
    std::random_device random;
    return "vp7-" + s.room + "-" + s.seat + "-" + std::to_string(random() % 1000000);
}

} // namespace

SeatLink::SeatLink(LinkSettings settings) : settings_(std::move(settings)) {}

std::unique_ptr<RoomLink> SeatLink::Make(LinkSettings settings) {
    return std::make_unique<SeatLink>(std::move(settings));
}

SeatLink::~SeatLink() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    acknowledged_.notify_all();
    if (connector_.joinable()) connector_.join();
    if (!client_) return;
    mosquitto_disconnect(client_);
    if (looping_) mosquitto_loop_stop(client_, false);
    mosquitto_destroy(client_);
}

std::optional<std::string> SeatLink::Start() {
    UseLibrary();
    client_ = mosquitto_new(ClientId(settings_).c_str(), true, this);
    if (!client_) return "cannot make a network client";
    mosquitto_int_option(client_, MOSQ_OPT_PROTOCOL_VERSION, MQTT_PROTOCOL_V311);
    mosquitto_connect_callback_set(client_, &SeatLink::OnConnect);
    mosquitto_disconnect_callback_set(client_, &SeatLink::OnDisconnect);
    mosquitto_message_callback_set(client_, &SeatLink::OnMessage);
    mosquitto_publish_callback_set(client_, &SeatLink::OnPublish);
    mosquitto_subscribe_callback_set(client_, &SeatLink::OnSubscribe);
    mosquitto_reconnect_delay_set(client_, kReconnectFirstS, kReconnectLongestS, true);
    if (!settings_.user.empty() &&
        mosquitto_username_pw_set(client_, settings_.user.c_str(),
                                  settings_.password.empty() ? nullptr : settings_.password.c_str()) !=
            MOSQ_ERR_SUCCESS)
        return "the user name or password is not accepted";
    if (!settings_.caFile.empty() && mosquitto_tls_set(client_, settings_.caFile.c_str(), nullptr, nullptr,
                                                       nullptr, nullptr) != MOSQ_ERR_SUCCESS)
        return "cannot use the certificate authority " + settings_.caFile.string();
    if (!settings_.willTopic.empty() &&
        mosquitto_will_set(client_, settings_.willTopic.c_str(), static_cast<int>(settings_.will.size()),
                           settings_.will.data(), 1, true) != MOSQ_ERR_SUCCESS)
        return "the seat's last will is not accepted";
    // A broker that is down now is tried again by the network thread; only settings it can never
    // connect with end it here.
    const int rc = mosquitto_connect_async(client_, settings_.host.c_str(), settings_.port, kKeepAliveS);
    if (rc == MOSQ_ERR_INVAL) return "cannot connect to " + settings_.host + ": invalid address or port";
    if (rc != MOSQ_ERR_SUCCESS) {
        Push({Incoming::Kind::Note, {}, std::string("broker not reached: ") + mosquitto_strerror(rc)});
        answered_ = true;
        connector_ = std::thread([this] { ConnectLater(); });
        return std::nullopt;
    }
    if (mosquitto_loop_start(client_) != MOSQ_ERR_SUCCESS) return "cannot start the network thread";
    looping_ = true;
    return std::nullopt;
}

void SeatLink::ConnectLater() {
    std::chrono::seconds delay{kReconnectFirstS};
    std::unique_lock lock(mutex_);
    while (!acknowledged_.wait_for(lock, delay, [this] { return stopping_; })) {
        lock.unlock();
        const bool reached = mosquitto_connect_async(client_, settings_.host.c_str(), settings_.port,
                                                     kKeepAliveS) == MOSQ_ERR_SUCCESS &&
                             mosquitto_loop_start(client_) == MOSQ_ERR_SUCCESS;
        lock.lock();
        if (reached) {
            looping_ = true;
            return;
        }
        delay = std::min(delay * 2, std::chrono::seconds(kReconnectLongestS));
    }
}

void SeatLink::Push(Incoming incoming) {
    const std::lock_guard lock(mutex_);
    queue_.Push(std::move(incoming));
}

std::vector<SeatLink::Incoming> SeatLink::Take() {
    const std::lock_guard lock(mutex_);
    return queue_.Take();
}

void SeatLink::OnConnect(mosquitto* client, void* self, int rc) {
    auto& link = *static_cast<SeatLink*>(self);
    if (rc != 0) {
        // MQTT's return codes 4 and 5: a bad user name or password, not authorised.
        constexpr int kBadAccount = 4, kNotAuthorised = 5;
        const bool account = rc == kBadAccount || rc == kNotAuthorised;
        link.Push({Incoming::Kind::Note,
                   {},
                   std::string(account ? kAccountRefused : "broker refused the seat: ") +
                       mosquitto_connack_string(rc)});
        {
            const std::lock_guard lock(link.mutex_);
            link.answered_ = true;
        }
        link.acknowledged_.notify_all();
        return;
    }
    {
        // What waited for an acknowledgement on the last connection is sent again by the seat (the
        // outbox) or superseded (the status): an acknowledgement of an old copy no longer counts.
        const std::lock_guard lock(link.mutex_);
        link.connected_ = true;
        link.pending_.clear();
        link.keptFiles_.clear();
    }
    std::vector<char*> topics;
    for (std::string& topic : link.settings_.subscriptions)
        topics.push_back(topic.data());
    // Connected counts from the broker's answer to the subscriptions: a command sent after it is heard.
    if (topics.empty() ||
        mosquitto_subscribe_multiple(client, &link.subscribeMid_, static_cast<int>(topics.size()),
                                     topics.data(), 1, 0, nullptr) != MOSQ_ERR_SUCCESS)
        link.Subscribed();
}

void SeatLink::OnSubscribe(mosquitto*, void* self, int mid, int count, const int* granted) {
    auto& link = *static_cast<SeatLink*>(self);
    if (mid != link.subscribeMid_) return;
    for (int i = 0; i < count; ++i)
        if (granted[i] > 2) link.Push({Incoming::Kind::Note, {}, "the broker refused a subscription"});
    link.Subscribed();
}

void SeatLink::Subscribed() {
    Push({Incoming::Kind::Connected, {}, {}});
    {
        // Only now: whoever waited for the connection finds it queued at the seat's next poll.
        const std::lock_guard lock(mutex_);
        answered_ = true;
    }
    acknowledged_.notify_all();
}

void SeatLink::OnDisconnect(mosquitto*, void* self, int) {
    auto& link = *static_cast<SeatLink*>(self);
    const std::lock_guard lock(link.mutex_);
    link.connected_ = false;
}

void SeatLink::OnMessage(mosquitto*, void* self, const mosquitto_message* message) {
    auto& link = *static_cast<SeatLink*>(self);
    if (!message->topic) return;
    if (message->payloadlen < 0 || static_cast<std::size_t>(message->payloadlen) > kIncomingMaxBytes) {
        link.Push({Incoming::Kind::Note, message->topic, "message larger than 1 MB ignored"});
        return;
    }
    link.Push({Incoming::Kind::Message, message->topic,
               std::string(static_cast<const char*>(message->payload),
                           static_cast<std::size_t>(message->payloadlen))});
}

void SeatLink::OnPublish(mosquitto*, void* self, int mid) {
    auto& link = *static_cast<SeatLink*>(self);
    std::filesystem::path kept;
    {
        const std::lock_guard lock(link.mutex_);
        link.pending_.erase(mid);
        if (const auto it = link.keptFiles_.find(mid); it != link.keptFiles_.end()) {
            kept = it->second;
            link.keptFiles_.erase(it);
        }
    }
    if (!kept.empty()) Outbox::Remove(kept);
    link.acknowledged_.notify_all();
}

bool SeatLink::Publish(const std::string& topic, const std::string& payload, int qos, bool retain) {
    if (!client_) return false;
    // Held across the call, so that an acknowledgement arriving before it returns finds the id noted.
    const std::lock_guard lock(mutex_);
    int mid = 0;
    const int rc = mosquitto_publish(client_, &mid, topic.c_str(), static_cast<int>(payload.size()),
                                     payload.data(), qos, retain);
    if (rc != MOSQ_ERR_SUCCESS) return false;
    if (qos > 0) pending_.insert(mid);
    return true;
}

bool SeatLink::PublishKept(const std::string& topic, const std::string& payload,
                           const std::filesystem::path& file) {
    if (!client_) return false;
    const std::lock_guard lock(mutex_);
    int mid = 0;
    const int rc = mosquitto_publish(client_, &mid, topic.c_str(), static_cast<int>(payload.size()),
                                     payload.data(), 1, false);
    if (rc != MOSQ_ERR_SUCCESS) return false;
    pending_.insert(mid);
    keptFiles_[mid] = file;
    return true;
}

bool SeatLink::InFlight(const std::filesystem::path& file) const {
    const std::lock_guard lock(mutex_);
    for (const auto& [mid, path] : keptFiles_)
        if (path == file) return true;
    return false;
}

bool SeatLink::WaitForAcknowledgements(std::chrono::milliseconds limit) {
    std::unique_lock lock(mutex_);
    return acknowledged_.wait_for(lock, limit, [this] { return pending_.empty(); });
}

bool SeatLink::WaitForConnection(std::chrono::milliseconds limit) {
    std::unique_lock lock(mutex_);
    acknowledged_.wait_for(lock, limit, [this] { return answered_; });
    return connected_;
}

bool SeatLink::Connected() const {
    const std::lock_guard lock(mutex_);
    return connected_;
}

} // namespace vp7
