// The user-program download through the real library to a simulated controller: the records
// of each program arrive in its slot, the first failure stops everything after it, and work
// mode 1 follows only a complete download.
#include "core/machine/ProgramsDownload.h"

#include "support/SimulatedController.h"

#include <Kelvane_Ravo_Q9T2.h>

#include <gtest/gtest.h>

#include <array>
#include <tuple>
#include <utility>
#include <vector>

namespace {

using ravo_sim::Fault;
using ravo_sim::RequestKind;

constexpr int kSetWorkMode = 6;

// A program of `lines` records whose instruction code is `code` and parameter 1 the line index.
std::array<kelvane::LineRecord, kelvane::kMaxProgramLines> Program(int lines, std::uint8_t code) {
    std::array<kelvane::LineRecord, kelvane::kMaxProgramLines> records{};
    for (int i = 0; i < lines; ++i) records[i].bytes = {0xAA, 0xFF, code, 0, 0, 0, static_cast<std::uint8_t>(i)};
    return records;
}

// The work-mode commands the controller received: (mode, argument).
std::vector<std::pair<std::uint32_t, std::uint32_t>> WorkModes(const ravo_sim::Simulator& controller) {
    std::vector<std::pair<std::uint32_t, std::uint32_t>> modes;
    for (const auto& request : controller.traffic())
        if (request.kind == RequestKind::Command && request.code() == kSetWorkMode)
            modes.emplace_back(request.param(1), request.param(2));
    return modes;
}

class ProgramsDownloadTest : public ::testing::Test {
protected:
    void SetUp() override {
        static const bool initialised = (Ravo_GlobalInit(), true);
        (void)initialised;
        ASSERT_EQ(Ravo_OpenSericalPort(1), 0);
    }
    void TearDown() override { Ravo_CloseSericalPort(); }

    // Stored records of slot `slot` as the simulator holds them, byte 15 (the index) cleared.
    std::vector<std::array<std::uint8_t, 16>> stored(int slot) {
        auto records = controller->program(slot);
        for (auto& record : records) record[15] = 0;
        return records;
    }

    SimulatedController controller;
};

TEST_F(ProgramsDownloadTest, EveryProgramArrivesInItsSlotAndWorkModeOneComesLast) {
    const auto first = Program(3, 0x0A), empty = Program(0, 0), third = Program(2, 0x0C);
    std::vector<std::pair<int, int>> progress;

    const auto failure = kelvane::DownloadPrograms({{first.data(), 3}, {empty.data(), 0}, {third.data(), 2}},
                                                   [&](int sent, int total) { progress.emplace_back(sent, total); });

    EXPECT_FALSE(failure.has_value());
    const std::pair<const decltype(first)*, int> expected[] = {{&first, 3}, {&empty, 0}, {&third, 2}};
    for (int slot = 0; slot < 3; ++slot) {
        const auto records = stored(slot);
        ASSERT_EQ(static_cast<int>(records.size()), expected[slot].second) << slot;
        for (int i = 0; i < expected[slot].second; ++i)
            EXPECT_EQ(records[i], (*expected[slot].first)[i].bytes) << slot << ":" << i;
    }
    using Modes = std::vector<std::pair<std::uint32_t, std::uint32_t>>;
    EXPECT_EQ(WorkModes(*controller), (Modes{{3, 0}, {3, 1}, {3, 2}, {1, 0}}));
    EXPECT_EQ(controller->workMode(), 1);
    EXPECT_EQ(progress, (std::vector<std::pair<int, int>>{{1, 3}, {2, 3}, {3, 3}}));
}

TEST_F(ProgramsDownloadTest, ARejectedRecordStopsAtItsProgramWithoutWorkModeOne) {
    const auto first = Program(2, 0x0A), second = Program(4, 0x0B), third = Program(1, 0x0C);
    // Program 0 has no record 2, so the rejection meets record 2 of program 1.
    controller->inject({Fault::Action::RejectRecord, RequestKind::Record, 2});

    const auto failure = kelvane::DownloadPrograms({{first.data(), 2}, {second.data(), 4}, {third.data(), 1}});

    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(std::make_tuple(failure->program, failure->result, failure->lineCount), std::make_tuple(1, 2, 4));
    EXPECT_EQ(kelvane::ProgramDownloadFailureMessage(*failure),
              "用户程序下载失败[应用程序：1],  下载2/4时出现错误");
    EXPECT_EQ(stored(0).size(), 2u);
    EXPECT_EQ(stored(1).size(), 2u) << "records 0 and 1 of program 1 arrived";
    using Modes = std::vector<std::pair<std::uint32_t, std::uint32_t>>;
    // The library falls back to work mode 2 itself; program 2 and work mode 1 never follow.
    EXPECT_EQ(WorkModes(*controller), (Modes{{3, 0}, {3, 1}, {2, 1}}));
}

// Line counts outside 0..1000 never reach the library as they are: a count of -1 (a slot never
// committed) sends an empty program, and a program the library refuses is reported rather than
// replaced by the program stored before it.
TEST_F(ProgramsDownloadTest, LineCountsAreHeldToTheSlotAndARefusedProgramIsAFailure) {
    const auto program = Program(1, 0x0A);
    EXPECT_FALSE(kelvane::DownloadPrograms({{program.data(), -1}}).has_value());
    EXPECT_TRUE(stored(0).empty());

    controller->clearTraffic();
    const auto failure = kelvane::DownloadPrograms({{program.data(), 1}, {nullptr, 5}});
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(std::make_tuple(failure->program, failure->result, failure->lineCount), std::make_tuple(1, 5, 5));
    using Modes = std::vector<std::pair<std::uint32_t, std::uint32_t>>;
    EXPECT_EQ(WorkModes(*controller), (Modes{{3, 0}})) << "the refused program is not downloaded";
}

}  // namespace
