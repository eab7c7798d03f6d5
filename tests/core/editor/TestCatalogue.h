// A small catalogue for the editor tests: an enumeration, two groups, integer, real and
// enumeration parameters, and jump instructions with their line number in parameter 1, 2 and 3.
#pragma once

#include "core/editor/CatalogueReaders.h"
#include "core/editor/InstructionCatalogue.h"

namespace testing_catalogue {

inline constexpr const char* kParamTypes =
    "参数类型总数:1\n"
    "类型编码:7 枚举数:3\n"
    "0 Off\n1 On\n5 Fast\n";

// 10 Move (enumeration, integer, real), 11 Goto (line in parameter 1), 12 Wait (nothing used),
// 13 GotoIf (line in parameter 2), 14 Loop (line in parameter 3).
inline constexpr const char* kFormat =
    "指令集合数目:2\n"
    "1 Motion 2\n"
    "10 Move\n1 3 7\n1 1 0\n1 2 0\n"
    "12 Wait\n0 1 0\n0 0 0\n0 0 0\n"
    "2 Flow 3\n"
    "11 Goto\n1 1 0\n0 0 0\n0 0 0\n"
    "13 GotoIf\n1 3 7\n1 1 0\n0 0 0\n"
    "14 Loop\n1 1 0\n1 1 0\n1 1 0\n";

inline constexpr const char* kJumps = "跳转指令数:3\n11 3\n13 7\n14 11\n";

inline kelvane::InstructionCatalogue make() {
    kelvane::InstructionCatalogue catalogue;
    kelvane::ReadParamTypes(kParamTypes, catalogue.paramTypes);
    kelvane::ReadCommandFormat(kFormat, catalogue);
    kelvane::ReadJumpCommands(kJumps, catalogue.jumps);
    return catalogue;
}

}  // namespace testing_catalogue
