// The program check: each kind of problem is found on its line, and lines a controller can run
// are left alone.
#include "core/editor/ProgramCheck.h"

#include "TestCatalogue.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

using kelvane::LineRecord;

LineRecord Line(std::uint8_t code, std::int32_t p1 = 0, std::int32_t p2 = 0, std::int32_t p3 = 0) {
    LineRecord record;
    record.bytes[0] = 0xAA;
    record.bytes[1] = 0xFF;
    record.bytes[2] = code;
    const std::int32_t values[] = {p1, p2, p3};
    for (int k = 0; k < 3; ++k)
        for (int b = 0; b < 4; ++b)
            record.bytes[3 + 4 * k + b] =
                static_cast<std::uint8_t>(static_cast<std::uint32_t>(values[k]) >> (24 - 8 * b));
    return record;
}

TEST(ProgramCheck, FindsJumpsBeyondTheProgramUnknownCodesAndValuesOutsideTheirEnumeration) {
    const kelvane::InstructionCatalogue catalogue = testing_catalogue::make();
    const std::pair<LineRecord, const char*> lines[] = {
        {Line(10, 5, 3, 0), nullptr},  // Move Fast: a listed value
        {Line(0), nullptr},            // blank line
        {Line(11, 7), nullptr},        // Goto the last line
        {Line(11, 8), "jump target 8 is beyond the last line (7)"},
        {Line(14, 0, 0, -1), "jump target -1 is beyond the last line (7)"},
        {Line(99, 1, 2, 3), "instruction code 99 is not in the catalogue"},
        {Line(13, 2, 4), "parameter 1 holds 2, which is not a value of its enumeration (type 7)"},
        {Line(12, 2), nullptr},  // Wait: parameter 1 unused, its value does not matter
    };
    kelvane::ProgramImage program;
    program.lineCount = std::size(lines);
    std::vector<std::pair<int, std::string>> expected;
    for (std::size_t i = 0; i < std::size(lines); ++i) {
        program.records[i] = lines[i].first;
        if (lines[i].second) expected.emplace_back(static_cast<int>(i), lines[i].second);
    }
    program.records[std::size(lines)] = Line(99);  // beyond the line count: not looked at

    std::vector<std::pair<int, std::string>> found;
    for (const kelvane::ProgramProblem& problem : kelvane::CheckProgram(catalogue, program))
        found.emplace_back(problem.line, problem.description);
    EXPECT_EQ(found, expected);
}

}  // namespace
