// Modbus RTU access against the simulated controller at slave 255 on the command port: the
// request bytes, reply decoding, and the result codes of unknown slaves, exception, short and
// missing replies.
#include "Kelvane_Ravo_Q9T2.h"
#include "com_folder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

using ravo_sim::Fault;
using ravo_sim::RequestKind;
using Bytes = std::vector<std::uint8_t>;

class ModbusTest : public ::testing::Test {
protected:
    void SetUp() override {
        Ravo_GlobalInit();
        ASSERT_EQ(Ravo_OpenSericalPort(1), 0);
    }
    void TearDown() override { Ravo_CloseSericalPort(); }

    Bytes lastRequest() const {
        const auto traffic = sim->traffic();
        return traffic.empty() ? Bytes{} : traffic.back().bytes;
    }

    void injectModbus(Fault::Action action, int function, int length = 0) {
        Fault fault;
        fault.action = action;
        fault.on = RequestKind::Modbus;
        fault.selector = function;
        fault.length = length;
        sim->inject(fault);
    }

    ComFolder folder;
    std::unique_ptr<ravo_sim::Simulator> sim = folder.simulator(1);
};

TEST_F(ModbusTest, RequestsCarryTheControllerLayoutAndCheckBytes) {
    EXPECT_EQ(Modbus_WriteFloat(255, 366, 1.0f), 0);
    EXPECT_EQ(lastRequest(), (Bytes{0xFF, 0x10, 0x01, 0x6E, 0x00, 0x02, 0x04, 0x00, 0x00, 0x3F,
                                    0x80, 0x5E, 0x20}));
    short value = 0;
    EXPECT_EQ(Modbus_ReadShort(255, 199, &value), 0);
    EXPECT_EQ(lastRequest(), (Bytes{0xFF, 0x04, 0x00, 0xC7, 0x00, 0x01, 0x95, 0xE9}));
    // Slave and register are reduced to their byte and 16-bit fields.
    EXPECT_EQ(Modbus_ReadShort(255 + 256, 199 + 65536, &value), 0);
    EXPECT_EQ(lastRequest(), (Bytes{0xFF, 0x04, 0x00, 0xC7, 0x00, 0x01, 0x95, 0xE9}));

    EXPECT_EQ(Modbus_WriteCoil(255, 157, 1), 0);
    EXPECT_EQ(lastRequest(), (Bytes{0xFF, 0x05, 0x00, 0x9D, 0xFF, 0x00, 0x08, 0x0A}));
    EXPECT_EQ(Modbus_WriteCoil(255, 157, 2), 0);
    const Bytes off = lastRequest();
    ASSERT_EQ(off.size(), 8u);
    EXPECT_EQ(off[4], 0x00);
    EXPECT_EQ(off[5], 0x00);
    EXPECT_EQ(Modbus_WriteCoil(255, 157, 0x101), 0);  // the value is a byte: 0x101 is 1
    EXPECT_EQ(lastRequest()[4], 0xFF);

    int number = 0;
    EXPECT_EQ(Modbus_ReadLong(255, 200, &number), 0);
    EXPECT_EQ(lastRequest(), (Bytes{0xFF, 0x04, 0x00, 0xC8, 0x00, 0x02, 0xE5, 0xEB}));

    EXPECT_EQ(Modbus_WriteShort(255, 199, -3), 0);
    EXPECT_EQ(lastRequest(),
              (Bytes{0xFF, 0x10, 0x00, 0xC7, 0x00, 0x01, 0x02, 0xFF, 0xFD, 0x7E, 0xF2}));
    EXPECT_EQ(Modbus_WriteLong(255, 360, 0x12345678), 0);
    EXPECT_EQ(lastRequest(), (Bytes{0xFF, 0x10, 0x01, 0x68, 0x00, 0x02, 0x04, 0x56, 0x78, 0x12,
                                    0x34, 0x52, 0xBC}));
    unsigned char state = 0;
    EXPECT_EQ(Modbus_ReadCoil(255, 157, &state), 0);
    EXPECT_EQ(lastRequest(), (Bytes{0xFF, 0x01, 0x00, 0x9D, 0x00, 0x01, 0x79, 0xFA}));
    float real = 0;
    EXPECT_EQ(Modbus_ReadFloat(255, 366, &real), 0);
    EXPECT_EQ(lastRequest(), (Bytes{0xFF, 0x04, 0x01, 0x6E, 0x00, 0x02, 0x04, 0x34}));
}

TEST_F(ModbusTest, ValuesTravelLowRegisterFirstAndMostSignificantByteFirst) {
    sim->setRegister(199, 0xFFFE);
    short shortValue = 0;
    EXPECT_EQ(Modbus_ReadShort(255, 199, &shortValue), 0);
    EXPECT_EQ(shortValue, -2);

    sim->setRegister(300, 5);
    sim->setRegister(301, 0);
    int longValue = 0;
    EXPECT_EQ(Modbus_ReadLong(255, 300, &longValue), 0);
    EXPECT_EQ(longValue, 5);

    sim->setRegister(302, 0x0000);
    sim->setRegister(303, 0x3F80);
    float floatValue = 0;
    EXPECT_EQ(Modbus_ReadFloat(255, 302, &floatValue), 0);
    EXPECT_EQ(floatValue, 1.0f);

    EXPECT_EQ(Modbus_WriteShort(255, 199, -3), 0);
    EXPECT_EQ(sim->registerValue(199), 0xFFFD);
    EXPECT_EQ(Modbus_WriteLong(255, 360, 0x12345678), 0);
    EXPECT_EQ(sim->registerValue(360), 0x5678);
    EXPECT_EQ(sim->registerValue(361), 0x1234);
    EXPECT_EQ(Modbus_ReadLong(255, 360, &longValue), 0);
    EXPECT_EQ(longValue, 0x12345678);
    EXPECT_EQ(Modbus_WriteLong(255, 360, -2), 0);
    EXPECT_EQ(Modbus_ReadLong(255, 360, &longValue), 0);
    EXPECT_EQ(longValue, -2);
    EXPECT_EQ(Modbus_WriteFloat(255, 366, -2.5f), 0);
    EXPECT_EQ(sim->registerValue(366), 0x0000);
    EXPECT_EQ(sim->registerValue(367), 0xC020);
    EXPECT_EQ(Modbus_ReadFloat(255, 366, &floatValue), 0);
    EXPECT_EQ(floatValue, -2.5f);

    unsigned char state = 7;
    EXPECT_EQ(Modbus_WriteCoil(255, 110, 1), 0);
    EXPECT_TRUE(sim->coil(110));
    EXPECT_EQ(Modbus_ReadCoil(255, 110, &state), 0);
    EXPECT_EQ(state, 1);
    EXPECT_EQ(Modbus_WriteCoil(255, 110, 0), 0);
    EXPECT_FALSE(sim->coil(110));
    EXPECT_EQ(Modbus_ReadCoil(255, 110, &state), 0);
    EXPECT_EQ(state, 0);
}

TEST_F(ModbusTest, UnknownSlaveGivesSixWithoutTraffic) {
    short shortValue = 11;
    int longValue = 11;
    float floatValue = 11;
    unsigned char state = 11;
    EXPECT_EQ(Modbus_WriteCoil(99, 1, 1), 6);
    EXPECT_EQ(Modbus_ReadCoil(99, 1, &state), 6);
    EXPECT_EQ(Modbus_WriteShort(99, 1, 1), 6);
    EXPECT_EQ(Modbus_ReadShort(99, 1, &shortValue), 6);
    EXPECT_EQ(Modbus_WriteLong(99, 1, 1), 6);
    EXPECT_EQ(Modbus_ReadLong(99, 1, &longValue), 6);
    EXPECT_EQ(Modbus_WriteFloat(99, 1, 1), 6);
    EXPECT_EQ(Modbus_ReadFloat(99, 1, &floatValue), 6);
    EXPECT_TRUE(sim->traffic().empty());
    EXPECT_EQ(shortValue, 11);
    EXPECT_EQ(longValue, 11);
    EXPECT_EQ(floatValue, 11);
    EXPECT_EQ(state, 11);
}

TEST_F(ModbusTest, IncompleteRepliesFailReadsAndAreIgnoredByWrites) {
    sim->setRegister(370, 1);
    short shortValue = 11;
    int longValue = 11;
    float floatValue = 11;
    unsigned char state = 11;

    injectModbus(Fault::Action::ModbusException, 4);
    EXPECT_EQ(Modbus_ReadShort(255, 370, &shortValue), 6);
    EXPECT_EQ(shortValue, 11);
    injectModbus(Fault::Action::ModbusException, 4);
    EXPECT_EQ(Modbus_ReadLong(255, 370, &longValue), 6);
    EXPECT_EQ(longValue, 0);  // the long read clears its value on failure
    injectModbus(Fault::Action::ShortReply, 4, 8);
    EXPECT_EQ(Modbus_ReadFloat(255, 370, &floatValue), 6);
    EXPECT_EQ(floatValue, 11);
    // The standard 6-byte answer to a one-coil read is two bytes short of the awaited 8.
    injectModbus(Fault::Action::ShortReply, 1, 6);
    EXPECT_EQ(Modbus_ReadCoil(255, 110, &state), 6);
    EXPECT_EQ(state, 11);
    injectModbus(Fault::Action::Silent, 4);
    EXPECT_EQ(Modbus_ReadShort(255, 370, &shortValue), 6);

    injectModbus(Fault::Action::ModbusException, 16);
    EXPECT_EQ(Modbus_WriteShort(255, 370, 2), 0);
    injectModbus(Fault::Action::Silent, 16);
    EXPECT_EQ(Modbus_WriteLong(255, 370, 2), 0);
    injectModbus(Fault::Action::ShortReply, 5, 3);
    EXPECT_EQ(Modbus_WriteCoil(255, 110, 1), 0);

    // Nothing is left over from the faults: the next exchanges are whole again.
    EXPECT_EQ(Modbus_WriteShort(255, 370, 4), 0);
    EXPECT_EQ(Modbus_ReadShort(255, 370, &shortValue), 0);
    EXPECT_EQ(shortValue, 4);

    // A closed port: reads fail, writes report nothing, and nothing reaches the line.
    Ravo_CloseSericalPort();
    sim->clearTraffic();
    EXPECT_EQ(Modbus_ReadShort(255, 370, &shortValue), 6);
    EXPECT_EQ(Modbus_WriteShort(255, 370, 3), 0);
    EXPECT_TRUE(sim->traffic().empty());
}

}  // namespace
