// Command frames over the pty: reply shape, state read back, pins, factory date.
#include "LineClient.h"

#include <gtest/gtest.h>

using namespace sim_test;

namespace {

class CommandFrameTest : public ::testing::Test {
protected:
    Bytes ask(std::uint8_t code, std::uint32_t p1 = 0, std::uint32_t p2 = 0, std::uint32_t p3 = 0) {
        return env.line().exchange(commandFrame(code, p1, p2, p3), 16);
    }
    SimulatorOnLine env;
};

TEST_F(CommandFrameTest, ReplyIsSixteenBytesWithEchoAddressAndSum) {
    env.sim().setVersion(0x0203);
    const Bytes reply = ask(2);
    ASSERT_EQ(reply.size(), 16u);
    EXPECT_EQ(reply[0], 0xAA);
    EXPECT_EQ(reply[1], 1);  // the controller's own address
    EXPECT_EQ(reply[2], 2);
    EXPECT_TRUE(hasFrameSum(reply));
    EXPECT_EQ(replyField(reply, 2), 0x0203u);
    EXPECT_TRUE(env.line().staysQuiet()) << "one request, one reply";
}

TEST_F(CommandFrameTest, UnknownCodeGetsEchoWithZeroFields) {
    const Bytes reply = ask(0x63, 1, 2, 3);
    ASSERT_EQ(reply.size(), 16u);
    EXPECT_EQ(reply[2], 0x63);
    EXPECT_EQ(replyField(reply, 1), 0u);
    EXPECT_EQ(replyField(reply, 2), 0u);
    EXPECT_EQ(replyField(reply, 3), 0u);
    EXPECT_TRUE(hasFrameSum(reply));
}

TEST_F(CommandFrameTest, WorkModeAndAddressAreKept) {
    ask(6, 2, 0);
    EXPECT_EQ(env.sim().workMode(), 2);
    EXPECT_EQ(replyField(ask(7), 1), 2u);

    ask(4, 44);
    EXPECT_EQ(replyField(ask(5), 2), 44u);
    // The new address is answered as well as 255; another address is not.
    EXPECT_EQ(env.line().exchange(commandFrame(2, 0, 0, 0, 44), 16).size(), 16u);
    EXPECT_TRUE(env.line().exchange(commandFrame(2, 0, 0, 0, 45), 16, 80ms).empty());
    EXPECT_EQ(env.sim().traffic().back().kind, ravo_sim::RequestKind::Command);
}

TEST_F(CommandFrameTest, OutputsAndInputsReadBackPerPinAndAsBits) {
    ask(21, 33, 1);
    ask(21, 44, 1);
    ask(21, 40, 1);
    ask(21, 40, 0);
    EXPECT_TRUE(env.sim().output(33));
    EXPECT_TRUE(env.sim().output(44));
    EXPECT_FALSE(env.sim().output(40));
    EXPECT_EQ(replyField(ask(22, 44), 2), 1u);
    EXPECT_EQ(replyField(ask(22, 34), 2), 0u);
    EXPECT_EQ(replyField(ask(23, 33), 2), 0x801u);

    env.sim().setInput(1, true);
    env.sim().setInput(24, true);
    EXPECT_EQ(replyField(ask(23, 1), 2), 0x800001u);
    EXPECT_EQ(replyField(ask(22, 24), 2), 1u);
    // Only the low 16 bits of the first pin count.
    EXPECT_EQ(replyField(ask(23, 0x10001), 2), 0x800001u);
    // Pins outside both ranges neither store nor report anything.
    ask(21, 30, 1);
    EXPECT_EQ(replyField(ask(22, 30), 2), 0u);
}

TEST_F(CommandFrameTest, FactoryDateIsStoredAndReturnedInThreeFields) {
    const Bytes empty = ask(18);
    EXPECT_EQ(replyField(empty, 1), 0u);
    ask(17, 2015, 6, 30);
    const Bytes reply = ask(18);
    EXPECT_EQ(replyField(reply, 1), 2015u);
    EXPECT_EQ(replyField(reply, 2), 6u);
    EXPECT_EQ(replyField(reply, 3), 30u);
    EXPECT_EQ(env.sim().factoryDate(), (std::array<std::int32_t, 3>{2015, 6, 30}));
    env.sim().setFactoryDate(2012, 1, 2);
    EXPECT_EQ(replyField(ask(18), 1), 2012u);
}

TEST_F(CommandFrameTest, MotorParametersReadBackPerAxis) {
    ask(120, 4, 3200);
    ask(122, 4, floatBits(5.0f));
    ask(124, 4, 150);
    ask(126, 4, 90);
    ask(128, 4 | 8, floatBits(10.0f));
    ask(129, 4, floatBits(0.5f));
    EXPECT_EQ(replyField(ask(121, 4), 2), 3200u);
    EXPECT_EQ(asFloat(replyField(ask(123, 4), 2)), 5.0f);
    EXPECT_EQ(replyField(ask(125, 4), 2), 150u);
    EXPECT_EQ(replyField(ask(127, 4), 2), 90u);
    EXPECT_EQ(asFloat(replyField(ask(130, 4), 2)), 10.0f);
    EXPECT_EQ(asFloat(replyField(ask(130, 8), 2)), 10.0f) << "a mask sets every axis in it";
    EXPECT_EQ(replyField(ask(121, 8), 2), 0u) << "axes keep their own parameters";
    EXPECT_EQ(replyField(ask(121, 128), 2), 0u);
    ask(120, 128, 0xFFFFFFFF);
    EXPECT_EQ(replyField(ask(121, 128), 2), 0xFFFFFFFFu);

    const ravo_sim::AxisState z = env.sim().axis(3);
    EXPECT_EQ(z.subdivision, 3200);
    EXPECT_EQ(z.pitch, 5.0f);
    EXPECT_EQ(z.minSpeed, 0.5f);
    EXPECT_EQ(z.maxSpeed, 10.0f);
}

TEST_F(CommandFrameTest, OverriddenReadBackAnswersOnlyThatCommandAndMask) {
    ask(120, 2, 1000);
    env.sim().overrideReadBack(121, 2, 999);
    const Bytes reply = ask(121, 2);
    EXPECT_EQ(replyField(reply, 2), 999u);
    EXPECT_TRUE(hasFrameSum(reply));
    EXPECT_EQ(replyField(ask(121, 1), 2), 0u);
    env.sim().clearFaults();
    EXPECT_EQ(replyField(ask(121, 2), 2), 1000u);
}

TEST_F(CommandFrameTest, TrafficRecordsDecodedCommands) {
    env.sim().clearTraffic();
    ask(122, 4, floatBits(5.0f));
    ASSERT_TRUE(env.sim().waitForTraffic(1, 1s));
    const auto traffic = env.sim().traffic();
    ASSERT_EQ(traffic.size(), 1u);
    const ravo_sim::Request& request = traffic[0];
    EXPECT_EQ(request.kind, ravo_sim::RequestKind::Command);
    EXPECT_EQ(request.bytes,
              (Bytes{0xAA, 0xFF, 0x7A, 0, 0, 0, 4, 0x40, 0xA0, 0, 0, 0, 0, 0, 0, 0x07}));
    EXPECT_EQ(request.code(), 0x7A);
    EXPECT_EQ(request.param(1), 4u);
    EXPECT_EQ(request.paramAsFloat(2), 5.0f);
    EXPECT_EQ(request.param(4), 0u);
    EXPECT_FALSE(env.sim().waitForTraffic(2, 30ms));
}

}  // namespace
