// Resynchronisation on bytes that make no request.
#include "LineClient.h"

#include <thread>

using namespace sim_test;
using ravo_sim::RequestKind;

namespace {

using FramingTest = SimTest;

TEST_F(FramingTest, BytesThatMakeNoRequestAreSkippedAndRecordedAsOne) {
    Bytes wrongSum = commandFrame(6, 2);
    wrongSum[15] ^= 0x01;
    const struct {
        const char* what;
        Bytes garbage;
        bool pause;
    } cases[] = {
        {"leading garbage", {0x01, 0x02, 0x03}, false},
        {"frame with a wrong sum", wrongSum, false},
        {"incomplete frame", {0xAA, 0xFF, 0x02}, true},
        {"header of a 249-byte Modbus write", {0xFF, 0x10, 0x00, 0x00, 0x00, 0x01, 0xF0}, false},
    };
    const Bytes query = commandFrame(7);  // answers the work mode, which must stay 0
    for (const auto& c : cases) {
        env.sim.clearTraffic();
        Bytes request = c.garbage;
        if (c.pause) {
            env.line.send(request);
            std::this_thread::sleep_for(60ms);
            request.clear();
        }
        request.insert(request.end(), query.begin(), query.end());
        EXPECT_EQ(env.line.exchange(request, 32, 150ms), commandFrame(7, 0, 0, 0, 1)) << c.what;
        const auto traffic = env.sim.traffic();
        ASSERT_EQ(traffic.size(), 2u) << c.what;
        EXPECT_EQ(traffic[0].kind, RequestKind::Unknown) << c.what;
        EXPECT_EQ(traffic[0].bytes, c.garbage) << c.what;
        EXPECT_EQ(traffic[1].kind, RequestKind::Command) << c.what;
    }
}

TEST_F(FramingTest, SplitAndBackToBackRequestsOfBothKindsAreAllAnswered) {
    const Bytes frame = commandFrame(2);
    env.line.send(Bytes(frame.begin(), frame.begin() + 5));
    env.line.send(Bytes(frame.begin() + 5, frame.end()));
    EXPECT_EQ(env.line.receive(16).size(), 16u);

    Bytes requests = frame;  // one write with a command, a Modbus read and a command
    for (const Bytes& more : {withCrc({0xFF, 4, 0, 200, 0, 1}), commandFrame(5)})
        requests.insert(requests.end(), more.begin(), more.end());
    const Bytes replies = env.line.exchange(requests, 16 + 7 + 16);
    ASSERT_EQ(replies.size(), 39u);
    EXPECT_EQ(replies[16 + 1], 4);
    EXPECT_EQ(replies[23 + 2], 5);
    EXPECT_EQ(env.sim.traffic().size(), 4u);
}

}  // namespace
