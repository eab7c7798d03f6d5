// Undo and redo on the program grid: line operations and cell edits come back with their
// records, remarks and jump targets, per program, through Ctrl+Z, Ctrl+Y and Ctrl+Shift+Z.
#include "ProgramGridFixture.h"

#include "editor/CEditItem.h"

#include <QUndoStack>

namespace {

// The current program as stored and as shown.
struct Snapshot {
    std::vector<std::array<std::uint8_t, 16>> records;
    kelvane::RemarkMap remarks;
    std::vector<std::string> shown;
    std::vector<std::string> remarksShown;

    bool operator==(const Snapshot& other) const {
        return records == other.records && remarks == other.remarks && shown == other.shown &&
               remarksShown == other.remarksShown;
    }
};

class ProgramGridUndo : public ProgramGridFixture {
protected:
    Snapshot snapshot() {
        grid.CommitRows(kelvane::JumpEdit::None);
        Snapshot s;
        const kelvane::ProgramSlot& slot = grid.programs().currentSlot();
        for (int line = 0; line < slot.lineCount; ++line) s.records.push_back(slot.records[line].bytes);
        s.remarks = slot.remarks;
        s.shown = ShownLines(grid);
        s.remarksShown = ShownColumn(grid, 6);
        return s;
    }
    void undoKey() { QTest::keyClick(&grid, Qt::Key_Z, Qt::ControlModifier); }
    void redoKey() { QTest::keyClick(&grid, Qt::Key_Y, Qt::ControlModifier); }
    void redoShiftKey() { QTest::keyClick(&grid, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier); }
};

TEST_F(ProgramGridUndo, PasteAndDeleteComeBackWithRecordsRemarksAndJumpTargets) {
    writeTestProgram();
    const Snapshot original = snapshot();
    selectLines(2, 4);
    QTest::keyClick(&grid, Qt::Key_C, Qt::ControlModifier);
    ClickCell(grid, 1, 0);
    QTest::keyClick(&grid, Qt::Key_V, Qt::ControlModifier);
    const Snapshot pasted = snapshot();
    ASSERT_EQ(pasted.shown, program(8, {2, 3, 4, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    selectLines(3, 6);
    grid.DeleteSelectedLines();
    const Snapshot deleted = snapshot();
    ASSERT_EQ(deleted.shown, program(4, {2, 3, 4, 5, 6, 7, 8, 9}));

    undoKey();
    EXPECT_EQ(snapshot(), pasted);
    undoKey();
    EXPECT_EQ(snapshot(), original);
    EXPECT_EQ(grid.GetItemText(0, 3), "5");
    EXPECT_EQ(grid.GetItemText(9, 6), "note 9");
    undoKey();  // nothing left to undo
    EXPECT_EQ(snapshot(), original);

    redoKey();
    EXPECT_EQ(snapshot(), pasted);
    redoShiftKey();
    EXPECT_EQ(snapshot(), deleted);
    EXPECT_EQ(grid.GetItemText(0, 3), "4");
}

TEST_F(ProgramGridUndo, CellEditsAndLineMovesAreUndoneInTurn) {
    writeTestProgram();
    const Snapshot original = snapshot();
    ClickCell(grid, 3, 6);
    auto* edit = qobject_cast<CEditItem*>(grid.activeEditor());
    ASSERT_NE(edit, nullptr);
    QTest::keyClicks(edit, "new");
    QTest::keyClick(edit, Qt::Key_Return);
    FlushDeletes();
    ASSERT_EQ(grid.GetItemText(3, 6), "newnote 3");
    ClickCell(grid, 3, 0);
    grid.MoveLineUp();
    ASSERT_EQ(grid.GetItemText(2, 6), "newnote 3");

    undoKey();
    EXPECT_EQ(grid.GetItemText(3, 6), "newnote 3");
    EXPECT_EQ(grid.GetItemText(2, 6), "note 2");
    undoKey();
    EXPECT_EQ(grid.GetItemText(3, 6), "note 3");
    EXPECT_EQ(snapshot(), original);
    redoKey();
    redoKey();
    EXPECT_EQ(grid.GetItemText(2, 6), "newnote 3");
    EXPECT_EQ(grid.GetItemText(2, 3), "103");
}

TEST_F(ProgramGridUndo, KeepsAHundredStepsPerProgram) {
    writeTestProgram();
    const Snapshot original = snapshot();
    ClickCell(grid, 1, 0);
    for (int i = 0; i < 100; ++i) grid.InsertLine();
    ASSERT_EQ(grid.programs().currentSlot().lineCount, 110);
    for (int i = 0; i < 100; ++i) undoKey();
    EXPECT_EQ(snapshot(), original);
    EXPECT_FALSE(grid.undoStack(0).canUndo());
}

TEST_F(ProgramGridUndo, EachProgramHasItsOwnHistoryAndLosesItWithItsSlot) {
    writeTestProgram();
    ClickCell(grid, 2, 0);
    grid.DeleteCurrentLine();
    const Snapshot slot0 = snapshot();

    grid.CommitRows(kelvane::JumpEdit::None);
    grid.ShowProgram(1, 0);
    writeTestProgram();
    const Snapshot slot1 = snapshot();
    undoKey();  // slot 1 has no history
    EXPECT_EQ(snapshot(), slot1);

    grid.ShowProgram(0, 0);
    EXPECT_EQ(snapshot(), slot0);
    undoKey();
    EXPECT_EQ(snapshot().shown, program(5, {1, 2, 3, 4, 5, 6, 7, 8, 9}));
    redoKey();
    ASSERT_TRUE(grid.undoStack(0).canUndo());

    grid.CopyProgram(0);  // onto itself: nothing happens
    EXPECT_TRUE(grid.undoStack(0).canUndo());
    grid.CopyProgram(2);
    EXPECT_TRUE(grid.undoStack(0).canUndo());

    kelvane::ProgramImage image;
    grid.ExportCurrentProgram(image);
    grid.LoadProgram(0, image);
    EXPECT_FALSE(grid.undoStack(0).canUndo());

    grid.ShowProgram(2, 0);
    ClickCell(grid, 1, 0);
    grid.InsertLine();
    ASSERT_TRUE(grid.undoStack(2).canUndo());
    grid.ShowProgram(0, 0);
    grid.CopyProgram(2);
    EXPECT_FALSE(grid.undoStack(2).canUndo());
    grid.ShowProgram(2, 0);
    grid.InsertLine();
    grid.ClearProgram(2);
    EXPECT_FALSE(grid.undoStack(2).canUndo());
    grid.InsertLine();
    grid.clearUndoHistory();
    EXPECT_FALSE(grid.undoStack(2).canUndo());
}

}  // namespace
