#include "TestCatalogue.h"

#include "core/editor/LineCodec.h"
#include "core/editor/RecordFields.h"

#include <gtest/gtest.h>

using namespace kelvane;

namespace {

LineRecord recordOf(std::uint8_t code, std::uint32_t p1, std::uint32_t p2, std::uint32_t p3) {
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
    EXPECT_EQ(wait.record.bytes, (recordOf(12, 0, 0, 0).bytes));
    EXPECT_EQ(RenderCells(catalogue, 0, wait.record, nullptr), (RowCells{"0", "Motion", "Wait", "0", "0", "0", ""}));
}

TEST(LineCodec, EmptyRowsEndTheProgramAndBlankLinesDoNot) {
    const InstructionCatalogue catalogue = testing_catalogue::make();
    EXPECT_FALSE(commit(catalogue, {"3", "", "", "", "9", "9", "note"}).isLine);

    const Committed valueOnly = commit(catalogue, {"3", "", "", "7", "", "", "note"});
    ASSERT_TRUE(valueOnly.isLine);
    EXPECT_EQ(valueOnly.record.bytes, (recordOf(0, 0, 0, 0).bytes));
    EXPECT_FALSE(valueOnly.remark.has_value());

    const Committed unknownName = commit(catalogue, {"3", " ", "Nonsense", "1", "2", "3", "a b"});
    ASSERT_TRUE(unknownName.isLine);
    EXPECT_EQ(unknownName.record.bytes, (recordOf(0, 0, 0, 0).bytes));
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
    EXPECT_EQ(known.record.bytes, (recordOf(11, 6, 0, 0).bytes));
    EXPECT_EQ(RenderCells(catalogue, 0, known.record, nullptr)[kInstructionColumn], "Goto");

    // A code whose name leads to another (lower) code keeps its own code.
    InstructionCatalogue twins;
    ReadCommandFormat("指令集合数目:1\n1 G 2\n20 Twin\n1 1 0\n0 0 0\n0 0 0\n30 Twin\n1 1 0\n0 0 0\n0 0 0\n", twins);
    const LineRecord higher = recordOf(30, 9, 0, 0);
    const RowCells twin = RenderCells(twins, 0, higher, nullptr);
    EXPECT_EQ(twin[kInstructionColumn], "#30");
    EXPECT_EQ(commit(twins, twin).record.bytes, higher.bytes);
}

}  // namespace
