// Writes and reads an application program of ten programs of 1000 lines each (a remark on
// every third line) through the .kelvane writer and reader, and prints the times.
#include "core/application/ApplicationProgramFile.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

using namespace kelvane;

namespace {

ProgramImage benchProgram(int index) {
    ProgramImage program;
    program.lineCount = kMaxProgramLines;
    for (int i = 0; i < kMaxProgramLines; ++i) {
        auto& bytes = program.records[i].bytes;
        bytes = {0xAA,
                 0xFF,
                 static_cast<std::uint8_t>(10 + i % 40),
                 0,
                 0,
                 0,
                 1,
                 0x42,
                 0xC8,
                 0,
                 0,
                 static_cast<std::uint8_t>(index),
                 static_cast<std::uint8_t>(i >> 8),
                 static_cast<std::uint8_t>(i),
                 0,
                 0};
        if (i % 3 == 0) program.remarks[i] = "第" + std::to_string(i) + "行 move to station " + std::to_string(index);
    }
    return program;
}

double milliseconds(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

}  // namespace

int main() {
    std::vector<ProgramImage> programs;
    for (int p = 0; p < kMaxPrograms; ++p) programs.push_back(benchProgram(p));
    const std::string path = (std::filesystem::temp_directory_path() / "kelvane_file_bench.kelvane").string();

    constexpr int kRounds = 7;
    std::vector<double> formats, writes, reads;
    std::uintmax_t size = 0;
    for (int round = 0; round < kRounds; ++round) {
        ApplicationProgramBuffer buffer;
        ResetApplicationBuffer(buffer);
        auto start = std::chrono::steady_clock::now();
        FormatApplicationProgram(buffer, kMaxPrograms, [&](int i, ProgramImage& program) { program = programs[i]; });
        formats.push_back(milliseconds(std::chrono::steady_clock::now() - start));

        start = std::chrono::steady_clock::now();
        const WriteStatus status = WriteApplicationProgramFile(
            path, buffer, kMaxPrograms, [&](int i, ProgramImage& program) { program = programs[i]; });
        writes.push_back(milliseconds(std::chrono::steady_clock::now() - start));
        if (!status.ok) {
            std::fprintf(stderr, "file_bench: %s\n", status.reason.c_str());
            return 1;
        }
        size = std::filesystem::file_size(path);

        ApplicationProgramBuffer read;
        ResetApplicationBuffer(read);
        int lines = 0;
        start = std::chrono::steady_clock::now();
        LoadApplicationProgramFile(path, read, [&](int, const ProgramImage& program) { lines += program.lineCount; });
        reads.push_back(milliseconds(std::chrono::steady_clock::now() - start));
        if (lines != kMaxPrograms * kMaxProgramLines) {
            std::fprintf(stderr, "file_bench: read %d lines\n", lines);
            return 1;
        }
    }
    std::filesystem::remove(path);
    std::sort(formats.begin(), formats.end());
    std::sort(writes.begin(), writes.end());
    std::sort(reads.begin(), reads.end());
    std::printf("application program file: %d programs x %d lines, %ju bytes\n", kMaxPrograms, kMaxProgramLines, size);
    std::printf("  format only (no disk):                median %.1f ms, best %.1f ms\n", formats[kRounds / 2],
                formats[0]);
    std::printf("  write (gather, format, fsync, rename): median %.1f ms, best %.1f ms (target < 100 ms)\n",
                writes[kRounds / 2], writes[0]);
    std::printf("  read  (read, scan, hand over):        median %.1f ms, best %.1f ms (target < 100 ms)\n",
                reads[kRounds / 2], reads[0]);
    return 0;
}
