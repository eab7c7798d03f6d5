// Any bytes given as a .kelvane file: reading must stay in bounds, hand over at most ten
// programs of at most 1000 lines, and what it read must write out as a file that reads back
// to the same text.
#include "core/application/ApplicationProgramFile.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

using namespace kelvane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ApplicationProgramBuffer buffer;
    ResetApplicationBuffer(buffer);
    std::vector<ProgramImage> programs;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const ReadSummary summary = ReadApplicationProgram(text, buffer, [&](int index, const ProgramImage& program) {
        if (index != static_cast<int>(programs.size()) || program.lineCount > kMaxProgramLines) std::abort();
        if (program.remarks.size() > program.lineCount) std::abort();
        programs.push_back(program);
    });
    if (summary.programCount != static_cast<int>(programs.size()) || summary.programCount > kMaxPrograms) std::abort();

    auto source = [&](int index, ProgramImage& program) { program = programs[index]; };
    const std::string written = FormatApplicationProgram(buffer, summary.programCount, source);
    programs.clear();
    ApplicationProgramBuffer again;
    ResetApplicationBuffer(again);
    const ReadSummary reread =
        ReadApplicationProgram(written, again, [&](int, const ProgramImage& program) { programs.push_back(program); });
    if (!reread.complete || reread.programCount != summary.programCount) std::abort();
    if (FormatApplicationProgram(again, reread.programCount, source) != written) std::abort();
    return 0;
}
