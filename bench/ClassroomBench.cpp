// SPDX-License-Identifier: GPL-3.0-or-later
// A classroom message's round trip through a mosquitto on the loopback, with the client library the
// seats use: published and received back by one client, at QoS 0 and 1, a status's size and an
// exercise's. Starts its own broker on a free port.
#include "classroom/Broker.h"

#include <benchmark/benchmark.h>
#include <mosquitto.h>

#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <string>
#include <unistd.h>

namespace {

struct Echo {
    std::mutex mutex;
    std::condition_variable arrived;
    uint64_t count = 0;
};

void RoundTrip(benchmark::State& state) {
    const int qos = static_cast<int>(state.range(0));
    const std::string payload(static_cast<std::size_t>(state.range(1)), 'x');
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("vp7-bench-broker-" + std::to_string(getpid()));
    vp7::test::Broker broker(folder);
    if (!broker.Start()) {
        state.SkipWithError("mosquitto did not start");
        return;
    }
    mosquitto_lib_init();
    Echo echo;
    mosquitto* client = mosquitto_new("vp7-bench", true, &echo);
    mosquitto_message_callback_set(client, [](mosquitto*, void* self, const mosquitto_message*) {
        auto& e = *static_cast<Echo*>(self);
        {
            const std::lock_guard lock(e.mutex);
            ++e.count;
        }
        e.arrived.notify_all();
    });
    mosquitto_connect(client, "127.0.0.1", broker.Port(), 10);
    mosquitto_loop_start(client);
    mosquitto_subscribe(client, nullptr, "vp7/bench/echo", qos);
    usleep(100'000); // the subscription in place
    uint64_t sent = 0;
    for (auto _ : state) {
        mosquitto_publish(client, nullptr, "vp7/bench/echo", static_cast<int>(payload.size()), payload.data(),
                          qos, false);
        ++sent;
        std::unique_lock lock(echo.mutex);
        echo.arrived.wait(lock, [&] { return echo.count >= sent; });
    }
    mosquitto_disconnect(client);
    mosquitto_loop_stop(client, false);
    mosquitto_destroy(client);
    broker.Kill();
    std::filesystem::remove_all(folder);
}
// A status is about 300 bytes; an exercise sent to the room a few kilobytes.
BENCHMARK(RoundTrip)
    ->Args({0, 300})
    ->Args({1, 300})
    ->Args({1, 8000})
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();

} // namespace
