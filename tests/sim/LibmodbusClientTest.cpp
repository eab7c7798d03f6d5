// An independent Modbus RTU client (libmodbus) for slave 17 against the simulator.
#include "LineClient.h"

#include <gtest/gtest.h>

#include <modbus.h>

using namespace sim_test;

namespace {

class LibmodbusClientTest : public ::testing::Test {
protected:
    void SetUp() override {
        env.sim().setRegister(200, 17);
        env.sim().setRegister(201, 0);
        context = modbus_new_rtu(env.sim().devicePath().c_str(), 19200, 'N', 8, 1);
        ASSERT_NE(context, nullptr);
        ASSERT_EQ(modbus_set_slave(context, 17), 0);
        modbus_set_response_timeout(context, 0, 500000);
        ASSERT_EQ(modbus_connect(context), 0) << modbus_strerror(errno);
        env.sim().clearTraffic();
    }
    void TearDown() override {
        if (context) {
            modbus_close(context);
            modbus_free(context);
        }
    }
    Bytes lastRequest() {
        EXPECT_TRUE(env.sim().waitForTraffic(1, std::chrono::seconds(1)));
        const auto traffic = env.sim().traffic();
        EXPECT_EQ(traffic.size(), 1u);
        EXPECT_EQ(traffic.back().kind, ravo_sim::RequestKind::Modbus);
        env.sim().clearTraffic();
        return traffic.empty() ? Bytes{} : traffic.back().bytes;
    }
    SimulatorOnLine env;
    modbus_t* context = nullptr;
};

TEST_F(LibmodbusClientTest, WriteMultipleRegisters) {
    const std::uint16_t values[2] = {0x1234, 0xABCD};
    ASSERT_EQ(modbus_write_registers(context, 362, 2, values), 2) << modbus_strerror(errno);
    EXPECT_EQ(lastRequest(), withCrc({17, 0x10, 0x01, 0x6A, 0, 2, 4, 0x12, 0x34, 0xAB, 0xCD}));
    EXPECT_EQ(env.sim().registerValue(362), 0x1234);
    EXPECT_EQ(env.sim().registerValue(363), 0xABCD);
}

TEST_F(LibmodbusClientTest, ReadInputRegisters) {
    env.sim().setRegister(360, 5);
    env.sim().setRegister(361, 65535);
    std::uint16_t values[2] = {0, 0};
    ASSERT_EQ(modbus_read_input_registers(context, 360, 2, values), 2) << modbus_strerror(errno);
    EXPECT_EQ(lastRequest(), withCrc({17, 4, 0x01, 0x68, 0, 2}));
    EXPECT_EQ(values[0], 5);
    EXPECT_EQ(values[1], 65535);
}

TEST_F(LibmodbusClientTest, WriteSingleCoil) {
    ASSERT_EQ(modbus_write_bit(context, 110, 1), 1) << modbus_strerror(errno);
    EXPECT_EQ(lastRequest(), withCrc({17, 5, 0, 110, 0xFF, 0}));
    EXPECT_TRUE(env.sim().coil(110));
    ASSERT_EQ(modbus_write_bit(context, 110, 0), 1) << modbus_strerror(errno);
    EXPECT_FALSE(env.sim().coil(110));
}

TEST_F(LibmodbusClientTest, ExceptionReplyIsUnderstood) {
    std::uint16_t value = 0;
    EXPECT_EQ(modbus_read_input_registers(context, 0xFFFF, 2, &value), -1);
    EXPECT_EQ(errno, EMBXILADD);
}

}  // namespace
