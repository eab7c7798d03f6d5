#include "ProgramCheck.h"

#include "RecordFields.h"

#include <algorithm>
#include <cstdint>

namespace kelvane {

namespace {

constexpr std::uint8_t kBlankLine = 0;

std::int32_t ParamAt(const LineRecord& record, std::size_t offset) {
    return static_cast<std::int32_t>(ReadBigEndian32(record, offset));
}

bool ListsValue(const InstructionCatalogue& catalogue, std::int32_t type, std::int32_t value) {
    const auto enumeration = catalogue.paramTypes.find(type);
    return enumeration != catalogue.paramTypes.end() && enumeration->second.count(value) != 0;
}

void CheckLine(const InstructionCatalogue& catalogue, const ProgramImage& program, int line,
               std::vector<ProgramProblem>& problems) {
    const LineRecord& record = program.records[static_cast<std::size_t>(line)];
    const std::uint8_t code = record.bytes[kCodeByte];
    if (code == kBlankLine) return;

    if (const std::uint8_t offset = catalogue.GetJumpOffset(code)) {
        const std::int32_t target = ParamAt(record, offset);
        if (target < 0 || target >= program.lineCount)
            problems.push_back({line, "jump target " + std::to_string(target) + " is beyond the last line (" +
                                          std::to_string(program.lineCount - 1) + ")"});
    }

    const InstructionDef* def = catalogue.instruction(code);
    if (!def) {
        problems.push_back({line, "instruction code " + std::to_string(code) + " is not in the catalogue"});
        return;
    }
    for (int k = 0; k < 3; ++k) {
        const ParamDef& param = def->params[static_cast<std::size_t>(k)];
        if (param.used == 0 || param.kind != kEnumerationParam) continue;
        const std::int32_t value = ParamAt(record, kParamOffsets[static_cast<std::size_t>(k)]);
        if (!ListsValue(catalogue, param.enumType, value))
            problems.push_back({line, "parameter " + std::to_string(k + 1) + " holds " + std::to_string(value) +
                                          ", which is not a value of its enumeration (type " +
                                          std::to_string(param.enumType) + ")"});
    }
}

}  // namespace

std::vector<ProgramProblem> CheckProgram(const InstructionCatalogue& catalogue, const ProgramImage& program) {
    std::vector<ProgramProblem> problems;
    const int lines = std::min<int>(program.lineCount, kMaxProgramLines);
    for (int line = 0; line < lines; ++line) CheckLine(catalogue, program, line, problems);
    return problems;
}

}  // namespace kelvane
