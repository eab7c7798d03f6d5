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
        rows.setCells(2, {"2", "Motion", "Wait", "55", "0", "0", ""});
        rows.setCells(3, {"3", "", "#77", "1", "2", "3", ""});
        model.CommitRows(JumpEdit::None);
    }

    TextRows rows;
    ProgramGridModel model;
};

TEST_F(CellClick, ListsOfGroupsInstructionsAndEnumerations) {
    CellEditor editor = model.ClickCell(1, kGroupColumn);
    EXPECT_EQ(editor.kind, Kind::DropDown);
    EXPECT_EQ(editor.choices, (Names{"Motion", "Flow"}));
    EXPECT_EQ(editor.helpCode, 11);
    EXPECT_EQ(model.currentRow(), 1);

    model.catalogue().instructions.erase(13);  // members gone from the instructions are not offered
    EXPECT_EQ(model.ClickCell(1, kInstructionColumn).choices, (Names{"Goto", "Loop"}));
    EXPECT_EQ(model.ClickCell(0, kParam1Column).choices, (Names{"Off", "On", "Fast"}));
    EXPECT_EQ(model.ClickCell(0, kParam2Column).kind, Kind::EditBox);
    EXPECT_EQ(model.ClickCell(0, kParam3Column).kind, Kind::EditBox);

    model.catalogue().paramTypes.clear();  // an enumeration type not in the catalogue
    editor = model.ClickCell(0, kParam1Column);
    EXPECT_EQ(editor.kind, Kind::DropDown);
    EXPECT_TRUE(editor.choices.empty());
}

TEST_F(CellClick, ParametersNotEditableBecomeZero) {
    EXPECT_EQ(model.ClickCell(2, kParam1Column).kind, Kind::None);  // unused
    EXPECT_EQ(rows.text(2, kParam1Column), "0");
    model.catalogue().instructions.at(10).params[1].used = 2;  // in use, not editable
    EXPECT_EQ(model.ClickCell(0, kParam2Column).kind, Kind::None);
    EXPECT_EQ(rows.text(0, kParam2Column), "0");
}

TEST_F(CellClick, RowsWithoutGroupOrKnownInstructionOpenNoParameterEditor) {
    for (int column : {kInstructionColumn, kParam1Column, kParam2Column, kParam3Column}) {
        EXPECT_EQ(model.ClickCell(3, column).kind, Kind::None) << column;
    }
    EXPECT_EQ(model.currentSlot().records[3].bytes[2], 77);
    rows.setCells(4, {"4", "Motion", "Nonsense", "1", "", "", ""});
    EXPECT_EQ(model.ClickCell(4, kParam1Column).kind, Kind::None);
}

TEST_F(CellClick, RemarkEditorOnProgramLinesOrKnownInstructions) {
    EXPECT_EQ(model.ClickCell(3, kRemarkColumn).kind, Kind::EditBox);
    EXPECT_EQ(model.ClickCell(20, kRemarkColumn).kind, Kind::None);
    rows.setCells(21, {"21", "Flow", "Loop", "", "", "", ""});
    const CellEditor editor = model.ClickCell(21, kRemarkColumn);
    EXPECT_EQ(editor.kind, Kind::EditBox);
    EXPECT_EQ(editor.helpCode, 14);
}

TEST_F(CellClick, LineNumberRaisesTheLineCount) {
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
