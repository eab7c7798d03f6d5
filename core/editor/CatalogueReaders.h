// Readers of the four catalogue files, on their text already converted to UTF-8. Each stops at
// the first thing that does not fit the file's grammar and keeps everything read before it
// (an instruction block is kept only whole). Keys already present keep their first entry.
#pragma once

#include "DescriptionTable.h"
#include "InstructionCatalogue.h"

#include <string_view>

namespace kelvane {

// CommandParType.ini: "参数类型总数:N", then N times "类型编码:T 枚举数:M" and M "value text" pairs.
void ReadParamTypes(std::string_view text, ParamTypeTable& table);

// CommandFormat.ini: "指令集合数目:G", then G group blocks "code name K", each followed by K
// instruction blocks "code name" and three "used kind enumType" lines. Fills the groups, the
// instructions and the group members. Instruction codes 0 and 255 are reserved for the line
// record and are skipped.
void ReadCommandFormat(std::string_view text, InstructionCatalogue& catalogue);

// JumpCommandInfo.ini: "跳转指令数:J", then J "code offset" pairs. Only offsets 3, 7 and 11
// (the first byte of parameter 1, 2 or 3) are taken; any other offset would reach outside the
// parameters of a line record.
void ReadJumpCommands(std::string_view text, JumpTable& table);

// CommandDescription.ini: the count D, then D "code text" pairs.
void ReadDescriptions(std::string_view text, DescriptionTable& table);

}  // namespace kelvane
