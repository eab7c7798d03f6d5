// Wire-time lower bounds: paced replies and delayed replies never arrive early.
#include "LineClient.h"

using namespace sim_test;
using Clock = std::chrono::steady_clock;

namespace {

constexpr auto kByteTime = std::chrono::nanoseconds(520833);  // 10 bits at 19200 baud

TEST(PacingTest, PacedReplyStartsAfterTheRequestAndTakesItsOwnWireTime) {
    SimulatorOnLine env(true);
    const struct {
        Bytes request;
        std::size_t replyLength;
    } cases[] = {{commandFrame(2), 16}, {commandFrame(5), 16}, {withCrc({0xFF, 4, 0, 200, 0, 2}), 9}};
    for (const auto& c : cases) {
        const auto sent = Clock::now();
        env.line.send(c.request);
        ASSERT_EQ(env.line.receive(1, 1000ms).size(), 1u);
        EXPECT_GE(Clock::now() - sent, kByteTime * static_cast<int>(c.request.size() + 1))
            << "request, then one reply byte";
        EXPECT_EQ(env.line.receive(c.replyLength - 1, 1000ms).size(), c.replyLength - 1);
        const auto took = Clock::now() - sent;
        EXPECT_GE(took, kByteTime * static_cast<int>(c.request.size() + c.replyLength));
        EXPECT_LT(took, 500ms);
    }
}

TEST(PacingTest, DelayFaultHoldsTheReplyBackAndTrafficKeepsArrivalTimes) {
    SimulatorOnLine env;
    ravo_sim::Fault fault{ravo_sim::Fault::Action::Delay, ravo_sim::RequestKind::Command, 2};
    fault.delayMs = 40;
    env.sim.inject(fault);
    const auto sent = Clock::now();
    ASSERT_EQ(env.line.exchange(commandFrame(2), 16, 1000ms).size(), 16u);
    const auto replied = Clock::now();
    EXPECT_GE(replied - sent, 40ms);
    ASSERT_TRUE(env.sim.waitForTraffic(1, 1s));
    const auto at = env.sim.traffic()[0].receivedAt;
    EXPECT_GE(at, sent);
    EXPECT_LE(at + 40ms, replied) << "the arrival of the request, not of its reply";
}

}  // namespace
