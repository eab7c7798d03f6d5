// Scripted faults seen from the client's end of the line (record faults are with the downloads,
// delays with the timing tests).
#include "LineClient.h"

#include <ravo_sim/RandomFaults.h>

#include <numeric>

using namespace sim_test;
using ravo_sim::Fault;
using ravo_sim::RequestKind;

namespace {

using FaultTest = SimTest;

TEST_F(FaultTest, SilentAppliesToMatchingRequestsForItsCount) {
    env.sim.inject({Fault::Action::Silent, RequestKind::Command, 2, 2});
    EXPECT_TRUE(env.line.exchange(commandFrame(2), 16, 80ms).empty());
    EXPECT_EQ(ask(5).size(), 16u) << "other codes are not affected";
    EXPECT_TRUE(env.line.exchange(commandFrame(2), 16, 80ms).empty());
    EXPECT_EQ(ask(2).size(), 16u) << "used up after two";

    env.sim.inject({Fault::Action::Silent, RequestKind::Command, -1, -1});  // any code, for ever
    EXPECT_TRUE(env.line.exchange(commandFrame(6, 2), 16, 80ms).empty());
    env.sim.clearFaults();
    EXPECT_EQ(replyField(ask(7), 1), 0u) << "a silenced request changes nothing";
}

TEST_F(FaultTest, ShortAndCorruptRepliesAndOverriddenReadBack) {
    env.sim.setVersion(0x0300);
    env.sim.inject({Fault::Action::ShortReply, RequestKind::Command, 2});  // 15 bytes
    env.sim.inject({Fault::Action::CorruptReply, RequestKind::Command, 5});
    const Bytes proper = commandFrame(2, 0, 0x0300, 0, 1);
    EXPECT_EQ(env.line.exchange(commandFrame(2), 16, 150ms), Bytes(proper.begin(), proper.end() - 1));
    const Bytes corrupt = ask(5);
    EXPECT_EQ(corrupt.size(), 16u);
    EXPECT_NE(replyField(corrupt, 2), 1u);
    EXPECT_NE(
        corrupt.back(),
        commandFrame(5, replyField(corrupt, 1), replyField(corrupt, 2), replyField(corrupt, 3), corrupt[1]).back())
        << "sum";

    ask(120, 2, 1000);
    env.sim.overrideReadBack(121, 2, 999);
    EXPECT_EQ(ask(121, 2), commandFrame(121, 0, 999, 0, 1));
    EXPECT_EQ(replyField(ask(121, 1), 2), 0u) << "only for that mask";
    env.sim.clearFaults();
    EXPECT_EQ(replyField(ask(121, 2), 2), 1000u);
}

TEST_F(FaultTest, RandomFaultPlanTakesTheRequestsNoInjectedFaultMatches) {
    const auto injected = [&] {
        const auto counts = env.sim.randomFaultCounts().byKind;
        return std::accumulate(counts.begin(), counts.end(), std::uint64_t{0});
    };
    env.sim.inject({Fault::Action::Silent, RequestKind::Command, 2});
    env.sim.setRandomFaults({1, 1.0});
    EXPECT_TRUE(env.line.exchange(commandFrame(2), 16, 80ms).empty());
    EXPECT_EQ(injected(), 0u);
    env.line.exchange(commandFrame(5), 16, 80ms);
    ASSERT_TRUE(env.sim.waitForTraffic(2, 1s));
    EXPECT_EQ(injected(), 1u);
    env.sim.setRandomFaults({});
    EXPECT_EQ(injected(), 0u) << "the plan has ended";
}

TEST_F(FaultTest, HangUpDropsTheLineAndItsLinkForGoodOrForItsDelay) {
    Fault forAWhile{Fault::Action::HangUp, RequestKind::Command, 2};
    forAWhile.delayMs = 100;
    env.sim.inject(forAWhile);
    EXPECT_TRUE(env.line.exchange(commandFrame(2), 16, 150ms).empty());
    ASSERT_TRUE(env.sim.waitUntilPluggedIn(5s));
    LineClient again(env.sim.devicePath());
    EXPECT_EQ(again.exchange(commandFrame(2), 16).size(), 16u);

    env.sim.inject({Fault::Action::HangUp, RequestKind::Command, 2});
    EXPECT_TRUE(again.exchange(commandFrame(2), 16, 150ms).empty());
    ASSERT_TRUE(env.sim.waitForTraffic(3, 1s));
    EXPECT_THROW(LineClient(env.sim.devicePath()), std::runtime_error);
    EXPECT_FALSE(env.sim.waitUntilPluggedIn(200ms));
}

TEST_F(FaultTest, SilentControllerRecordsRequestsAndNeitherAppliesNorAnswersThem) {
    env.sim.setSilent(true);
    EXPECT_TRUE(env.line.exchange(commandFrame(6, 2), 16, 80ms).empty());
    EXPECT_TRUE(env.sim.waitForTraffic(1, 1s));
    env.sim.setSilent(false);
    EXPECT_EQ(replyField(ask(7), 1), 0u) << "work mode unchanged";
    EXPECT_EQ(env.sim.traffic().size(), 2u);
}

// After its reply the controller takes nothing off the line for a while: what the client sends
// meanwhile waits on the client's side, is answered once the pause is over, and is lost if the
// client discards its output before that.
TEST_F(FaultTest, StopReadingKeepsLaterRequestsOnTheClientsSideUntilThePauseEnds) {
    constexpr auto kPause = 150ms;
    for (const bool discard : {false, true}) {
        SCOPED_TRACE(discard ? "output discarded" : "output kept");
        env.sim.clearTraffic();
        Fault stop{Fault::Action::StopReading, RequestKind::Command, 2};
        stop.delayMs = static_cast<int>(kPause.count());
        env.sim.inject(stop);
        // Taken before the request: the pause starts once the reply has gone out, and the
        // client may see the reply only after that.
        const auto pauseStart = std::chrono::steady_clock::now();
        EXPECT_EQ(ask(2).size(), 16u) << "the reply itself comes at once";

        env.line.send(commandFrame(5));
        if (discard) env.line.discardOutput();
        env.line.send(commandFrame(7));
        const Bytes firstReply = env.line.receive(16, kPause + 500ms);
        EXPECT_GE(std::chrono::steady_clock::now() - pauseStart, kPause);
        Bytes replies = firstReply;
        if (!discard) {
            const Bytes second = env.line.receive(16);
            replies.insert(replies.end(), second.begin(), second.end());
        }
        Bytes expected = commandFrame(7, 0, 0, 0, 1);  // work mode 0, from address 1
        if (!discard) {
            const Bytes address = commandFrame(5, 0, 1, 0, 1);
            expected.insert(expected.begin(), address.begin(), address.end());
        }
        EXPECT_EQ(replies, expected);

        ASSERT_TRUE(env.sim.waitForTraffic(discard ? 2 : 3, 1s));
        std::vector<int> codes;
        for (const auto& request : env.sim.traffic()) codes.push_back(request.code());
        EXPECT_EQ(codes, discard ? (std::vector<int>{2, 7}) : (std::vector<int>{2, 5, 7}));
    }
}

TEST_F(FaultTest, ModbusExceptionShortReplyAndSilence) {
    env.sim.inject({Fault::Action::ModbusException, RequestKind::Modbus, 16});
    EXPECT_EQ(env.line.exchange(withCrc({0xFF, 0x10, 0, 199, 0, 1, 2, 0, 5}), 8, 150ms), withCrc({0xFF, 0x90, 4}));
    EXPECT_EQ(env.sim.registerValue(199), 0) << "registers left alone";

    env.sim.setRegister(199, 7);
    Fault shortReply{Fault::Action::ShortReply, RequestKind::Modbus, 4};
    shortReply.length = 3;
    env.sim.inject(shortReply);
    env.sim.inject({Fault::Action::Silent, RequestKind::Modbus, 4});
    const Bytes read199 = withCrc({0xFF, 4, 0, 199, 0, 1});
    EXPECT_EQ(env.line.exchange(read199, 7, 150ms), (Bytes{0xFF, 4, 2}));
    EXPECT_TRUE(env.line.exchange(read199, 7, 150ms).empty());
    EXPECT_EQ(env.line.exchange(read199, 7, 150ms), withCrc({0xFF, 4, 2, 0, 7}));
}

}  // namespace
