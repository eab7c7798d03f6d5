// Modbus_OpenSerical / Modbus_CloseSerical with two simulated controllers: the slave address
// learnt from registers 200..201, the routes to the new port, and every order of closing the
// shared port through Ravo_CloseSericalPort, Ravo_OpenSericalPort and Modbus_CloseSerical.
#include "Kelvane_Ravo_Q9T2.h"
#include "com_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using ravo_sim::RequestKind;
using Bytes = std::vector<std::uint8_t>;

constexpr int kSlave = 17;

class ModbusPortsTest : public ::testing::Test {
protected:
    void SetUp() override {
        Ravo_GlobalInit();
        // Both controllers answer Modbus slave 17 besides 255.
        for (auto* sim : {com1.get(), com2.get()}) {
            sim->setRegister(200, kSlave);
            sim->setRegister(201, 0);
        }
        ASSERT_EQ(Ravo_OpenSericalPort(1), 0);
    }
    void TearDown() override {
        Modbus_CloseSerical(2);
        Ravo_CloseSericalPort();
    }

    void clearTraffic() {
        com1->clearTraffic();
        com2->clearTraffic();
    }

    ComFolder folder;
    std::unique_ptr<ravo_sim::Simulator> com1 = folder.simulator(1);
    std::unique_ptr<ravo_sim::Simulator> com2 = folder.simulator(2);
};

TEST_F(ModbusPortsTest, OpenLearnsTheSlaveAtAddress255AndRoutesItAndTheCommandsToTheNewPort) {
    unsigned char slave = 0;
    ASSERT_EQ(Modbus_OpenSerical(2, &slave), 0);
    EXPECT_EQ(slave, kSlave);
    const auto learnt = com1->traffic();
    ASSERT_EQ(learnt.size(), 1u);
    EXPECT_EQ(learnt[0].bytes, (Bytes{0xFF, 0x04, 0x00, 0xC8, 0x00, 0x02, 0xE5, 0xEB}));

    clearTraffic();
    short value = 0;
    int mode = 0;
    EXPECT_EQ(Modbus_ReadShort(kSlave, 199, &value), 0);
    EXPECT_EQ(Modbus_ReadShort(255, 199, &value), 0);
    Ravo_GetWorkMode(255, &mode);
    EXPECT_TRUE(com1->traffic().empty());
    const auto moved = com2->traffic();
    ASSERT_EQ(moved.size(), 3u);
    EXPECT_EQ(moved[0].bytes[0], kSlave);
    EXPECT_EQ(moved[2].kind, RequestKind::Command);

    slave = 99;
    EXPECT_EQ(Modbus_OpenSerical(7, &slave), 2);  // no such device
    EXPECT_EQ(Modbus_OpenSerical(2, &slave), 2);  // in use by this very library
    EXPECT_EQ(slave, 99);
    EXPECT_EQ(Modbus_CloseSerical(9), 0);         // never opened
}

TEST_F(ModbusPortsTest, UnreadableAddressGivesSlaveZero) {
    ravo_sim::Fault silent;
    silent.action = ravo_sim::Fault::Action::Silent;
    silent.on = RequestKind::Modbus;
    com1->inject(silent);
    unsigned char slave = 99;
    ASSERT_EQ(Modbus_OpenSerical(2, &slave), 0);
    EXPECT_EQ(slave, 0);
    EXPECT_EQ(Modbus_CloseSerical(2), 0);
    ASSERT_EQ(Modbus_OpenSerical(2, nullptr), 0);  // no place for the address: still opens
}

TEST_F(ModbusPortsTest, FurtherPortsKeepTheirOwnSlavesWhileTheCommandRouteMovesOn) {
    const auto com3 = folder.simulator(3);
    com3->setRegister(200, 44);
    com3->setRegister(201, 0);
    unsigned char slave = 0;
    ASSERT_EQ(Modbus_OpenSerical(2, &slave), 0);
    ASSERT_EQ(slave, kSlave);
    // The address is learnt through 255, which follows the command route, now on COM2.
    com2->setRegister(200, 44);
    ASSERT_EQ(Modbus_OpenSerical(3, &slave), 0);
    EXPECT_EQ(slave, 44);
    com2->setRegister(200, kSlave);

    clearTraffic();
    com3->clearTraffic();
    short value = 0;
    int mode = 0;
    EXPECT_EQ(Modbus_ReadShort(kSlave, 199, &value), 0);
    EXPECT_EQ(com2->traffic().size(), 1u);
    EXPECT_EQ(Modbus_ReadShort(44, 199, &value), 0);
    EXPECT_EQ(Modbus_ReadShort(255, 199, &value), 0);
    Ravo_GetWorkMode(255, &mode);
    EXPECT_EQ(com3->traffic().size(), 3u);
    EXPECT_TRUE(com1->traffic().empty());

    // Closing the newest port closes the command route with it; COM2 keeps serving slave 17.
    EXPECT_EQ(Modbus_CloseSerical(3), 0);
    EXPECT_EQ(Modbus_ReadShort(44, 199, &value), 6);
    EXPECT_EQ(Modbus_ReadShort(255, 199, &value), 6);
    EXPECT_EQ(Modbus_ReadShort(kSlave, 199, &value), 0);
}

// One permutation of the three ways to close the shared port.
enum class Step { CloseCommandPort, ReopenCommandPortOnCom1, CloseModbusPort };

std::string stepName(Step step) {
    switch (step) {
    case Step::CloseCommandPort: return "CloseCommand";
    case Step::ReopenCommandPortOnCom1: return "ReopenCommand";
    case Step::CloseModbusPort: return "CloseModbus";
    }
    return {};
}

using Order = std::array<Step, 3>;

void PrintTo(const Order& order, std::ostream* out) {
    for (Step step : order) *out << stepName(step) << ' ';
}

class CloseOrderTest : public ModbusPortsTest, public ::testing::WithParamInterface<Order> {
protected:
    // Until the first step the command route and Modbus port 2 share one port, so every step
    // closes it. Only the re-opened command port reaches a device afterwards (COM1), and
    // slave 17 is left with the closed port: nothing ever goes to COM2 again.
    void expectRoutes(bool commandsOnCom1) {
        clearTraffic();
        short value = 0;
        int mode = 0;
        EXPECT_EQ(Modbus_ReadShort(kSlave, 199, &value), 6);
        EXPECT_EQ(Modbus_ReadShort(255, 199, &value), commandsOnCom1 ? 0 : 6);
        Ravo_GetWorkMode(255, &mode);
        EXPECT_EQ(com1->traffic().size(), commandsOnCom1 ? 2u : 0u);
        EXPECT_TRUE(com2->traffic().empty());
    }
};

TEST_P(CloseOrderTest, NoRouteUsesAReleasedPort) {
    unsigned char slave = 0;
    ASSERT_EQ(Modbus_OpenSerical(2, &slave), 0);
    ASSERT_EQ(slave, kSlave);
    bool commandsOnCom1 = false;
    for (Step step : GetParam()) {
        SCOPED_TRACE(stepName(step));
        switch (step) {
        case Step::CloseCommandPort:
            Ravo_CloseSericalPort();
            commandsOnCom1 = false;
            break;
        case Step::ReopenCommandPortOnCom1:
            ASSERT_EQ(Ravo_OpenSericalPort(1), 0);
            commandsOnCom1 = true;
            break;
        case Step::CloseModbusPort: EXPECT_EQ(Modbus_CloseSerical(2), 0); break;
        }
        expectRoutes(commandsOnCom1);
    }
}

std::vector<Order> everyOrder() {
    Order order{Step::CloseCommandPort, Step::ReopenCommandPortOnCom1, Step::CloseModbusPort};
    std::vector<Order> orders;
    do orders.push_back(order);
    while (std::next_permutation(order.begin(), order.end()));
    return orders;
}

INSTANTIATE_TEST_SUITE_P(EveryOrder, CloseOrderTest, ::testing::ValuesIn(everyOrder()),
                         [](const ::testing::TestParamInfo<Order>& info) {
                             std::string name;
                             for (Step step : info.param) name += stepName(step);
                             return name;
                         });

}  // namespace
