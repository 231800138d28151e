// SPDX-License-Identifier: GPL-3.0-or-later
// The device's Modbus server with real clients on the loopback: what a control system writes moves the
// valve as the user's entry would, what it reads is what the device shows, and what no client should
// send is refused without touching the device; and the server's settings.
#include "plant/PlantLink.h"
#include "plant/PlantSettings.h"
#include "session/SessionRecorder.h"
#include "session/language/Output.h"
#include "sim/diagnosis/Monitoring.h"
#include "support/FileFixture.h"
#include "support/RunScript.h"
#include "support/SettingsRoundTrip.h"
#include "tests/plant/PlantClient.h"

#include <atomic>
#include <chrono>
#include <cmath>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <tuple>

namespace vp7 {
namespace {

using modbus::Exception;
using modbus::Holding;
using modbus::Input;

constexpr int kPercent = static_cast<int>(Holding::SetpointHundredths);
constexpr int kMicroamps = static_cast<int>(Holding::SetpointMicroamps);

struct PlantTest : test::SimFixture {
    std::unique_ptr<PlantLink> link;

    void SetUp() override {
        SimFixture::SetUp();
        Serve();
    }
    void TearDown() override {
        link.reset();
        SimFixture::TearDown();
    }
    void Serve(modbus::Access access = modbus::Access::ReadWrite,
               ModbusTimeouts timeouts = {kModbusFrameTimeout, kModbusIdleTimeout}) {
        link.reset();
        std::string error;
        ModbusServerOptions options;
        options.port = 0;
        options.access = access;
        options.timeouts = timeouts;
        auto server = ModbusServer::Start(options, error);
        ASSERT_TRUE(server) << error;
        link = std::make_unique<PlantLink>(*sim, std::move(server));
    }
    int Port() { return link->Server().Port(); }
    // The device's side for `ms` of its time: what clients wrote applied between the ticks.
    void Run(int ms) {
        for (int t = 0; t < ms; t += 50) {
            link->ApplyPending();
            clock.Advance(50);
            link->Refresh();
        }
    }
};

TEST_F(PlantTest, ASetpointWrittenMovesTheValveAsTheEntryDoes) {
    struct Case {
        int unitIndex; // the entry field's unit: 0 %, 1 mA
        int address;
        uint16_t value;
        const char* text; // what the field shows
        double sollwert;
    };
    const Case cases[] = {
        {0, kPercent, 5000, "50.00", 50.0},      {0, kPercent, 1234, "12.34", 12.34},
        {1, kPercent, 5000, "12.000", 50.0},     {1, kMicroamps, 8000, "8.000", 25.0},
        {0, kMicroamps, 20000, "100.00", 100.0},
    };
    test::ModbusClient client(Port());
    ASSERT_TRUE(client.Connected());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        sim->UserSelect(sim->form.SetpointDimSelect, c.unitIndex);
        ASSERT_TRUE(client.Write(c.address, c.value));
        Run(4000);
        EXPECT_EQ(sim->form.SetPointText.text, c.text);
        EXPECT_DOUBLE_EQ(S().Sollwert, c.sollwert);
        EXPECT_NEAR(S().Istwert, c.sollwert, 0.1);
        const auto position = client.Input(static_cast<int>(Input::Position));
        ASSERT_TRUE(position);
        EXPECT_NEAR(*position / 100.0, S().Istwert, 0.005);
        EXPECT_EQ(client.Input(static_cast<int>(Input::Setpoint)), std::lround(c.sollwert * 100));
    }
    // The last one read back: the setpoint in hundredths of a percent and as a current (4-20 mA).
    EXPECT_EQ(client.Holding(kPercent), 10000);
    EXPECT_EQ(client.Holding(kMicroamps), 20000);
}

TEST_F(PlantTest, AFaultOptionSetShowsOnTheDevice) {
    test::ModbusClient client(Port());
    ASSERT_TRUE(client.Write(static_cast<int>(Holding::BlockUp), 1));
    ASSERT_TRUE(client.Write(kPercent, 10000));
    Run(25000); // the deviation stays long enough for fault 1
    EXPECT_TRUE(sim->form.BlockUpSelect.checked);
    EXPECT_DOUBLE_EQ(S().Istwert, 90.0);
    EXPECT_EQ(sim->monitoring.FaultFlags[1], 1);
    EXPECT_EQ(client.Input(static_cast<int>(Input::Position)), 9000);
    EXPECT_EQ(client.Input(static_cast<int>(Input::FaultBits)).value_or(0) & 1, 1);
    EXPECT_EQ(client.Discrete(static_cast<int>(modbus::Discrete::FaultOutput)), sim->monitoring.FaultOutput);
    EXPECT_EQ(client.Discrete(static_cast<int>(modbus::Discrete::FirstFault)), 1);
    // The binary input's switch, flipped as a click on it would.
    ASSERT_TRUE(client.WriteCoil(static_cast<int>(modbus::Coil::BinaryInput1), true));
    Run(100);
    EXPECT_EQ(sim->monitoring.BinaryInput1, 1);
}

// Each request no client should send: the exception it earns (0 for a closed connection), and the
// device as it was.
TEST_F(PlantTest, BadRequestsAreRefusedAndChangeNothing) {
    struct Case {
        const char* what;
        std::vector<uint8_t> frame;
        std::optional<Exception> exception; // none: the connection is closed
    };
    using test::Frame;
    using enum Exception;
    constexpr std::nullopt_t kClosed = std::nullopt;
    const Case cases[] = {
        {"unknown function", Frame({0x2B, 0x0E, 0x01, 0x00}), IllegalFunction},
        {"holding register past the map", Frame({0x03, 0x00, 0x07, 0x00, 0x01}), IllegalDataAddress},
        {"read running past the map", Frame({0x04, 0x00, 0x4D, 0x00, 0x02}), IllegalDataAddress},
        {"too many registers at once", Frame({0x04, 0x00, 0x00, 0x00, 0x7E}), IllegalDataValue},
        {"no registers at all", Frame({0x03, 0x00, 0x00, 0x00, 0x00}), IllegalDataValue},
        {"setpoint above 100 %", Frame({0x06, 0x00, 0x00, 0x27, 0x11}), IllegalDataValue},
        {"option neither 0 nor 1", Frame({0x06, 0x00, 0x02, 0x00, 0x02}), IllegalDataValue},
        {"current above 20 mA", Frame({0x06, 0x00, 0x01, 0x4E, 0x21}), IllegalDataValue},
        {"coil neither on nor off", Frame({0x05, 0x00, 0x00, 0x12, 0x34}), IllegalDataValue},
        {"coil past the map", Frame({0x05, 0x00, 0x02, 0xFF, 0x00}), IllegalDataAddress},
        {"byte count that does not match", Frame({0x10, 0x00, 0x00, 0x00, 0x02, 0x03, 0x13, 0x88, 0x00}),
         IllegalDataValue},
        {"one bad value among good ones", Frame({0x10, 0x00, 0x00, 0x00, 0x02, 0x04, 0x13, 0x88, 0x4E, 0x21}),
         IllegalDataValue},
        {"registers written past the map", Frame({0x10, 0x00, 0x05, 0x00, 0x03, 0x06, 0, 1, 0, 1, 0, 1}),
         IllegalDataAddress},
        {"coils written past the map", Frame({0x0F, 0x00, 0x01, 0x00, 0x02, 0x01, 0x03}), IllegalDataAddress},
        {"another unit", Frame({0x06, 0x00, 0x00, 0x13, 0x88}, 7), GatewayTargetFailed},
        {"another protocol", {0, 1, 0, 5, 0, 6, 1, 0x06, 0x00, 0x00, 0x13, 0x88}, kClosed},
        {"a length that promises more", {0, 1, 0, 0, 0, 40, 1, 0x06, 0x00, 0x00, 0x13, 0x88}, kClosed},
        {"a length that says less", {0, 1, 0, 0, 0, 2, 1, 0x06, 0x00, 0x00, 0x13, 0x88}, kClosed},
        {"cut off mid-frame", {0, 1, 0, 0, 0, 6, 1, 0x06, 0x00}, kClosed},
    };
    Run(200);
    const modbus::PlantImage before = ReadPlantImage(*sim);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::RawClient raw(Port());
        ASSERT_TRUE(raw.Connected());
        raw.Send(c.frame);
        const auto response = raw.Receive();
        if (!c.exception) {
            EXPECT_FALSE(response) << "answered instead of closed";
        } else {
            ASSERT_TRUE(response);
            ASSERT_EQ(response->size(), 9u);
            EXPECT_EQ((*response)[7], c.frame[7] | modbus::kExceptionBit);
            EXPECT_EQ((*response)[8], static_cast<int>(*c.exception));
        }
        EXPECT_EQ(link->ApplyPending(), 0u);
        Run(100);
        EXPECT_TRUE(ReadPlantImage(*sim) == before);
    }
    // A client that goes away in the middle of a frame leaves the server serving the next.
    {
        test::RawClient gone(Port());
        gone.Send({0, 1, 0, 0, 0, 6});
    }
    test::ModbusClient client(Port());
    EXPECT_EQ(client.Input(static_cast<int>(Input::Position)), before[Input::Position]);
}

TEST_F(PlantTest, TheFieldbusVariantsTakeTheSetpointInPercentOnly) {
    link.reset();
    Restart(1);
    Serve();
    test::ModbusClient client(Port());
    EXPECT_FALSE(client.Write(kMicroamps, 12000));
    EXPECT_EQ(errno, EMBXILVAL);
    ASSERT_TRUE(client.Write(kPercent, 2500));
    Run(3000);
    EXPECT_EQ(sim->form.SetPointText.text, "25.00");
    EXPECT_NEAR(S().Istwert, 25.0, 0.1);
}

TEST_F(PlantTest, ReadOnlyRefusesEveryWrite) {
    Serve(modbus::Access::ReadOnly);
    test::ModbusClient client(Port());
    EXPECT_FALSE(client.Write(kPercent, 5000));
    EXPECT_EQ(errno, EMBXILFUN);
    EXPECT_FALSE(client.WriteCoil(0, true));
    EXPECT_EQ(errno, EMBXILFUN);
    uint16_t two[2] = {5000, 1};
    EXPECT_EQ(modbus_write_registers(client.Context(), 0, 2, two), -1);
    Run(2000);
    EXPECT_DOUBLE_EQ(S().Sollwert, 0.0);
    EXPECT_EQ(client.Input(static_cast<int>(Input::Position)), 0);
}

TEST_F(PlantTest, EveryClientAtOnceAndANewcomerAlwaysGetsIn) {
    constexpr int kPosition = static_cast<int>(Input::Position);
    ASSERT_TRUE(test::ModbusClient(Port()).Write(kPercent, 3000));
    Run(3000);
    std::vector<std::unique_ptr<test::ModbusClient>> clients;
    while (clients.size() < ModbusServer::kMaxClients)
        clients.push_back(std::make_unique<test::ModbusClient>(Port()));
    for (int round = 0; round < 2; ++round)
        for (auto& c : clients) // each answered, again and again, the first longest ago
            EXPECT_EQ(c->Input(kPosition), 3000);
    // Full: the client idle longest makes way for one that says nothing, and that one, never
    // answered, for the next.
    test::RawClient silent(Port());
    test::ModbusClient newcomer(Port());
    EXPECT_EQ(newcomer.Input(kPosition), 3000);
    EXPECT_FALSE(silent.Receive()) << "still open";
    EXPECT_FALSE(clients.front()->Input(kPosition));
    EXPECT_EQ(clients[1]->Input(kPosition), 3000);
    EXPECT_EQ(link->Server().Clients(), ModbusServer::kMaxClients);
}

// A client that sends its request a byte at a time holds up no other, and is closed when the request
// has not come whole within the frame time-out.
TEST_F(PlantTest, ASlowSenderHoldsUpNoOtherClient) {
    // Writing 20 registers: 53 bytes, a byte every 50 ms.
    std::vector<uint8_t> pdu{0x10, 0x00, 0x00, 0x00, 20, 40};
    pdu.resize(pdu.size() + 40, 0);
    const std::vector<uint8_t> frame = test::Frame(pdu);
    test::RawClient slow(Port());
    ASSERT_TRUE(slow.Connected());
    std::atomic<size_t> sent = 0;
    std::atomic<bool> stop = false;
    std::thread trickle([&] {
        for (; sent < frame.size() && !stop; ++sent) {
            slow.Send({frame[sent]});
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    });
    while (sent < 3) // well inside the request
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    test::ModbusClient client(Port());
    for (int round = 0; round < 5; ++round)
        EXPECT_EQ(client.Input(static_cast<int>(Input::Position)), 0) << "round " << round;
    stop = true;
    trickle.join();
    EXPECT_FALSE(slow.Receive(5000)) << "a request never whole, answered or left open";
    EXPECT_EQ(link->ApplyPending(), 0u);
}

// Whatever a connection has sent, it is closed once its time is up: at the idle time-out when it sent
// nothing since its start or its last answer, at the frame time-out when its request stopped halfway.
TEST_F(PlantTest, ConnectionsCloseWhenTheirTimeIsUp) {
    using std::chrono::milliseconds;
    Serve(modbus::Access::ReadWrite, {milliseconds(200), milliseconds(300)});
    const std::vector<uint8_t> read = test::Frame({0x04, 0x00, 0x00, 0x00, 0x01});
    struct Case {
        const char* what;
        std::vector<uint8_t> sent;
        bool answered;
    };
    const Case cases[] = {
        {"nothing sent", {}, false},
        {"half a request", {read.begin(), read.begin() + 5}, false},
        {"a request whole but for its last byte", {read.begin(), read.end() - 1}, false},
        {"a request answered, then nothing", read, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::RawClient raw(Port());
        ASSERT_TRUE(raw.Connected());
        raw.Send(c.sent);
        if (c.answered) {
            const auto answer = raw.Receive();
            ASSERT_TRUE(answer);
            EXPECT_EQ(answer->size(), 11u);
        }
        EXPECT_FALSE(raw.Receive(5000)) << "still open";
    }
}

TEST_F(PlantTest, AFloodOfWritesIsBoundedAndTheDeviceTakesItsShare) {
    test::RawClient flood(Port());
    std::vector<uint8_t> many;
    for (size_t i = 0; i < 2 * ModbusServer::kMaxQueuedWrites; ++i) {
        const auto frame = test::Frame({0x06, 0x00, 0x00, 0x00, static_cast<uint8_t>(i % 100)});
        many.insert(many.end(), frame.begin(), frame.end());
    }
    flood.Send(many);
    size_t busy = 0, answered = 0;
    std::vector<uint8_t> got;
    while (answered < 2 * ModbusServer::kMaxQueuedWrites) {
        const auto part = flood.Receive(2000);
        if (!part || part->empty()) break;
        got.insert(got.end(), part->begin(), part->end());
        while (got.size() >= 8 && got.size() >= 6u + got[5]) {
            busy +=
                got[7] == (0x06 | modbus::kExceptionBit) && got[8] == static_cast<int>(Exception::ServerBusy);
            ++answered;
            got.erase(got.begin(), got.begin() + 6 + got[5]);
        }
    }
    EXPECT_EQ(answered, 2 * ModbusServer::kMaxQueuedWrites);
    EXPECT_EQ(busy, ModbusServer::kMaxQueuedWrites);
    // Taken all, and of the writes to one register the last applied: 255 of them, 0.55 %.
    EXPECT_EQ(link->ApplyPending(), ModbusServer::kMaxQueuedWrites);
    EXPECT_EQ(sim->form.SetPointText.text, "0.55");
}

// What a client wrote is in the session's recording as the user's lines, which replay to the same
// device with no client there.
TEST_F(PlantTest, ARecordingMadeWithAClientReplaysWithoutIt) {
    const auto path = dir / "plant.vp7s";
    {
        SessionRecorder recorder(*sim, path.string(), "test");
        ASSERT_TRUE(recorder.Good());
        test::ModbusClient client(Port());
        Run(400);
        ASSERT_TRUE(client.Write(kPercent, 4250));
        Run(3000);
        ASSERT_TRUE(client.Write(static_cast<int>(Holding::Leakage), 1));
        ASSERT_TRUE(client.WriteCoil(static_cast<int>(modbus::Coil::BinaryInput1), true));
        Run(5000);
        uint16_t both[2] = {1, 1}; // leakage as it is, and friction
        ASSERT_EQ(modbus_write_registers(client.Context(), static_cast<int>(Holding::Leakage), 2, both), 2);
        ASSERT_TRUE(client.Write(kPercent, 7000));
        Run(6000);
        recorder.WriteUpToNow();
    }
    const std::string recording = test::Bytes(path);
    EXPECT_NE(recording.find("set SetPointText \"42.50\"\nclick Enter\n"), std::string::npos);
    EXPECT_NE(recording.find("set LeakageSelect 1\n"), std::string::npos);

    std::filesystem::create_directories(dir / "replay");
    const auto replay = test::RunScript(
        recording + "print Istwert\nprint Sollwert\nprint LeakageSelect\nprint FrictionSelect\n"
                    "print BlockUpSelect\nprint BinaryInput1\n",
        dir / "replay");
    ASSERT_EQ(replay.status, 0) << replay.err;
    std::ostringstream expected;
    expected << "Istwert " << FormatReal(S().Istwert) << "\nSollwert " << FormatReal(S().Sollwert)
             << "\nLeakageSelect 1\nFrictionSelect 1\nBlockUpSelect 0\nBinaryInput1 1\n";
    EXPECT_EQ(replay.out, expected.str());
}

// An older program's file, hand edits that break a key, and what this program writes: read, and
// written again to the same choice; a file that never had the section gets none.
TEST(PlantSettings, ReadsTheServersSectionAndTakesADamagedKeyAsItsDefault) {
    struct Case {
        const char* file;
        bool serve;
        int port, unit;
        const char* address;
        bool readOnly;
    } cases[] = {
        {"[Config]\nCheckScreen=0\n[View]\nZoom=150\n", false, 502, 1, "127.0.0.1", false},
        {"[Modbus]\nServer=1\nPort=1502\nUnit=7\nInterface=0.0.0.0\nReadOnly=1\n", true, 1502, 7, "0.0.0.0",
         true},
        {"[modbus]\nserver=1\n", true, 502, 1, "127.0.0.1", false},
        {"[Modbus]\nServer=2\nPort=70000\nUnit=-1\nInterface=localhost\nReadOnly=yes\n", false, 502, 1,
         "127.0.0.1", false},
        {"[Modbus]\nPort=$5DE\n", false, 1502, 1, "127.0.0.1", false}, // hexadecimal, as every number key
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const auto trip = test::ReadWriteAgain<PlantSettings>(c.file);
        const auto fields = [](const PlantSettings& s) {
            return std::tuple(s.serve, s.options.port, s.options.unitId, s.options.address,
                              s.options.access == modbus::Access::ReadOnly);
        };
        EXPECT_EQ(fields(trip.read), std::tuple(c.serve, c.port, c.unit, std::string(c.address), c.readOnly));
        EXPECT_EQ(fields(trip.again), fields(trip.read));
        EXPECT_EQ(trip.written.find("Modbus") != std::string::npos,
                  std::string(c.file).find("odbus") != std::string::npos);
    }
}

} // namespace
} // namespace vp7
