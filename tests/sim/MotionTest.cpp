// Axis positions over time: jogs, moves to targets, stops and clearing.
#include "LineClient.h"

#include <gtest/gtest.h>

#include <thread>

using namespace sim_test;

namespace {

class MotionTest : public ::testing::Test {
protected:
    Bytes ask(std::uint8_t code, std::uint32_t p1 = 0, std::uint32_t p2 = 0) {
        return env.line().exchange(commandFrame(code, p1, p2), 16);
    }
    float position(std::uint32_t mask) { return asFloat(replyField(ask(137, mask), 2)); }
    bool running(std::uint32_t mask) { return replyField(ask(138, mask), 1) != 0; }
    SimulatorOnLine env;
};

TEST_F(MotionTest, JogMovesAtMaximumSpeedUntilStopped) {
    ask(128, 1, floatBits(100.0f));
    ask(181, 1);
    EXPECT_TRUE(running(1));
    std::this_thread::sleep_for(100ms);
    const float moving = position(1);
    EXPECT_GE(moving, 10.0f) << "100 units/s for at least 100 ms";
    ask(133, 1);
    EXPECT_FALSE(running(1));
    const float stopped = position(1);
    EXPECT_GE(stopped, moving);
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(position(1), stopped);
    EXPECT_EQ(env.sim().axis(1).direction, 0);

    ask(180, 1);
    std::this_thread::sleep_for(30ms);
    EXPECT_EQ(env.sim().axis(1).direction, -1);
    EXPECT_LT(position(1), stopped);
    ask(134, 1);
    EXPECT_FALSE(running(1));
    EXPECT_EQ(position(2), 0.0f) << "other axes stay put";
}

TEST_F(MotionTest, JogWithoutMaximumSpeedUsesDefaultSpeed) {
    ask(181, 2);
    std::this_thread::sleep_for(50ms);
    EXPECT_GT(position(2), 0.0f);
    ask(133, 2);
}

TEST_F(MotionTest, MovesWithoutMaximumSpeedArriveAtOnce) {
    ask(132, 32, floatBits(12.5f));
    EXPECT_EQ(position(32), 12.5f);
    EXPECT_FALSE(running(32));
    ask(131, 32, floatBits(-2.5f));
    EXPECT_EQ(position(32), 10.0f);
}

TEST_F(MotionTest, MoveRunsToTargetAndStopsThere) {
    ask(128, 4, floatBits(20.0f));
    ask(132, 4, floatBits(10.0f));  // half a second at 20 units/s
    EXPECT_TRUE(running(4));
    EXPECT_LT(position(4), 10.0f);
    for (int i = 0; i < 300 && running(4); ++i) std::this_thread::sleep_for(10ms);
    EXPECT_FALSE(running(4));
    EXPECT_EQ(position(4), 10.0f);
    ask(131, 4, floatBits(-4.0f));
    for (int i = 0; i < 300 && running(4); ++i) std::this_thread::sleep_for(10ms);
    EXPECT_EQ(position(4), 6.0f);
}

TEST_F(MotionTest, ClearPositionZeroesAndStops) {
    ask(132, 8, floatBits(7.0f));
    ask(181, 8);
    ask(136, 8);
    EXPECT_FALSE(running(8));
    EXPECT_EQ(position(8), 0.0f);
}

}  // namespace
