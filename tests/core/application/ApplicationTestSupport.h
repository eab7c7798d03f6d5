// Helpers shared by the application file tests: GBK literals and programs.
#pragma once

#include "core/application/ApplicationProgramFile.h"
#include "core/application/GbkText.h"

#include "TemporaryFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kelvane::testing {

inline std::string gbk(const std::string& utf8) { return utf8ToGbk(utf8); }

// A record with this instruction code and parameters.
inline LineRecord record(std::uint8_t code, std::uint32_t p1 = 0, std::uint32_t p2 = 0, std::uint32_t p3 = 0) {
    LineRecord r;
    r.bytes[0] = 0xAA;
    r.bytes[1] = 0xFF;
    r.bytes[2] = code;
    const std::uint32_t values[3] = {p1, p2, p3};
    for (int k = 0; k < 3; ++k)
        for (int b = 0; b < 4; ++b) r.bytes[3 + 4 * k + b] = static_cast<std::uint8_t>(values[k] >> (24 - 8 * b));
    return r;
}

// Programs written from a list, and programs read into a list.
inline std::string formatPrograms(ApplicationProgramBuffer& buffer, const std::vector<ProgramImage>& programs) {
    return FormatApplicationProgram(buffer, static_cast<int>(programs.size()),
                                    [&](int i, ProgramImage& out) { out = programs[i]; });
}

inline std::vector<ProgramImage> readPrograms(const std::string& text, ApplicationProgramBuffer& buffer,
                                              ReadSummary* summary = nullptr) {
    std::vector<ProgramImage> programs;
    const ReadSummary s = ReadApplicationProgram(text, buffer, [&](int i, const ProgramImage& p) {
        EXPECT_EQ(i, static_cast<int>(programs.size()));
        programs.push_back(p);
    });
    if (summary) *summary = s;
    return programs;
}

}  // namespace kelvane::testing
