// Download mode: records acknowledged and stored per program, the end frame, and commands
// that arrive while a download is open.
#include "LineClient.h"

#include <gtest/gtest.h>

using namespace sim_test;
using ravo_sim::RequestKind;

namespace {

// A program line record as the tool makes it: 0xAA, 0xFF, code, three parameters, 0; the
// last byte carries the record index on the wire.
Bytes record(std::uint8_t code, std::uint32_t p1, int index) {
    Bytes frame = commandFrame(code, p1, 0, 0, 0xFF);
    frame[15] = static_cast<std::uint8_t>(index);
    return frame;
}

const Bytes kEndFrame{0xAA, 0xFF, 0x08, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};

class DownloadTest : public ::testing::Test {
protected:
    void startDownload(int program) {
        ASSERT_EQ(
            env.line().exchange(commandFrame(6, 3, static_cast<std::uint32_t>(program)), 16).size(),
            16u);
    }
    SimulatorOnLine env;
};

TEST_F(DownloadTest, RecordsAreAcknowledgedAndStoredUnderTheProgramNumber) {
    startDownload(4);
    EXPECT_EQ(env.sim().workMode(), 3);
    for (int i = 0; i < 3; ++i) {
        const Bytes ack = env.line().exchange(record(0x30, static_cast<std::uint32_t>(i), i), 16);
        ASSERT_EQ(ack.size(), 16u);
        EXPECT_EQ(replyField(ack, 1), 0u) << "record " << i << " accepted";
    }
    env.line().send(kEndFrame);
    EXPECT_TRUE(env.line().staysQuiet()) << "the end frame gets no reply";

    const auto stored = env.sim().program(4);
    ASSERT_EQ(stored.size(), 3u);
    EXPECT_EQ(stored[2][2], 0x30);
    EXPECT_EQ(stored[2][6], 2);
    EXPECT_EQ(stored[2][15], 2);
    EXPECT_TRUE(env.sim().program(3).empty());

    const auto traffic = env.sim().traffic();
    ASSERT_EQ(traffic.size(), 5u);
    EXPECT_EQ(traffic[1].kind, RequestKind::Record);
    EXPECT_EQ(traffic[4].kind, RequestKind::EndFrame);

    // After the end frame, a frame without a valid sum is no record any more.
    EXPECT_TRUE(env.line().exchange(record(0x30, 0, 3), 16, 80ms).empty());
    EXPECT_EQ(env.sim().program(4).size(), 3u);
}

TEST_F(DownloadTest, RecordWhoseIndexEqualsItsSumIsStillARecord) {
    startDownload(0);
    // Record 0 whose bytes 0..14 sum to 0 mod 256: its index byte is also a right sum.
    Bytes frame = record(0x57, 0, 0);
    ASSERT_TRUE(hasFrameSum(frame));
    env.line().exchange(frame, 16);
    EXPECT_EQ(env.sim().program(0).size(), 1u);
    EXPECT_EQ(env.sim().traffic().back().kind, RequestKind::Record);
}

TEST_F(DownloadTest, CommandWithRightSumAndOtherIndexIsAnsweredDuringDownload) {
    env.sim().setVersion(0x0105);
    startDownload(0);
    const Bytes reply = env.line().exchange(commandFrame(2), 16);
    EXPECT_EQ(replyField(reply, 2), 0x0105u);
    EXPECT_EQ(env.sim().traffic().back().kind, RequestKind::Command);
    EXPECT_TRUE(env.sim().program(0).empty());
}

TEST_F(DownloadTest, WorkModeFallBackDuringDownloadIsACommand) {
    startDownload(1);
    env.line().exchange(record(0x30, 0, 0), 16);
    const Bytes reply = env.line().exchange(commandFrame(6, 2, 1), 16);
    EXPECT_EQ(reply[2], 6);
    EXPECT_EQ(env.sim().workMode(), 2);
    EXPECT_EQ(env.sim().traffic().back().kind, RequestKind::Command);
    // Download mode is over: a record-like frame is not stored.
    env.line().exchange(record(0x30, 0, 1), 16, 80ms);
    EXPECT_EQ(env.sim().program(1).size(), 1u);
}

TEST_F(DownloadTest, NewDownloadReplacesTheProgram) {
    startDownload(2);
    for (int i = 0; i < 2; ++i) env.line().exchange(record(0x30, 0, i), 16);
    env.line().send(kEndFrame);
    startDownload(2);
    env.line().exchange(record(0x31, 0, 0), 16);
    env.line().send(kEndFrame);
    ASSERT_TRUE(env.sim().waitForTraffic(7, 1s));
    const auto stored = env.sim().program(2);
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0][2], 0x31);
}

TEST_F(DownloadTest, IndexByteWrapsAfter256Records) {
    startDownload(5);
    for (int i = 0; i < 300; ++i) {
        const Bytes ack = env.line().exchange(record(0x30, static_cast<std::uint32_t>(i), i), 16);
        ASSERT_EQ(replyField(ack, 1), 0u) << "record " << i;
    }
    const auto stored = env.sim().program(5);
    ASSERT_EQ(stored.size(), 300u);
    EXPECT_EQ(stored[299][15], 299 % 256);
}

TEST_F(DownloadTest, RejectedRecordIsNotStored) {
    env.sim().inject({ravo_sim::Fault::Action::RejectRecord, RequestKind::Record, 1});
    startDownload(0);
    EXPECT_EQ(replyField(env.line().exchange(record(0x30, 0, 0), 16), 1), 0u);
    const Bytes rejected = env.line().exchange(record(0x30, 1, 1), 16);
    ASSERT_EQ(rejected.size(), 16u);
    EXPECT_NE(replyField(rejected, 1), 0u);
    EXPECT_EQ(env.sim().program(0).size(), 1u);
}

TEST_F(DownloadTest, SilentAndHangUpAtRecordK) {
    env.sim().inject({ravo_sim::Fault::Action::Silent, RequestKind::Record, 2});
    env.sim().inject({ravo_sim::Fault::Action::HangUp, RequestKind::Record, 3});
    startDownload(0);
    EXPECT_EQ(env.line().exchange(record(0x30, 0, 0), 16).size(), 16u);
    EXPECT_EQ(env.line().exchange(record(0x30, 0, 1), 16).size(), 16u);
    EXPECT_TRUE(env.line().exchange(record(0x30, 0, 2), 16, 100ms).empty());
    // The silent record was not taken, so the next record is record 2 again: it answers.
    EXPECT_EQ(env.line().exchange(record(0x30, 0, 2), 16).size(), 16u);
    EXPECT_TRUE(env.line().exchange(record(0x30, 0, 3), 16, 100ms).empty());
    EXPECT_EQ(env.sim().program(0).size(), 3u);
}

}  // namespace
