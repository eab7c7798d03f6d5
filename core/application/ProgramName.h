// Application program names: each name is a library entry (GBK in the list file) and a file
// name in the programs folder (UTF-8 on disk), so only names that are safe as both are taken.
#pragma once

#include <string>

namespace kelvane {

enum class ProgramNameProblem {
    None,
    Empty,
    TooLong,  // more than 127 bytes in GBK
    WhiteSpace,
    PathSeparator,  // '/' or '\'
    ControlByte,
    DotName,  // "." or ".."
    NotGbk,   // not valid text, or a character GBK cannot hold
};

constexpr std::size_t kMaxProgramNameBytes = 127;

// Checks a name as the user typed it (UTF-8).
ProgramNameProblem CheckProgramName(const std::string& utf8Name);
// Checks a name as the list file holds it (GBK).
ProgramNameProblem CheckProgramNameGbk(const std::string& gbkName);

// A short English reason for a refused name.
const char* DescribeProgramNameProblem(ProgramNameProblem problem);

// The file of a (GBK) name inside the programs folder: its UTF-8 form plus ".kelvane".
std::string ProgramFileName(const std::string& gbkName);

}  // namespace kelvane
