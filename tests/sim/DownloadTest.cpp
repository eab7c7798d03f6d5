// Download mode: records acknowledged and stored per program, the end frame, and commands
// that arrive while a download is open.
#include "LineClient.h"

using namespace sim_test;
using ravo_sim::Fault;
using ravo_sim::RequestKind;

namespace {

const Bytes kEndFrame{0xAA, 0xFF, 0x08, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};

class SimDownload : public SimTest {
protected:
    void startDownload(std::uint32_t program) { ASSERT_EQ(ask(6, 3, program).size(), 16u); }
    // A program line record: its last byte carries the record index (modulo 256). Byte 14 is
    // chosen so that the index is also the right sum, which must not make it a command.
    Bytes sendRecord(int index, std::uint8_t code = 0x30, std::chrono::milliseconds timeout = 300ms) {
        Bytes frame = commandFrame(code, static_cast<std::uint32_t>(index));
        frame[14] = static_cast<std::uint8_t>(index - frame[15]);
        frame[15] = static_cast<std::uint8_t>(index);
        return env.line.exchange(frame, 16, timeout);
    }
};

TEST_F(SimDownload, RecordsAreAcknowledgedAndStoredUntilTheEndFrame) {
    startDownload(4);
    for (int i = 0; i < 300; ++i)  // the index byte wraps after 256 records
        ASSERT_EQ(sendRecord(i), commandFrame(0x30, 0, static_cast<std::uint32_t>(i), 0, 1)) << i;
    env.line.send(kEndFrame);
    EXPECT_TRUE(env.line.receive(1, 60ms).empty()) << "the end frame gets no reply";

    auto stored = env.sim.program(4);
    ASSERT_EQ(stored.size(), 300u);
    EXPECT_EQ(stored[299][15], 299 % 256);
    EXPECT_EQ(replyField(sendRecord(300), 2), 0u) << "after the end frame it is a command";
    EXPECT_EQ(env.sim.program(4).size(), 300u);

    startDownload(4);  // a new download replaces the program
    sendRecord(0, 0x31);
    stored = env.sim.program(4);
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0][2], 0x31);
}

TEST_F(SimDownload, FramesWithARightSumDuringADownload) {
    env.sim.setVersion(0x0105);
    startDownload(1);
    sendRecord(0);
    EXPECT_EQ(env.sim.traffic().back().kind, RequestKind::Record);
    // A command whose sum is not the next index is answered as a command.
    EXPECT_EQ(replyField(ask(2), 2), 0x0105u);
    EXPECT_EQ(env.sim.traffic().back().kind, RequestKind::Command);
    // A work-mode command is one even when its sum byte is also the next index (1), and it
    // ends the download.
    EXPECT_EQ(ask(6, 2, 1, 0x4F), commandFrame(6, 0, 0, 0, 1));
    EXPECT_EQ(env.sim.workMode(), 2);
    sendRecord(1);
    EXPECT_EQ(env.sim.program(1).size(), 1u) << "no record after the download";
}

TEST_F(SimDownload, FaultsAtRecordK) {
    env.sim.inject({Fault::Action::RejectRecord, RequestKind::Record, 1});
    env.sim.inject({Fault::Action::Silent, RequestKind::Record, 2});
    env.sim.inject({Fault::Action::HangUp, RequestKind::Record, 3});
    startDownload(0);
    EXPECT_EQ(replyField(sendRecord(0), 1), 0u);
    EXPECT_EQ(replyField(sendRecord(1), 1), 1u) << "rejected";
    EXPECT_TRUE(sendRecord(2, 0x30, 100ms).empty());
    // The silent record was not taken, so the next record is record 2 again: it answers.
    EXPECT_EQ(sendRecord(2).size(), 16u);
    EXPECT_TRUE(sendRecord(3, 0x30, 100ms).empty());
    EXPECT_EQ(env.sim.program(0).size(), 2u);
}

}  // namespace
