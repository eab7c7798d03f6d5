// One program line: parameter texts to values and back, the row texts to a record and back,
// the jump upkeep of a line, and the program check.
#include "TestCatalogue.h"
#include "WireVocabulary.h"

#include "core/editor/JumpUpkeep.h"
#include "core/editor/LineCodec.h"
#include "core/editor/ProgramCheck.h"
#include "core/editor/RecordFields.h"

#include <gtest/gtest.h>

#include <clocale>
#include <limits>
#include <utility>

using namespace kelvane;

namespace {

LineRecord recordOf(std::uint8_t code, std::uint32_t p1 = 0, std::uint32_t p2 = 0, std::uint32_t p3 = 0) {
    LineRecord record;
    record.bytes = {0xAA, 0xFF, code};
    WriteBigEndian32(record, 3, p1);
    WriteBigEndian32(record, 7, p2);
    WriteBigEndian32(record, 11, p3);
    return record;
}

struct Committed {
    bool isLine;
    LineRecord record;
    std::optional<std::string> remark;
};

Committed commit(const InstructionCatalogue& catalogue, const RowCells& cells) {
    Committed out{};
    out.record.bytes.fill(0x5A);  // whatever was there before
    out.isLine = CommitCells(catalogue, cells, out.record, out.remark);
    return out;
}

TEST(LineCodec, InstructionRowsEncodeAndRenderBackWithRemarkBlanksStoredAsAtSigns) {
    const InstructionCatalogue catalogue = testing_catalogue::make();
    const Committed line = commit(catalogue, {"0", "Motion", "Move", "Fast", "-100", "1.5", "go home"});
    ASSERT_TRUE(line.isLine);
    EXPECT_EQ(line.record.bytes, (recordOf(10, 5, 0xFFFFFF9C, 0x3FC00000).bytes));
    EXPECT_EQ(line.remark, "go@home");
    EXPECT_EQ(RenderCells(catalogue, 4, line.record, &*line.remark),
              (RowCells{"4", "Motion", "Move", "Fast", "-100", "1.500", "go home"}));
    EXPECT_EQ(StoredRemark("a b\tc\rd\ne\vf\fg"), "a@b@c@d@e@f@g");
    EXPECT_EQ(ShownRemark(StoredRemark("mail@home  行 x")), "mail home  行 x");

    // The group text plays no part; unused parameters are 0.
    const Committed wait = commit(catalogue, {"", "Flow", "Wait", "123", "4", "5", ""});
    EXPECT_EQ(wait.record.bytes, (recordOf(12).bytes));
    EXPECT_EQ(RenderCells(catalogue, 0, wait.record, nullptr), (RowCells{"0", "Motion", "Wait", "0", "0", "0", ""}));
}

TEST(LineCodec, EmptyRowsEndTheProgramAndBlankLinesDoNot) {
    const InstructionCatalogue catalogue = testing_catalogue::make();
    EXPECT_FALSE(commit(catalogue, {"3", "", "", "", "9", "9", "note"}).isLine);

    const Committed valueOnly = commit(catalogue, {"3", "", "", "7", "", "", "note"});
    ASSERT_TRUE(valueOnly.isLine);
    EXPECT_EQ(valueOnly.record.bytes, (recordOf(0).bytes));
    EXPECT_FALSE(valueOnly.remark.has_value());

    const Committed unknownName = commit(catalogue, {"3", " ", "Nonsense", "1", "2", "3", "a b"});
    ASSERT_TRUE(unknownName.isLine);
    EXPECT_EQ(unknownName.record.bytes, (recordOf(0).bytes));
    EXPECT_EQ(unknownName.remark, "a@b");

    // Blank lines render as single blanks and commit as blank lines again; so does a zeroed
    // record inside a program, which must not end the program at the next commit.
    const RowCells blanks{"3", " ", " ", " ", " ", " ", " "};
    EXPECT_EQ(RenderCells(catalogue, 3, unknownName.record, &*unknownName.remark), blanks);
    EXPECT_EQ(RenderCells(catalogue, 3, LineRecord{}, nullptr), blanks);
    EXPECT_TRUE(commit(catalogue, blanks).isLine);
}

TEST(LineCodec, UnknownCodesSurviveAsHashCode) {
    const InstructionCatalogue catalogue = testing_catalogue::make();
    const LineRecord stored = recordOf(77, 0xFFFFFFFE, 123456, 0x3FC00000);
    const std::string remark = "kept@remark";
    const RowCells shown = RenderCells(catalogue, 2, stored, &remark);
    EXPECT_EQ(shown, (RowCells{"2", "", "#77", "-2", "123456", "1069547520", "kept remark"}));
    const Committed again = commit(catalogue, shown);
    EXPECT_EQ(again.record.bytes, stored.bytes);
    EXPECT_EQ(again.remark, remark);

    // Without any catalogue every instruction line survives the same way, 255 included.
    const InstructionCatalogue none;
    for (std::uint8_t code : {10, 255}) {
        const LineRecord line = recordOf(code, 5, 1, 2);
        EXPECT_EQ(commit(none, RenderCells(none, 0, line, nullptr)).record.bytes, line.bytes);
    }

    // Texts that are not "#<1..255>" are unknown names: blank lines.
    for (const char* text : {"#", "#0", "#256", "#-1", "#+5", "#12a", "# 12", "#0012"})
        EXPECT_EQ(commit(catalogue, {"0", "", text, "1", "2", "3", ""}).record.bytes[2], 0) << text;
    // "#<known code>" encodes that code and renders by name afterwards.
    const Committed known = commit(catalogue, {"0", "", "#11", "6", "x", "", ""});
    EXPECT_EQ(known.record.bytes, (recordOf(11, 6).bytes));
    EXPECT_EQ(RenderCells(catalogue, 0, known.record, nullptr)[kInstructionColumn], "Goto");

    // A code whose name leads to another (lower) code keeps its own code.
    InstructionCatalogue twins;
    ReadCommandFormat("指令集合数目:1\n1 G 2\n20 Twin\n1 1 0\n0 0 0\n0 0 0\n30 Twin\n1 1 0\n0 0 0\n0 0 0\n", twins);
    const LineRecord higher = recordOf(30, 9);
    const RowCells twin = RenderCells(twins, 0, higher, nullptr);
    EXPECT_EQ(twin[kInstructionColumn], "#30");
    EXPECT_EQ(commit(twins, twin).record.bytes, higher.bytes);
}

TEST(ParamConversion, BothWaysForEveryKind) {
    const InstructionCatalogue catalogue = testing_catalogue::make();
    const ParamDef integer{1, kIntegerParam, 0}, real{1, kRealParam, 0}, enumeration{1, kEnumerationParam, 7},
        unknownEnumeration{1, kEnumerationParam, 99};
    const struct {
        const char* text;
        ParamDef def;
        std::uint32_t value;
    } toValue[] = {
        {"-1", integer, 0xFFFFFFFF},
        {"  +17abc", integer, 17},
        {"4294967295", integer, 0xFFFFFFFF},
        {"abc", integer, 0},
        {"", integer, 0},
        {"8", {2, kIntegerParam, 0}, 8},  // "used" 2 still encodes
        {"1.5", real, 0x3FC00000},
        {"1.5", {1, 9, 0}, 0x3FC00000},  // any other kind is real
        {"-2.25mm", real, FloatBits(-2.25f)},
        {"1e39", real, FloatBits(std::numeric_limits<float>::infinity())},
        {"x1", real, 0},
        {"Fast", enumeration, 5},
        {"fast", enumeration, 0},
        {"5", enumeration, 0},
        {"Fast", unknownEnumeration, 0},
        {"Fast", {0, kEnumerationParam, 7}, 0},
        {"42", {0, kIntegerParam, 0}, 0},
        {"1.5", {0, kRealParam, 0}, 0},
    };
    const struct {
        std::uint32_t value;
        ParamDef def;
        const char* text;
    } toText[] = {
        {0xFFFFFF85u, integer, "-123"},
        {8, {-1, kIntegerParam, 0}, "8"},
        {0x3FC00000u, real, "1.500"},
        {FloatBits(-1234.5678f), real, "-1234.568"},
        {FloatBits(std::numeric_limits<float>::max()), real, "340282346638528859811704183484516925440.000"},
        {1, enumeration, "On"},
        {2, enumeration, "0"},
        {1, unknownEnumeration, "0"},
        {5, {0, kIntegerParam, 0}, "0"},
        {5, {0, kRealParam, 0}, "0"},
        {5, {0, kEnumerationParam, 7}, "0"},
    };
    // A locale with a decimal comma (where installed) must change nothing.
    const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
    std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    for (const auto& c : toValue)
        EXPECT_EQ(catalogue.ParamTextToValue(c.text, c.def), c.value) << c.text << " kind " << c.def.kind;
    for (const auto& c : toText)
        EXPECT_EQ(catalogue.ParamValueToText(c.value, c.def), c.text) << c.value << " kind " << c.def.kind;
    std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(JumpUpkeep, EveryKindOfEdit) {
    const InstructionCatalogue catalogue = testing_catalogue::make();
    const struct {
        std::uint32_t target;
        JumpEdit kind;
        int n;
        int r;
        std::uint32_t expected;
    } cases[] = {
        {7, JumpEdit::None, 1, 7, 7},
        {4, JumpEdit::LinesInserted, 3, 5, 4},
        {5, JumpEdit::LinesInserted, 3, 5, 8},
        {2, JumpEdit::LinesDeleted, 1, 3, 2},
        {5, JumpEdit::LinesDeleted, 1, 3, 4},
        {9, JumpEdit::LinesDeleted, 3, 3, 6},
        // Inside a deleted block: the line before it, or line 0 for a block at the top.
        {3, JumpEdit::LinesDeleted, 1, 3, 2},
        {5, JumpEdit::LinesDeleted, 3, 3, 2},
        {1, JumpEdit::LinesDeleted, 2, 0, 0},
        // Line 4 moved up (r = 3) and line 3 moved down (r = 4) swap the two numbers.
        {4, JumpEdit::MovedUp, 1, 3, 3},
        {3, JumpEdit::MovedUp, 1, 3, 4},
        {5, JumpEdit::MovedUp, 1, 3, 5},
        {4, JumpEdit::MovedDown, 1, 4, 3},
        {3, JumpEdit::MovedDown, 1, 4, 4},
        {2, JumpEdit::MovedDown, 1, 4, 2},
        // Targets that name no line stay as typed.
        {0xFFFFFFFF, JumpEdit::LinesDeleted, 1, 0, 0xFFFFFFFF},
        {999, JumpEdit::LinesInserted, 1, 0, 999},
    };
    for (const auto& c : cases) {
        // Loop (14) keeps its line number in parameter 3; the other parameters must not move.
        LineRecord record = recordOf(14, 0x01020304, 0x05060708, c.target);
        EXPECT_TRUE(AdjustJumpTarget(catalogue, record, c.kind, c.n, c.r));
        EXPECT_EQ(record.bytes, recordOf(14, 0x01020304, 0x05060708, c.expected).bytes)
            << c.target << " kind " << static_cast<int>(c.kind) << " n " << c.n << " r " << c.r;
    }

    // A line without a jump keeps its values; GotoIf moves only its parameter 2.
    LineRecord move = recordOf(10, 5);
    EXPECT_FALSE(AdjustJumpTarget(catalogue, move, JumpEdit::LinesInserted, 3, 0));
    EXPECT_EQ(move.bytes, recordOf(10, 5).bytes);
    LineRecord gotoIf = recordOf(13, 5, 5);
    EXPECT_TRUE(AdjustJumpTarget(catalogue, gotoIf, JumpEdit::LinesInserted, 1, 5));
    EXPECT_EQ(gotoIf.bytes, recordOf(13, 5, 6).bytes);
    InstructionCatalogue broken = catalogue;
    broken.jumps[13] = 13;  // filled by hand: would reach past the record
    EXPECT_FALSE(AdjustJumpTarget(broken, gotoIf, JumpEdit::LinesInserted, 1, 0));
}

TEST(ProgramCheck, FindsJumpsBeyondTheProgramUnknownCodesAndValuesOutsideTheirEnumeration) {
    const InstructionCatalogue catalogue = testing_catalogue::make();
    const std::pair<LineRecord, const char*> lines[] = {
        {recordOf(10, 5, 3, 0), nullptr},  // Move Fast: a listed value
        {recordOf(0), nullptr},            // blank line
        {recordOf(11, 7), nullptr},        // Goto the last line
        {recordOf(11, 8), "jump target 8 is beyond the last line (7)"},
        {recordOf(14, 0, 0, -1), "jump target -1 is beyond the last line (7)"},
        {recordOf(99, 1, 2, 3), "instruction code 99 is not in the catalogue"},
        {recordOf(13, 2, 4), "parameter 1 holds 2, which is not a value of its enumeration (type 7)"},
        {recordOf(12, 2), nullptr},  // Wait: parameter 1 unused, its value does not matter
    };
    ProgramImage program;
    program.lineCount = std::size(lines);
    std::vector<std::pair<int, std::string>> expected;
    for (std::size_t i = 0; i < std::size(lines); ++i) {
        program.records[i] = lines[i].first;
        if (lines[i].second) expected.emplace_back(static_cast<int>(i), lines[i].second);
    }
    program.records[std::size(lines)] = recordOf(99);  // beyond the line count: not looked at

    std::vector<std::pair<int, std::string>> found;
    for (const ProgramProblem& problem : CheckProgram(catalogue, program))
        found.emplace_back(problem.line, problem.description);
    EXPECT_EQ(found, expected);
}

}  // namespace
