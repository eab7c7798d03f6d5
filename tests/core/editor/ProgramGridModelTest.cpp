#include "TestCatalogue.h"

#include "core/editor/InMemoryRowTexts.h"
#include "core/editor/ProgramFind.h"
#include "core/editor/ProgramGridModel.h"
#include "core/editor/RecordFields.h"

#include <gtest/gtest.h>

using namespace kelvane;
using Lines = std::vector<std::uint32_t>;

namespace {

// "Move" lines carry their identity in parameter 2; "Goto" lines their target in parameter 1.
RowCells moveRow(int id) {
    return {"", "Motion", "Move", "On", std::to_string(id), "0.000", "line " + std::to_string(id)};
}
RowCells gotoRow(int target) { return {"", "Flow", "Goto", std::to_string(target), "0", "0", ""}; }

class ProgramGrid : public ::testing::Test {
protected:
    ProgramGrid() : model(rows) {
        model.catalogue() = testing_catalogue::make();
        model.ShowProgram(0);
    }

    void writeProgram(int count) {
        for (int line = 0; line < count; ++line) rows.setCells(line, moveRow(line));
        model.CommitRows(JumpEdit::None);
        model.ShowProgram(model.currentProgram());
    }
    void setJump(int line, int target) {
        rows.setCells(line, gotoRow(target));
        model.CommitRows(JumpEdit::None);
    }
    std::uint32_t param(int line, int offset) const {
        return ReadBigEndian32(model.currentSlot().records[line], offset);
    }
    // Move lines by identity, other lines as 1000 + code.
    Lines lines() const {
        Lines out;
        for (int line = 0; line < model.currentSlot().lineCount; ++line) {
            const std::uint8_t code = model.currentSlot().records[line].bytes[2];
            out.push_back(code == 10 ? param(line, 7) : 1000u + code);
        }
        return out;
    }

    // Move, Goto, Wait and an unknown code 77.
    void writeClickRows() {
        rows.setCells(0, {"0", "Motion", "Move", "Fast", "1", "2.000", ""});
        rows.setCells(1, {"1", "Flow", "Goto", "0", "0", "0", "back"});
        rows.setCells(2, {"2", "Motion", "Wait", "55", "0", "0", ""});
        rows.setCells(3, {"3", "", "#77", "1", "2", "3", ""});
        model.CommitRows(JumpEdit::None);
    }

    InMemoryRowTexts rows;
    ProgramGridModel model;
};

using Kind = CellEditor::Kind;
using Names = std::vector<std::string>;

TEST_F(ProgramGrid, CommitAndShowKeepAThousandRows) {
    writeProgram(5);
    rows.setCells(6, moveRow(6));  // after the first empty row: not part of the program
    rows.insertRow(0);
    rows.removeRow(0);
    model.currentSlot().remarks[800] = "stale";
    EXPECT_EQ(model.CommitRows(JumpEdit::None), 0);
    EXPECT_EQ(model.currentSlot().lineCount, 5);
    EXPECT_EQ(model.currentSlot().remarks.size(), 5u);
    EXPECT_EQ(model.currentSlot().remarks.at(4), "line@4");
    setJump(3, 0);
    EXPECT_EQ(model.CommitRows(JumpEdit::None), 3);  // the first jump line above 0

    model.ShowProgram(0);
    EXPECT_EQ(rows.rowCount(), 1000);
    EXPECT_EQ(rows.cells(1), (RowCells{"1", "Motion", "Move", "On", "1", "0.000", "line 1"}));
    EXPECT_EQ(rows.cells(6), (RowCells{"6", "", "", "", "", "", ""}));
    model.setCurrentRow(1);
    EXPECT_EQ(model.rowShade(1), RowShade::Current);
    EXPECT_EQ(model.rowShade(3), RowShade::Jump);
    EXPECT_EQ(model.rowShade(5), RowShade::Odd);
    EXPECT_EQ(model.rowShade(6), RowShade::Even);
}

TEST_F(ProgramGrid, InsertAndDeleteCurrentLineKeepJumpTargets) {
    writeProgram(8);
    setJump(0, 5);
    model.setCurrentRow(2);
    model.InsertLine();
    EXPECT_EQ(lines(), (Lines{1011, 1, 1000, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(param(0, 3), 6u);
    EXPECT_EQ(rows.text(0, kParam1Column), "6");
    EXPECT_EQ(rows.rowCount(), 1000);

    model.DeleteCurrentLine();
    EXPECT_EQ(lines(), (Lines{1011, 1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(param(0, 3), 5u);

    // A full program would lose its last line: nothing is inserted.
    writeProgram(1000);
    model.InsertLine();
    EXPECT_EQ(model.currentSlot().lineCount, 1000);
    EXPECT_EQ(param(999, 7), 999u);
}

TEST_F(ProgramGrid, MoveLinesUpAndDown) {
    writeProgram(6);
    setJump(0, 4);
    setJump(5, 3);
    model.setCurrentRow(4);
    model.MoveLineUp();
    EXPECT_EQ(model.currentRow(), 3);
    EXPECT_EQ(lines(), (Lines{1011, 1, 2, 4, 3, 1011}));
    EXPECT_EQ(std::make_pair(param(0, 3), param(5, 3)), std::make_pair(3u, 4u));

    model.MoveLineDown();
    EXPECT_EQ(model.currentRow(), 4);
    EXPECT_EQ(lines(), (Lines{1011, 1, 2, 3, 4, 1011}));
    EXPECT_EQ(std::make_pair(param(0, 3), param(5, 3)), std::make_pair(4u, 3u));

    // The last line down, an empty row up over the last line, line 0 up: nothing.
    model.setCurrentRow(5);
    model.MoveLineDown();
    model.setCurrentRow(6);
    model.MoveLineUp();
    model.setCurrentRow(0);
    model.MoveLineUp();
    EXPECT_EQ(lines(), (Lines{1011, 1, 2, 3, 4, 1011}));
}

TEST_F(ProgramGrid, PasteInsertsCopiesWithTheirRemarksBeforeTheCurrentRow) {
    writeProgram(10);
    setJump(9, 7);
    model.CopySelection(2, 4);
    model.setCurrentRow(3);
    model.PasteSelection();  // inside the copied lines: nothing
    EXPECT_EQ(model.currentSlot().lineCount, 10);

    model.setCurrentRow(6);
    model.PasteSelection();
    EXPECT_EQ(lines(), (Lines{0, 1, 2, 3, 4, 5, 2, 3, 4, 6, 7, 8, 1011}));
    EXPECT_EQ(model.currentRow(), 9);  // the line that was at 6
    EXPECT_EQ(param(12, 3), 10u);
    const RemarkMap& remarks = model.currentSlot().remarks;
    EXPECT_EQ(remarks.at(6), "line@2");
    EXPECT_EQ(remarks.at(9), "line@6");
    EXPECT_EQ(rows.text(7, kRemarkColumn), "line 3");

    model.setCurrentRow(50);  // beyond the program: appended at its end
    model.PasteSelection();
    EXPECT_EQ(lines().size(), 16u);
    EXPECT_EQ(param(13, 7), 2u);

    // Only program lines are copied, and the copy must fit in a thousand lines.
    model.CopySelection(14, 30);
    EXPECT_EQ(model.copiedRange(), std::make_pair(14, 15));
    model.CopySelection(-1, 5);  // no selection
    EXPECT_EQ(model.copiedRange(), std::make_pair(-1, -1));
    writeProgram(999);
    model.CopySelection(0, 1);
    model.setCurrentRow(5);
    model.PasteSelection();
    EXPECT_EQ(model.currentSlot().lineCount, 999);
    model.CopySelection(7, 7);
    model.PasteSelection();
    EXPECT_EQ(model.currentSlot().lineCount, 1000);
    EXPECT_EQ(param(5, 7), 7u);
}

TEST_F(ProgramGrid, DeleteSelectedLinesMovesRecordsRemarksAndJumps) {
    writeProgram(9);
    setJump(7, 5);
    setJump(8, 3);
    model.DeleteSelectedLines(3, 3);
    EXPECT_EQ(lines(), (Lines{0, 1, 2, 4, 5, 6, 1011, 1011}));
    EXPECT_EQ(std::make_pair(param(6, 3), param(7, 3)), std::make_pair(4u, 2u));
    EXPECT_EQ(model.currentRow(), 3);
    EXPECT_EQ(model.copiedRange(), std::make_pair(3, 3));
    EXPECT_EQ(model.currentSlot().remarks.at(3), "line@4");
    EXPECT_EQ(model.currentSlot().remarks.count(8), 0u);
    EXPECT_EQ(rows.text(3, kRemarkColumn), "line 4");

    model.DeleteSelectedLines(6, 50);  // the tail: the current row is the new last line
    EXPECT_EQ(lines(), (Lines{0, 1, 2, 4, 5, 6}));
    EXPECT_EQ(model.currentRow(), 5);

    // No selection, or one beyond the program (after a click raised the line count): nothing.
    model.DeleteSelectedLines(-1, -1);
    EXPECT_EQ(model.copiedRange(), std::make_pair(-1, -1));
    model.ClickCell(10, kLineColumn);
    model.DeleteSelectedLines(8, 9);
    EXPECT_EQ(lines(), (Lines{0, 1, 2, 4, 5, 6}));
    EXPECT_EQ(model.currentSlot().remarks.size(), 6u);

    model.DeleteSelectedLines(1, 2);  // more lines than stand before them: their remarks go too
    EXPECT_EQ(lines(), (Lines{0, 4, 5, 6}));
    EXPECT_EQ(model.currentSlot().remarks.size(), 4u);
}

TEST_F(ProgramGrid, CopyAndClearPrograms) {
    writeProgram(3);
    for (int target : {4, 0, 10, -1}) model.CopyProgram(target);
    EXPECT_EQ(model.slot(4).lineCount, 3);
    EXPECT_EQ(model.slot(4).remarks, model.slot(0).remarks);
    EXPECT_EQ(model.slot(4).records[1].bytes, model.slot(0).records[1].bytes);
    model.ClearProgram(4);
    model.ClearProgram(11);
    EXPECT_EQ(model.slot(4).lineCount, 0);
    EXPECT_TRUE(model.slot(4).remarks.empty());
    EXPECT_EQ(model.slot(4).records[1].bytes, LineRecord{}.bytes);
}

TEST_F(ProgramGrid, FindValue) {
    writeProgram(3);
    model.setCurrentRow(0);
    EXPECT_EQ(model.FindValue({170}), 1);               // every line starts with 0xAA
    model.currentSlot().records[700].bytes[14] = 0x01;  // beyond the line count, last bytes
    model.currentSlot().records[700].bytes[15] = 0x2C;
    EXPECT_EQ(model.FindValue(*FindPatternFor(300)), 700);
    EXPECT_EQ(model.FindValue(*FindPatternFor(300)), -1);  // no wrap-around
    EXPECT_EQ(model.currentRow(), 700);
    EXPECT_EQ(model.currentSlot().lineCount, 701);

    ProgramSlot slot;
    slot.records[5].bytes[15] = 0x01;  // a pair split across two records is no hit
    slot.records[6].bytes[0] = 0x2C;
    EXPECT_EQ(FindValue(slot, -1, {0x01, 0x2C}), -1);
    EXPECT_EQ(FindValue(slot, 999, {0}), -1);
    EXPECT_EQ(FindValue(slot, 0, {0, 0, 0}), -1);
    EXPECT_EQ(FindPatternFor(12), (std::vector<std::uint8_t>{0x0C}));
    EXPECT_EQ(FindPatternFor(-1), (std::vector<std::uint8_t>{0xFF}));
    EXPECT_FALSE(FindPatternFor(70000).has_value());
}

// Saving encodes the rows with the catalogue that wrote them and only then re-reads it: with
// the catalogue files gone every record survives, an unknown code included, and the rows follow
// the new, empty catalogue.
TEST_F(ProgramGrid, ExportWithTheCatalogueGoneKeepsEveryRecord) {
    writeProgram(3);
    ProgramImage image;
    image.lineCount = 3;
    image.records = model.currentSlot().records;
    image.records[1] = {{0xAA, 0xFF, 200, 0xFF, 0xFF, 0xFF, 0xFE, 0x12, 0x34, 0x56, 0x78, 0x3F, 0xC0, 0, 0, 0}};
    image.remarks[1] = "from@elsewhere";
    model.LoadProgram(0, image);
    model.setBaseFolder("/nonexistent-catalogue-folder");
    ProgramImage saved;
    model.ExportCurrentProgram(saved);
    ASSERT_EQ(saved.lineCount, 3);
    for (int line = 0; line < 3; ++line) EXPECT_EQ(saved.records[line].bytes, image.records[line].bytes) << line;
    EXPECT_EQ(saved.remarks, image.remarks);
    EXPECT_EQ(rows.text(0, kInstructionColumn), "#10");
}

// Values the texts cannot express: an enumeration value outside its type, a real with more
// decimals than shown, unused parameters that are not 0, a blank line with bytes and a remark.
TEST_F(ProgramGrid, LinesKeepTheirStoredValuesThroughCommitsAndLineOperationsUntilACellIsEdited) {
    const LineRecord move{{0xAA, 0xFF, 10, 0, 0, 0, 99, 0, 0, 0, 7, 0x3D, 0x80, 0, 0, 0}};  // 0.0625
    const LineRecord wait{{0xAA, 0xFF, 12, 0, 0, 0, 5, 0, 0, 0, 6, 0, 0, 0, 7, 0}};
    const LineRecord blank{{0xAA, 0xFF, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}};
    ProgramImage image;
    image.lineCount = 3;
    image.records[0] = move;
    image.records[1] = wait;
    image.records[2] = blank;
    image.remarks = {{1, "w"}, {2, "hidden"}};
    model.LoadProgram(0, image);
    const auto expectStored = [&](const std::vector<LineRecord>& lines) {
        ASSERT_EQ(model.currentSlot().lineCount, static_cast<int>(lines.size()));
        for (std::size_t i = 0; i < lines.size(); ++i)
            EXPECT_EQ(model.currentSlot().records[i].bytes, lines[i].bytes) << i;
    };

    model.CommitRows(JumpEdit::None);
    expectStored({move, wait, blank});
    EXPECT_EQ(model.currentSlot().remarks, (RemarkMap{{1, "w"}, {2, "hidden"}}));
    model.setCurrentRow(1);
    model.MoveLineUp();
    expectStored({wait, move, blank});
    model.MoveLineDown();
    model.setCurrentRow(0);
    model.InsertLine();
    model.DeleteCurrentLine();
    model.CopySelection(0, 0);
    model.setCurrentRow(3);
    model.PasteSelection();
    expectStored({move, wait, blank, move});
    EXPECT_EQ(model.currentSlot().remarks.at(2), "hidden");

    // An edited cell is encoded from its text; the other cells keep their stored values.
    model.ClickCell(0, kParam3Column);
    rows.setText(0, kParam2Column, "8");
    model.CommitRows(JumpEdit::None);
    LineRecord edited = move;
    edited.bytes[10] = 8;
    expectStored({edited, wait, blank, move});
}

TEST_F(ProgramGrid, LoadProgramKeepsAThousandLinesAndTenSlots) {
    ProgramImage image;
    image.lineCount = 1200;
    image.records[999].bytes = {0xAA, 0xFF, 12};
    model.LoadProgram(3, image);
    model.LoadProgram(10, image);
    EXPECT_EQ(model.currentProgram(), 3);
    EXPECT_EQ(model.currentSlot().lineCount, 1000);
    EXPECT_EQ(rows.text(999, kInstructionColumn), "Wait");
}

TEST_F(ProgramGrid, ClickListsGroupsInstructionsAndEnumerations) {
    writeClickRows();
    CellEditor editor = model.ClickCell(1, kGroupColumn);
    EXPECT_EQ(editor.kind, Kind::DropDown);
    EXPECT_EQ(editor.choices, (Names{"Motion", "Flow"}));
    EXPECT_EQ(editor.helpCode, 11);
    EXPECT_EQ(model.currentRow(), 1);

    model.catalogue().instructions.erase(13);  // members gone from the instructions are not offered
    EXPECT_EQ(model.ClickCell(1, kInstructionColumn).choices, (Names{"Goto", "Loop"}));
    EXPECT_EQ(model.ClickCell(0, kParam1Column).choices, (Names{"Off", "On", "Fast"}));
    EXPECT_EQ(model.ClickCell(0, kParam2Column).kind, Kind::EditBox);
    model.catalogue().paramTypes.clear();  // an enumeration type not in the catalogue
    editor = model.ClickCell(0, kParam1Column);
    EXPECT_EQ(editor.kind, Kind::DropDown);
    EXPECT_TRUE(editor.choices.empty());
}

TEST_F(ProgramGrid, CellsThatOpenNoEditor) {
    writeClickRows();
    EXPECT_EQ(model.ClickCell(2, kParam1Column).kind, Kind::None);  // unused: becomes 0
    EXPECT_EQ(rows.text(2, kParam1Column), "0");
    model.catalogue().instructions.at(10).params[1].used = 2;  // in use, not editable: becomes 0
    EXPECT_EQ(model.ClickCell(0, kParam2Column).kind, Kind::None);
    EXPECT_EQ(rows.text(0, kParam2Column), "0");
    // Rows without a group or a known instruction, except for the remark of a program line.
    for (int column : {kInstructionColumn, kParam1Column, kParam2Column, kParam3Column})
        EXPECT_EQ(model.ClickCell(3, column).kind, Kind::None) << column;
    EXPECT_EQ(model.currentSlot().records[3].bytes[2], 77);
    EXPECT_EQ(model.ClickCell(3, kRemarkColumn).kind, Kind::EditBox);
    EXPECT_EQ(model.ClickCell(20, kRemarkColumn).kind, Kind::None);
    rows.setCells(21, {"21", "Flow", "Loop", "", "", "", ""});
    EXPECT_EQ(model.ClickCell(21, kRemarkColumn).helpCode, 14);

    // A click on a line number raises the line count until the next commit.
    const CellEditor editor = model.ClickCell(10, kLineColumn);
    EXPECT_EQ(editor.kind, Kind::None);
    EXPECT_FALSE(editor.helpCode.has_value());
    EXPECT_EQ(model.currentSlot().lineCount, 11);
    model.CommitRows(JumpEdit::None);
    EXPECT_EQ(model.currentSlot().lineCount, 4);
    EXPECT_EQ(model.ClickCell(1000, kGroupColumn).kind, Kind::None);
    EXPECT_EQ(model.currentRow(), 10);
}

}  // namespace
