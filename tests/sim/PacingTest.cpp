// Wire-time lower bounds: paced replies and delayed replies never arrive early.
#include "LineClient.h"

#include <gtest/gtest.h>

using namespace sim_test;
using Clock = std::chrono::steady_clock;

namespace {

constexpr auto kByteTime = std::chrono::nanoseconds(520833);  // 10 bits at 19200 baud

std::chrono::nanoseconds timeExchange(LineClient& line, const Bytes& request,
                                      std::size_t replyLength, std::size_t& received) {
    const auto start = Clock::now();
    received = line.exchange(request, replyLength, 1000ms).size();
    return Clock::now() - start;
}

TEST(PacingTest, PacedCommandReplyTakesRequestAndReplyWireTime) {
    SimulatorOnLine env(true);
    for (int i = 0; i < 5; ++i) {
        std::size_t received = 0;
        const auto took = timeExchange(env.line(), commandFrame(2), 16, received);
        ASSERT_EQ(received, 16u);
        EXPECT_GE(took, kByteTime * 32) << "16 bytes each way";
        EXPECT_LT(took, 500ms);
    }
}

TEST(PacingTest, PacedModbusReplyTakesRequestAndReplyWireTime) {
    SimulatorOnLine env(true);
    std::size_t received = 0;
    const auto took = timeExchange(env.line(), withCrc({0xFF, 4, 0, 200, 0, 2}), 9, received);
    ASSERT_EQ(received, 9u);
    EXPECT_GE(took, kByteTime * 17);
}

TEST(PacingTest, PacedReplyStartsAfterTheRequestWireTime) {
    SimulatorOnLine env(true);
    const auto sent = Clock::now();
    env.line().send(commandFrame(2));
    ASSERT_EQ(env.line().receive(1).size(), 1u);
    EXPECT_GE(Clock::now() - sent, kByteTime * 17) << "16 request bytes, then the first reply byte";
    EXPECT_EQ(env.line().receive(15).size(), 15u);
}

TEST(PacingTest, DelayFaultHoldsTheReplyBack) {
    SimulatorOnLine env;
    ravo_sim::Fault fault{ravo_sim::Fault::Action::Delay, ravo_sim::RequestKind::Command, 2};
    fault.delayMs = 40;
    env.sim().inject(fault);
    std::size_t received = 0;
    const auto took = timeExchange(env.line(), commandFrame(2), 16, received);
    ASSERT_EQ(received, 16u);
    EXPECT_GE(took, 40ms);
}

TEST(PacingTest, RequestTimestampIsArrivalOfFirstByte) {
    SimulatorOnLine env;
    const auto before = Clock::now();
    env.line().exchange(commandFrame(2), 16);
    const auto after = Clock::now();
    ASSERT_TRUE(env.sim().waitForTraffic(1, 1s));
    const auto at = env.sim().traffic()[0].receivedAt;
    EXPECT_GE(at, before);
    EXPECT_LE(at, after);
}

}  // namespace
