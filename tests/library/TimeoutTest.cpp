// Time-outs of the link and the spacing after an exchange. Lower bounds are strict; upper
// bounds only make sure nothing waits without end.
#include "PtyPeer.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

milliseconds since(Clock::time_point start) { return std::chrono::duration_cast<milliseconds>(Clock::now() - start); }

constexpr milliseconds kReadBudget{170};  // 10 ms per byte of a 16-byte reply, and 10
constexpr milliseconds kGenerous{1500};

}  // namespace

using LinkTiming = CommandPeerTest;

TEST_F(LinkTiming, SilentPeerIsWaitedForTheWholeReadBudget) {
    float position = 1.0f;
    const auto start = Clock::now();
    Ravo_GetMotorPosition(255, 1, &position);
    EXPECT_GE(since(start), kReadBudget);
    EXPECT_LT(since(start), kReadBudget + kGenerous);
    EXPECT_EQ(position, 0.0f);
}

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
        EXPECT_GE(Clock::now() - Clock::time_point(Clock::duration(answeredAt)), milliseconds(30));
        EXPECT_EQ(value, 0);
    }
    // Without the byte gap each round would last the whole read budget.
    EXPECT_LT(since(start), kRounds * kReadBudget);
}

TEST_F(LinkTiming, SplitReplyWithinTheBudgetIsTakenAndFollowedByFifteenMilliseconds) {
    peer.answerWith([this](const Frame16& request) {
        const Frame16 reply = commandFrame(0xFF, request[2], 0, 1234, 0);
        std::this_thread::sleep_for(milliseconds(90));  // well inside the read budget
        peer.send(Bytes(reply.begin(), reply.begin() + 8));
        std::this_thread::sleep_for(milliseconds(8));  // a pause inside the 30 ms byte gap
        return Bytes(reply.begin() + 8, reply.end());
    });
    int value = 0;
    Ravo_GetMotorAcc(255, 1, &value);
    EXPECT_EQ(value, 1234);

    replyWith(0, 0, 0);
    for (int round = 0; round < 3; ++round) {
        const auto start = Clock::now();
        Ravo_Beeper(255, round);
        EXPECT_GE(since(start), milliseconds(15));
    }
}

TEST_F(LinkTiming, WriteGivesUpWhenTheLineTakesNothing) {
    // Stop the terminal's output as a peer's flow control would; the library's own descriptor
    // shares the stopped line.
    const int line = ::open(peer.devicePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(line, 0);
    ASSERT_EQ(::tcflow(line, TCOOFF), 0);
    float position = 2.0f;
    const auto start = Clock::now();
    Ravo_GetMotorPosition(255, 1, &position);
    const milliseconds took = since(start);
    ::tcflow(line, TCOON);
    ::close(line);
    EXPECT_GE(took, kReadBudget) << "10 ms per byte plus 10 ms";
    EXPECT_LT(took, kReadBudget + kGenerous);
    EXPECT_EQ(position, 0.0f);
    EXPECT_TRUE(peer.requests().empty());
}
