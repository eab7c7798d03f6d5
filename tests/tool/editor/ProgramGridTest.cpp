// The program grid on screen over the data folder's catalogue: its columns, the painted row
// colours, the editor each click opens, editing through the editors, the line operations on
// the grid's own rows, the keyboard, and undo and redo per program. The rules of the lines
// themselves (jump upkeep, paste and delete limits, which cell opens what) are the model's and
// are checked in tests/core/editor.
#include "GridTestSupport.h"

#include "editor/CComboItem.h"
#include "editor/CEditItem.h"
#include "editor/CUserProgramEditCtrl.h"

#include "core/editor/RecordFields.h"

#include <QAbstractItemView>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QUndoStack>

#include <array>
#include <functional>
#include <string>

namespace {

using Lines = std::vector<std::string>;

class ProgramGridWidget : public ::testing::Test {
public:
    ProgramGridWidget() : grid(*shown.grid) {
        grid.setBaseFolder(RAVO_DEMO_DATA_FOLDER);
        grid.InitGrid();
        grid.ShowProgram(0, 0);
        QObject::connect(&grid, &CUserProgramEditCtrl::helpRequested, [this](std::uint8_t code) { help = code; });
        ShowActive(shown.window);
    }

    // Into the current slot, emptied first: line 0 jumps to line 5, lines 1..9 wait 101..109 ms
    // with the remarks "note 1".."note 9"; committed and shown again.
    void writeTestProgram() {
        grid.ClearProgram(grid.currentProgram());
        grid.ShowProgram(grid.currentProgram(), 0);
        for (int line = 0; line < 10; ++line) {
            const QStringList texts = line == 0 ? QStringList{"流程控制", "跳转", "5", "0", "0", ""}
                                                : QStringList{"流程控制", "延时", QString::number(100 + line),
                                                              "0",        "0",    QString("note %1").arg(line)};
            for (int column = 1; column <= 6; ++column) grid.SetItemText(line, column, texts[column - 1]);
        }
        grid.CommitRows(kelvane::JumpEdit::None);
        grid.ShowProgram(grid.currentProgram(), 1);
    }
    // "<instruction> <parameter 1> <remark>" of every line of the current program as shown;
    // "blank" for a line without instruction.
    Lines shownLines() const {
        Lines lines;
        for (int row = 0; row < grid.programs().currentSlot().lineCount; ++row) {
            const QString instruction = grid.GetItemText(row, 2).trimmed();
            const QString remark = grid.GetItemText(row, 6);
            lines.push_back(instruction.isEmpty() ? "blank"
                                                  : (instruction + " " + grid.GetItemText(row, 3) +
                                                     (remark.isEmpty() ? "" : " " + remark))
                                                        .toStdString());
        }
        return lines;
    }
    // The test program's lines: the jump with its target, then waits by their number (0: blank).
    static Lines program(int jumpTarget, const std::vector<int>& waits) {
        Lines lines = {"跳转 " + std::to_string(jumpTarget)};
        for (int w : waits)
            lines.push_back(w == 0 ? "blank" : "延时 " + std::to_string(100 + w) + " note " + std::to_string(w));
        return lines;
    }
    void selectLines(int first, int last) {
        ClickCell(grid, first, 0);
        ClickCell(grid, last, 0, Qt::ShiftModifier);
    }
    int currentRow() const { return grid.programs().currentRow(); }
    QRect cellRect(int row, int column) const { return grid.visualRect(grid.model()->index(row, column)); }
    void closeEditor() {
        QTest::keyClick(grid.activeEditor(), Qt::Key_Escape);
        FlushDeletes();
    }

    GridWindow<CUserProgramEditCtrl> shown;
    CUserProgramEditCtrl& grid;
    std::optional<int> help;
};

TEST_F(ProgramGridWidget, HasSevenHeadedColumnsAndAThousandNumberedRows) {
    const std::pair<const char*, int> columns[] = {
        {"行号", 45}, {"程序集", 120}, {"指令", 150}, {"参数1", 100}, {"参数2", 100}, {"参数3", 100}, {"备注信息", 200},
    };
    ASSERT_EQ(grid.GetColumnCount(), 7);
    for (int column = 0; column < 7; ++column) {
        EXPECT_EQ(grid.model()->headerData(column, Qt::Horizontal), QString::fromUtf8(columns[column].first));
        EXPECT_EQ(grid.columnWidth(column), columns[column].second);
    }
    ASSERT_EQ(grid.GetItemCount(), 1000);
    for (int row = 0; row < 1000; ++row) ASSERT_EQ(grid.GetItemText(row, 0), QString::number(row));
    EXPECT_TRUE(grid.showGrid());
}

TEST_F(ProgramGridWidget, PaintsTheModelsRowShadesAFrameOnTheSelectionAndColumnFiveInBlue) {
    writeTestProgram();
    ClickCell(grid, 3, 0);  // also selects the row: a frame, the current row stays red
    grid.viewport()->repaint();
    EXPECT_EQ(PaintedBackground(grid, 0, 1), QColor(255, 255, 0));    // a jump line
    EXPECT_EQ(PaintedBackground(grid, 1, 4), QColor(153, 217, 234));  // odd
    EXPECT_EQ(PaintedBackground(grid, 2, 6), QColor(189, 231, 242));  // even
    EXPECT_EQ(PaintedBackground(grid, 3, 4), QColor(255, 0, 0));      // current
    const QRect selected = cellRect(3, 4);
    EXPECT_EQ(grid.viewport()->grab().toImage().pixelColor(selected.center().x(), selected.top()),
              grid.palette().color(QPalette::Active, QPalette::Highlight));
    EXPECT_TRUE(HasBlueText(grid, 1, 5));    // "0" in blue
    EXPECT_FALSE(HasBlueText(grid, 1, 3));   // "101" in the window text colour
    EXPECT_FALSE(HasBlueText(grid, 20, 5));  // empty

    // The red row follows a click on another line number; the old one gets its shade back.
    ClickCell(grid, 6, 0);
    grid.viewport()->repaint();
    EXPECT_EQ(PaintedBackground(grid, 6, 2), QColor(255, 0, 0));
    EXPECT_EQ(PaintedBackground(grid, 3, 2), QColor(153, 217, 234));
}

// The model names the editor; the grid opens it over the cell and the text it ends with goes
// into the cell, which the next commit encodes.
TEST_F(ProgramGridWidget, ClicksOpenTheEditorTheModelNamesAndTheirTextsAreCommitted) {
    writeTestProgram();
    const auto click = [this](int row, int column) {
        help.reset();
        ClickCell(grid, row, column);
        return grid.activeEditor();
    };
    EXPECT_EQ(click(1, 0), nullptr);  // a line number: no help either
    EXPECT_EQ(help, std::nullopt);
    EXPECT_EQ(click(1, 4), nullptr);  // an unused parameter
    EXPECT_EQ(help, 50);
    EXPECT_EQ(currentRow(), 1);

    auto* edit = qobject_cast<CEditItem*>(click(1, 3));
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->text(), "101");
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(edit, "250");
    QTest::keyClick(edit, Qt::Key_Return);
    FlushDeletes();
    EXPECT_EQ(grid.GetItemText(1, 3), "250");

    auto* combo = qobject_cast<CComboItem*>(click(1, 2));
    ASSERT_NE(combo, nullptr);
    QStringList entries;
    for (int i = 0; i < combo->count(); ++i) entries << combo->itemText(i);
    EXPECT_EQ(entries, (QStringList{"延时", "跳转", "条件跳转", "循环", "调用程序", "程序结束"}));
    EXPECT_EQ(combo->geometry().topLeft(), cellRect(1, 2).topLeft());
    ASSERT_TRUE(combo->view()->isVisible());  // dropped down at once
    ASSERT_TRUE(QTest::qWaitForWindowExposed(combo->view()->window()));
    QTest::mouseClick(combo->view()->viewport(), Qt::LeftButton, {},
                      combo->view()->visualRect(combo->view()->model()->index(1, 0)).center());
    FlushDeletes();
    EXPECT_EQ(grid.GetItemText(1, 2), "跳转");

    click(1, 6);  // an edit box left with Escape keeps the text
    QTest::keyClicks(grid.activeEditor(), "x");
    closeEditor();
    EXPECT_EQ(grid.GetItemText(1, 6), "note 1");
    auto* remark = qobject_cast<CEditItem*>(click(1, 6));  // no more than the file keeps: 125 GBK bytes
    ASSERT_NE(remark, nullptr);
    remark->selectAll();
    for (int i = 0; i < 60; ++i) remark->insert(QStringLiteral("行"));  // two bytes each
    QTest::keyClicks(remark, "abcdefg");
    QTest::keyClick(remark, Qt::Key_Return);
    FlushDeletes();
    EXPECT_EQ(grid.GetItemText(1, 6), QString(60, QChar(0x884C)) + "abcde");

    grid.CommitRows(kelvane::JumpEdit::None);
    const kelvane::LineRecord& record = grid.programs().currentSlot().records[1];
    EXPECT_EQ(record.bytes[kelvane::kCodeByte], 51);
    EXPECT_EQ(kelvane::ReadBigEndian32(record, kelvane::kParamOffsets[0]), 250u);
}

// Each operation inserts, removes or moves the grid's own rows before the model commits them;
// deleting works on the selected rows. (Copy and paste through the keys: see ProgramGridUndo.)
TEST_F(ProgramGridWidget, LineOperationsWorkOnTheGridsRowsAndTheSelection) {
    CUserProgramEditCtrl& g = grid;
    const struct {
        int first, last;  // the rows selected with the mouse
        std::function<void()> operation;
        Lines lines;
        int currentRow;
    } cases[] = {
        {2, 2, [&g] { g.InsertLine(); }, program(6, {1, 0, 2, 3, 4, 5, 6, 7, 8, 9}), 2},
        {2, 2, [&g] { g.DeleteCurrentLine(); }, program(4, {1, 3, 4, 5, 6, 7, 8, 9}), 2},
        {5, 5, [&g] { g.MoveLineUp(); }, program(4, {1, 2, 3, 5, 4, 6, 7, 8, 9}), 4},
        {5, 5, [&g] { g.MoveLineDown(); }, program(6, {1, 2, 3, 4, 6, 5, 7, 8, 9}), 6},
        {2, 4, [&g] { g.DeleteSelectedLines(); }, program(2, {1, 5, 6, 7, 8, 9}), 2},
    };
    for (const auto& c : cases) {
        writeTestProgram();
        selectLines(c.first, c.last);
        c.operation();
        EXPECT_EQ(shownLines(), c.lines) << c.first << ".." << c.last;
        EXPECT_EQ(currentRow(), c.currentRow) << c.first << ".." << c.last;
    }
}

TEST_F(ProgramGridWidget, LineOperationsBringTheRowSeventeenBelowIntoView) {
    shown.window.resize(1000, 250);
    QApplication::processEvents();
    writeTestProgram();
    const auto fullyShown = [this](int row) { return grid.viewport()->rect().contains(cellRect(row, 0)); };
    ASSERT_FALSE(fullyShown(17));
    ClickCell(grid, 2, 0);
    grid.InsertLine();
    EXPECT_TRUE(fullyShown(17));

    ClickCell(grid, 20, 0);
    ASSERT_FALSE(fullyShown(37));
    grid.DeleteCurrentLine();  // 17 below the current row
    EXPECT_TRUE(fullyShown(37));
}

TEST_F(ProgramGridWidget, KeysMoveTheCurrentRowAndOpenEditors) {
    writeTestProgram();
    ClickCell(grid, 2, 3);
    closeEditor();
    ASSERT_TRUE(grid.hasFocus());
    grid.ShowProgram(0, 0);  // the rebuilt rows keep the current cell on the current row

    QTest::keyClick(&grid, Qt::Key_Down);
    EXPECT_EQ(currentRow(), 3);
    QTest::keyClick(&grid, Qt::Key_Up);
    QTest::keyClick(&grid, Qt::Key_Up);
    EXPECT_EQ(currentRow(), 1);
    QTest::keyClick(&grid, Qt::Key_PageDown);
    const int paged = currentRow();
    EXPECT_GT(paged, 10);
    // As a click on the line number: the program grows to the current row until the next commit.
    EXPECT_EQ(grid.programs().currentSlot().lineCount, paged + 1);
    QTest::keyClick(&grid, Qt::Key_PageUp);
    EXPECT_LT(currentRow(), paged);

    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_F2}) {
        ClickCell(grid, 4, 3);
        closeEditor();
        QTest::keyClick(&grid, key);
        auto* edit = qobject_cast<CEditItem*>(grid.activeEditor());
        ASSERT_NE(edit, nullptr);
        EXPECT_EQ(std::make_pair(edit->row(), edit->column()), std::make_pair(4, 3));
        closeEditor();
    }

    // A current cell scrolled out of view comes back into view to be edited.
    grid.verticalScrollBar()->setValue(grid.verticalScrollBar()->maximum());
    QTest::keyClick(&grid, Qt::Key_F2);
    ASSERT_NE(grid.activeEditor(), nullptr);
    const QRect shown(grid.viewport()->mapToGlobal(QPoint()), grid.viewport()->size());
    EXPECT_TRUE(shown.contains(QRect(grid.activeEditor()->mapToGlobal(QPoint()), grid.activeEditor()->size())));
}

TEST_F(ProgramGridWidget, LoadAndExportShowTheProgramAndLeaveTheGridUpdating) {
    writeTestProgram();
    kelvane::ProgramImage image;
    grid.ExportCurrentProgram(image);
    QSignalSpy changed(grid.model(), &QAbstractItemModel::dataChanged);
    grid.SetItemText(0, 6, "x");
    EXPECT_EQ(changed.count(), 1);

    grid.LoadProgram(4, image);
    EXPECT_EQ(grid.currentProgram(), 4);
    EXPECT_EQ(shownLines(), program(5, {1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(PaintedBackground(grid, 0, 1), QColor(255, 0, 0));  // line 0 is current
    grid.LoadProgram(10, image);                                  // no such slot
    EXPECT_EQ(grid.currentProgram(), 4);
}

// Undo and redo: line operations and cell edits come back with their records, remarks and
// jump targets, per program, through Ctrl+Z, Ctrl+Y and Ctrl+Shift+Z.
class ProgramGridUndo : public ProgramGridWidget {
protected:
    // The current program as stored and as shown.
    using Snapshot = std::pair<std::vector<std::array<std::uint8_t, 16>>, Lines>;
    Snapshot snapshot() {
        grid.CommitRows(kelvane::JumpEdit::None);
        const kelvane::ProgramSlot& slot = grid.programs().currentSlot();
        Snapshot s{{}, shownLines()};
        for (int line = 0; line < slot.lineCount; ++line) s.first.push_back(slot.records[line].bytes);
        return s;
    }
    void undoKey() { QTest::keyClick(&grid, Qt::Key_Z, Qt::ControlModifier); }
    void redoKey() { QTest::keyClick(&grid, Qt::Key_Y, Qt::ControlModifier); }
    void insertAt1(int slot) {
        grid.ShowProgram(slot, 0);
        ClickCell(grid, 1, 0);
        grid.InsertLine();
    }
};

TEST_F(ProgramGridUndo, OperationsAndCellEditsComeBackInTurn) {
    writeTestProgram();
    const Snapshot original = snapshot();
    selectLines(2, 4);
    QTest::keyClick(&grid, Qt::Key_C, Qt::ControlModifier);
    ClickCell(grid, 1, 0);
    QTest::keyClick(&grid, Qt::Key_V, Qt::ControlModifier);
    const Snapshot pasted = snapshot();
    ASSERT_EQ(pasted.second, program(8, {2, 3, 4, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    ClickCell(grid, 8, 6);
    QTest::keyClicks(grid.activeEditor(), "new");
    QTest::keyClick(grid.activeEditor(), Qt::Key_Return);
    FlushDeletes();
    const Snapshot edited = snapshot();
    ASSERT_EQ(grid.GetItemText(8, 6), "newnote 5");
    selectLines(3, 6);
    grid.DeleteSelectedLines();
    const Snapshot deleted = snapshot();
    ASSERT_EQ(deleted.second[4], "延时 105 newnote 5");

    for (const Snapshot* expected : {&edited, &pasted, &original, &original}) {  // the last: nothing left
        undoKey();
        EXPECT_EQ(snapshot(), *expected);
    }
    redoKey();
    redoKey();
    EXPECT_EQ(snapshot(), edited);
    QTest::keyClick(&grid, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(snapshot(), deleted);
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

TEST_F(ProgramGridUndo, EachProgramHasItsOwnHistoryWhichEndsWithItsSlot) {
    writeTestProgram();
    insertAt1(0);
    grid.ShowProgram(1, 0);
    writeTestProgram();
    const Snapshot slot1 = snapshot();
    undoKey();  // slot 1 has no history
    EXPECT_EQ(snapshot(), slot1);
    grid.ShowProgram(0, 0);
    undoKey();
    EXPECT_EQ(snapshot().second, program(5, {1, 2, 3, 4, 5, 6, 7, 8, 9}));
    redoKey();

    kelvane::ProgramImage image;
    grid.ExportCurrentProgram(image);
    grid.LoadProgram(2, image);
    insertAt1(2);
    grid.CopyProgram(2);  // onto itself: nothing happens
    EXPECT_TRUE(grid.undoStack(2).canUndo());
    const std::pair<const char*, std::function<void()>> ends[] = {
        {"copied onto", [&] { grid.ShowProgram(0, 0), grid.CopyProgram(2); }},
        {"cleared", [&] { grid.ClearProgram(2); }},
        {"loaded", [&] { grid.LoadProgram(2, image); }},
        {"every history", [&] { grid.clearUndoHistory(); }},
    };
    for (const auto& [name, end] : ends) {
        grid.LoadProgram(2, image);
        insertAt1(2);
        ASSERT_TRUE(grid.undoStack(2).canUndo()) << name;
        end();
        EXPECT_FALSE(grid.undoStack(2).canUndo()) << name;
        EXPECT_EQ(grid.undoStack(0).canUndo(), name != std::string("every history")) << name;
    }
}

}  // namespace
