// SPDX-License-Identifier: GPL-3.0-or-later
#include "Instructor.h"

#include "Broker.h"

#include <random>

namespace vp7::test {

Instructor::Instructor(const std::string& id) {
    mosquitto_lib_init();
    std::random_device random;
    client_ = id.empty()
                  ? mosquitto_new(("vp7-test-instructor-" + std::to_string(random())).c_str(), true, this)
                  : mosquitto_new(id.c_str(), false, this);
    mosquitto_message_callback_set(client_, [](mosquitto*, void* self, const mosquitto_message* m) {
        auto& instructor = *static_cast<Instructor*>(self);
        const std::lock_guard lock(instructor.mutex_);
        instructor.received_.push_back(
            {m->topic,
             std::string(static_cast<const char*>(m->payload), static_cast<std::size_t>(m->payloadlen)),
             m->retain, std::chrono::steady_clock::now()});
    });
    mosquitto_disconnect_callback_set(client_, [](mosquitto*, void* self, int reason) {
        auto& instructor = *static_cast<Instructor*>(self);
        const std::lock_guard lock(instructor.mutex_);
        instructor.disconnections_ += reason != 0; // 0: the client's own disconnect
    });
    mosquitto_subscribe_callback_set(client_, [](mosquitto*, void* self, int, int, const int*) {
        auto& instructor = *static_cast<Instructor*>(self);
        const std::lock_guard lock(instructor.mutex_);
        instructor.subscribed_ = true;
    });
    mosquitto_publish_callback_set(client_, [](mosquitto*, void* self, int mid) {
        auto& instructor = *static_cast<Instructor*>(self);
        const std::lock_guard lock(instructor.mutex_);
        instructor.acknowledged_ = mid;
    });
}

Instructor::~Instructor() {
    Disconnect();
    mosquitto_destroy(client_);
}

bool Instructor::Connect(int port, const std::vector<std::string>& topics, const std::string& user,
                         const std::string& password) {
    if (!user.empty()) mosquitto_username_pw_set(client_, user.c_str(), password.c_str());
    if (mosquitto_connect(client_, "127.0.0.1", port, 10) != MOSQ_ERR_SUCCESS) return false;
    mosquitto_loop_start(client_);
    for (const std::string& topic : topics) {
        {
            const std::lock_guard lock(mutex_);
            subscribed_ = false;
        }
        mosquitto_subscribe(client_, nullptr, topic.c_str(), 1);
        if (!WaitUntil([this] {
                const std::lock_guard lock(mutex_);
                return subscribed_;
            }))
            return false;
    }
    return true;
}

void Instructor::Disconnect() {
    mosquitto_disconnect(client_);
    mosquitto_loop_stop(client_, false);
}

bool Instructor::Publish(const std::string& topic, const std::string& payload, bool retain) {
    int mid = 0;
    const int disconnections = Disconnections();
    if (mosquitto_publish(client_, &mid, topic.c_str(), static_cast<int>(payload.size()), payload.data(), 1,
                          retain) != MOSQ_ERR_SUCCESS)
        return false;
    // A broker that drops the connection instead acknowledges nothing: no use waiting then.
    WaitUntil([&] {
        const std::lock_guard lock(mutex_);
        return acknowledged_ == mid || disconnections_ != disconnections;
    });
    const std::lock_guard lock(mutex_);
    return acknowledged_ == mid;
}

int Instructor::Disconnections() const {
    const std::lock_guard lock(mutex_);
    return disconnections_;
}

std::vector<Instructor::Message> Instructor::Received() const {
    const std::lock_guard lock(mutex_);
    return received_;
}

std::string Instructor::WaitFor(const std::string& topic, const std::string& part,
                                std::chrono::milliseconds limit) const {
    std::string found;
    WaitUntil(
        [&] {
            const std::lock_guard lock(mutex_);
            for (const Message& m : received_)
                if (m.topic == topic && m.payload.find(part) != std::string::npos) {
                    found = m.payload;
                    return true;
                }
            return false;
        },
        limit);
    return found;
}

} // namespace vp7::test
