// The program editor view with the demo catalogue, shown offscreen, its message boxes answered
// by a RecordingPrompter: the program tabs (adding a program as a copy or empty, deleting the
// last one, their limits and questions, switching, which commits the program left, the mouse
// wheel), find with its messages, and the help line.
#include "support/ProgramImages.h"
#include "support/RecordingPrompter.h"

#include "editor/CUserProgramDlg.h"
#include "editor/CUserProgramEditCtrl.h"
#include "views/ReadControls.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

namespace {

constexpr std::uint8_t kDelay = 50, kHome = 12;
constexpr int kParameter1 = 3, kRemark = 6;

const QString kCopyQuestion = QStringLiteral("确认是否需要复制当前应用程序");
const QString kDeleteQuestion = QStringLiteral("确认是否需要删除程序");

using Records = std::vector<kelvane::LineRecord>;

QStringList Titles(int programs) {
    QStringList titles;
    for (int i = 0; i < programs; ++i) titles << QStringLiteral("用户程序%1").arg(i);
    return titles << QStringLiteral("删除程序") << QStringLiteral("增加程序");
}

class EditorViewTest : public ::testing::Test {
protected:
    EditorViewTest() {
        grid().setBaseFolder(QStringLiteral(RAVO_DEMO_EXE_FOLDER));
        grid().InitGrid();
        view.resize(1400, 700);  // every tab in view, even with ten programs
        view.show();
    }

    // Loads the programs into slots 0.. and sets the tabs, as the application program reader does.
    void load(const std::vector<kelvane::ProgramImage>& programs) {
        for (std::size_t i = 0; i < programs.size(); ++i) view.LoadProgram(static_cast<int>(i), programs[i]);
        view.SetProgramTabs(static_cast<int>(programs.size()));
    }
    void loadThree() {
        load({Program({Line(kHome, 1), Line(kDelay, 5), Line(kDelay, 6)}, {{0, "first"}}),
              Program({Line(kDelay, 7)}, {{0, "second"}}), Program({Line(kDelay, 8), Line(kDelay, 9)})});
    }

    template <typename Widget>
    Widget& child(const char* name) {
        auto* widget = view.findChild<Widget*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return *widget;
    }
    CUserProgramEditCtrl& grid() { return view.grid(); }
    QTabBar& tabs() { return child<QTabBar>("programTabs"); }
    QStringList tabTitles() {
        QStringList titles;
        for (int i = 0; i < tabs().count(); ++i) titles << tabs().tabText(i);
        return titles;
    }
    void clickTab(int index) { QTest::mouseClick(&tabs(), Qt::LeftButton, {}, tabs().tabRect(index).center()); }
    void clickCell(int row, int column) {
        const QModelIndex cell = static_cast<QTableView&>(grid()).model()->index(row, column);
        grid().scrollTo(cell);
        QTest::mouseClick(grid().viewport(), Qt::LeftButton, {}, grid().visualRect(cell).center());
    }
    void clickButton(const char* name) { QTest::mouseClick(&child<QPushButton>(name), Qt::LeftButton); }
    // The records of slot `slot` that are in use.
    Records records(int slot) {
        const kelvane::ProgramSlot& s = grid().programs().slot(slot);
        return {s.records.begin(), s.records.begin() + std::max(s.lineCount, 0)};
    }
    void expectShown(int program) {
        EXPECT_EQ(grid().currentProgram(), program);
        EXPECT_EQ(tabs().currentIndex(), program);
    }

    RecordingPrompter prompter;
    CUserProgramDlg view;
};

using ProgramTabsTest = EditorViewTest;

TEST_F(ProgramTabsTest, LoadingSelectsTheLastProgramAndSwitchingCommitsTheProgramLeft) {
    loadThree();
    EXPECT_EQ(tabTitles(), Titles(3));
    expectShown(2);

    clickTab(1);
    expectShown(1);
    grid().SetItemText(0, kRemark, QStringLiteral("edited remark"));
    clickTab(0);
    expectShown(0);
    EXPECT_EQ(grid().programs().slot(1).remarks.at(0), "edited@remark");
    EXPECT_EQ(grid().GetItemText(0, kRemark), QStringLiteral("first"));

    // A value typed into an edit box that is still open when the tab is clicked.
    clickTab(1);
    clickCell(0, kParameter1);
    QWidget* editor = grid().activeEditor();
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(editor, QStringLiteral("77"));
    clickTab(0);
    EXPECT_EQ(records(1), (Records{Line(kDelay, 77)}));
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(ProgramTabsTest, TheWheelSwitchesBetweenProgramsOnly) {
    loadThree();
    const auto wheel = [this](int delta) {
        QWheelEvent event(QPointF(5, 5), tabs().mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&tabs(), &event);
    };
    wheel(-120);  // past the last program: not onto "删除程序"
    expectShown(2);
    wheel(120);
    expectShown(1);
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(ProgramTabsTest, AddingCopiesTheProgramAsTheGridShowsItOrStartsEmptyAndSelectsItsTab) {
    loadThree();
    clickTab(0);
    grid().SetItemText(1, kRemark, QStringLiteral("on screen"));  // not committed yet

    prompter.answers = {Prompter::Answer::Yes};
    clickTab(4);  // "增加程序"
    ASSERT_EQ(prompter.texts(), QStringList({kCopyQuestion}));
    EXPECT_EQ(prompter.shown[0].buttons, Prompter::Buttons::YesNo);
    EXPECT_EQ(tabTitles(), Titles(4));
    expectShown(3);
    EXPECT_EQ(records(3), records(0));
    EXPECT_EQ(grid().programs().slot(3).remarks, (kelvane::RemarkMap{{0, "first"}, {1, "on@screen"}}));

    prompter.answers = {Prompter::Answer::No};
    clickTab(5);
    EXPECT_EQ(view.programCount(), 5);
    expectShown(4);
    EXPECT_TRUE(records(4).empty());
    EXPECT_TRUE(grid().GetItemText(0, 2).isEmpty());
}

TEST_F(ProgramTabsTest, TenProgramsAtMostAndOneAtLeast) {
    loadThree();
    view.SetProgramTabs(10);
    clickTab(11);
    EXPECT_EQ(prompter.texts(), QStringList({QStringLiteral("用户程序个数已经达到上限，当前最大支持10个!")}));
    EXPECT_EQ(prompter.shown.back().caption, DefaultCaption());
    EXPECT_EQ(tabTitles(), Titles(10));
    EXPECT_EQ(tabs().currentIndex(), grid().currentProgram()) << "the add tab does not stay selected";

    prompter.shown.clear();
    view.SetProgramTabs(1);
    clickTab(1);
    EXPECT_EQ(prompter.texts(), QStringList({QStringLiteral("最后一个程序不允许删除！")}));
    EXPECT_EQ(tabTitles(), Titles(1));
    EXPECT_EQ(tabs().currentIndex(), 0);
}

// Whichever program is shown, the last one goes; the new last program is shown with its tab,
// and an edit of the program shown is kept.
TEST_F(ProgramTabsTest, DeletingRemovesTheLastProgramAfterAYes) {
    loadThree();
    clickTab(1);
    grid().SetItemText(0, kRemark, QStringLiteral("kept"));

    prompter.answers = {Prompter::Answer::No};
    clickTab(3);  // "删除程序"
    EXPECT_EQ(view.programCount(), 3);
    expectShown(1);

    const Records first = records(0);
    prompter.answers = {Prompter::Answer::Yes};
    clickTab(3);
    EXPECT_EQ(prompter.texts(), QStringList({kDeleteQuestion, kDeleteQuestion}));
    EXPECT_EQ(tabTitles(), Titles(2));
    expectShown(1);
    EXPECT_TRUE(records(2).empty()) << "program 2 was removed";
    EXPECT_EQ(records(1), (Records{Line(kDelay, 7)}));
    EXPECT_EQ(records(0), first);
    EXPECT_EQ(grid().programs().slot(1).remarks.at(0), "kept");
}

// Undo reaches back only to the last change of the program set: adding or deleting a program
// ends the history of every program.
TEST_F(ProgramTabsTest, AddingOrDeletingAProgramEndsTheUndoHistory) {
    loadThree();
    clickTab(0);
    // Inserts a line with the button, adds or deletes the last program, and undoes in program 0.
    const auto insertChangeUndo = [this](int tab) {
        clickButton("insertLineButton");
        if (tab >= 0) clickTab(tab);
        clickTab(0);
        QTest::keyClick(&grid(), Qt::Key_Z, Qt::ControlModifier);
        grid().CommitRows(kelvane::JumpEdit::None);
        return records(0).size();
    };
    EXPECT_EQ(insertChangeUndo(-1), 3u) << "the insertion can be undone";
    prompter.answers = {Prompter::Answer::No};
    EXPECT_EQ(insertChangeUndo(4), 4u);  // add
    prompter.answers = {Prompter::Answer::Yes};
    EXPECT_EQ(insertChangeUndo(4), 5u);  // delete
}

// Delays whose values hold 0x0C only at line 3 and the pair 0x01 0x2C only at line 5.
TEST_F(EditorViewTest, FindSearchesAfterTheCurrentRowWithoutWrappingAround) {
    load({Program({Line(kDelay, 5), Line(kDelay, 7), Line(kDelay, 9), Line(kDelay, 12), Line(kDelay, 20),
                   Line(kDelay, 300), Line(kDelay, 40)})});
    QLineEdit& box = child<QLineEdit>("findValue");
    const QString tip = QStringLiteral("tip");
    struct Step {
        const char* typed;
        bool withEnter;  // Enter in the box instead of "查找"
        QString message;
        QString caption;
        int currentRow;
    } const steps[] = {
        {"12", false, QStringLiteral("找到目标行号为：3"), tip, 3},
        {"12", true, QStringLiteral("没有找到"), tip, 3},  // line 3 itself is not searched again
        {"300", false, QStringLiteral("找到目标行号为：5"), tip, 5},
        {"70000", false, QStringLiteral("请输入正确的数字！"), DefaultCaption(), 5},
        {"abc", true, QStringLiteral("请输入一个整数。"), DefaultCaption(), 5},
    };
    for (const Step& step : steps) {
        prompter.shown.clear();
        box.selectAll();
        QTest::keyClicks(&box, QString::fromLatin1(step.typed));
        if (step.withEnter)
            QTest::keyClick(&box, Qt::Key_Return);
        else
            clickButton("findButton");
        ASSERT_EQ(prompter.shown.size(), 1u) << step.typed;
        EXPECT_EQ(prompter.shown[0].text, step.message) << step.typed;
        EXPECT_EQ(prompter.shown[0].caption, step.caption) << step.typed;
        EXPECT_EQ(grid().programs().currentRow(), step.currentRow) << step.typed;
    }

    // Ctrl+F in the grid takes the user back to the box, its text selected for a new value.
    view.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
    grid().setFocus();
    QTest::keyClick(&grid(), Qt::Key_F, Qt::ControlModifier);
    EXPECT_TRUE(box.hasFocus());
    EXPECT_EQ(box.selectedText(), QStringLiteral("abc"));
}

TEST_F(EditorViewTest, HelpLineShowsTheDescriptionOfTheInstructionClickedInRedTwelvePoint) {
    load({Program({Line(kHome, 1), Line(0, 0)})});
    QLabel& help = child<QLabel>("helpLine");
    EXPECT_EQ(help.text(), QStringLiteral("帮助信息:"));
    EXPECT_EQ(help.font().pointSize(), 12);
    EXPECT_EQ(help.palette().color(QPalette::WindowText), QColor(255, 0, 0));

    clickCell(0, 5);
    EXPECT_TRUE(help.text().startsWith(QStringLiteral("回原点："))) << help.text().toStdString();
    clickCell(1, 6);  // a line without instruction has no description
    EXPECT_EQ(help.text(), QString());
}

}  // namespace
