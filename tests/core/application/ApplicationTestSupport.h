// Helpers shared by the application file tests: GBK literals and the text of a list of programs.
#pragma once

#include "core/application/ApplicationProgramFile.h"
#include "core/application/GbkText.h"

#include "TemporaryFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kelvane::testing {

inline std::string gbk(const std::string& utf8) { return utf8ToGbk(utf8); }

inline std::string formatPrograms(ApplicationProgramBuffer& buffer, const std::vector<ProgramImage>& programs) {
    return FormatApplicationProgram(buffer, static_cast<int>(programs.size()),
                                    [&](int i, ProgramImage& out) { out = programs[i]; });
}

}  // namespace kelvane::testing
