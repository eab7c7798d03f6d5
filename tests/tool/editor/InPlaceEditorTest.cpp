// The in-place edit box and drop-down list over a report grid's cell: their keyboard and focus
// rules, and that each reports exactly once and then deletes itself.
#include "GridTestSupport.h"

#include "editor/CComboItem.h"
#include "editor/CEditItem.h"

#include <QAbstractItemView>
#include <QAction>
#include <QPointer>
#include <QTest>

#include <functional>

namespace {

using Reports = std::vector<EditReport>;

class InPlaceEditors : public ::testing::Test {
protected:
    InPlaceEditors() : grid(*shown.grid) {
        grid.InsertColumn(0, "a", Qt::AlignLeft, 100);
        grid.InsertColumn(1, "b", Qt::AlignLeft, 150);
        grid.InsertColumn(2, "c", Qt::AlignLeft, 120);
        for (int row = 0; row < 5; ++row) grid.InsertItem(row, QString::number(row));
        ShowActive(shown.window);
    }

    CEditItem* openEdit(int row, int column, const QString& text) {
        return new CEditItem(&grid, row, column, text, grid.cellEditorRect(row, column));
    }
    CComboItem* openCombo(int row, int column) {
        auto* combo = new CComboItem(&grid, row, column, {"one", "two", "three"}, grid.cellEditorRect(row, column));
        combo->setItemData(1, qint64{7});
        return combo;
    }
    void chooseSecondEntry(CComboItem* combo) {
        QAbstractItemView* list = combo->view();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(list->window()));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(list->model()->index(1, 0)).center());
    }

    GridWindow<CReportCtrl> shown;
    CReportCtrl& grid;
};

TEST_F(InPlaceEditors, EditBoxStartsWithTheCaretAtZeroAndReportsOnceHowItEnds) {
    struct Case {
        const char* name;
        std::function<void(CEditItem*, QLineEdit* other)> end;
        std::optional<QString> text;
        bool gridHasFocus;
    };
    const Case cases[] = {
        {"Enter", [](CEditItem* e, QLineEdit*) { QTest::keyClick(e, Qt::Key_Return); }, QString("xabc"), true},
        {"keypad Enter", [](CEditItem* e, QLineEdit*) { QTest::keyClick(e, Qt::Key_Enter); }, QString("xabc"), true},
        {"Escape", [](CEditItem* e, QLineEdit*) { QTest::keyClick(e, Qt::Key_Escape); }, std::nullopt, true},
        {"focus elsewhere", [](CEditItem*, QLineEdit* other) { other->setFocus(); }, QString("xabc"), false},
    };
    for (const Case& c : cases) {
        shown.reports.clear();
        QPointer<CEditItem> edit = openEdit(2, 1, "abc");
        EXPECT_TRUE(edit->hasFocus()) << c.name;
        EXPECT_EQ(edit->cursorPosition(), 0) << c.name;
        EXPECT_FALSE(edit->hasSelectedText()) << c.name;
        QTest::keyClick(edit, Qt::Key_X);
        c.end(edit, shown.other);
        FlushDeletes();
        EXPECT_EQ(shown.reports, (Reports{{2, 1, c.text, 0}})) << c.name;
        EXPECT_TRUE(edit.isNull()) << c.name;
        EXPECT_EQ(grid.hasFocus(), c.gridHasFocus) << c.name;
        EXPECT_EQ(grid.activeEditor(), nullptr);
    }
}

TEST_F(InPlaceEditors, EditBoxKeepsDeleteCtrlShortcutsAndCtrlSpaceButNotSpace) {
    int windowShortcuts = 0;
    for (const QKeySequence& keys : {QKeySequence(Qt::Key_Delete), QKeySequence(Qt::CTRL | Qt::Key_A)}) {
        auto* action = new QAction(&shown.window);
        action->setShortcut(keys);
        shown.window.addAction(action);
        QObject::connect(action, &QAction::triggered, [&] { ++windowShortcuts; });
    }
    CEditItem* edit = openEdit(1, 1, "abc");
    QTest::keyClick(edit, Qt::Key_Delete);
    EXPECT_EQ(edit->text(), "bc");
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);  // select all inside the box
    EXPECT_EQ(edit->selectedText(), "bc");
    QTest::keyClick(edit, Qt::Key_End);
    QTest::keyClick(edit, Qt::Key_Space);
    EXPECT_EQ(edit->text(), "bc");
    QTest::keyClick(edit, Qt::Key_Space, Qt::ControlModifier);
    EXPECT_EQ(edit->text(), "bc ");
    QTest::keyClick(edit, Qt::Key_Up);  // no key leaves the box for the grid
    EXPECT_EQ(windowShortcuts, 0);
    EXPECT_TRUE(edit->hasFocus());
}

TEST_F(InPlaceEditors, EditBoxGrowsWithItsTextUpToTheGridsRightEdge) {
    CEditItem* edit = openEdit(0, 1, "");
    const int startWidth = edit->width();
    for (int i = 0; i < 6; ++i) QTest::keyClick(edit, Qt::Key_W);
    EXPECT_EQ(edit->width(), startWidth);  // still fits
    for (int i = 0; i < 10; ++i) QTest::keyClick(edit, Qt::Key_W);
    EXPECT_GT(edit->width(), startWidth);
    EXPECT_LT(edit->geometry().right(), grid.viewport()->width() - 1);
    EXPECT_GE(edit->width(), edit->fontMetrics().horizontalAdvance(edit->text()) + 5);
    for (int i = 0; i < 200; ++i) QTest::keyClick(edit, Qt::Key_W);
    EXPECT_EQ(edit->x() + edit->width(), grid.viewport()->width());
}

TEST_F(InPlaceEditors, ComboReportsItsChoiceWithItsDataWordAndEscapeWithoutText) {
    QPointer<CComboItem> combo = openCombo(3, 2);
    EXPECT_EQ(combo->currentIndex(), -1);
    combo->showPopup();
    chooseSecondEntry(combo);
    FlushDeletes();
    EXPECT_EQ(shown.reports, (Reports{{3, 2, QString("two"), 7}}));
    EXPECT_TRUE(combo.isNull());
    EXPECT_TRUE(grid.hasFocus());

    // A selection made with the list closed, then Escape with the list closed or in the list
    // (where Space changes nothing): no text, the selection's data.
    for (const bool inList : {false, true}) {
        shown.reports.clear();
        combo = openCombo(1, 1);
        QTest::keyClick(combo, Qt::Key_Down);
        QTest::keyClick(combo, Qt::Key_Down);
        ASSERT_EQ(combo->currentIndex(), 1);
        QWidget* target = combo;
        if (inList) {
            combo->showPopup();
            ASSERT_TRUE(QTest::qWaitForWindowExposed(combo->view()->window()));
            target = combo->view();
            QTest::keyClick(target, Qt::Key_Space);
        }
        QTest::keyClick(target, Qt::Key_Escape);
        FlushDeletes();
        EXPECT_EQ(shown.reports, (Reports{{1, 1, std::nullopt, 7}})) << inList;
        EXPECT_TRUE(combo.isNull());
    }

    // Nothing chosen: the list closed with Escape, or Enter, end it without a report.
    combo = openCombo(2, 1);
    combo->showPopup();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(combo->view()->window()));
    QTest::keyClick(combo->view(), Qt::Key_Escape);
    FlushDeletes();
    EXPECT_TRUE(combo.isNull());
    combo = openCombo(2, 1);
    QTest::keyClick(combo, Qt::Key_Space);  // does not drop the list down
    QTest::keyClick(combo, Qt::Key_Return);
    FlushDeletes();
    EXPECT_TRUE(combo.isNull());
    EXPECT_EQ(shown.reports.size(), 1u);
}

TEST_F(InPlaceEditors, OpeningAnEditorEndsTheOpenOneFirst) {
    QPointer<CEditItem> first = openEdit(1, 1, "first");
    QTest::keyClick(first, Qt::Key_Z);
    QPointer<CComboItem> second = openCombo(2, 1);
    EXPECT_EQ(shown.reports, (Reports{{1, 1, QString("zfirst"), 0}}));  // before the second reports
    EXPECT_EQ(grid.activeEditor(), second.data());
    EXPECT_TRUE(second->hasFocus());

    QPointer<CEditItem> third = openEdit(3, 0, "third");
    QTest::keyClick(third, Qt::Key_Return);
    FlushDeletes();
    EXPECT_EQ(shown.reports.size(), 2u);  // the combo had nothing chosen
    EXPECT_EQ(shown.reports.back().row, 3);
    EXPECT_TRUE(first.isNull() && second.isNull() && third.isNull());
}

TEST(InPlaceEditorTeardown, AnEditorStillOpenWhenItsGridIsDeletedReportsNothing) {
    GridWindow<CReportCtrl> window;
    window.grid->InsertColumn(0, "a", Qt::AlignLeft, 100);
    window.grid->InsertItem(0, "0");
    ShowActive(window.window);
    QPointer<CEditItem> edit = new CEditItem(window.grid, 0, 0, "abc", window.grid->cellEditorRect(0, 0));
    ASSERT_TRUE(edit->hasFocus());
    delete window.grid;
    EXPECT_TRUE(window.reports.empty());
    EXPECT_TRUE(edit.isNull());
}

}  // namespace
