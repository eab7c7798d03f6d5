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
        ASSERT_EQ(shown.reports.size(), 1u) << c.name;
        EXPECT_EQ(shown.reports[0].row, 2);
        EXPECT_EQ(shown.reports[0].column, 1);
        EXPECT_EQ(shown.reports[0].text, c.text) << c.name;
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
    const int grown = edit->width();
    EXPECT_GT(grown, startWidth);
    EXPECT_LT(edit->geometry().right(), grid.viewport()->width() - 1);
    EXPECT_GE(edit->width(), edit->fontMetrics().horizontalAdvance(edit->text()) + 5);
    for (int i = 0; i < 200; ++i) QTest::keyClick(edit, Qt::Key_W);
    EXPECT_EQ(edit->x() + edit->width(), grid.viewport()->width());
}

TEST_F(InPlaceEditors, ComboReportsItsChoiceWithItsDataWord) {
    CComboItem* combo = openCombo(3, 2);
    EXPECT_EQ(combo->currentIndex(), -1);
    combo->showPopup();
    QAbstractItemView* list = combo->view();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(list->window()));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(list->model()->index(1, 0)).center());
    QPointer<CComboItem> alive = combo;
    FlushDeletes();
    ASSERT_EQ(shown.reports.size(), 1u);
    EXPECT_EQ(shown.reports[0].row, 3);
    EXPECT_EQ(shown.reports[0].column, 2);
    EXPECT_EQ(shown.reports[0].text, QString("two"));
    EXPECT_EQ(shown.reports[0].itemData, 7);
    EXPECT_TRUE(alive.isNull());
    EXPECT_TRUE(grid.hasFocus());
}

TEST_F(InPlaceEditors, ComboEscapeReportsNoTextAndAnUnchosenComboReportsNothing) {
    // A selection made with the list closed, then Escape: no text, the selection's data.
    QPointer<CComboItem> combo = openCombo(1, 1);
    QTest::keyClick(combo, Qt::Key_Down);
    QTest::keyClick(combo, Qt::Key_Down);
    ASSERT_EQ(combo->currentIndex(), 1);
    QTest::keyClick(combo, Qt::Key_Escape);
    FlushDeletes();
    ASSERT_EQ(shown.reports.size(), 1u);
    EXPECT_EQ(shown.reports[0].text, std::nullopt);
    EXPECT_EQ(shown.reports[0].itemData, 7);
    EXPECT_TRUE(combo.isNull());

    // The list dropped down and closed again without a choice; Space changes nothing there.
    shown.reports.clear();
    combo = openCombo(2, 1);
    combo->showPopup();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(combo->view()->window()));
    QTest::keyClick(combo->view(), Qt::Key_Space);
    QTest::keyClick(combo->view(), Qt::Key_Escape);
    FlushDeletes();
    EXPECT_TRUE(shown.reports.empty());
    EXPECT_TRUE(combo.isNull());

    // Enter with nothing chosen ends it without a report as well.
    combo = openCombo(2, 1);
    QTest::keyClick(combo, Qt::Key_Space);
    QTest::keyClick(combo, Qt::Key_Return);
    FlushDeletes();
    EXPECT_TRUE(shown.reports.empty());
    EXPECT_TRUE(combo.isNull());
}

TEST_F(InPlaceEditors, OpeningAnEditorEndsTheOpenOneFirst) {
    QPointer<CEditItem> first = openEdit(1, 1, "first");
    QTest::keyClick(first, Qt::Key_Z);
    QPointer<CComboItem> second = openCombo(2, 1);
    ASSERT_EQ(shown.reports.size(), 1u);  // before the second one reports anything
    EXPECT_EQ(shown.reports[0].row, 1);
    EXPECT_EQ(shown.reports[0].text, QString("zfirst"));
    EXPECT_EQ(grid.activeEditor(), second.data());
    EXPECT_TRUE(second->hasFocus());

    QPointer<CEditItem> third = openEdit(3, 0, "third");
    QTest::keyClick(third, Qt::Key_Return);
    FlushDeletes();
    EXPECT_EQ(shown.reports.size(), 2u);  // the combo had nothing chosen
    EXPECT_EQ(shown.reports.back().row, 3);
    EXPECT_TRUE(first.isNull());
    EXPECT_TRUE(second.isNull());
    EXPECT_TRUE(third.isNull());
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
