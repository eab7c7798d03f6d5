// Time-outs of the link, the spacing after an exchange and a lost port's fast failures. Lower
// bounds are strict; upper bounds only make sure nothing waits without end.
#include "PtyPeer.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr auto kReadBudget = 170ms;  // 10 ms per byte of a 16-byte reply, and 10
constexpr auto kGenerous = 1500ms;

using LinkTiming = CommandPeerTest;

TEST_F(LinkTiming, StalledReplyEndsThirtyMillisecondsAfterItsLastByte) {
    std::atomic<Clock::rep> answeredAt{0};
    peer.answerWith([&answeredAt](const Frame16& request) {
        const Frame16 reply = commandFrame(0xFF, request[2], 0, 1, 0);
        answeredAt = Clock::now().time_since_epoch().count();
        return Bytes(reply.begin(), reply.begin() + 8);
    });
    constexpr int kRounds = 8;
    const auto start = Clock::now();
    for (int round = 0; round < kRounds; ++round) {
        int value = 5;
        Ravo_GetMotorAcc(255, 1, &value);
        EXPECT_GE(Clock::now() - Clock::time_point(Clock::duration(answeredAt)), 30ms);
        EXPECT_EQ(value, 0);
    }
    // Without the byte gap each round would last the whole read budget.
    EXPECT_LT(Clock::now() - start, kRounds * kReadBudget);
}

TEST_F(LinkTiming, SplitReplyWithinTheBudgetIsTakenAndFollowedByFifteenMilliseconds) {
    peer.answerWith([this](const Frame16& request) {
        const Frame16 reply = commandFrame(0xFF, request[2], 0, 1234, 0);
        std::this_thread::sleep_for(90ms);  // well inside the read budget
        peer.send(Bytes(reply.begin(), reply.begin() + 8));
        std::this_thread::sleep_for(8ms);  // a pause inside the 30 ms byte gap
        return Bytes(reply.begin() + 8, reply.end());
    });
    int value = 0;
    Ravo_GetMotorAcc(255, 1, &value);
    EXPECT_EQ(value, 1234);

    replyWith(0, 0, 0);
    for (int round = 0; round < 3; ++round) {
        const auto start = Clock::now();
        Ravo_Beeper(255, round);
        EXPECT_GE(Clock::now() - start, 15ms);
    }
}

// A silent peer, then a line that takes nothing (its output stopped as a peer's flow control
// would; the library's own descriptor shares the stopped line): each waits out the budget.
TEST_F(LinkTiming, SilentPeerAndStoppedLineAreWaitedForTheirWholeBudget) {
    const int line = ::open(peer.devicePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    for (bool stopped : {false, true}) {
        SCOPED_TRACE(stopped);
        ASSERT_EQ(::tcflow(line, stopped ? TCOOFF : TCOON), 0);
        const auto start = Clock::now();
        Ravo_GetMotorPosition(255, 1, nullptr);
        const auto took = Clock::now() - start;
        EXPECT_GE(took, kReadBudget) << "10 ms per byte plus 10 ms";
        EXPECT_LT(took, kReadBudget + kGenerous);
    }
    ::tcflow(line, TCOON);
    ::close(line);
    EXPECT_EQ(peer.requests().size(), 1u) << "the stopped frame never left";
}

// Ten command replies would wait 170 ms each and ten Modbus replies 100 ms: 2.7 s.
TEST(LostPortTiming, ExchangesFailWithoutWaitingOutTheirTimeOuts) {
    TemporaryComFolder folder;
    const auto sim = folder.simulator(1);
    ASSERT_EQ(Ravo_OpenSericalPort(1), RAVO_OK);
    sim->unplug();
    const auto start = Clock::now();
    for (int round = 0; round < 10; ++round) {
        Ravo_GetMotorPosition(255, 1, nullptr);
        EXPECT_EQ(Modbus_ReadLong(255, 200, nullptr), RAVO_MODBUS_FAILED);
    }
    EXPECT_LT(Clock::now() - start, 1300ms);
    Ravo_CloseSericalPort();
}

}  // namespace
