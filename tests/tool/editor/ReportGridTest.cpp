// The report grid: colour scopes, colours and data words travelling with their rows, columns
// shifting the colours, row deletion with select-next, and the colours as painted.
#include "GridTestSupport.h"

#include "editor/ReportColors.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QSignalSpy>
#include <QTest>

namespace {

constexpr ColorRef kRed = 0x0000FF;
constexpr ColorRef kGreen = 0x00FF00;
constexpr ColorRef kBlue = 0xFF0000;

class ReportGrid : public ::testing::Test {
protected:
    ReportGrid() : grid(*shown.grid) {
        for (int column = 0; column < 3; ++column) grid.InsertColumn(column, QString("c%1").arg(column));
        for (int row = 0; row < 5; ++row) {
            grid.InsertItem(row, QString("r%1").arg(row));
            grid.SetItemText(row, 1, QString("r%1c1").arg(row));
        }
    }

    std::vector<std::vector<ColorRef>> colors(bool background) const {
        std::vector<std::vector<ColorRef>> all;
        for (int row = 0; row < grid.GetItemCount(); ++row) {
            all.emplace_back();
            for (int column = 0; column < grid.GetColumnCount(); ++column)
                all.back().push_back(background ? grid.GetItemBkColor(row, column)
                                                : grid.GetItemTextColor(row, column));
        }
        return all;
    }
    QStringList column(int c) const {
        QStringList texts;
        for (int row = 0; row < grid.GetItemCount(); ++row) texts << grid.GetItemText(row, c);
        return texts;
    }
    bool selected(int row) const { return grid.selectionModel()->isRowSelected(row, QModelIndex()); }

    GridWindow<CReportCtrl> shown;
    CReportCtrl& grid;
};

TEST_F(ReportGrid, ColourScopeFollowsValidRowAndColumn) {
    struct Case {
        int row, column;
        std::vector<std::pair<int, int>> cells;  // the cells that get the colour
    };
    std::vector<std::pair<int, int>> every;
    for (int cell = 0; cell < 15; ++cell) every.emplace_back(cell / 3, cell % 3);
    const Case cases[] = {
        {2, 1, {{2, 1}}},
        {2, -1, {{2, 0}, {2, 1}, {2, 2}}},
        {-1, 2, {{0, 2}, {1, 2}, {2, 2}, {3, 2}, {4, 2}}},
        {-1, -1, every},
        {5, 3, every},  // both out of range count as invalid
    };
    for (const bool background : {false, true}) {
        for (const Case& c : cases) {
            grid.SetItemTextColor(-1, -1, kSystemColor, false);
            grid.SetItemBkColor(-1, -1, kSystemColor, false);
            if (background)
                grid.SetItemBkColor(c.row, c.column, kRed, false);
            else
                grid.SetItemTextColor(c.row, c.column, kRed, false);
            std::vector<std::vector<ColorRef>> expected(5, std::vector<ColorRef>(3, kSystemColor));
            for (const auto& [row, column] : c.cells) expected[row][column] = kRed;
            EXPECT_EQ(colors(background), expected)
                << "row " << c.row << " column " << c.column << " bk " << background;
        }
    }
    EXPECT_EQ(grid.GetItemBkColor(5, 0), ColorRef(-1));
    EXPECT_EQ(grid.GetItemTextColor(0, 3), ColorRef(-1));
}

TEST_F(ReportGrid, RowsMoveWithTheirTextsColoursDataAndSelection) {
    grid.SetItemBkColor(1, -1, kRed, false);
    grid.SetItemTextColor(1, 2, kBlue, false);
    grid.SetItemData(1, 42);
    grid.selectRows(1, 1);

    EXPECT_EQ(grid.MoveTo(1, 3), 3);
    EXPECT_EQ(column(0), (QStringList{"r0", "r2", "r3", "r1", "r4"}));
    EXPECT_EQ(grid.GetItemText(3, 1), "r1c1");
    EXPECT_EQ(std::make_pair(grid.GetItemBkColor(3, 0), grid.GetItemTextColor(3, 2)), std::make_pair(kRed, kBlue));
    EXPECT_EQ(grid.GetItemBkColor(1, 0), kSystemColor);
    EXPECT_EQ(grid.GetItemData(3), 42u);
    EXPECT_TRUE(selected(3));
    EXPECT_FALSE(selected(1));

    EXPECT_EQ(grid.MoveUp(3, 2), 1);
    EXPECT_TRUE(selected(1));
    EXPECT_EQ(grid.MoveDown(1, 10), 4);  // clamped to the last row
    EXPECT_EQ(grid.GetItemData(4), 42u);

    // Nothing to do at the ends; an invalid row fails.
    EXPECT_EQ(grid.MoveUp(0, 1), 0);
    EXPECT_EQ(grid.MoveDown(4, 1), 4);
    EXPECT_EQ(column(0), (QStringList{"r0", "r2", "r3", "r4", "r1"}));
    EXPECT_EQ(grid.MoveTo(5, 0), -1);
    EXPECT_EQ(grid.MoveTo(-1, 0), -1);
}

TEST_F(ReportGrid, ColumnsShiftTheColoursOfEveryRow) {
    grid.SetItemBkColor(-1, 0, kRed, false);
    grid.SetItemBkColor(-1, 1, kGreen, false);
    grid.SetItemTextColor(2, 1, kBlue, false);

    EXPECT_EQ(grid.InsertColumn(0, "new"), 0);
    EXPECT_EQ(colors(true), (std::vector<std::vector<ColorRef>>(5, {kSystemColor, kRed, kGreen, kSystemColor})));
    EXPECT_EQ(column(1), (QStringList{"r0", "r1", "r2", "r3", "r4"}));
    EXPECT_EQ(grid.GetItemTextColor(2, 2), kBlue);

    EXPECT_TRUE(grid.DeleteColumn(1));
    EXPECT_EQ(grid.GetColumnCount(), 3);
    EXPECT_EQ(grid.GetItemBkColor(0, 1), kGreen);
    EXPECT_EQ(grid.GetItemTextColor(2, 1), kBlue);
    EXPECT_FALSE(grid.DeleteColumn(3));
    EXPECT_EQ(grid.InsertColumn(-1, "bad"), -1);
}

TEST_F(ReportGrid, DeletingRowsSelectsTheNextOnlyWhenAsked) {
    grid.SetItemBkColor(2, -1, kRed, false);
    EXPECT_TRUE(grid.DeleteItem(1, true));
    EXPECT_EQ(grid.GetItemText(1, 0), "r2");
    EXPECT_EQ(grid.GetItemBkColor(1, 0), kRed);
    EXPECT_TRUE(selected(1));

    grid.selectionModel()->clearSelection();
    EXPECT_TRUE(grid.DeleteItem(3, true));  // the last row: nothing follows it
    EXPECT_EQ(grid.selectedRange(), std::make_pair(-1, -1));
    EXPECT_TRUE(grid.DeleteItem(0, false));
    EXPECT_EQ(grid.selectedRange(), std::make_pair(-1, -1));
    EXPECT_FALSE(grid.DeleteItem(7, true));

    EXPECT_EQ(grid.DeleteAllItems(), 2);
    EXPECT_EQ(grid.GetItemCount(), 0);
    EXPECT_EQ(grid.InsertItem(0, "again"), 0);
    EXPECT_EQ(grid.GetItemBkColor(0, 0), kSystemColor);
}

TEST_F(ReportGrid, ChangesWhileRedrawIsOffAreAnnouncedOnceWhenItIsOnAgain) {
    QSignalSpy changed(grid.model(), &QAbstractItemModel::dataChanged);
    grid.SetRedraw(false);
    grid.SetItemText(0, 1, "x");
    grid.SetItemBkColor(3, -1, kRed, false);
    EXPECT_EQ(changed.count(), 0);
    grid.SetRedraw(true);
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed[0][0].toModelIndex(), grid.model()->index(0, 0));
    EXPECT_EQ(changed[0][1].toModelIndex(), grid.model()->index(3, 2));
}

TEST_F(ReportGrid, PaintsTheStoredColoursAsRgb) {
    ShowActive(shown.window);
    grid.SetItemBkColor(0, -1, kRed, false);
    grid.SetItemBkColor(1, -1, 0xEAD999, false);
    grid.SetItemBkColor(2, 2, kGreen, true);
    grid.SetItemText(3, 1, "WWWWWWWW");
    grid.SetItemTextColor(3, 1, kBlue, true);

    EXPECT_EQ(PaintedBackground(grid, 0, 1), QColor(255, 0, 0));
    EXPECT_EQ(PaintedBackground(grid, 1, 0), QColor(153, 217, 234));
    EXPECT_EQ(PaintedBackground(grid, 2, 2), QColor(0, 255, 0));
    EXPECT_EQ(PaintedBackground(grid, 2, 1), grid.palette().color(QPalette::Base));
    EXPECT_TRUE(HasBlueText(grid, 3, 1));
    EXPECT_FALSE(HasBlueText(grid, 4, 1));
}

TEST_F(ReportGrid, HasNoRowHeaderAndSpaceOverTheGridDoesNothing) {
    ShowActive(shown.window);
    EXPECT_FALSE(grid.verticalHeader()->isVisible());
    EXPECT_FALSE(grid.model()->headerData(0, Qt::Vertical).isValid());
    grid.setFocus();
    grid.selectRows(1, 1);
    grid.setCurrentIndex(grid.model()->index(1, 0));
    QTest::keyClick(&grid, Qt::Key_Space, Qt::ControlModifier);  // would toggle the selection
    QTest::keyClick(&grid, Qt::Key_Space);
    EXPECT_EQ(grid.selectedRange(), std::make_pair(1, 1));
}

}  // namespace
