// Program download against the simulated controller: the frames on the line, every result
// code with its fall-back traffic, the program store's limits and Ravo_Debug.log. Each
// download includes the controller's fixed 2 s settling pause, so cases are grouped.
#include "Kelvane_Ravo_Q9T2.h"
#include "com_folder.h"

#include <gtest/gtest.h>

#include <array>
#include <cctype>
#include <chrono>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using namespace std::chrono_literals;
using ravo_sim::Request;
using ravo_sim::RequestKind;
using Record = std::array<std::uint8_t, 16>;

// Record i: AA FF, an instruction code, i in parameter 1 and a data byte in byte 15 that the
// download must replace by the index.
std::vector<Record> makeRecords(std::size_t count, std::uint8_t code = 0x21) {
    std::vector<Record> records(count);
    for (std::size_t i = 0; i < count; ++i) {
        Record& r = records[i];
        r = {0xAA, 0xFF, code, static_cast<std::uint8_t>(i >> 24),
             static_cast<std::uint8_t>(i >> 16), static_cast<std::uint8_t>(i >> 8),
             static_cast<std::uint8_t>(i), 0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0xDE, 0xF0, 0x77};
    }
    return records;
}

int store(const std::vector<Record>& records, int count) {
    return Ravo_SetUserProgram(records.empty() ? nullptr : records[0].data(), count);
}

std::string debugLogPath() {
    char path[4096] = {};
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    std::string exe(path, length > 0 ? static_cast<std::size_t>(length) : 0);
    return exe.substr(0, exe.find_last_of('/')) + "/Ravo_Debug.log";
}

std::vector<std::string> debugLogLines() {
    std::ifstream in(debugLogPath(), std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// "<n>   SendData: " and the 16 bytes as "%.2x ".
std::string sendLine(int n, const Record& frame) {
    std::ostringstream line;
    line << n << "   SendData: ";
    char hex[4];
    for (std::uint8_t byte : frame) {
        std::snprintf(hex, sizeof hex, "%.2x ", byte);
        line << hex;
    }
    return line.str();
}

// "...........................<y>年<m>月<d>日<h>时<min>分<s>秒.........................", the
// date words as GBK bytes.
bool isBanner(const std::string& line) {
    const std::string before(27, '.'), after(25, '.');
    if (line.size() < before.size() + after.size() || line.compare(0, 27, before) != 0 ||
        line.compare(line.size() - 25, 25, after) != 0)
        return false;
    std::string date = line.substr(27, line.size() - 52);
    for (const char* word : {"\xc4\xea", "\xd4\xc2", "\xc8\xd5", "\xca\xb1", "\xb7\xd6", "\xc3\xeb"}) {
        std::size_t digits = 0;
        while (digits < date.size() && std::isdigit(static_cast<unsigned char>(date[digits])))
            ++digits;
        if (digits == 0 || date.compare(digits, 2, word) != 0) return false;
        date.erase(0, digits + 2);
    }
    return date.empty();
}

// The 16 bytes of "<n> ReceiveData: xx xx ... xx ", or nothing when the line is not one.
std::optional<Record> receivedBytes(const std::string& line, int n) {
    const std::string prefix = std::to_string(n) + " ReceiveData: ";
    if (line.size() != prefix.size() + 16 * 3 || line.compare(0, prefix.size(), prefix) != 0)
        return std::nullopt;
    Record bytes{};
    for (std::size_t i = 0; i < 16; ++i) {
        const std::string group = line.substr(prefix.size() + 3 * i, 3);
        if (group[2] != ' ' || !std::isxdigit(static_cast<unsigned char>(group[0])) ||
            !std::isxdigit(static_cast<unsigned char>(group[1])) || std::isupper(group[0]) ||
            std::isupper(group[1]))
            return std::nullopt;
        bytes[i] = static_cast<std::uint8_t>(std::stoi(group.substr(0, 2), nullptr, 16));
    }
    return bytes;
}

// A receive line numbered n whose reply carries `status` in bytes 3..6.
bool isReceiveLine(const std::string& line, int n, std::uint32_t status) {
    const auto bytes = receivedBytes(line, n);
    if (!bytes) return false;
    const std::uint32_t carried = (std::uint32_t{(*bytes)[3]} << 24) |
                                  (std::uint32_t{(*bytes)[4]} << 16) |
                                  (std::uint32_t{(*bytes)[5]} << 8) | (*bytes)[6];
    return carried == status;
}

bool isModeFrame(const Request& request, std::uint32_t mode, std::uint32_t program) {
    return request.kind == RequestKind::Command && request.code() == 6 &&
           request.param(1) == mode && request.param(2) == program;
}

Record wireRecord(Record record, std::size_t index) {
    record[15] = static_cast<std::uint8_t>(index);
    return record;
}

class DownloadTest : public ::testing::Test {
protected:
    void SetUp() override {
        Ravo_GlobalInit();
        ASSERT_EQ(Ravo_OpenSericalPort(1), 0);
    }
    void TearDown() override { Ravo_CloseSericalPort(); }

    // The end frame gets no reply, so the download may return before the controller has
    // taken it in.
    std::vector<Request> trafficOnceThere(std::size_t count) const {
        sim->waitForTraffic(count, 2s);
        return sim->traffic();
    }

    ComFolder folder;
    std::unique_ptr<ravo_sim::Simulator> sim = folder.simulator(1);
};

TEST_F(DownloadTest, SuccessfulDownloadsSendEveryRecordAndStartAFreshLogEachTime) {
    const auto records = makeRecords(2);
    ASSERT_EQ(store(records, 2), 0);
    EXPECT_EQ(Ravo_DownLoadProgram(3), 0);

    auto traffic = trafficOnceThere(4);
    ASSERT_EQ(traffic.size(), 4u);
    EXPECT_TRUE(isModeFrame(traffic[0], 3, 3));
    EXPECT_GE(traffic[1].receivedAt - traffic[0].receivedAt, 2000ms);
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(traffic[1 + i].kind, RequestKind::Record);
        const Record expected = wireRecord(records[i], i);
        EXPECT_EQ(traffic[1 + i].bytes, std::vector<std::uint8_t>(expected.begin(), expected.end()));
    }
    EXPECT_EQ(traffic[3].kind, RequestKind::EndFrame);
    EXPECT_EQ(sim->program(3).size(), 2u);

    // Banner, begin line, then send n / receive n+1 for each record.
    auto lines = debugLogLines();
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_TRUE(isBanner(lines[0])) << lines[0];
    EXPECT_EQ(lines[1], "[2] Begin Download user program .....................");
    EXPECT_EQ(lines[2], sendLine(0, wireRecord(records[0], 0)));
    EXPECT_TRUE(isReceiveLine(lines[3], 1, 0)) << lines[3];
    EXPECT_EQ(lines[4], sendLine(1, wireRecord(records[1], 1)));
    EXPECT_TRUE(isReceiveLine(lines[5], 2, 0)) << lines[5];

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

TEST_F(DownloadTest, StoreTakes1500RecordsAndKeepsThemWhenARefusedProgramFollows) {
    const auto program = makeRecords(1500);
    const auto tooLong = makeRecords(1501, 0x55);
    ASSERT_EQ(store(program, 1500), 0);
    EXPECT_EQ(store(tooLong, 1501), 5);
    EXPECT_EQ(store(tooLong, -1), 5);       // taken as 16 bits: 65535
    EXPECT_EQ(Ravo_SetUserProgram(nullptr, 3), 5);  // nothing to copy from

    EXPECT_EQ(Ravo_DownLoadProgram(1), 0);
    const auto traffic = trafficOnceThere(1502);
    ASSERT_EQ(traffic.size(), 1502u);
    for (std::size_t i = 0; i < 1500; ++i) {
        const Request& sent = traffic[1 + i];
        ASSERT_EQ(sent.kind, RequestKind::Record) << i;
        const Record expected = wireRecord(program[i], i);
        ASSERT_EQ(sent.bytes, std::vector<std::uint8_t>(expected.begin(), expected.end())) << i;
    }
    EXPECT_EQ(traffic[1 + 300].bytes[15], 44);  // the index wraps at 256
    EXPECT_EQ(traffic[1501].kind, RequestKind::EndFrame);
}

// Failures keep the log open: later downloads append to it without a new banner.
TEST_F(DownloadTest, FailuresFallBackToWorkModeTwoAndReportTheFailingRecord) {
    const auto records = makeRecords(10);
    ASSERT_EQ(store(records, 10), 0);

    sim->inject({ravo_sim::Fault::Action::RejectRecord, RequestKind::Record, 0});
    EXPECT_EQ(Ravo_DownLoadProgram(2), -1);
    auto traffic = sim->traffic();
    ASSERT_EQ(traffic.size(), 3u);
    EXPECT_TRUE(isModeFrame(traffic[0], 3, 2));
    EXPECT_EQ(traffic[1].kind, RequestKind::Record);
    EXPECT_TRUE(isModeFrame(traffic[2], 2, 2));

    sim->clearTraffic();
    sim->inject({ravo_sim::Fault::Action::Silent, RequestKind::Record, 7});
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
    EXPECT_EQ(lines[2], sendLine(0, wireRecord(records[0], 0)));
    EXPECT_TRUE(isReceiveLine(lines[3], 1, 1)) << lines[3];  // the rejection
    EXPECT_EQ(lines[4], "[10] Begin Download user program .....................");
    EXPECT_EQ(lines[5], sendLine(1, wireRecord(records[0], 0)));
    EXPECT_EQ(lines[19], sendLine(8, wireRecord(records[7], 7)));
    EXPECT_EQ(lines[20], "9 ReceiveData: 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 ");

    // The line goes dead in the middle of the program: the record is reported, nothing breaks.
    sim->inject({ravo_sim::Fault::Action::HangUp, RequestKind::Record, 4});
    EXPECT_EQ(Ravo_DownLoadProgram(2), 4);
}

TEST_F(DownloadTest, ClosedPortGivesFourForTheEndFrameAndMinusOneForTheFirstRecord) {
    Ravo_CloseSericalPort();
    ASSERT_EQ(Ravo_SetUserProgram(nullptr, 0), 0);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Ravo_DownLoadProgram(1), 4);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 2020ms);

    ASSERT_EQ(store(makeRecords(2), 2), 0);
    EXPECT_EQ(Ravo_DownLoadProgram(1), -1);
    EXPECT_TRUE(sim->traffic().empty());
}

}  // namespace
