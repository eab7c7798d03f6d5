// An independent Modbus RTU client (libmodbus) for slave 17 against the simulator.
#include "LineClient.h"

#include <modbus.h>

using namespace sim_test;

namespace {

class LibmodbusClientTest : public SimTest {
protected:
    void SetUp() override {
        env.sim.setRegister(200, 17);
        context = modbus_new_rtu(env.sim.devicePath().c_str(), 19200, 'N', 8, 1);
        ASSERT_NE(context, nullptr);
        ASSERT_EQ(modbus_set_slave(context, 17), 0);
        modbus_set_response_timeout(context, 0, 500000);
        ASSERT_EQ(modbus_connect(context), 0) << modbus_strerror(errno);
    }
    void TearDown() override {
        if (!context) return;
        modbus_close(context);
        modbus_free(context);
    }
    // The one request the simulator received since the last call.
    Bytes request() {
        EXPECT_TRUE(env.sim.waitForTraffic(1, 1s));
        const auto traffic = env.sim.traffic();
        env.sim.clearTraffic();
        return traffic.size() == 1 ? traffic[0].bytes : Bytes{};
    }
    modbus_t* context = nullptr;
};

TEST_F(LibmodbusClientTest, Functions16And4And5) {
    const std::uint16_t written[2] = {0x1234, 0xABCD};
    ASSERT_EQ(modbus_write_registers(context, 362, 2, written), 2) << modbus_strerror(errno);
    EXPECT_EQ(request(), withCrc({17, 0x10, 0x01, 0x6A, 0, 2, 4, 0x12, 0x34, 0xAB, 0xCD}));
    EXPECT_EQ(env.sim.registerValue(363), 0xABCD);

    std::uint16_t read[2] = {0, 0};
    ASSERT_EQ(modbus_read_input_registers(context, 362, 2, read), 2) << modbus_strerror(errno);
    EXPECT_EQ(request(), withCrc({17, 4, 0x01, 0x6A, 0, 2}));
    EXPECT_EQ(read[0], 0x1234);
    EXPECT_EQ(read[1], 0xABCD);

    ASSERT_EQ(modbus_write_bit(context, 110, 1), 1) << modbus_strerror(errno);
    EXPECT_EQ(request(), withCrc({17, 5, 0, 110, 0xFF, 0}));
    EXPECT_TRUE(env.sim.coil(110));

    EXPECT_EQ(modbus_read_input_registers(context, 0xFFFF, 2, read), -1);
    EXPECT_EQ(errno, EMBXILADD);
}

}  // namespace
