// Modbus RTU requests over the pty: replies with their CRC, the register and coil tables, the
// slave addresses answered, exceptions and the point-recording function.
#include "LineClient.h"

#include <gtest/gtest.h>

using namespace sim_test;

namespace {

class ModbusTest : public ::testing::Test {
protected:
    Bytes writeRegisters(std::uint16_t address, std::initializer_list<std::uint16_t> values,
                         std::uint8_t slave = 0xFF) {
        Bytes request{slave, 0x10, static_cast<std::uint8_t>(address >> 8),
                      static_cast<std::uint8_t>(address), 0,
                      static_cast<std::uint8_t>(values.size()),
                      static_cast<std::uint8_t>(2 * values.size())};
        for (std::uint16_t value : values) {
            request.push_back(static_cast<std::uint8_t>(value >> 8));
            request.push_back(static_cast<std::uint8_t>(value));
        }
        return env.line().exchange(withCrc(request), 8);
    }
    Bytes readRegisters(std::uint16_t address, std::uint8_t count, std::uint8_t slave = 0xFF) {
        return env.line().exchange(
            withCrc({slave, 4, static_cast<std::uint8_t>(address >> 8),
                     static_cast<std::uint8_t>(address), 0, count}),
            5u + 2u * count);
    }
    Bytes writeCoil(std::uint16_t address, bool on) {
        return env.line().exchange(withCrc({0xFF, 5, static_cast<std::uint8_t>(address >> 8),
                                            static_cast<std::uint8_t>(address),
                                            static_cast<std::uint8_t>(on ? 0xFF : 0), 0}),
                                   8);
    }
    SimulatorOnLine env;
};

TEST_F(ModbusTest, CrcOfKnownRequests) {
    EXPECT_EQ(withCrc({0xFF, 0x04, 0x00, 0xC7, 0x00, 0x01}),
              (Bytes{0xFF, 0x04, 0x00, 0xC7, 0x00, 0x01, 0x95, 0xE9}));
    EXPECT_EQ(withCrc({0xFF, 0x05, 0x00, 0x9D, 0xFF, 0x00}),
              (Bytes{0xFF, 0x05, 0x00, 0x9D, 0xFF, 0x00, 0x08, 0x0A}));
}

TEST_F(ModbusTest, SlaveAddressRegistersHoldDefaultOne) {
    const Bytes request{0xFF, 0x04, 0x00, 0xC8, 0x00, 0x02, 0xE5, 0xEB};
    const Bytes reply = env.line().exchange(request, 9);
    EXPECT_EQ(reply, withCrc({0xFF, 0x04, 0x04, 0x00, 0x01, 0x00, 0x00}));
}

TEST_F(ModbusTest, FloatWrittenWithFunction16ReadsBackWithFunction4) {
    // 1.0 in registers 366..367, low half first.
    const Bytes written = env.line().exchange(
        Bytes{0xFF, 0x10, 0x01, 0x6E, 0x00, 0x02, 0x04, 0x00, 0x00, 0x3F, 0x80, 0x5E, 0x20}, 8);
    EXPECT_EQ(written, withCrc({0xFF, 0x10, 0x01, 0x6E, 0x00, 0x02}));
    EXPECT_EQ(env.sim().registerValue(366), 0x0000);
    EXPECT_EQ(env.sim().registerValue(367), 0x3F80);
    EXPECT_EQ(readRegisters(366, 2), withCrc({0xFF, 0x04, 0x04, 0x00, 0x00, 0x3F, 0x80}));
}

TEST_F(ModbusTest, ShortRegisterReadIsSevenBytes) {
    env.sim().setRegister(199, 0xFFFE);
    const Bytes reply =
        env.line().exchange(Bytes{0xFF, 0x04, 0x00, 0xC7, 0x00, 0x01, 0x95, 0xE9}, 8, 150ms);
    EXPECT_EQ(reply, withCrc({0xFF, 0x04, 0x02, 0xFF, 0xFE}));
}

TEST_F(ModbusTest, CoilWriteEchoesAndCoilReadIsEightBytes) {
    EXPECT_EQ(writeCoil(110, true), withCrc({0xFF, 5, 0, 110, 0xFF, 0}));
    EXPECT_TRUE(env.sim().coil(110));
    const Bytes reply = env.line().exchange(withCrc({0xFF, 1, 0, 110, 0, 1}), 9, 150ms);
    ASSERT_EQ(reply.size(), 8u);
    EXPECT_EQ(reply[3], 1);
    EXPECT_TRUE(hasValidCrc(reply));
    writeCoil(110, false);
    EXPECT_EQ(env.line().exchange(withCrc({0xFF, 1, 0, 110, 0, 1}), 8)[3], 0);
}

TEST_F(ModbusTest, OwnSlaveAddressFollowsRegisters200And201) {
    EXPECT_EQ(readRegisters(199, 1, 1).size(), 7u);
    writeRegisters(200, {17, 0});
    const Bytes reply = readRegisters(199, 1, 17);
    ASSERT_EQ(reply.size(), 7u);
    EXPECT_EQ(reply[0], 17);
    EXPECT_TRUE(env.line().exchange(withCrc({1, 4, 0, 199, 0, 1}), 7, 80ms).empty());
    EXPECT_EQ(env.sim().traffic().back().kind, ravo_sim::RequestKind::Unknown);
}

TEST_F(ModbusTest, BadRequestsGetExceptionsAndBadCrcGetsNothing) {
    EXPECT_EQ(env.line().exchange(withCrc({0xFF, 2, 0, 0, 0, 1}), 5), withCrc({0xFF, 0x82, 1}));
    EXPECT_EQ(env.line().exchange(withCrc({0xFF, 4, 0xFF, 0xFF, 0, 2}), 5),
              withCrc({0xFF, 0x84, 2}));
    EXPECT_EQ(env.line().exchange(withCrc({0xFF, 4, 0, 0, 0, 0}), 5), withCrc({0xFF, 0x84, 3}));
    EXPECT_EQ(env.line().exchange(withCrc({0xFF, 5, 0, 1, 0x12, 0x34}), 5),
              withCrc({0xFF, 0x85, 3}));
    // Byte count that does not match the register count.
    EXPECT_EQ(env.line().exchange(withCrc({0xFF, 0x10, 0, 1, 0, 2, 2, 0, 1}), 5),
              withCrc({0xFF, 0x90, 3}));
    Bytes corrupted = withCrc({0xFF, 4, 0, 199, 0, 1});
    corrupted.back() ^= 1;
    EXPECT_TRUE(env.line().exchange(corrupted, 7, 80ms).empty());
}

TEST_F(ModbusTest, PointRecordingStoresPositionsMasksAndDelay) {
    env.line().exchange(commandFrame(132, 1, floatBits(3.5f)), 16);
    writeRegisters(361, {9});
    writeCoil(159, false);
    EXPECT_TRUE(env.sim().taughtPoints().empty()) << "saving needs a recording";

    writeCoil(157, false);  // start: back to point 0
    EXPECT_EQ(readRegisters(360, 2), withCrc({0xFF, 4, 4, 0, 0, 0, 0}));
    writeRegisters(362, {0xFFFF, 0x00FF});  // inputs
    writeRegisters(364, {0x0004, 0});       // outputs
    writeRegisters(366, {0, 0x4120});       // 10.0 ms
    writeCoil(159, false);
    writeCoil(159, false);
    EXPECT_EQ(readRegisters(360, 2), withCrc({0xFF, 4, 4, 0, 2, 0, 2}));  // total 2, point 2

    writeRegisters(361, {0});  // re-record point 0
    env.line().exchange(commandFrame(132, 2, floatBits(-1.0f)), 16);
    writeCoil(159, false);
    writeCoil(158, false);  // end
    writeCoil(159, false);  // ignored after the end

    const auto points = env.sim().taughtPoints();
    ASSERT_EQ(points.size(), 2u);
    EXPECT_EQ(points[0].positions[0], 3.5f);
    EXPECT_EQ(points[0].positions[1], -1.0f);
    EXPECT_EQ(points[1].positions[1], 0.0f);
    EXPECT_EQ(points[1].inputMask, 0x00FFFFFFu);
    EXPECT_EQ(points[1].outputMask, 4u);
    EXPECT_EQ(points[1].delayMs, 10.0f);
    EXPECT_EQ(env.sim().registerValue(360), 2);
    EXPECT_EQ(env.sim().registerValue(361), 1);
}

}  // namespace
