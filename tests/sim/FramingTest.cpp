// Resynchronisation on bytes that make no request.
#include "LineClient.h"

#include <gtest/gtest.h>

#include <thread>

using namespace sim_test;
using ravo_sim::RequestKind;

namespace {

Bytes concat(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::vector<RequestKind> kinds(const std::vector<ravo_sim::Request>& traffic) {
    std::vector<RequestKind> result;
    for (const auto& request : traffic) result.push_back(request.kind);
    return result;
}

class FramingTest : public ::testing::Test {
protected:
    SimulatorOnLine env;
};

TEST_F(FramingTest, LeadingGarbageIsDroppedAndRecorded) {
    const Bytes reply = env.line().exchange(concat({0x01, 0x02, 0x03}, commandFrame(2)), 16);
    EXPECT_EQ(reply.size(), 16u);
    const auto traffic = env.sim().traffic();
    EXPECT_EQ(kinds(traffic),
              (std::vector<RequestKind>{RequestKind::Unknown, RequestKind::Command}));
    EXPECT_EQ(traffic[0].bytes, (Bytes{0x01, 0x02, 0x03}));
}

TEST_F(FramingTest, FrameWithWrongSumIsNotAnswered) {
    Bytes bad = commandFrame(6, 2);
    bad[15] ^= 0x01;
    const Bytes reply = env.line().exchange(concat(bad, commandFrame(7)), 32, 150ms);
    ASSERT_EQ(reply.size(), 16u) << "only the good frame is answered";
    EXPECT_EQ(reply[2], 7);
    EXPECT_EQ(env.sim().workMode(), 0);
    const auto traffic = env.sim().traffic();
    ASSERT_EQ(kinds(traffic),
              (std::vector<RequestKind>{RequestKind::Unknown, RequestKind::Command}));
    EXPECT_EQ(traffic[0].bytes, bad);
}

TEST_F(FramingTest, IncompleteFrameIsGivenUpAfterSilence) {
    env.line().send({0xAA, 0xFF, 0x02});
    std::this_thread::sleep_for(60ms);
    EXPECT_EQ(env.line().exchange(commandFrame(2), 16).size(), 16u);
    const auto traffic = env.sim().traffic();
    ASSERT_EQ(kinds(traffic),
              (std::vector<RequestKind>{RequestKind::Unknown, RequestKind::Command}));
    EXPECT_EQ(traffic[0].bytes, (Bytes{0xAA, 0xFF, 0x02}));
}

TEST_F(FramingTest, FalseLongHeaderDoesNotSwallowTheFollowingFrame) {
    // Looks like the start of a 249-byte Modbus write; the command frame after it is found
    // once the line has been silent.
    const Bytes header{0xFF, 0x10, 0x00, 0x00, 0x00, 0x01, 0xF0};
    const Bytes reply = env.line().exchange(concat(header, commandFrame(2)), 16);
    EXPECT_EQ(reply.size(), 16u);
    const auto traffic = env.sim().traffic();
    ASSERT_EQ(kinds(traffic),
              (std::vector<RequestKind>{RequestKind::Unknown, RequestKind::Command}));
    EXPECT_EQ(traffic[0].bytes, header);
}

TEST_F(FramingTest, FrameSplitOverWritesIsAssembled) {
    const Bytes frame = commandFrame(2);
    env.line().send(Bytes(frame.begin(), frame.begin() + 5));
    env.line().send(Bytes(frame.begin() + 5, frame.end()));
    EXPECT_EQ(env.line().receive(16).size(), 16u);
    EXPECT_EQ(kinds(env.sim().traffic()), (std::vector<RequestKind>{RequestKind::Command}));
}

TEST_F(FramingTest, BackToBackRequestsOfBothKindsAreAllAnswered) {
    const Bytes requests = concat(concat(commandFrame(2), withCrc({0xFF, 4, 0, 200, 0, 1})),
                                  commandFrame(5));
    const Bytes replies = env.line().exchange(requests, 16 + 7 + 16);
    ASSERT_EQ(replies.size(), 39u);
    EXPECT_EQ(replies[16 + 1], 4);
    EXPECT_EQ(replies[23 + 2], 5);
}

}  // namespace
