// Scripted faults seen from the client's end of the line.
#include "LineClient.h"

#include <gtest/gtest.h>

#include <unistd.h>

using namespace sim_test;
using ravo_sim::Fault;
using ravo_sim::RequestKind;

namespace {

class FaultTest : public ::testing::Test {
protected:
    Bytes ask(std::uint8_t code, std::chrono::milliseconds timeout = 300ms) {
        return env.line().exchange(commandFrame(code), 16, timeout);
    }
    Bytes readRegister199() {
        return env.line().exchange(withCrc({0xFF, 4, 0, 199, 0, 1}), 7, 150ms);
    }
    SimulatorOnLine env;
};

TEST_F(FaultTest, SilentAppliesToMatchingCodeForItsCount) {
    env.sim().inject({Fault::Action::Silent, RequestKind::Command, 2, 2});
    EXPECT_TRUE(ask(2, 80ms).empty());
    EXPECT_EQ(ask(5).size(), 16u) << "other codes are not affected";
    EXPECT_TRUE(ask(2, 80ms).empty());
    EXPECT_EQ(ask(2).size(), 16u) << "used up after two";
}

TEST_F(FaultTest, SilenceForAnyCodeLastsUntilClearedAndChangesNoState) {
    env.sim().inject({Fault::Action::Silent, RequestKind::Command, -1, -1});
    EXPECT_TRUE(env.line().exchange(commandFrame(6, 2), 16, 80ms).empty());
    EXPECT_TRUE(ask(2, 50ms).empty());
    EXPECT_EQ(env.sim().workMode(), 0);
    EXPECT_EQ(env.sim().traffic().size(), 2u) << "still recorded";
    env.sim().clearFaults();
    EXPECT_EQ(ask(2).size(), 16u);
}

TEST_F(FaultTest, ShortReplyCutsTheProperReply) {
    Fault fault{Fault::Action::ShortReply, RequestKind::Command, 2};
    fault.length = 15;
    env.sim().inject(fault);
    const Bytes reply = ask(2, 150ms);
    ASSERT_EQ(reply.size(), 15u);
    EXPECT_EQ(reply[0], 0xAA);
    EXPECT_EQ(reply[2], 2);
}

TEST_F(FaultTest, CorruptReplyKeepsLengthButBreaksFieldsAndSum) {
    env.sim().setVersion(0x0300);
    env.sim().inject({Fault::Action::CorruptReply, RequestKind::Command, 2});
    const Bytes reply = ask(2);
    ASSERT_EQ(reply.size(), 16u);
    EXPECT_FALSE(hasFrameSum(reply));
    EXPECT_NE(replyField(reply, 2), 0x0300u);
}

TEST_F(FaultTest, DelayedReplyStillArrives) {
    Fault fault{Fault::Action::Delay, RequestKind::Command, 2};
    fault.delayMs = 30;
    env.sim().inject(fault);
    EXPECT_EQ(ask(2, 1000ms).size(), 16u);
}

TEST_F(FaultTest, HangUpDropsTheLineAndItsLink) {
    env.sim().inject({Fault::Action::HangUp, RequestKind::Command, 2});
    EXPECT_TRUE(ask(2, 150ms).empty());
    ASSERT_TRUE(env.sim().waitForTraffic(1, 1s));
    EXPECT_NE(access(env.sim().devicePath().c_str(), F_OK), 0);
    EXPECT_THROW(LineClient again(env.sim().devicePath()), std::runtime_error);
}

TEST_F(FaultTest, ModbusExceptionLeavesRegistersAlone) {
    env.sim().inject({Fault::Action::ModbusException, RequestKind::Modbus, 16});
    const Bytes reply = env.line().exchange(withCrc({0xFF, 0x10, 0, 199, 0, 1, 2, 0, 5}), 8, 150ms);
    EXPECT_EQ(reply, withCrc({0xFF, 0x90, 4}));
    EXPECT_EQ(env.sim().registerValue(199), 0);
}

TEST_F(FaultTest, ModbusShortReplyAndSilence) {
    env.sim().setRegister(199, 7);
    Fault shortReply{Fault::Action::ShortReply, RequestKind::Modbus, 4};
    shortReply.length = 3;
    env.sim().inject(shortReply);
    env.sim().inject({Fault::Action::Silent, RequestKind::Modbus, 4});
    EXPECT_EQ(readRegister199(), (Bytes{0xFF, 4, 2}));
    EXPECT_TRUE(readRegister199().empty());
    EXPECT_EQ(readRegister199(), withCrc({0xFF, 4, 2, 0, 7}));
}

}  // namespace
