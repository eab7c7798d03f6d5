// The controller's instruction set as read from the catalogue files: parameter types with their
// enumerations, instruction groups, instructions with their parameter definitions, and the
// jump instructions. Lookups and the conversions between parameter texts and 32-bit values.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <utility>

namespace kelvane {

// Answered by the code lookups when nothing matches; also never a catalogue instruction.
constexpr std::uint8_t kNoInstruction = 255;

// Parameter kinds; any kind other than integer and enumeration is a real number.
constexpr std::int32_t kIntegerParam = 1;
constexpr std::int32_t kRealParam = 2;
constexpr std::int32_t kEnumerationParam = 3;

struct ParamDef {
    std::int32_t used = 0;      // 0 = unused (encoded and shown as 0); 1 = editable; other = in use, not editable
    std::int32_t kind = 0;      // kIntegerParam, kEnumerationParam, anything else = real
    std::int32_t enumType = 0;  // key of the ParamTypeTable, for enumerations
};

struct InstructionDef {
    std::int32_t group = 0;  // code of the group that lists the instruction
    std::int32_t code = 0;
    std::string name;
    std::array<ParamDef, 3> params{};
};

using Enumeration = std::map<std::int32_t, std::string>;  // value -> text
using ParamTypeTable = std::map<std::int32_t, Enumeration>;
using GroupTable = std::map<std::uint8_t, std::string>;
using InstructionTable = std::map<std::uint8_t, InstructionDef>;
using GroupMembers = std::map<std::uint8_t, std::set<std::uint8_t>>;
using JumpTable = std::map<std::uint8_t, std::uint8_t>;  // code -> byte offset of the line number

// Every table is filled insert-if-absent: the first entry of a key wins.
struct InstructionCatalogue {
    ParamTypeTable paramTypes;
    GroupTable groups;
    InstructionTable instructions;
    GroupMembers groupMembers;
    JumpTable jumps;

    // Empties the parameter types, instructions and jumps (groups and their members stay), then
    // reads CommandParType.ini, CommandFormat.ini and JumpCommandInfo.ini from
    // `exeDirectory`/KelvaneRavoTools/. A file that cannot be read is skipped. Returns 0.
    int LoadCatalogue(const std::string& exeDirectory);
    // The same from the data folder itself (the folder that holds the catalogue files).
    int LoadFromDataFolder(const std::string& dataFolder);

    // The first group (in code order) with exactly this name; kNoInstruction when none.
    std::uint8_t FindGroupCode(const std::string& name) const;
    // The first instruction (in code order, whatever its group) with exactly this name;
    // kNoInstruction when none.
    std::uint8_t FindInstructionCode(const std::string& name) const;
    // (group name, instruction name) of a code; both empty when the code or its group is unknown.
    std::pair<std::string, std::string> GetInstructionNames(std::uint8_t code) const;
    // Byte offset of the line-number parameter of a jump instruction; 0 for every other code.
    std::uint8_t GetJumpOffset(std::uint8_t code) const;
    // The definition of a code, or nullptr.
    const InstructionDef* instruction(std::uint8_t code) const;

    // A cell text as the parameter's 32-bit value: 0 when unused or unreadable; enumeration
    // texts by their value; integers in decimal; real numbers as their float bit pattern.
    std::uint32_t ParamTextToValue(const std::string& text, const ParamDef& def) const;
    // The inverse: "0" when unused or not in the enumeration; "%d"; "%.3f".
    std::string ParamValueToText(std::uint32_t value, const ParamDef& def) const;
};

}  // namespace kelvane
