// Time-outs of the link and the spacing after an exchange. Lower bounds are strict; upper
// bounds only make sure nothing waits without end.
#include "CommandPeerFixture.h"

#include <fcntl.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

milliseconds since(Clock::time_point start) {
    return std::chrono::duration_cast<milliseconds>(Clock::now() - start);
}

constexpr milliseconds kGenerous{1500};

}  // namespace

using LinkTiming = CommandPeerTest;

TEST_F(LinkTiming, SilentPeerIsWaitedForTenMillisecondsPerByteAndTen) {
    staySilent();
    float position = 1.0f;
    const auto start = Clock::now();
    Ravo_GetMotorPosition(255, 1, &position);
    const milliseconds took = since(start);
    EXPECT_GE(took, milliseconds(170));
    EXPECT_LT(took, milliseconds(170) + kGenerous);
    EXPECT_EQ(position, 0.0f);
}

TEST_F(LinkTiming, StalledReplyEndsThirtyMillisecondsAfterItsLastByte) {
    cutRepliesTo(8);
    constexpr int kRounds = 8;
    const auto start = Clock::now();
    for (int round = 0; round < kRounds; ++round) {
        int value = 5;
        Ravo_GetMotorAcc(255, 1, &value);
        EXPECT_GE(Clock::now() - lastAnswerAt(), milliseconds(30));
        EXPECT_EQ(value, 0);
    }
    // Without the byte gap each round would last the whole 170 ms of a 16-byte read.
    EXPECT_LT(since(start), kRounds * milliseconds(170));
}

TEST_F(LinkTiming, ReplyArrivingWithinTheBudgetIsTaken) {
    staySilent();
    std::thread late([&] {
        peer.waitForRequests(1, std::chrono::seconds(5));
        const Frame16 reply = replyFrame(0x7D, 0, 1234, 0);
        std::this_thread::sleep_for(milliseconds(90));  // well inside the 170 ms of a reply
        peer.send(Bytes(reply.begin(), reply.begin() + 8));
        std::this_thread::sleep_for(milliseconds(8));  // a pause inside the 30 ms byte gap
        peer.send(Bytes(reply.begin() + 8, reply.end()));
    });
    int value = 0;
    Ravo_GetMotorAcc(255, 1, &value);
    late.join();
    EXPECT_EQ(value, 1234);
}

TEST_F(LinkTiming, CompleteExchangeIsFollowedByFifteenMilliseconds) {
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
    EXPECT_GE(took, milliseconds(170)) << "10 ms per byte plus 10 ms";
    EXPECT_LT(took, milliseconds(170) + kGenerous);
    EXPECT_EQ(position, 0.0f);
    EXPECT_TRUE(peer.requests().empty());
}
