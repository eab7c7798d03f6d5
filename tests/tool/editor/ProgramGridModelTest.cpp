#include "TestCatalogue.h"

#include "editor/ProgramFind.h"
#include "editor/ProgramGridModel.h"
#include "editor/RecordFields.h"
#include "editor/TextRows.h"
#include "shell/GbkText.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <stdlib.h>

using namespace kelvane;

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

    // Lines 0..count-1 as Move lines with identities 0..count-1, committed.
    void writeProgram(int count) {
        for (int line = 0; line < count; ++line) rows.setCells(line, moveRow(line));
        model.CommitRows(JumpEdit::None);
        model.ShowProgram(model.currentProgram());
    }

    std::uint32_t param(int line, int offset) const {
        return ReadBigEndian32(model.currentSlot().records[line], offset);
    }
    std::uint32_t idOf(int line) const { return param(line, 7); }
    std::uint8_t codeOf(int line) const { return model.currentSlot().records[line].bytes[2]; }
    std::vector<std::uint32_t> ids() const {
        std::vector<std::uint32_t> out;
        for (int line = 0; line < model.currentSlot().lineCount; ++line) {
            out.push_back(codeOf(line) == 10 ? idOf(line) : 1000 + codeOf(line));
        }
        return out;
    }

    TextRows rows;
    ProgramGridModel model;
};

TEST_F(ProgramGrid, ShowProgramKeepsAThousandNumberedRows) {
    EXPECT_EQ(rows.rowCount(), 1000);
    writeProgram(3);
    rows.insertRow(0);
    model.ShowProgram(0);
    EXPECT_EQ(rows.rowCount(), 1000);
    EXPECT_EQ(rows.cells(1), (RowCells{"1", "Motion", "Move", "On", "1", "0.000", "line 1"}));
    EXPECT_EQ(rows.cells(3), (RowCells{"3", "", "", "", "", "", ""}));
    EXPECT_EQ(rows.text(999, kLineColumn), "999");
    model.ShowProgram(42);
    EXPECT_EQ(model.currentProgram(), 0);
}

TEST_F(ProgramGrid, CommitRowsEndsAtTheFirstEmptyRowAndRebuildsRemarks) {
    writeProgram(5);
    rows.setCells(6, moveRow(6));
    model.currentSlot().remarks[800] = "stale";
    EXPECT_EQ(model.CommitRows(JumpEdit::None), 0);
    EXPECT_EQ(model.currentSlot().lineCount, 5);
    EXPECT_EQ(model.currentSlot().remarks,
              (RemarkMap{{0, "line@0"}, {1, "line@1"}, {2, "line@2"}, {3, "line@3"}, {4, "line@4"}}));

    rows.setCells(3, gotoRow(0));
    EXPECT_EQ(model.CommitRows(JumpEdit::None), 3);  // first jump line above 0
}

TEST_F(ProgramGrid, AClickOnARowNumberRaisesTheLineCountUntilTheNextCommit) {
    writeProgram(5);
    model.setCurrentRow(10);
    model.RefreshHighlight();
    EXPECT_EQ(model.currentSlot().lineCount, 11);
    model.CommitRows(JumpEdit::None);
    EXPECT_EQ(model.currentSlot().lineCount, 5);
    model.setCurrentRow(1000);  // not a row
    EXPECT_EQ(model.currentRow(), 10);
}

TEST_F(ProgramGrid, RowShades) {
    writeProgram(4);
    rows.setCells(2, gotoRow(0));
    model.CommitRows(JumpEdit::None);
    model.setCurrentRow(1);
    EXPECT_EQ(model.rowShade(1), RowShade::Current);
    EXPECT_EQ(model.rowShade(2), RowShade::Jump);
    EXPECT_EQ(model.rowShade(3), RowShade::Odd);
    EXPECT_EQ(model.rowShade(4), RowShade::Even);
}

TEST_F(ProgramGrid, InsertAndDeleteCurrentLineKeepJumpTargets) {
    writeProgram(8);
    rows.setCells(0, gotoRow(5));
    model.setCurrentRow(2);
    model.InsertLine();
    EXPECT_EQ(model.currentSlot().lineCount, 9);
    EXPECT_EQ(param(0, 3), 6u);
    EXPECT_EQ(codeOf(2), 0);  // the new blank line
    EXPECT_EQ(rows.text(0, kParam1Column), "6");
    EXPECT_EQ(rows.rowCount(), 1000);

    model.DeleteCurrentLine();
    EXPECT_EQ(model.currentSlot().lineCount, 8);
    EXPECT_EQ(param(0, 3), 5u);
    EXPECT_EQ(ids(), (std::vector<std::uint32_t>{1011, 1, 2, 3, 4, 5, 6, 7}));
}

TEST_F(ProgramGrid, InsertLineNeverPushesTheLastLineOfAFullProgramOut) {
    writeProgram(1000);
    model.setCurrentRow(10);
    model.InsertLine();
    EXPECT_EQ(model.currentSlot().lineCount, 1000);
    EXPECT_EQ(idOf(999), 999u);
    EXPECT_EQ(idOf(10), 10u);
}

TEST_F(ProgramGrid, MoveLinesUpAndDown) {
    writeProgram(6);
    rows.setCells(0, gotoRow(4));
    rows.setCells(5, gotoRow(3));
    model.CommitRows(JumpEdit::None);

    model.setCurrentRow(4);
    model.MoveLineUp();
    EXPECT_EQ(model.currentRow(), 3);
    EXPECT_EQ(ids(), (std::vector<std::uint32_t>{1011, 1, 2, 4, 3, 1011}));
    EXPECT_EQ(param(0, 3), 3u);
    EXPECT_EQ(param(5, 3), 4u);

    model.MoveLineDown();
    EXPECT_EQ(model.currentRow(), 4);
    EXPECT_EQ(ids(), (std::vector<std::uint32_t>{1011, 1, 2, 3, 4, 1011}));
    EXPECT_EQ(param(0, 3), 4u);
    EXPECT_EQ(param(5, 3), 3u);

    // The last line down, an empty row up over the last line, line 0 up: nothing.
    model.setCurrentRow(5);
    model.MoveLineDown();
    model.setCurrentRow(6);
    model.MoveLineUp();
    model.setCurrentRow(0);
    model.MoveLineUp();
    EXPECT_EQ(ids(), (std::vector<std::uint32_t>{1011, 1, 2, 3, 4, 1011}));
    EXPECT_EQ(model.currentRow(), 0);
}

TEST_F(ProgramGrid, PasteInsertsCopiesBeforeTheCurrentRow) {
    writeProgram(10);
    rows.setCells(9, gotoRow(7));
    model.CopySelection(2, 4);
    model.setCurrentRow(3);
    model.PasteSelection();  // inside the copied lines: nothing
    EXPECT_EQ(model.currentSlot().lineCount, 10);

    model.setCurrentRow(6);
    model.PasteSelection();
    EXPECT_EQ(ids(), (std::vector<std::uint32_t>{0, 1, 2, 3, 4, 5, 2, 3, 4, 6, 7, 8, 1011}));
    EXPECT_EQ(model.currentRow(), 9);  // the line that was at 6
    EXPECT_EQ(param(12, 3), 10u);      // the jump follows its line
    const RemarkMap& remarks = model.currentSlot().remarks;
    EXPECT_EQ(remarks.at(6), "line@2");
    EXPECT_EQ(remarks.at(8), "line@4");
    EXPECT_EQ(remarks.at(9), "line@6");
    EXPECT_EQ(remarks.at(12), "");
    EXPECT_EQ(rows.text(7, kRemarkColumn), "line 3");
}

TEST_F(ProgramGrid, PasteBeyondTheProgramAppendsAtItsEnd) {
    writeProgram(4);
    model.CopySelection(0, 1);
    model.setCurrentRow(20);
    model.PasteSelection();
    EXPECT_EQ(ids(), (std::vector<std::uint32_t>{0, 1, 2, 3, 0, 1}));
    EXPECT_EQ(model.currentRow(), 6);
}

TEST_F(ProgramGrid, PasteTakesOnlyProgramLinesAndMustFit) {
    writeProgram(4);
    model.currentSlot().records[6] = model.currentSlot().records[0];  // stale record beyond the end
    model.CopySelection(5, 8);  // beyond the program: nothing to copy
    model.setCurrentRow(0);
    model.PasteSelection();
    EXPECT_EQ(model.currentSlot().lineCount, 4);

    writeProgram(999);
    model.CopySelection(0, 1);
    model.setCurrentRow(5);
    model.PasteSelection();  // 1001 lines would not fit
    EXPECT_EQ(model.currentSlot().lineCount, 999);
    model.CopySelection(7, 7);
    model.PasteSelection();
    EXPECT_EQ(model.currentSlot().lineCount, 1000);
    EXPECT_EQ(idOf(5), 7u);
}

TEST_F(ProgramGrid, CopiedRangeIsReadFromTheProgramCurrentAtPasteTime) {
    writeProgram(3);
    model.CopySelection(0, 5);  // clamped to the program
    EXPECT_EQ(model.copiedRange(), std::make_pair(0, 2));
    model.CopySelection(-1, -1);
    EXPECT_EQ(model.copiedRange(), std::make_pair(-1, -1));
    model.setCurrentRow(1);
    model.PasteSelection();
    EXPECT_EQ(model.currentSlot().lineCount, 3);
}

TEST_F(ProgramGrid, DeleteSelectedLinesMovesRecordsRemarksAndJumps) {
    writeProgram(9);
    rows.setCells(7, gotoRow(5));
    rows.setCells(8, gotoRow(3));
    model.DeleteSelectedLines(3, 3);
    EXPECT_EQ(ids(), (std::vector<std::uint32_t>{0, 1, 2, 4, 5, 6, 1011, 1011}));
    EXPECT_EQ(param(6, 3), 4u);
    EXPECT_EQ(param(7, 3), 2u);
    EXPECT_EQ(model.currentRow(), 3);
    EXPECT_EQ(model.copiedRange(), std::make_pair(3, 3));
    const RemarkMap& remarks = model.currentSlot().remarks;
    EXPECT_EQ(remarks.at(3), "line@4");
    EXPECT_EQ(remarks.at(5), "line@6");
    EXPECT_EQ(remarks.at(6), "");  // the jump, which had no remark
    EXPECT_EQ(remarks.count(8), 0u);
    EXPECT_EQ(rows.text(3, kRemarkColumn), "line 4");
    EXPECT_EQ(rows.text(8, kGroupColumn), "");
}

TEST_F(ProgramGrid, DeletingTheTailLeavesTheCurrentRowOnTheNewLastLine) {
    writeProgram(6);
    model.DeleteSelectedLines(4, 50);
    EXPECT_EQ(ids(), (std::vector<std::uint32_t>{0, 1, 2, 3}));
    EXPECT_EQ(model.currentRow(), 3);
    model.DeleteSelectedLines(0, 3);
    EXPECT_EQ(model.currentSlot().lineCount, 0);
    EXPECT_EQ(model.currentRow(), 0);
}

TEST_F(ProgramGrid, DeleteDoesNothingWithoutASelectionInsideTheProgram) {
    writeProgram(5);
    model.CopySelection(1, 2);
    model.DeleteSelectedLines(-1, -1);
    EXPECT_EQ(model.copiedRange(), std::make_pair(-1, -1));
    model.DeleteSelectedLines(5, 7);
    EXPECT_EQ(model.currentSlot().lineCount, 5);

    // A click on row 10 raised the line count; the commit shrinks it back before the selection.
    model.setCurrentRow(10);
    model.RefreshHighlight();
    model.DeleteSelectedLines(8, 9);
    EXPECT_EQ(ids(), (std::vector<std::uint32_t>{0, 1, 2, 3, 4}));
    EXPECT_EQ(model.currentSlot().remarks.size(), 5u);
}

TEST_F(ProgramGrid, CopyAndClearPrograms) {
    writeProgram(3);
    model.CopyProgram(4);
    model.CopyProgram(0);
    model.CopyProgram(10);
    model.CopyProgram(-1);
    EXPECT_EQ(model.slot(4).lineCount, 3);
    EXPECT_EQ(model.slot(4).remarks.at(2), "line@2");
    EXPECT_EQ(model.slot(4).records[1].bytes, model.slot(0).records[1].bytes);

    model.ClearProgram(4);
    model.ClearProgram(11);
    EXPECT_EQ(model.slot(4).lineCount, 0);
    EXPECT_TRUE(model.slot(4).remarks.empty());
    EXPECT_EQ(model.slot(4).records[1].bytes, LineRecord{}.bytes);
    EXPECT_EQ(model.slot(0).lineCount, 3);
}

TEST_F(ProgramGrid, FindValue) {
    writeProgram(3);
    model.setCurrentRow(0);
    EXPECT_EQ(model.FindValue({170}), 1);  // every line starts with 0xAA
    EXPECT_EQ(model.currentRow(), 1);

    model.currentSlot().records[700].bytes[15] = 0x2C;  // beyond the line count, last byte
    model.currentSlot().records[700].bytes[14] = 0x01;
    EXPECT_EQ(model.FindValue(*FindPatternFor(300)), 700);
    EXPECT_EQ(model.FindValue(*FindPatternFor(300)), -1);  // no wrap-around
    EXPECT_EQ(model.currentRow(), 700);
    EXPECT_EQ(model.currentSlot().lineCount, 701);

    // A pair split across two records is no hit.
    ProgramSlot slot;
    slot.records[5].bytes[15] = 0x01;
    slot.records[6].bytes[0] = 0x2C;
    EXPECT_EQ(FindValue(slot, -1, {0x01, 0x2C}), -1);
    EXPECT_EQ(FindValue(slot, 998, {0}), 999);
    EXPECT_EQ(FindValue(slot, 999, {0}), -1);
    EXPECT_EQ(FindValue(slot, 0, {}), -1);
    EXPECT_EQ(FindValue(slot, 0, {0, 0, 0}), -1);
}

TEST(FindPattern, FromTheFindValue) {
    EXPECT_EQ(FindPatternFor(12), (std::vector<std::uint8_t>{0x0C}));
    EXPECT_EQ(FindPatternFor(300), (std::vector<std::uint8_t>{0x01, 0x2C}));
    EXPECT_EQ(FindPatternFor(65535), (std::vector<std::uint8_t>{0xFF, 0xFF}));
    EXPECT_EQ(FindPatternFor(-1), (std::vector<std::uint8_t>{0xFF}));
    EXPECT_FALSE(FindPatternFor(70000).has_value());
}

TEST_F(ProgramGrid, LoadProgramTakesAtMostAThousandLines) {
    ProgramImage image;
    image.lineCount = 1200;
    image.records[999].bytes = {0xAA, 0xFF, 12};
    image.remarks[999] = "end";
    model.LoadProgram(3, image);
    EXPECT_EQ(model.currentProgram(), 3);
    EXPECT_EQ(model.currentSlot().lineCount, 1000);
    EXPECT_EQ(rows.text(999, kInstructionColumn), "Wait");
    EXPECT_EQ(rows.text(999, kRemarkColumn), "end");
    model.LoadProgram(10, image);
    EXPECT_EQ(model.currentProgram(), 3);
}

// A line whose code the catalogue does not know, amid lines that are edited around it.
TEST_F(ProgramGrid, AnUnknownInstructionSurvivesEditingSavingAndOtherCatalogues) {
    ProgramImage image;
    image.lineCount = 4;
    for (int line = 0; line < 4; ++line) {
        image.records[line].bytes = {0xAA, 0xFF, 10, 0, 0, 0, 1, 0, 0, 0, static_cast<std::uint8_t>(line)};
    }
    const LineRecord unknown{{0xAA, 0xFF, 200, 0xFF, 0xFF, 0xFF, 0xFE, 0x12, 0x34, 0x56, 0x78, 0x3F, 0xC0, 0, 0, 0}};
    image.records[2] = unknown;
    image.remarks[2] = "from@elsewhere";
    model.LoadProgram(0, image);
    EXPECT_EQ(rows.cells(2), (RowCells{"2", "", "#200", "-2", "305419896", "1069547520", "from elsewhere"}));

    rows.setText(0, kParam2Column, "77");  // edit another line
    model.setCurrentRow(1);
    model.InsertLine();
    model.setCurrentRow(4);
    model.MoveLineUp();
    EXPECT_EQ(model.currentSlot().records[4].bytes, unknown.bytes);
    model.DeleteSelectedLines(0, 0);
    model.setCurrentRow(0);
    model.DeleteCurrentLine();
    EXPECT_EQ(ids(), (std::vector<std::uint32_t>{1, 3, 1200}));
    EXPECT_EQ(model.currentSlot().records[2].bytes, unknown.bytes);

    // Saving with the catalogue files gone: every line keeps its record.
    const std::vector<std::uint32_t> before = ids();
    const LineRecord moveLine = model.currentSlot().records[0];
    model.setBaseFolder("/nonexistent-catalogue-folder");
    ProgramImage saved;
    model.ExportCurrentProgram(saved);
    ASSERT_EQ(saved.lineCount, 3);
    EXPECT_EQ(saved.records[2].bytes, unknown.bytes);
    EXPECT_EQ(saved.records[0].bytes, moveLine.bytes);
    EXPECT_EQ(saved.remarks.at(2), "from@elsewhere");
    EXPECT_EQ(ids(), before);
    EXPECT_EQ(rows.text(0, kInstructionColumn), "#10");  // shown with the catalogue now in force

    // And through another round of edits without any catalogue.
    model.setCurrentRow(0);
    model.InsertLine();
    model.ExportCurrentProgram(saved);
    EXPECT_EQ(saved.lineCount, 4);
    EXPECT_EQ(saved.records[1].bytes, moveLine.bytes);
    EXPECT_EQ(saved.records[3].bytes, unknown.bytes);
}

TEST_F(ProgramGrid, InitGridReadsTheCatalogueOfTheBaseFolder) {
    char pattern[] = "/tmp/editor-grid-init.XXXXXX";
    const std::filesystem::path folder = mkdtemp(pattern);
    std::filesystem::create_directories(folder / "KelvaneRavoTools");
    std::ofstream(folder / "KelvaneRavoTools" / "CommandFormat.ini", std::ios::binary)
        << utf8ToGbk("指令集合数目:1\n6 运动 1\n30 停止\n0 0 0\n0 0 0\n0 0 0\n");
    model.setBaseFolder(folder.string());
    model.setCurrentRow(5);
    model.InitGrid();
    EXPECT_EQ(rows.rowCount(), 0);
    EXPECT_EQ(model.currentRow(), 0);
    EXPECT_EQ(model.currentSlot().lineCount, -1);
    EXPECT_EQ(model.catalogue().FindInstructionCode("停止"), 30);
    EXPECT_EQ(model.catalogue().instruction(10), nullptr);
    std::filesystem::remove_all(folder);

    model.ShowProgram(0);
    EXPECT_EQ(rows.rowCount(), 1000);
    model.CommitRows(JumpEdit::None);
    EXPECT_EQ(model.currentSlot().lineCount, 0);
}

}  // namespace
