// Axis positions over time: jogs, moves to targets, stops and clearing.
#include "LineClient.h"

#include <thread>

using namespace sim_test;

namespace {

class MotionTest : public SimTest {
protected:
    float position(std::uint32_t mask) { return asFloat(replyField(ask(137, mask), 2)); }
    bool running(std::uint32_t mask) { return replyField(ask(138, mask), 1) != 0; }
    void waitUntilStopped(std::uint32_t mask) {
        for (int i = 0; i < 300 && running(mask); ++i) std::this_thread::sleep_for(10ms);
    }
};

TEST_F(MotionTest, JogMovesUntilStopped) {
    ask(128, 1, floatBits(100.0f));
    ask(181, 1);
    ask(181, 2);  // no maximum speed: the default speed
    std::this_thread::sleep_for(100ms);
    const float moving = position(1);
    EXPECT_GE(moving, 10.0f) << "100 units/s for at least 100 ms";
    ask(133, 1 | 2);
    EXPECT_FALSE(running(1 | 2));
    EXPECT_GT(position(2), 0.0f);
    const float stopped = position(1);
    EXPECT_GE(stopped, moving);
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(position(1), stopped);

    ask(180, 1);
    std::this_thread::sleep_for(30ms);
    EXPECT_LT(position(1), stopped);
    ask(134, 1);
    EXPECT_FALSE(running(1));
    EXPECT_EQ(position(4), 0.0f) << "other axes stay put";
}

TEST_F(MotionTest, MovesRunToTheirTargetOrArriveAtOnceWithoutMaximumSpeed) {
    ask(132, 32, floatBits(12.5f));
    EXPECT_FALSE(running(32));
    ask(131, 32, floatBits(-2.5f));
    EXPECT_EQ(position(32), 10.0f);

    ask(128, 4, floatBits(20.0f));
    ask(132, 4, floatBits(10.0f));  // half a second at 20 units/s
    EXPECT_TRUE(running(4));
    EXPECT_LT(position(4), 10.0f);
    waitUntilStopped(4);
    EXPECT_EQ(position(4), 10.0f);
    ask(131, 4, floatBits(-4.0f));
    waitUntilStopped(4);
    EXPECT_EQ(position(4), 6.0f);

    ask(181, 4);
    ask(136, 4);
    EXPECT_FALSE(running(4)) << "clearing the position stops the axis";
    EXPECT_EQ(position(4), 0.0f);
}

}  // namespace
