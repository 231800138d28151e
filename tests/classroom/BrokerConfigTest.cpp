// SPDX-License-Identifier: GPL-3.0-or-later
// The shipped broker configuration against a trainee who uses the seat's own account to attack the
// room: taking over another client's connection, filling the broker below the seat's topics, and
// sending messages far larger than any the program sends.
#include "Broker.h"
#include "Instructor.h"

#include "support/Bytes.h"
#include "support/FolderFixture.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace vp7 {
namespace {

namespace fs = std::filesystem;

constexpr char kStationId[] = "vp7-station";

struct BrokerConfigTest : test::FolderFixture {
    std::unique_ptr<test::Broker> broker;
    void SetUp() override {
        FolderFixture::SetUp();
        const std::string config = test::ShippedBrokerConfig(
            dir / "accounts", {{"instructor", "lehrer"}, {"s1", "eins"}, {"s2", "zwei"}});
        ASSERT_FALSE(config.empty()) << "mosquitto_passwd failed";
        broker = std::make_unique<test::Broker>(dir / "broker", config);
        ASSERT_TRUE(broker->Start()) << test::Bytes(dir / "broker" / "broker.log");
    }
    void TearDown() override {
        broker.reset();
        FolderFixture::TearDown();
    }
};

// The shipped file as it is put in place, only its port the test's: it opens the one loopback socket
// its listener line names, and no listener of mosquitto's own on every network beside it.
TEST_F(BrokerConfigTest, ItListensOnItsOneLoopbackSocketOnly) {
    std::istringstream log(test::Bytes(dir / "broker" / "broker.log"));
    std::vector<std::string> sockets;
    for (std::string line; std::getline(log, line);)
        if (line.find("listen socket") != std::string::npos)
            sockets.push_back(line.substr(line.find(' ') + 1));
    EXPECT_EQ(sockets, std::vector<std::string>{"Opening ipv4 listen socket on port " +
                                                std::to_string(broker->Port()) + "."});
}

TEST_F(BrokerConfigTest, ASeatsAccountCannotTakeOverTheStationsConnection) {
    test::Instructor station(kStationId), thief(kStationId);
    ASSERT_TRUE(station.Connect(broker->Port(), {"vp7/r1/seat/+/event"}, "instructor", "lehrer"));
    ASSERT_TRUE(thief.Connect(broker->Port(), {}, "s2", "zwei"));
    // The thief's connection is its account's own; the station's stays, and still receives.
    ASSERT_TRUE(thief.Publish("vp7/r1/seat/s2/event", "marker"));
    EXPECT_NE(station.WaitFor("vp7/r1/seat/s2/event", "marker"), "");
    EXPECT_EQ(station.Disconnections(), 0);
    EXPECT_EQ(thief.Disconnections(), 0);
}

TEST_F(BrokerConfigTest, ASeatWritesExactlyItsOwnChannelsAndNothingLarge) {
    test::Instructor station, seat;
    ASSERT_TRUE(station.Connect(broker->Port(), {"vp7/#"}, "instructor", "lehrer"));
    ASSERT_TRUE(seat.Connect(broker->Port(), {}, "s2", "zwei"));
    // Refused quietly (the broker acknowledges and drops them): below its channels, another seat's,
    // the commands. Each retained, as a flood of the broker's memory would be.
    for (const char* topic : {"vp7/r1/seat/s2/status/junk", "vp7/r1/seat/s2/other", "vp7/r1/seat/s1/status",
                              "vp7/r1/cmd/all", "vp7/r1/cmd/seat/s1", "elsewhere"})
        ASSERT_TRUE(seat.Publish(topic, std::string("rogue ") + topic, true)) << topic;
    for (const char* topic : {"vp7/r1/seat/s2/status", "vp7/r1/seat/s2/event", "vp7/r1/seat/s2/picture"})
        ASSERT_TRUE(seat.Publish(topic, "allowed")) << topic;
    ASSERT_NE(station.WaitFor("vp7/r1/seat/s2/picture", "allowed"), "");
    for (const test::Instructor::Message& m : station.Received())
        EXPECT_EQ(m.payload, "allowed") << m.topic;

    // A message far beyond the largest the program sends ends the sender's connection and reaches no
    // one.
    const int before = seat.Disconnections();
    seat.Publish("vp7/r1/seat/s2/event", std::string(2'000'000, 'x'));
    EXPECT_TRUE(test::WaitUntil([&] { return seat.Disconnections() > before; }));
    for (const test::Instructor::Message& m : station.Received())
        EXPECT_LT(m.payload.size(), 1000u) << m.topic;
}

} // namespace
} // namespace vp7
