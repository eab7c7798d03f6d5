// Times the program grid's heavy operations on programs of 1000 lines, each followed by the
// grid's repaint, offscreen: showing a program, inserting a line at row 0, deleting 500
// selected lines, pasting 500 lines, a tab switch between two full programs and committing the
// rows. Prints the median and worst time of each, the resident memory with ten full programs
// loaded and, last, the worst median as a share of one frame at 60 Hz (16 ms).
#include "editor/CUserProgramEditCtrl.h"

#include "core/editor/RecordFields.h"

#include <QApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

using namespace kelvane;

namespace {

constexpr double kFrameMs = 16.0;
constexpr int kRounds = 15;

// A program of `lines` lines: moves, waits, a jump every 20 lines and a loop every 50, with a
// remark on every third line.
ProgramImage benchProgram(int lines, int seed) {
    ProgramImage program;
    program.lineCount = static_cast<std::uint16_t>(lines);
    for (int i = 0; i < lines; ++i) {
        LineRecord& record = program.records[i];
        record.bytes[0] = kRecordStart;
        record.bytes[1] = kRecordAddress;
        if (i % 20 == 0) {
            record.bytes[kCodeByte] = 51;  // jump to a line further on
            WriteBigEndian32(record, kParamOffsets[0], static_cast<std::uint32_t>((i + 7 + seed) % lines));
        } else if (i % 50 == 1) {
            record.bytes[kCodeByte] = 53;  // loop: count, line
            WriteBigEndian32(record, kParamOffsets[0], 3);
            WriteBigEndian32(record, kParamOffsets[1], static_cast<std::uint32_t>(i / 2));
        } else if (i % 2 == 0) {
            record.bytes[kCodeByte] = 10;  // absolute move: axis, position, speed
            WriteBigEndian32(record, kParamOffsets[0], 1u << (i % 6));
            WriteBigEndian32(record, kParamOffsets[1], 0x42C80000);  // 100.0
            WriteBigEndian32(record, kParamOffsets[2], 0x41200000);  // 10.0
        } else {
            record.bytes[kCodeByte] = 50;  // wait
            WriteBigEndian32(record, kParamOffsets[0], static_cast<std::uint32_t>(i + seed));
        }
        if (i % 3 == 0) program.remarks[i] = "step@" + std::to_string(i);
    }
    return program;
}

double milliseconds(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

long residentKilobytes() {
    std::ifstream status("/proc/self/status");
    std::string key;
    long value = 0;
    while (status >> key) {
        if (key == "VmRSS:") {
            status >> value;
            return value;
        }
        status.ignore(1 << 10, '\n');
    }
    return 0;
}

struct Figure {
    const char* name;
    std::vector<double> ms;
    double median() const {
        std::vector<double> sorted = ms;
        std::sort(sorted.begin(), sorted.end());
        return sorted[sorted.size() / 2];
    }
    double worst() const { return *std::max_element(ms.begin(), ms.end()); }
};

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);

    CUserProgramEditCtrl grid;
    grid.resize(900, 700);
    grid.setBaseFolder(QStringLiteral(RAVO_DEMO_DATA_FOLDER));
    grid.InitGrid();
    grid.show();
    const ProgramImage full0 = benchProgram(kMaxProgramLines, 0);
    const ProgramImage full1 = benchProgram(kMaxProgramLines, 3);
    const ProgramImage almostFull = benchProgram(kMaxProgramLines - 1, 0);
    for (int slot = kProgramSlotCount - 1; slot >= 0; --slot) grid.LoadProgram(slot, slot % 2 ? full1 : full0);
    QApplication::processEvents();
    const long resident = residentKilobytes();

    const auto painted = [&] {
        grid.viewport()->repaint();
        QApplication::processEvents();
    };
    const auto timed = [&](Figure& figure, const std::function<void()>& operation) {
        // A user's actions come with idle time between them, as here.
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        const auto start = std::chrono::steady_clock::now();
        operation();
        painted();
        figure.ms.push_back(milliseconds(std::chrono::steady_clock::now() - start));
    };

    Figure show{"ShowProgram (rows kept)", {}};
    Figure insert{"InsertLine at row 0", {}};
    Figure remove{"DeleteSelectedLines 500", {}};
    Figure paste{"PasteSelection 500", {}};
    Figure tab{"tab switch (CommitRows + ShowProgram(other, 0))", {}};
    Figure commit{"CommitRows", {}};

    for (int round = 0; round < kRounds; ++round) {
        grid.LoadProgram(0, full0);
        painted();
        timed(show, [&] { grid.ShowProgram(0, 1); });
        timed(commit, [&] { grid.CommitRows(JumpEdit::None); });

        grid.selectRows(250, 749);
        timed(remove, [&] { grid.DeleteSelectedLines(); });

        // 500 lines left: copy them all and paste them at the end.
        grid.selectRows(0, 499);
        grid.CopySelection();
        grid.programs().setCurrentRow(500);
        timed(paste, [&] { grid.PasteSelection(); });

        grid.LoadProgram(0, almostFull);
        grid.programs().setCurrentRow(0);
        painted();
        timed(insert, [&] { grid.InsertLine(); });

        grid.LoadProgram(0, full0);
        grid.ShowProgram(1, 0);
        painted();
        timed(tab, [&] {
            grid.CommitRows(JumpEdit::None);
            grid.ShowProgram(0, 0);
        });
    }

    double worstMedian = 0;
    std::printf("editor_bench: programs of %d lines, %d rounds, grid %dx%d offscreen\n", kMaxProgramLines, kRounds,
                grid.width(), grid.height());
    for (const Figure* figure : {&show, &insert, &remove, &paste, &tab, &commit}) {
        std::printf("%-50s median %7.2f ms   worst %7.2f ms\n", figure->name, figure->median(), figure->worst());
        worstMedian = std::max(worstMedian, figure->median());
    }
    std::printf("resident memory with ten programs of %d lines loaded: %.1f MB\n", kMaxProgramLines, resident / 1024.0);
    std::printf("worst median / %.0f ms frame: %.3f\n", kFrameMs, worstMedian / kFrameMs);
    return 0;
}
