// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The instructor's side of a test: a plain MQTT client that sends commands and collects what the seats
// publish on the topics it subscribed to.
#include <mosquitto.h>

#include <chrono>
#include <mutex>
#include <string>
#include <vector>

namespace vp7::test {

class Instructor {
public:
    struct Message {
        std::string topic, payload;
        bool retained = false;
        std::chrono::steady_clock::time_point arrived; // when the network thread took it
    };

    // A station with an `id` of its own keeps its session on the broker while it is away, and what came
    // for it meanwhile at QoS 1; without one it starts afresh each time.
    explicit Instructor(const std::string& id = {});
    ~Instructor();
    Instructor(const Instructor&) = delete;
    Instructor& operator=(const Instructor&) = delete;

    // Connects and subscribes to `topics`; false when the broker did not take the connection.
    bool Connect(int port, const std::vector<std::string>& topics, const std::string& user = {},
                 const std::string& password = {});
    void Disconnect();
    // At QoS 1, waiting for the broker's acknowledgement.
    bool Publish(const std::string& topic, const std::string& payload, bool retain = false);
    // How often the broker dropped the connection (one that broke its rules, or taken over by another
    // with the same client id); the client connects again by itself.
    int Disconnections() const;
    std::vector<Message> Received() const;
    // Waits until a message on `topic` whose payload contains `part` arrived; its payload, or empty.
    std::string WaitFor(const std::string& topic, const std::string& part,
                        std::chrono::milliseconds limit = std::chrono::seconds(8)) const;

private:
    mosquitto* client_ = nullptr;
    mutable std::mutex mutex_;
    std::vector<Message> received_;
    bool subscribed_ = false;
    int acknowledged_ = -1;
    int disconnections_ = 0;
};

} // namespace vp7::test
