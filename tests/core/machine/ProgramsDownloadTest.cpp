// The user-program download through the real library to a simulated controller: the records
// of each program arrive in its slot, the first failure stops everything after it, and work
// mode 1 follows only a complete download.
#include "core/machine/ProgramsDownload.h"

#include "WireVocabulary.h"
#include "support/ConnectedControllerTest.h"
#include "support/ProgramImages.h"

#include <Kelvane_Ravo_Q9T2.h>

#include <gtest/gtest.h>

#include <tuple>
#include <utility>
#include <vector>

namespace {

using ravo_sim::Fault;
using ravo_sim::RequestKind;

// A program of `lines` records whose instruction code is `code` and parameter 1 the line index.
kelvane::ProgramImage Numbered(int lines, std::uint8_t code) {
    std::vector<kelvane::LineRecord> records;
    for (int i = 0; i < lines; ++i) records.push_back(Line(code, static_cast<std::uint32_t>(i)));
    return Program(records);
}

kelvane::ProgramRecords Records(const kelvane::ProgramImage& program) {
    return {program.records.data(), program.lineCount};
}

using Modes = std::vector<std::pair<std::uint32_t, std::uint32_t>>;

// The work-mode commands the controller received: (mode, argument).
Modes WorkModes(const ravo_sim::Simulator& controller) {
    Modes modes;
    for (const auto& request : controller.traffic())
        if (request.kind == RequestKind::Command && request.code() == cmd::SetWorkMode)
            modes.emplace_back(request.param(1), request.param(2));
    return modes;
}

class ProgramsDownloadTest : public ConnectedControllerTest {
protected:
    // The records the controller holds in slot `slot`, the index byte cleared.
    std::vector<kelvane::LineRecord> stored(int slot) {
        std::vector<kelvane::LineRecord> records;
        for (auto bytes : controller->program(slot)) {
            bytes[15] = 0;
            records.push_back({bytes});
        }
        return records;
    }
    static std::vector<kelvane::LineRecord> linesOf(const kelvane::ProgramImage& program) {
        return {program.records.begin(), program.records.begin() + program.lineCount};
    }
};

TEST_F(ProgramsDownloadTest, EveryProgramArrivesInItsSlotAndWorkModeOneComesLast) {
    const kelvane::ProgramImage programs[] = {Numbered(3, 0x0A), Numbered(0, 0), Numbered(2, 0x0C)};
    std::vector<std::pair<int, int>> progress;

    const auto failure = kelvane::DownloadPrograms({Records(programs[0]), Records(programs[1]), Records(programs[2])},
                                                   [&](int sent, int total) { progress.emplace_back(sent, total); });

    EXPECT_FALSE(failure.has_value());
    for (int slot = 0; slot < 3; ++slot) EXPECT_EQ(stored(slot), linesOf(programs[slot])) << slot;
    EXPECT_EQ(WorkModes(*controller), (Modes{{3, 0}, {3, 1}, {3, 2}, {1, 0}}));
    EXPECT_EQ(progress, (std::vector<std::pair<int, int>>{{1, 3}, {2, 3}, {3, 3}}));
}

TEST_F(ProgramsDownloadTest, ARejectedRecordStopsAtItsProgramWithoutWorkModeOne) {
    const kelvane::ProgramImage programs[] = {Numbered(2, 0x0A), Numbered(4, 0x0B), Numbered(1, 0x0C)};
    // Program 0 has no record 2, so the rejection meets record 2 of program 1.
    controller->inject({Fault::Action::RejectRecord, RequestKind::Record, 2});

    const auto failure = kelvane::DownloadPrograms({Records(programs[0]), Records(programs[1]), Records(programs[2])});

    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(std::make_tuple(failure->program, failure->result, failure->lineCount), std::make_tuple(1, 2, 4));
    EXPECT_EQ(kelvane::ProgramDownloadFailureMessage(*failure), "用户程序下载失败[应用程序：1],  下载2/4时出现错误");
    EXPECT_EQ(stored(1).size(), 2u) << "records 0 and 1 of program 1 arrived";
    // The library falls back to work mode 2 itself; program 2 and work mode 1 never follow.
    EXPECT_EQ(WorkModes(*controller), (Modes{{3, 0}, {3, 1}, {2, 1}}));
}

// Line counts outside 0..1000 never reach the library as they are: a count of -1 (a slot never
// committed) sends an empty program, and a program the library refuses is reported rather than
// replaced by the program stored before it.
TEST_F(ProgramsDownloadTest, LineCountsAreHeldToTheSlotAndARefusedProgramIsAFailure) {
    const kelvane::ProgramImage program = Numbered(1, 0x0A);
    EXPECT_FALSE(kelvane::DownloadPrograms({{program.records.data(), -1}}).has_value());
    EXPECT_TRUE(stored(0).empty());

    controller->clearTraffic();
    const auto failure = kelvane::DownloadPrograms({Records(program), {nullptr, 5}});
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(std::make_tuple(failure->program, failure->result, failure->lineCount), std::make_tuple(1, 5, 5));
    EXPECT_EQ(WorkModes(*controller), (Modes{{3, 0}})) << "the refused program is not downloaded";
}

}  // namespace
