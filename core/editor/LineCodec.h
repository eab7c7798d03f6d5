// The conversions between the seven texts of a program row and its 16-byte line record.
#pragma once

#include "InstructionCatalogue.h"
#include "core/application/LineRecord.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace kelvane {

enum ProgramColumn {
    kLineColumn = 0,     // line number
    kGroupColumn,        // group name
    kInstructionColumn,  // instruction name
    kParam1Column,
    kParam2Column,
    kParam3Column,
    kRemarkColumn,
    kProgramColumnCount
};

using RowCells = std::array<std::string, kProgramColumnCount>;

// A row empty in the group, instruction and parameter 1 columns ends the program.
bool EndsProgram(const RowCells& cells);

// Encodes a row into `record`. Returns false when the row ends the program (group,
// instruction and parameter 1 all empty). `remark` receives the row's remark in stored form
// when the row records one (blank lines with an empty instruction and group do not).
// An instruction text "#<code>" (code 1..255) that names no catalogue instruction stands for a
// line whose code the catalogue does not know; it encodes that code with its parameters read
// as signed decimal numbers, so such a line survives any number of edits.
bool CommitCells(const InstructionCatalogue& catalogue, const RowCells& cells, LineRecord& record,
                 std::optional<std::string>& remark);

// Encodes a row that was shown from `stored` with its remark `storedRemark` (nullptr: none),
// keeping what the user did not edit: while the group and instruction cells still show what
// `stored` renders, the line starts from `stored` and only the parameter cells whose text
// changed are encoded from their text; a remark cell that did not change keeps the stored
// remark. A row not edited at all gives back `stored` byte for byte, values that its texts
// cannot express (enumeration values outside their type, more decimals than shown, values of
// unused parameters) included.
bool CommitEditedCells(const InstructionCatalogue& catalogue, const RowCells& cells, const LineRecord& stored,
                       const std::string* storedRemark, LineRecord& record, std::optional<std::string>& remark);

// The texts of line `line` from its record and its stored remark (nullptr: none). A line whose
// code has no catalogue name leading back to it shows "#<code>" and its parameters in decimal.
RowCells RenderCells(const InstructionCatalogue& catalogue, int line, const LineRecord& record,
                     const std::string* storedRemark);

// A remark is one token in the program file: every white-space byte is stored as '@'.
std::string StoredRemark(std::string_view shown);
// Every '@' shown as a blank.
std::string ShownRemark(std::string_view stored);
// Whether the file keeps the whole remark (kMaxRemarkBytes GBK bytes at most).
bool RemarkFits(std::string_view shown);

}  // namespace kelvane
