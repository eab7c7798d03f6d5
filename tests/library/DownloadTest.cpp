// Program download against the simulated controller: the frames on the line, every result code
// with its fall-back traffic, the program store's limits and Ravo_Debug.log. Each download
// includes the controller's fixed 2 s settling pause, so cases are grouped.
#include "LogFiles.h"
#include "PtyPeer.h"
#include "TemporaryComFolder.h"

#include <sstream>

namespace {

using namespace std::chrono_literals;
using ravo_sim::Fault;
using ravo_sim::Request;
using ravo_sim::RequestKind;

// Record i: AA FF, an instruction code, i in parameter 1 and a data byte in byte 15 that the
// download replaces by the index.
std::vector<Frame16> makeRecords(std::size_t count, std::uint8_t code = 0x21) {
    std::vector<Frame16> records;
    for (std::size_t i = 0; i < count; ++i) {
        records.push_back(commandFrame(0xFF, code, std::uint32_t(i), 0x12345678, 0x9ABCDEF0));
        records.back()[15] = 0x77;
    }
    return records;
}

Frame16 onWire(Frame16 record, std::size_t index) {
    record[15] = static_cast<std::uint8_t>(index);
    return record;
}
Bytes bytesOf(const Frame16& frame) { return Bytes(frame.begin(), frame.end()); }

std::string sendLine(std::size_t n, const Frame16& frame) { return std::to_string(n) + "   SendData: " + hex(frame); }

// The simulated controller (address 1) acknowledges record i with `status` and i.
std::string receiveLine(std::size_t n, std::uint32_t status, std::size_t i) {
    return std::to_string(n) + " ReceiveData: " + hex(commandFrame(1, 0x21, status, i, 0));
}

std::vector<std::string> debugLogLines() {
    std::istringstream in(readFile(besideExecutable("Ravo_Debug.log")));
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

bool isBanner(const std::string& line) { return bannerLength(line + "\n") == line.size() + 1; }

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

TEST_F(DownloadTest, StoreOf1500RecordsGoesOutIndexedAndEachSuccessStartsAFreshLog) {
    const auto program = makeRecords(1500);
    const auto tooLong = makeRecords(1501, 0x55);
    ASSERT_EQ(Ravo_SetUserProgram(program[0].data(), 1500), 0);
    EXPECT_EQ(Ravo_SetUserProgram(tooLong[0].data(), 1501), 5);
    EXPECT_EQ(Ravo_SetUserProgram(tooLong[0].data(), -1), 5);  // taken as 16 bits: 65535
    EXPECT_EQ(Ravo_SetUserProgram(nullptr, 3), 5);             // nothing to copy from

    EXPECT_EQ(Ravo_DownLoadProgram(1), 0);
    auto traffic = trafficOnceThere(1502);
    ASSERT_EQ(traffic.size(), 1502u);
    EXPECT_TRUE(isModeFrame(traffic[0], 3, 1));
    EXPECT_GE(traffic[1].receivedAt - traffic[0].receivedAt, 2000ms);
    for (std::size_t i = 0; i < 1500; ++i) {
        ASSERT_EQ(traffic[1 + i].kind, RequestKind::Record) << i;
        ASSERT_EQ(traffic[1 + i].bytes, bytesOf(onWire(program[i], i))) << i;
    }
    EXPECT_EQ(traffic[1 + 300].bytes[15], 44);  // the index wraps at 256
    EXPECT_EQ(traffic[1501].kind, RequestKind::EndFrame);
    EXPECT_EQ(sim->program(1).size(), 1500u);

    // Banner, begin line, then send n / receive n+1 for each record.
    auto lines = debugLogLines();
    ASSERT_EQ(lines.size(), 2u + 3000u);
    EXPECT_TRUE(isBanner(lines[0])) << lines[0];
    EXPECT_EQ(lines[1], "[1500] Begin Download user program .....................");
    for (std::size_t i : {0, 1, 300, 1499}) {
        EXPECT_EQ(lines[2 + 2 * i], sendLine(i, onWire(program[i], i)));
        EXPECT_EQ(lines[3 + 2 * i], receiveLine(i + 1, 0, i));
    }

    // The success closed the log: an empty program starts a new file with its own banner.
    sim->clearTraffic();
    ASSERT_EQ(Ravo_SetUserProgram(nullptr, 0), 0);
    EXPECT_EQ(Ravo_DownLoadProgram(0x105), 0);  // the program number is one byte
    traffic = trafficOnceThere(2);
    ASSERT_EQ(traffic.size(), 2u);
    EXPECT_TRUE(isModeFrame(traffic[0], 3, 5));
    EXPECT_EQ(traffic[1].kind, RequestKind::EndFrame);
    lines = debugLogLines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_TRUE(isBanner(lines[0]));
    EXPECT_EQ(lines[1], "[0] Begin Download user program .....................");
}

// The end frame is the one frame whose reply is not awaited: the next command follows it at
// once. A controller that takes nothing off the line for a while after acknowledging the last
// record still gets it, before the next program's work mode 3 and before the final work mode 1.
TEST_F(DownloadTest, EachEndFrameArrivesThoughTheNextCommandFollowsAtOnce) {
    const auto records = makeRecords(3);
    Fault stop{Fault::Action::StopReading, RequestKind::Record, 2, 2};  // after record 2, twice
    stop.delayMs = 100;
    sim->inject(stop);
    for (int program : {0, 1}) {
        ASSERT_EQ(Ravo_SetUserProgram(records[0].data(), 3), RAVO_OK);
        EXPECT_EQ(Ravo_DownLoadProgram(program), RAVO_OK);
    }
    Ravo_SetWorkMode(RAVO_ANY_CONTROLLER_ADDRESS, RAVO_WORK_MODE_PROGRAMS, 0);

    const auto traffic = trafficOnceThere(11);
    ASSERT_EQ(traffic.size(), 11u);
    for (std::size_t program : {0, 1}) {
        SCOPED_TRACE(program);
        const std::size_t first = 5 * program;
        EXPECT_TRUE(isModeFrame(traffic[first], RAVO_WORK_MODE_DOWNLOAD, program));
        for (std::size_t i = 0; i < 3; ++i) EXPECT_EQ(traffic[first + 1 + i].bytes, bytesOf(onWire(records[i], i)));
        EXPECT_EQ(traffic[first + 4].kind, RequestKind::EndFrame);
        EXPECT_EQ(sim->program(static_cast<int>(program)).size(), 3u);
    }
    EXPECT_TRUE(isModeFrame(traffic[10], RAVO_WORK_MODE_PROGRAMS, 0));
    EXPECT_EQ(sim->workMode(), RAVO_WORK_MODE_PROGRAMS);
}

// Failures keep the log open: later downloads append to it without a new banner.
TEST_F(DownloadTest, FailuresFallBackToWorkModeTwoAndReportTheFailingRecord) {
    const auto records = makeRecords(10);
    ASSERT_EQ(Ravo_SetUserProgram(records[0].data(), 10), 0);

    sim->inject({Fault::Action::RejectRecord, RequestKind::Record, 0});
    EXPECT_EQ(Ravo_DownLoadProgram(2), -1);
    auto traffic = sim->traffic();
    ASSERT_EQ(traffic.size(), 3u);
    EXPECT_TRUE(isModeFrame(traffic[0], 3, 2));
    EXPECT_EQ(traffic[1].kind, RequestKind::Record);
    EXPECT_TRUE(isModeFrame(traffic[2], 2, 2));

    sim->clearTraffic();
    sim->inject({Fault::Action::Silent, RequestKind::Record, 7});
    EXPECT_EQ(Ravo_DownLoadProgram(2), 7);
    traffic = sim->traffic();
    ASSERT_EQ(traffic.size(), 10u);  // mode 3, records 0..7, mode 2
    EXPECT_TRUE(isModeFrame(traffic[0], 3, 2));
    for (std::size_t i = 0; i <= 7; ++i) EXPECT_EQ(traffic[1 + i].bytes[15], i);
    EXPECT_TRUE(isModeFrame(traffic[9], 2, 2));

    const auto lines = debugLogLines();
    ASSERT_EQ(lines.size(), 2u + 2u + 1u + 16u);
    EXPECT_TRUE(isBanner(lines[0]));
    EXPECT_EQ(lines[1], "[10] Begin Download user program .....................");
    EXPECT_EQ(lines[2], sendLine(0, onWire(records[0], 0)));
    EXPECT_EQ(lines[3], receiveLine(1, 1, 0));  // the rejection
    EXPECT_EQ(lines[4], "[10] Begin Download user program .....................");
    EXPECT_EQ(lines[5], sendLine(1, onWire(records[0], 0)));
    EXPECT_EQ(lines[19], sendLine(8, onWire(records[7], 7)));
    EXPECT_EQ(lines[20], "9 ReceiveData: 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 ");

    // A closed port: the end frame of an empty program is not sent, after the fall-back pause.
    Ravo_CloseSericalPort();
    sim->clearTraffic();
    ASSERT_EQ(Ravo_SetUserProgram(nullptr, 0), 0);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Ravo_DownLoadProgram(1), 4);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 2020ms);
    EXPECT_TRUE(sim->traffic().empty());

    // Records on a closed port: the first one fails, and the log shows nothing sent.
    ASSERT_EQ(Ravo_SetUserProgram(records[0].data(), 2), 0);
    EXPECT_EQ(Ravo_DownLoadProgram(1), RAVO_FIRST_RECORD_FAILED);
    EXPECT_TRUE(sim->traffic().empty());
    const auto appended = debugLogLines();
    ASSERT_EQ(appended.size(), lines.size() + 4u);
    EXPECT_EQ(appended[lines.size()], "[0] Begin Download user program .....................");
    EXPECT_EQ(appended[lines.size() + 1], "[2] Begin Download user program .....................");
    EXPECT_EQ(appended[lines.size() + 2], "0   SendData: ");
    EXPECT_EQ(appended[lines.size() + 3], "1 ReceiveData: 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 ");
}

// The progress callback hears of each record once its acknowledgement is in, with the count
// and the caller's pointer, and not of a refused record; a null callback silences it.
TEST_F(DownloadTest, ProgressFollowsEachAcknowledgedRecordUntilTheCallbackIsCleared) {
    struct Call {
        int record, count;
        std::size_t recordsOnLine;
        bool operator==(const Call& other) const {
            return record == other.record && count == other.count && recordsOnLine == other.recordsOnLine;
        }
    };
    struct Seen {
        ravo_sim::Simulator* sim;
        std::vector<Call> calls;
    } seen{sim.get(), {}};
    const auto callback = [](int record, int count, void* user) {
        Seen& to = *static_cast<Seen*>(user);
        std::size_t records = 0;
        for (const Request& request : to.sim->traffic()) records += request.kind == RequestKind::Record;
        to.calls.push_back({record, count, records});
    };
    const auto records = makeRecords(3);
    ASSERT_EQ(Ravo_SetUserProgram(records[0].data(), 3), RAVO_OK);

    Ravo_SetDownloadProgress(callback, &seen);
    sim->inject({Fault::Action::RejectRecord, RequestKind::Record, 2});
    EXPECT_EQ(Ravo_DownLoadProgram(0), RAVO_FAILED_AT_RECORD(2));
    EXPECT_EQ(seen.calls, (std::vector<Call>{{1, 3, 1}, {2, 3, 2}}));

    Ravo_SetDownloadProgress(nullptr, &seen);
    EXPECT_EQ(Ravo_DownLoadProgram(0), RAVO_OK);
    EXPECT_EQ(seen.calls.size(), 2u);
}

}  // namespace
