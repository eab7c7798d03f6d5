#include "TestCatalogue.h"

#include "editor/ProgramGridModel.h"
#include "editor/TextRows.h"

#include <gtest/gtest.h>

using namespace kelvane;

namespace {

using Kind = CellEditor::Kind;
using Names = std::vector<std::string>;

class CellClick : public ::testing::Test {
protected:
    CellClick() : model(rows) {
        model.catalogue() = testing_catalogue::make();
        model.ShowProgram(0);
        rows.setCells(0, {"0", "Motion", "Move", "Fast", "1", "2.000", ""});
        rows.setCells(1, {"1", "Flow", "Goto", "0", "0", "0", "back"});
        rows.setCells(2, {"2", "Motion", "Wait", "0", "0", "0", ""});
        model.CommitRows(JumpEdit::None);
    }

    TextRows rows;
    ProgramGridModel model;
};

TEST_F(CellClick, LineNumberMakesTheRowCurrentAndRaisesTheLineCount) {
    const CellEditor editor = model.ClickCell(10, kLineColumn);
    EXPECT_EQ(editor.kind, Kind::None);
    EXPECT_FALSE(editor.helpCode.has_value());
    EXPECT_EQ(model.currentRow(), 10);
    EXPECT_EQ(model.currentSlot().lineCount, 11);
    EXPECT_EQ(model.ClickCell(-1, 1).kind, Kind::None);
    EXPECT_EQ(model.ClickCell(1000, 1).kind, Kind::None);
    EXPECT_EQ(model.currentRow(), 10);
}

TEST_F(CellClick, GroupAndInstructionLists) {
    CellEditor editor = model.ClickCell(1, kGroupColumn);
    EXPECT_EQ(editor.kind, Kind::DropDown);
    EXPECT_EQ(editor.choices, (Names{"Motion", "Flow"}));
    EXPECT_EQ(editor.helpCode, 11);
    EXPECT_EQ(model.currentRow(), 1);

    editor = model.ClickCell(1, kInstructionColumn);
    EXPECT_EQ(editor.kind, Kind::DropDown);
    EXPECT_EQ(editor.choices, (Names{"Goto", "GotoIf", "Loop"}));

    // Members no longer in the instruction table are not offered.
    model.catalogue().instructions.erase(13);
    EXPECT_EQ(model.ClickCell(1, kInstructionColumn).choices, (Names{"Goto", "Loop"}));

    rows.setText(5, kGroupColumn, "Nowhere");
    editor = model.ClickCell(5, kInstructionColumn);
    EXPECT_EQ(editor.kind, Kind::DropDown);
    EXPECT_TRUE(editor.choices.empty());
    EXPECT_EQ(model.ClickCell(6, kInstructionColumn).kind, Kind::None);  // no group
}

TEST_F(CellClick, ParameterEditorsFollowTheirDefinition) {
    CellEditor editor = model.ClickCell(0, kParam1Column);
    EXPECT_EQ(editor.kind, Kind::DropDown);
    EXPECT_EQ(editor.choices, (Names{"Off", "On", "Fast"}));
    EXPECT_EQ(model.ClickCell(0, kParam2Column).kind, Kind::EditBox);
    EXPECT_EQ(model.ClickCell(0, kParam3Column).kind, Kind::EditBox);

    // Unused, or in use but not editable: the cell becomes "0" and nothing opens.
    rows.setText(2, kParam1Column, "55");
    EXPECT_EQ(model.ClickCell(2, kParam1Column).kind, Kind::None);
    EXPECT_EQ(rows.text(2, kParam1Column), "0");
    model.catalogue().instructions.at(10).params[1].used = 2;
    EXPECT_EQ(model.ClickCell(0, kParam2Column).kind, Kind::None);
    EXPECT_EQ(rows.text(0, kParam2Column), "0");

    // An enumeration type that is not in the catalogue: an empty list.
    model.catalogue().paramTypes.clear();
    editor = model.ClickCell(0, kParam1Column);
    EXPECT_EQ(editor.kind, Kind::DropDown);
    EXPECT_TRUE(editor.choices.empty());
}

TEST_F(CellClick, RowsWithoutAKnownInstructionOpenNoParameterEditor) {
    rows.setCells(3, {"3", "", "#77", "1", "2", "3", ""});
    model.CommitRows(JumpEdit::None);
    for (int column : {kInstructionColumn, kParam1Column, kParam2Column, kParam3Column}) {
        EXPECT_EQ(model.ClickCell(3, column).kind, Kind::None) << column;
    }
    EXPECT_EQ(model.ClickCell(3, kRemarkColumn).kind, Kind::EditBox);  // a program line
    EXPECT_EQ(model.currentSlot().records[3].bytes[2], 77);

    rows.setCells(4, {"4", "Motion", "Nonsense", "1", "", "", ""});
    EXPECT_EQ(model.ClickCell(4, kParam1Column).kind, Kind::None);
}

TEST_F(CellClick, RemarkEditorBeyondTheProgramNeedsAKnownInstruction) {
    model.CommitRows(JumpEdit::None);
    EXPECT_EQ(model.ClickCell(1, kRemarkColumn).kind, Kind::EditBox);
    EXPECT_EQ(model.ClickCell(20, kRemarkColumn).kind, Kind::None);
    rows.setCells(21, {"21", "Flow", "Loop", "", "", "", ""});
    model.CommitRows(JumpEdit::None);
    const CellEditor editor = model.ClickCell(21, kRemarkColumn);
    EXPECT_EQ(editor.kind, Kind::EditBox);
    EXPECT_EQ(editor.helpCode, 14);
}

}  // namespace
