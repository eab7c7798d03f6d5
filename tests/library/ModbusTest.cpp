// Modbus RTU access against simulated controllers: the request bytes, reply decoding, the result
// codes of unknown slaves, exception, short and missing replies, and Modbus_OpenSerical /
// Modbus_CloseSerical with the routes they make and every order of closing a shared port.
#include "PtyPeer.h"

namespace {

using ravo_sim::Fault;
using ravo_sim::RequestKind;

constexpr int kSlave = 17;  // both controllers name it in registers 200..201, besides 255

class ModbusTest : public ::testing::Test {
protected:
    void SetUp() override {
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

    Bytes lastRequest() const {
        const auto traffic = com1->traffic();
        return traffic.empty() ? Bytes{} : traffic.back().bytes;
    }
    void clearTraffic() {
        com1->clearTraffic();
        com2->clearTraffic();
    }

    TemporaryComFolder folder;
    std::unique_ptr<ravo_sim::Simulator> com1 = folder.simulator(1);
    std::unique_ptr<ravo_sim::Simulator> com2 = folder.simulator(2);
};

// Each write is read back through the simulated controller's registers, which shows the order
// of the registers and bytes in the replies; the writes' layout is in their bytes.
TEST_F(ModbusTest, RequestsCarryTheControllerLayoutAndRepliesDecodeIt) {
    short s = 0;
    int l = 0;
    float f = 0;
    unsigned char c = 0;
    const std::pair<std::function<int()>, Bytes> requests[] = {
        {[&] { return Modbus_WriteFloat(255, 366, 1.0f); },
         {0xFF, 0x10, 0x01, 0x6E, 0x00, 0x02, 0x04, 0x00, 0x00, 0x3F, 0x80, 0x5E, 0x20}},
        {[&] { return Modbus_ReadFloat(255, 366, &f); }, {0xFF, 0x04, 0x01, 0x6E, 0x00, 0x02, 0x04, 0x34}},
        {[&] { return Modbus_WriteLong(255, 360, 0x12345678); },
         {0xFF, 0x10, 0x01, 0x68, 0x00, 0x02, 0x04, 0x56, 0x78, 0x12, 0x34, 0x52, 0xBC}},
        {[&] { return Modbus_ReadLong(255, 360, &l); }, {0xFF, 0x04, 0x01, 0x68, 0x00, 0x02, 0xE4, 0x35}},
        {[&] { return Modbus_WriteShort(255, 199, -3); },
         {0xFF, 0x10, 0x00, 0xC7, 0x00, 0x01, 0x02, 0xFF, 0xFD, 0x7E, 0xF2}},
        // Slave and register are reduced to their byte and 16-bit fields.
        {[&] { return Modbus_ReadShort(255 + 256, 199 + 65536, &s); },
         {0xFF, 0x04, 0x00, 0xC7, 0x00, 0x01, 0x95, 0xE9}},
        // The coil value is a byte, and only 1 switches on.
        {[&] { return Modbus_WriteCoil(255, 157, 0x101); }, {0xFF, 0x05, 0x00, 0x9D, 0xFF, 0x00, 0x08, 0x0A}},
        {[&] { return Modbus_ReadCoil(255, 157, &c); }, {0xFF, 0x01, 0x00, 0x9D, 0x00, 0x01, 0x79, 0xFA}},
        {[&] { return Modbus_WriteCoil(255, 157, 2); }, {0xFF, 0x05, 0x00, 0x9D, 0x00, 0x00, 0x49, 0xFA}},
    };
    for (const auto& [call, bytes] : requests) {
        EXPECT_EQ(call(), 0);
        EXPECT_EQ(lastRequest(), bytes);
    }
    EXPECT_EQ(f, 1.0f);
    EXPECT_EQ(l, 0x12345678);
    EXPECT_EQ(s, -3);
    EXPECT_EQ(c, 1);
    EXPECT_FALSE(com1->coil(157));
}

TEST_F(ModbusTest, FailedReadsGiveSixAndFailedWritesNothing) {
    short s = 11;
    int l = 11;
    float f = 11;
    unsigned char c = 11;
    // An unknown slave: nothing reaches the line, nothing is stored.
    for (int result : {Modbus_WriteCoil(99, 1, 1), Modbus_ReadCoil(99, 1, &c), Modbus_WriteShort(99, 1, 1),
                       Modbus_ReadShort(99, 1, &s), Modbus_WriteLong(99, 1, 1), Modbus_ReadLong(99, 1, &l),
                       Modbus_WriteFloat(99, 1, 1), Modbus_ReadFloat(99, 1, &f)})
        EXPECT_EQ(result, 6);
    EXPECT_TRUE(com1->traffic().empty());
    EXPECT_EQ(s + l + f + c, 44);

    com1->inject({Fault::Action::ShortReply, RequestKind::Modbus, 4, 1, 8});
    EXPECT_EQ(Modbus_ReadFloat(255, 370, &f), 6);
    EXPECT_EQ(f, 11);
    com1->inject({Fault::Action::Silent, RequestKind::Modbus, 4});
    EXPECT_EQ(Modbus_ReadLong(255, 370, &l), 6);
    EXPECT_EQ(l, 0);  // the long read clears its value on failure
    com1->inject({Fault::Action::ModbusException, RequestKind::Modbus, 16});
    EXPECT_EQ(Modbus_WriteShort(255, 370, 2), 0);
    EXPECT_EQ(Modbus_ReadShort(255, 370, &s), 0) << "nothing is left over from the faults";

    Ravo_CloseSericalPort();  // reads fail, writes report nothing, nothing reaches the line
    com1->clearTraffic();
    EXPECT_EQ(Modbus_ReadShort(255, 370, &s), 6);
    EXPECT_EQ(Modbus_WriteShort(255, 370, 3), 0);
    EXPECT_TRUE(com1->traffic().empty());
    c = 99;
    EXPECT_EQ(Modbus_OpenSerical(2, &c), 0);
    EXPECT_EQ(c, 0) << "a slave address that cannot be read (at 255, the closed port)";
    EXPECT_EQ(Modbus_CloseSerical(2), 0);
    EXPECT_EQ(Modbus_OpenSerical(2, nullptr), 0) << "no place for the address";
}

TEST_F(ModbusTest, OpenLearnsTheSlaveAtAddress255AndRoutesItAndTheCommandsToTheNewPort) {
    unsigned char slave = 0;
    ASSERT_EQ(Modbus_OpenSerical(2, &slave), 0);
    EXPECT_EQ(slave, kSlave);
    EXPECT_EQ(lastRequest(), (Bytes{0xFF, 0x04, 0x00, 0xC8, 0x00, 0x02, 0xE5, 0xEB}));

    clearTraffic();
    short value = 0;
    int mode = 0;
    EXPECT_EQ(Modbus_ReadShort(kSlave, 199, &value), 0);
    EXPECT_EQ(Modbus_ReadShort(255, 199, &value), 0);
    Ravo_GetWorkMode(255, &mode);
    EXPECT_TRUE(com1->traffic().empty());
    EXPECT_EQ(com2->traffic().size(), 3u);

    slave = 99;
    EXPECT_EQ(Modbus_OpenSerical(7, &slave), 2);  // no such device
    EXPECT_EQ(Modbus_OpenSerical(2, &slave), 2);  // in use by this very library
    EXPECT_EQ(slave, 99);
    EXPECT_EQ(Modbus_CloseSerical(9), 0);  // never opened

    // A further port keeps its own slave while the command route moves on to it.
    const auto com3 = folder.simulator(3);
    com3->setRegister(200, 44);
    com2->setRegister(200, 44);  // learnt through 255, which follows the command route
    ASSERT_EQ(Modbus_OpenSerical(3, &slave), 0);
    EXPECT_EQ(slave, 44);
    com2->setRegister(200, kSlave);
    clearTraffic();
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

// C closes the command port, R re-opens it on COM1, M closes Modbus port 2. Until the first
// step the command route and Modbus port 2 share one port, so every step closes it; afterwards
// only the re-opened command port reaches a device (COM1), and slave 17 never reaches COM2.
class CloseOrder : public ModbusTest, public ::testing::WithParamInterface<std::string> {};

TEST_P(CloseOrder, NoRouteUsesAReleasedPort) {
    unsigned char slave = 0;
    ASSERT_EQ(Modbus_OpenSerical(2, &slave), 0);
    bool commandsOnCom1 = false;
    for (char step : GetParam()) {
        SCOPED_TRACE(step);
        if (step == 'C') Ravo_CloseSericalPort();
        EXPECT_EQ(step == 'R' ? Ravo_OpenSericalPort(1) : step == 'M' ? Modbus_CloseSerical(2) : 0, 0);
        commandsOnCom1 = step == 'R' || (commandsOnCom1 && step == 'M');
        clearTraffic();
        short value = 0;
        int mode = 0;
        EXPECT_EQ(Modbus_ReadShort(kSlave, 199, &value), 6);
        EXPECT_EQ(Modbus_ReadShort(255, 199, &value), commandsOnCom1 ? 0 : 6);
        Ravo_GetWorkMode(255, &mode);
        EXPECT_EQ(com1->traffic().size(), commandsOnCom1 ? 2u : 0u);
        EXPECT_TRUE(com2->traffic().empty());
    }
}

INSTANTIATE_TEST_SUITE_P(EveryOrder, CloseOrder, ::testing::Values("CRM", "CMR", "RCM", "RMC", "MCR", "MRC"),
                         [](const auto& info) { return info.param; });

}  // namespace
