// SPDX-License-Identifier: GPL-3.0-or-later
// The shipped broker configuration against a trainee who uses the seat's own account to attack the
// room: taking over another client's connection, filling the broker below the seat's topics, and
// sending messages far larger than any the program sends.
#include "Broker.h"
#include "Instructor.h"

#include "broker/SeatLink.h"
#include "classroom/RunnerSeat.h"
#include "session/script/Runner.h"
#include "support/Bytes.h"
#include "support/FolderFixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
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

// A certificate authority and the broker's certificate for the loopback's address, made with openssl
// as the documentation says (with small keys, for speed), and a second authority that did not sign it.
bool MakeCertificates(const fs::path& folder) {
    fs::create_directories(folder);
    std::ofstream(folder / "san") << "subjectAltName=IP:127.0.0.1\n";
    const std::string in = "cd " + folder.string() + " && ";
    const std::string key = " -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes";
    for (const std::string& command :
         {"openssl req -x509" + key + " -days 2 -keyout vp7-ca.key -out vp7-ca.crt -subj /CN=vp7-ca",
          "openssl req -x509" + key + " -days 2 -keyout other-ca.key -out other-ca.crt -subj /CN=vp7-ca",
          "openssl req" + key + " -keyout vp7-broker.key -out broker.csr -subj /CN=127.0.0.1",
          std::string("openssl x509 -req -in broker.csr -CA vp7-ca.crt -CAkey vp7-ca.key -CAcreateserial "
                      "-days 2 -extfile san -out vp7-broker.crt"),
          std::string("chmod -R a+rX .")})
        if (std::system((in + command + " >/dev/null 2>&1").c_str()) != 0) return false;
    return true;
}

// The shipped file's encrypted listener in place of its loopback one: a seat with the room's authority
// as its Classroom/ca.crt joins; one with another authority (a broker that is not the room's) never.
TEST_F(BrokerConfigTest, TheEncryptedListenerTakesOnlySeatsThatTrustTheRoomsAuthority) {
    broker.reset();
    ASSERT_TRUE(MakeCertificates(dir / "certs"));
    broker = std::make_unique<test::Broker>(
        dir / "tls", test::ShippedTlsBrokerConfig(dir / "accounts", {{"s1", "eins"}}, dir / "certs"));
    ASSERT_TRUE(broker->Start()) << test::Bytes(dir / "tls" / "broker.log");
    for (const auto& [authority, joins] : {std::pair{"vp7-ca.crt", true}, std::pair{"other-ca.crt", false}}) {
        SCOPED_TRACE(authority);
        const fs::path program = dir / authority;
        fs::create_directories(program / "Classroom");
        fs::copy_file(dir / "certs" / authority, program / "Classroom" / "ca.crt");
        std::ostringstream out, log;
        Runner runner(out, program.string());
        RunnerSeat seat(runner, (program / "Classroom").string(), log, &SeatLink::Make);
        runner.Execute("classroom 127.0.0.1 " + std::to_string(broker->Port()) + " r1 s1 s1 eins");
        runner.Execute("start");
        const bool connected = test::WaitUntil(
            [&] {
                runner.Execute("wait 100");
                return log.str().find("connected to") != std::string::npos;
            },
            std::chrono::seconds(3));
        EXPECT_EQ(connected, joins) << log.str();
    }
}

} // namespace
} // namespace vp7
