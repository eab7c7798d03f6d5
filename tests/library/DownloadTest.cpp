// Program download against the simulated controller: the frames on the line, the result codes
// with their fall-back traffic, the program store's limits, progress and Ravo_Debug.log. Each
// download includes the controller's fixed 2 s settling pause, so cases are grouped.
#include "LogFiles.h"
#include "PtyPeer.h"

#include <sstream>

namespace {

using namespace std::chrono_literals;
using ravo_sim::Fault;
using ravo_sim::Request;
using ravo_sim::RequestKind;

// Record i: AA FF, an instruction code, i in parameter 1 and a byte 15 the download replaces.
std::vector<Frame16> makeRecords(std::size_t count) {
    std::vector<Frame16> records;
    for (std::size_t i = 0; i < count; ++i) {
        records.push_back(commandFrame(0xFF, 0x21, std::uint32_t(i), 0x12345678, 0x9ABCDEF0));
        records.back()[15] = 0x77;
    }
    return records;
}

// Record i as it goes out: its index in byte 15.
Frame16 onWire(Frame16 record, std::size_t i) {
    record[15] = static_cast<std::uint8_t>(i);
    return record;
}
Bytes bytesOf(const Frame16& frame) { return Bytes(frame.begin(), frame.end()); }

// The simulated controller (address 1) acknowledges record i with `status` and i.
std::string receiveLine(std::size_t n, std::uint32_t status, std::size_t i) {
    return std::to_string(n) + " ReceiveData: " + hex(commandFrame(1, 0x21, status, std::uint32_t(i), 0));
}

std::vector<std::string> debugLogLines() {
    std::istringstream in(readFile(besideExecutable("Ravo_Debug.log")));
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::string beginLine(int count) {
    return "[" + std::to_string(count) + "] Begin Download user program .....................";
}

bool isModeFrame(const Request& request, std::uint32_t mode, std::uint32_t program) {
    return request.kind == RequestKind::Command && request.code() == 6 && request.param(1) == mode &&
           request.param(2) == program;
}

class DownloadTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(Ravo_OpenSericalPort(1), 0); }
    void TearDown() override { Ravo_CloseSericalPort(); }

    // The end frame gets no reply, so the download may return before the controller took it.
    std::vector<Request> trafficOnceThere(std::size_t count) const {
        sim->waitForTraffic(count, 2s);
        return sim->traffic();
    }

    TemporaryComFolder folder;
    std::unique_ptr<ravo_sim::Simulator> sim = folder.simulator(1);
};

TEST_F(DownloadTest, StoreOf1500RecordsGoesOutIndexedAndLogged) {
    const auto program = makeRecords(1501);
    EXPECT_EQ(Ravo_SetUserProgram(program[0].data(), 1501), 5);
    EXPECT_EQ(Ravo_SetUserProgram(program[0].data(), -1), 5);  // taken as 16 bits: 65535
    EXPECT_EQ(Ravo_SetUserProgram(nullptr, 3), 5);             // nothing to copy from
    ASSERT_EQ(Ravo_SetUserProgram(program[0].data(), 1500), 0);

    EXPECT_EQ(Ravo_DownLoadProgram(1), 0);
    const auto traffic = trafficOnceThere(1502);
    ASSERT_EQ(traffic.size(), 1502u);
    EXPECT_TRUE(isModeFrame(traffic[0], 3, 1));
    EXPECT_GE(traffic[1].receivedAt - traffic[0].receivedAt, 2000ms);
    for (std::size_t i = 0; i < 1500; ++i) {
        ASSERT_EQ(traffic[1 + i].kind, RequestKind::Record) << i;
        ASSERT_EQ(traffic[1 + i].bytes, bytesOf(onWire(program[i], i))) << i;
    }
    EXPECT_EQ(traffic[1 + 300].bytes[15], 44);  // the index wraps at 256
    EXPECT_EQ(traffic[1501].kind, RequestKind::EndFrame);

    // Banner, begin line, then send n / receive n+1 for each record.
    const auto lines = debugLogLines();
    ASSERT_EQ(lines.size(), 2u + 3000u);
    EXPECT_EQ(bannerLength(lines[0] + "\n"), lines[0].size() + 1) << lines[0];
    EXPECT_EQ(lines[1], beginLine(1500));
    for (std::size_t i : {0, 300, 1499}) {
        EXPECT_EQ(lines[2 + 2 * i], std::to_string(i) + "   SendData: " + hex(onWire(program[i], i)));
        EXPECT_EQ(lines[3 + 2 * i], receiveLine(i + 1, 0, i));
    }
}

// The end frame is the one frame whose reply is not awaited: the next command follows it at
// once. A controller that takes nothing off the line for a while after acknowledging the last
// record still gets it, before the next program's work mode 3 and before the final work mode 1.
// Each success closes the log, so the next download starts a new one.
TEST_F(DownloadTest, EachEndFrameArrivesThoughTheNextCommandFollowsAtOnce) {
    const auto records = makeRecords(3);
    Fault stop{Fault::Action::StopReading, RequestKind::Record, 2, 2};  // after record 2, twice
    stop.delayMs = 100;
    sim->inject(stop);
    ASSERT_EQ(Ravo_SetUserProgram(records[0].data(), 3), RAVO_OK);
    for (int program : {0x100, 0x101}) EXPECT_EQ(Ravo_DownLoadProgram(program), RAVO_OK);  // one byte
    Ravo_SetWorkMode(RAVO_ANY_CONTROLLER_ADDRESS, RAVO_WORK_MODE_PROGRAMS, 0);

    const auto traffic = trafficOnceThere(11);
    ASSERT_EQ(traffic.size(), 11u);
    for (std::size_t program : {0, 1}) {
        EXPECT_TRUE(isModeFrame(traffic[5 * program], RAVO_WORK_MODE_DOWNLOAD, program));
        EXPECT_EQ(traffic[5 * program + 4].kind, RequestKind::EndFrame);
        EXPECT_EQ(sim->program(static_cast<int>(program)).size(), 3u);
    }
    EXPECT_TRUE(isModeFrame(traffic[10], RAVO_WORK_MODE_PROGRAMS, 0));
    const auto lines = debugLogLines();
    ASSERT_EQ(lines.size(), 2u + 6u);
    EXPECT_EQ(bannerLength(lines[0] + "\n"), lines[0].size() + 1) << lines[0];
}

// Failures fall back to work mode 2 and keep the log open: later downloads append to it. The
// progress callback hears of each record once its acknowledgement is in, with the count and
// the caller's pointer, and not of a refused one; a null callback silences it.
TEST_F(DownloadTest, FailuresFallBackToWorkModeTwoAndReportTheFailingRecordAndProgress) {
    struct Seen {
        ravo_sim::Simulator* sim;
        std::vector<std::array<std::size_t, 3>> calls;  // record, count, records on the line
    } seen{sim.get(), {}};
    Ravo_SetDownloadProgress(
        [](int record, int count, void* user) {
            Seen& to = *static_cast<Seen*>(user);
            std::size_t records = 0;
            for (const Request& request : to.sim->traffic()) records += request.kind == RequestKind::Record;
            to.calls.push_back({std::size_t(record), std::size_t(count), records});
        },
        &seen);
    const auto records = makeRecords(3);
    ASSERT_EQ(Ravo_SetUserProgram(records[0].data(), 3), RAVO_OK);
    sim->inject({Fault::Action::RejectRecord, RequestKind::Record, 2});
    EXPECT_EQ(Ravo_DownLoadProgram(4), RAVO_FAILED_AT_RECORD(2));
    EXPECT_EQ(seen.calls, (std::vector<std::array<std::size_t, 3>>{{1, 3, 1}, {2, 3, 2}}));
    EXPECT_TRUE(isModeFrame(sim->traffic().back(), 2, 4));

    Ravo_SetDownloadProgress(nullptr, &seen);
    sim->clearTraffic();
    sim->inject({Fault::Action::Silent, RequestKind::Record, 1});
    EXPECT_EQ(Ravo_DownLoadProgram(4), RAVO_FAILED_AT_RECORD(1));
    EXPECT_EQ(seen.calls.size(), 2u);
    const auto traffic = sim->traffic();
    ASSERT_EQ(traffic.size(), 4u);  // mode 3, records 0..1, mode 2
    EXPECT_TRUE(isModeFrame(traffic[3], 2, 4));
    const std::string zeros = "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 ";
    const auto lines = debugLogLines();
    ASSERT_EQ(lines.size(), 2u + 6u + 1u + 4u);
    EXPECT_EQ(lines[7], receiveLine(3, 1, 2)) << "the refusal";
    EXPECT_EQ(lines[8], beginLine(3));
    EXPECT_EQ(lines[12], "5 ReceiveData: " + zeros);

    // A closed port: the end frame of an empty program is not sent, after the fall-back pause.
    Ravo_CloseSericalPort();
    sim->clearTraffic();
    ASSERT_EQ(Ravo_SetUserProgram(nullptr, 0), 0);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Ravo_DownLoadProgram(1), 4);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 2020ms);
    // Records on a closed port: the first one fails, and the log shows nothing sent.
    ASSERT_EQ(Ravo_SetUserProgram(records[0].data(), 2), 0);
    EXPECT_EQ(Ravo_DownLoadProgram(1), RAVO_FIRST_RECORD_FAILED);
    EXPECT_TRUE(sim->traffic().empty());
    const auto appended = debugLogLines();
    EXPECT_EQ(std::vector<std::string>(appended.begin() + lines.size(), appended.end()),
              (std::vector<std::string>{beginLine(0), beginLine(2), "0   SendData: ", "1 ReceiveData: " + zeros}));
}

}  // namespace
