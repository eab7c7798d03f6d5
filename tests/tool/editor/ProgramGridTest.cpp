// The program grid on screen: its columns, the painted row colours, the editor each click
// opens, editing through the editors, every line operation with its jump upkeep, and the
// keyboard.
#include "ProgramGridFixture.h"

#include "editor/CComboItem.h"
#include "editor/CEditItem.h"

#include "core/editor/RecordFields.h"

#include <QAbstractItemView>
#include <QHeaderView>
#include <QSignalSpy>

#include <functional>

namespace {

using ProgramGridWidget = ProgramGridFixture;

TEST_F(ProgramGridWidget, HasSevenHeadedColumnsAndAThousandNumberedRows) {
    const std::pair<const char*, int> columns[] = {
        {"行号", 45}, {"程序集", 120}, {"指令", 150}, {"参数1", 100}, {"参数2", 100}, {"参数3", 100}, {"备注信息", 200},
    };
    ASSERT_EQ(grid.GetColumnCount(), 7);
    for (int column = 0; column < 7; ++column) {
        EXPECT_EQ(HeaderText(grid, column), QString::fromUtf8(columns[column].first));
        EXPECT_EQ(grid.columnWidth(column), columns[column].second);
    }
    ASSERT_EQ(grid.GetItemCount(), 1000);
    for (int row = 0; row < 1000; ++row) ASSERT_EQ(grid.GetItemText(row, 0), QString::number(row));
    EXPECT_TRUE(grid.showGrid());
}

TEST_F(ProgramGridWidget, PaintsJumpLinesAlternatingRowsTheCurrentRowAndColumnFiveText) {
    writeTestProgram();
    ClickCell(grid, 3, 0);  // also selects the row: a frame, the current row stays red
    grid.viewport()->repaint();
    struct Case {
        int row;
        QColor color;
    };
    const Case cases[] = {
        {0, QColor(255, 255, 0)},     // a jump line
        {1, QColor(153, 217, 234)},   // odd
        {2, QColor(189, 231, 242)},   // even
        {3, QColor(255, 0, 0)},       // current
        {14, QColor(189, 231, 242)},  // beyond the program
        {15, QColor(153, 217, 234)},
    };
    for (const Case& c : cases) {
        for (int column : {1, 4, 6})
            EXPECT_EQ(PaintedBackground(grid, c.row, column), c.color) << c.row << "/" << column;
    }
    const QRect selected = CellRect(grid, 3, 4);
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

TEST_F(ProgramGridWidget, EachClickOpensTheEditorItsCellAsksFor) {
    WriteProgram(grid, {{"流程控制", "跳转", "5", "0", "0", ""},
                        {"流程控制", "延时", "101", "0", "0", "note 1"},
                        {"运动控制", "绝对运动", "X轴", "1.5", "2", ""}});
    grid.SetItemText(1, 4, "9");
    enum class Opens { Nothing, DropDown, EditBox };
    struct Case {
        int row, column;
        Opens opens;
        std::vector<const char*> entries;  // drop-down entries, or the edit box's text
        std::optional<int> help;
        const char* textAfter;  // the cell's text after the click
    };
    const Case cases[] = {
        {1, 0, Opens::Nothing, {}, std::nullopt, "1"},
        {1, 1, Opens::DropDown, {"运动控制", "输入输出", "流程控制"}, 50, "流程控制"},
        {1, 2, Opens::DropDown, {"延时", "跳转", "条件跳转", "循环", "调用程序", "程序结束"}, 50, "延时"},
        {1, 3, Opens::EditBox, {"101"}, 50, "101"},
        {1, 4, Opens::Nothing, {}, 50, "0"},  // not used: set to "0"
        {1, 6, Opens::EditBox, {"note 1"}, 50, "note 1"},
        {2, 3, Opens::DropDown, {"X轴", "Y轴", "Z轴", "U轴", "V轴", "W轴"}, 10, "X轴"},
        {2, 4, Opens::EditBox, {"1.500"}, 10, "1.500"},
        {20, 2, Opens::Nothing, {}, 0, ""},  // no group
        {20, 6, Opens::Nothing, {}, 0, ""},  // beyond the program, no instruction
    };
    for (const Case& c : cases) {
        help.reset();
        ClickCell(grid, c.row, c.column);
        QWidget* editor = grid.activeEditor();
        EXPECT_EQ(currentRow(), c.row);
        EXPECT_EQ(help, c.help) << c.row << "/" << c.column;
        if (c.opens == Opens::DropDown) {
            auto* combo = qobject_cast<CComboItem*>(editor);
            ASSERT_NE(combo, nullptr) << c.row << "/" << c.column;
            ASSERT_EQ(combo->count(), static_cast<int>(c.entries.size()));
            for (int i = 0; i < combo->count(); ++i) EXPECT_EQ(combo->itemText(i), QString::fromUtf8(c.entries[i]));
            EXPECT_TRUE(combo->view()->isVisible());  // dropped down at once
            EXPECT_EQ(combo->geometry().topLeft(), CellRect(grid, c.row, c.column).topLeft());
            combo->hidePopup();
        } else if (c.opens == Opens::EditBox) {
            auto* edit = qobject_cast<CEditItem*>(editor);
            ASSERT_NE(edit, nullptr) << c.row << "/" << c.column;
            EXPECT_EQ(edit->text(), QString::fromUtf8(c.entries[0]));
            QTest::keyClick(edit, Qt::Key_Escape);
        } else {
            EXPECT_EQ(editor, nullptr) << c.row << "/" << c.column;
        }
        FlushDeletes();
        EXPECT_EQ(grid.activeEditor(), nullptr);
        EXPECT_EQ(grid.GetItemText(c.row, c.column), QString::fromUtf8(c.textAfter)) << c.row << "/" << c.column;
    }
}

TEST_F(ProgramGridWidget, EditorsChangeTheCellTextsThatTheNextCommitEncodes) {
    writeTestProgram();
    ClickCell(grid, 1, 3);
    auto* edit = qobject_cast<CEditItem*>(grid.activeEditor());
    ASSERT_NE(edit, nullptr);
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(edit, "250");
    QTest::keyClick(edit, Qt::Key_Return);
    FlushDeletes();
    EXPECT_EQ(grid.GetItemText(1, 3), "250");

    ClickCell(grid, 1, 2);
    auto* combo = qobject_cast<CComboItem*>(grid.activeEditor());
    ASSERT_NE(combo, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(combo->view()->window()));
    QTest::mouseClick(combo->view()->viewport(), Qt::LeftButton, {},
                      combo->view()->visualRect(combo->view()->model()->index(1, 0)).center());
    FlushDeletes();
    EXPECT_EQ(grid.GetItemText(1, 2), "跳转");

    ClickCell(grid, 1, 6);  // an edit box left with Escape keeps the text
    QTest::keyClicks(grid.activeEditor(), "x");
    QTest::keyClick(grid.activeEditor(), Qt::Key_Escape);
    FlushDeletes();
    EXPECT_EQ(grid.GetItemText(1, 6), "note 1");

    ClickCell(grid, 1, 6);  // the remark box takes no more than the file keeps: 125 GBK bytes
    QTest::keyClick(grid.activeEditor(), Qt::Key_A, Qt::ControlModifier);
    auto* remark = qobject_cast<CEditItem*>(grid.activeEditor());
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

TEST_F(ProgramGridWidget, LineOperationsKeepJumpTargetsOnTheirLines) {
    struct Case {
        const char* name;
        std::function<void(ProgramGridWidget&)> act;
        std::vector<std::string> lines;
        int currentRow;
    };
    const Case cases[] = {
        {"insert at 2", [](auto& t) { ClickCell(t.grid, 2, 0); t.grid.InsertLine(); },
         program(6, {1, 0, 2, 3, 4, 5, 6, 7, 8, 9}), 2},
        {"delete current line 2", [](auto& t) { ClickCell(t.grid, 2, 0); t.grid.DeleteCurrentLine(); },
         program(4, {1, 3, 4, 5, 6, 7, 8, 9}), 2},
        {"move 5 up", [](auto& t) { ClickCell(t.grid, 5, 0); t.grid.MoveLineUp(); },
         program(4, {1, 2, 3, 5, 4, 6, 7, 8, 9}), 4},
        {"move 5 down", [](auto& t) { ClickCell(t.grid, 5, 0); t.grid.MoveLineDown(); },
         program(6, {1, 2, 3, 4, 6, 5, 7, 8, 9}), 6},
        {"move the last line down", [](auto& t) { ClickCell(t.grid, 9, 0); t.grid.MoveLineDown(); },
         program(5, {1, 2, 3, 4, 5, 6, 7, 8, 9}), 9},
        {"copy 2..4, paste at 7",
         [](auto& t) { t.selectLines(2, 4); t.grid.CopySelection(); ClickCell(t.grid, 7, 0); t.grid.PasteSelection(); },
         program(5, {1, 2, 3, 4, 5, 6, 2, 3, 4, 7, 8, 9}), 10},
        {"copy 2..4, paste at 1 moves the jump target",
         [](auto& t) { t.selectLines(2, 4); t.grid.CopySelection(); ClickCell(t.grid, 1, 0); t.grid.PasteSelection(); },
         program(8, {2, 3, 4, 1, 2, 3, 4, 5, 6, 7, 8, 9}), 4},
        {"paste inside the copied lines does nothing",
         [](auto& t) { t.selectLines(2, 4); t.grid.CopySelection(); ClickCell(t.grid, 3, 0); t.grid.PasteSelection(); },
         program(5, {1, 2, 3, 4, 5, 6, 7, 8, 9}), 3},
        {"paste beyond the program appends",
         [](auto& t) { t.selectLines(2, 4); t.grid.CopySelection(); ClickCell(t.grid, 20, 0); t.grid.PasteSelection(); },
         program(5, {1, 2, 3, 4, 5, 6, 7, 8, 9, 2, 3, 4}), 13},
        {"Ctrl+C, Ctrl+V",
         [](auto& t) {
             t.selectLines(8, 9);
             QTest::keyClick(&t.grid, Qt::Key_C, Qt::ControlModifier);
             ClickCell(t.grid, 1, 0);
             QTest::keyClick(&t.grid, Qt::Key_V, Qt::ControlModifier);
         },
         program(7, {8, 9, 1, 2, 3, 4, 5, 6, 7, 8, 9}), 3},
        {"delete 2..4", [](auto& t) { t.selectLines(2, 4); t.grid.DeleteSelectedLines(); },
         program(2, {1, 5, 6, 7, 8, 9}), 2},
        {"delete 8..12 past the end", [](auto& t) { t.selectLines(8, 12); t.grid.DeleteSelectedLines(); },
         program(5, {1, 2, 3, 4, 5, 6, 7}), 7},
        {"delete 12..14 beyond the end", [](auto& t) { t.selectLines(12, 14); t.grid.DeleteSelectedLines(); },
         program(5, {1, 2, 3, 4, 5, 6, 7, 8, 9}), 14},
    };
    for (const Case& c : cases) {
        writeTestProgram();
        c.act(*this);
        EXPECT_EQ(ShownLines(grid), c.lines) << c.name;
        EXPECT_EQ(currentRow(), c.currentRow) << c.name;
        ASSERT_EQ(grid.GetItemCount(), 1000) << c.name;
        for (int row = 0; row < 1000; ++row) ASSERT_EQ(grid.GetItemText(row, 0), QString::number(row)) << c.name;
        // The remarks went with their lines.
        for (int row = 1; row < grid.programs().currentSlot().lineCount; ++row) {
            const std::string line = ShownLines(grid)[row];
            if (line == "blank") continue;
            EXPECT_EQ(grid.GetItemText(row, 6).toStdString(), "note " + line.substr(line.size() - 1)) << c.name;
        }
    }
}

TEST_F(ProgramGridWidget, LineOperationsBringTheRowSeventeenBelowIntoView) {
    shown.window.resize(1000, 250);
    QApplication::processEvents();
    writeTestProgram();
    const auto fullyShown = [this](int row) { return grid.viewport()->rect().contains(CellRect(grid, row, 0)); };
    ASSERT_FALSE(fullyShown(17));
    ClickCell(grid, 2, 0);
    grid.InsertLine();
    EXPECT_TRUE(fullyShown(17));

    ClickCell(grid, 20, 0);
    ASSERT_FALSE(fullyShown(37));
    grid.DeleteCurrentLine();  // 17 below the current row
    EXPECT_TRUE(fullyShown(37));
}

TEST_F(ProgramGridWidget, KeysMoveTheCurrentRowOpenEditorsAndAskForFind) {
    writeTestProgram();
    ClickCell(grid, 2, 3);
    QTest::keyClick(grid.activeEditor(), Qt::Key_Escape);
    FlushDeletes();
    ASSERT_TRUE(grid.hasFocus());

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
    EXPECT_EQ(grid.currentIndex().row(), paged);
    QTest::keyClick(&grid, Qt::Key_PageUp);
    EXPECT_LT(currentRow(), paged);

    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_F2}) {
        ClickCell(grid, 4, 3);
        QTest::keyClick(grid.activeEditor(), Qt::Key_Escape);
        FlushDeletes();
        QTest::keyClick(&grid, key);
        auto* edit = qobject_cast<CEditItem*>(grid.activeEditor());
        ASSERT_NE(edit, nullptr);
        EXPECT_EQ(edit->row(), 4);
        EXPECT_EQ(edit->column(), 3);
        QTest::keyClick(edit, Qt::Key_Escape);
        FlushDeletes();
    }

    QSignalSpy find(&grid, &CUserProgramEditCtrl::findRequested);
    QTest::keyClick(&grid, Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(find.count(), 1);
}

TEST_F(ProgramGridWidget, LoadAndExportCarryTheProgram) {
    writeTestProgram();
    kelvane::ProgramImage image;
    grid.ExportCurrentProgram(image);
    EXPECT_EQ(image.lineCount, 10);
    EXPECT_EQ(image.remarks.at(3), "note@3");

    grid.LoadProgram(4, image);
    EXPECT_EQ(grid.currentProgram(), 4);
    EXPECT_EQ(ShownLines(grid), program(5, {1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(PaintedBackground(grid, 0, 1), QColor(255, 0, 0));  // line 0 is current
    EXPECT_EQ(PaintedBackground(grid, 1, 1), QColor(153, 217, 234));
    grid.LoadProgram(10, image);  // no such slot
    EXPECT_EQ(grid.currentProgram(), 4);
}

}  // namespace
