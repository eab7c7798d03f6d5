// Modbus RTU requests over the pty: replies with their CRC, the register and coil tables, the
// slave addresses answered, exceptions and the point-recording function.
#include "LineClient.h"

using namespace sim_test;

namespace {

std::uint8_t high(std::uint16_t value) { return static_cast<std::uint8_t>(value >> 8); }
std::uint8_t low(std::uint16_t value) { return static_cast<std::uint8_t>(value); }

class SimModbus : public SimTest {
protected:
    Bytes writeRegisters(std::uint16_t address, std::initializer_list<std::uint16_t> values) {
        Bytes request{0xFF, 0x10, high(address), low(address), 0, low(values.size()), low(2 * values.size())};
        for (std::uint16_t value : values) request.insert(request.end(), {high(value), low(value)});
        return env.line.exchange(withCrc(request), 8);
    }
    Bytes readRegisters(std::uint16_t address, std::uint8_t count, std::uint8_t slave = 0xFF) {
        return env.line.exchange(withCrc({slave, 4, high(address), low(address), 0, count}), 5u + 2u * count, 150ms);
    }
    Bytes writeCoil(std::uint16_t address, bool on) {
        return env.line.exchange(withCrc({0xFF, 5, high(address), low(address), std::uint8_t(on ? 0xFF : 0), 0}), 8);
    }
};

TEST_F(SimModbus, ProtocolExamplesWithTheirCrcAndReplyLengths) {
    // Read registers 199 and 200..201 (the slave address, default 1).
    env.sim.setRegister(199, 0xFFFE);
    EXPECT_EQ(env.line.exchange({0xFF, 0x04, 0x00, 0xC7, 0x00, 0x01, 0x95, 0xE9}, 8, 150ms),
              withCrc({0xFF, 0x04, 0x02, 0xFF, 0xFE}));
    EXPECT_EQ(env.line.exchange({0xFF, 0x04, 0x00, 0xC8, 0x00, 0x02, 0xE5, 0xEB}, 9),
              withCrc({0xFF, 0x04, 0x04, 0x00, 0x01, 0x00, 0x00}));
    // 1.0 into registers 366..367, low half first, read back with function 4.
    EXPECT_EQ(env.line.exchange({0xFF, 0x10, 0x01, 0x6E, 0x00, 0x02, 0x04, 0x00, 0x00, 0x3F, 0x80, 0x5E, 0x20}, 8),
              withCrc({0xFF, 0x10, 0x01, 0x6E, 0x00, 0x02}));
    EXPECT_EQ(env.sim.registerValue(367), 0x3F80);
    EXPECT_EQ(readRegisters(366, 2), withCrc({0xFF, 0x04, 0x04, 0x00, 0x00, 0x3F, 0x80}));
    // Coil 157 on: the reply echoes; a one-coil read answers three data bytes.
    EXPECT_EQ(env.line.exchange({0xFF, 0x05, 0x00, 0x9D, 0xFF, 0x00, 0x08, 0x0A}, 8),
              withCrc({0xFF, 0x05, 0x00, 0x9D, 0xFF, 0x00}));
    EXPECT_TRUE(env.sim.coil(157));
    EXPECT_EQ(env.line.exchange(withCrc({0xFF, 1, 0, 157, 0, 1}), 9, 150ms), withCrc({0xFF, 1, 3, 1, 0, 0}));
    writeCoil(157, false);
    EXPECT_FALSE(env.sim.coil(157));
}

TEST_F(SimModbus, BadRequestsGetExceptionsAndOtherSlavesOrBadCrcGetNothing) {
    const struct {
        Bytes request;
        std::uint8_t function, code;
    } cases[] = {
        {{0xFF, 2, 0, 0, 0, 1}, 0x82, 1},
        {{0xFF, 4, 0xFF, 0xFF, 0, 2}, 0x84, 2},
        {{0xFF, 4, 0, 0, 0, 0}, 0x84, 3},
        {{0xFF, 5, 0, 1, 0x12, 0x34}, 0x85, 3},
        {{0xFF, 0x10, 0, 1, 0, 2, 2, 0, 1}, 0x90, 3},  // byte count not twice the register count
    };
    for (const auto& c : cases)
        EXPECT_EQ(env.line.exchange(withCrc(c.request), 5), withCrc({0xFF, c.function, c.code}));
    Bytes corrupted = withCrc({0xFF, 4, 0, 199, 0, 1});
    corrupted.back() ^= 1;
    EXPECT_TRUE(env.line.exchange(corrupted, 7, 80ms).empty());

    // The own slave address follows registers 200..201.
    EXPECT_EQ(readRegisters(199, 1, 1).size(), 7u);
    writeRegisters(200, {17, 0});
    EXPECT_EQ(readRegisters(199, 1, 17), withCrc({17, 4, 2, 0, 0}));
    EXPECT_TRUE(readRegisters(199, 1, 1).empty());
}

TEST_F(SimModbus, PointRecordingStoresPositionsMasksAndDelay) {
    ask(132, 1, floatBits(3.5f));
    writeCoil(159, false);
    EXPECT_TRUE(env.sim.taughtPoints().empty()) << "saving needs a recording";

    writeCoil(157, false);  // start: back to point 0
    EXPECT_EQ(readRegisters(360, 2), withCrc({0xFF, 4, 4, 0, 0, 0, 0}));
    writeRegisters(362, {0xFFFF, 0x00FF, 0x0004, 0, 0, 0x4120});  // inputs, outputs, 10.0 ms
    writeCoil(159, false);
    writeCoil(159, false);
    EXPECT_EQ(readRegisters(360, 2), withCrc({0xFF, 4, 4, 0, 2, 0, 2}));  // total 2, point 2

    writeRegisters(361, {0});  // re-record point 0
    ask(132, 2, floatBits(-1.0f));
    writeCoil(159, false);
    writeCoil(158, false);  // end
    writeCoil(159, false);  // ignored after the end

    const auto points = env.sim.taughtPoints();
    ASSERT_EQ(points.size(), 2u);
    EXPECT_EQ(points[0].positions[0], 3.5f);
    EXPECT_EQ(points[0].positions[1], -1.0f);
    EXPECT_EQ(points[1].positions[1], 0.0f);
    EXPECT_EQ(points[1].inputMask, 0x00FFFFFFu);
    EXPECT_EQ(points[1].outputMask, 4u);
    EXPECT_EQ(points[1].delayMs, 10.0f);
    EXPECT_EQ(env.sim.registerValue(361), 1);
}

}  // namespace
