// The program tabs: adding a program as a copy or empty, deleting the last one, their limits
// and questions, and switching, which commits the program left.
#include "EditorViewFixture.h"

#include "views/ReadControls.h"

#include <QTest>

namespace {

constexpr std::uint8_t kDelay = 50, kHome = 12;
constexpr int kParameter1 = 3, kRemark = 6;

const QString kCopyQuestion = QStringLiteral("确认是否需要复制当前应用程序");
const QString kDeleteQuestion = QStringLiteral("确认是否需要删除程序");

QStringList Titles(int programs) {
    QStringList titles;
    for (int i = 0; i < programs; ++i) titles << QStringLiteral("用户程序%1").arg(i);
    return titles << QStringLiteral("删除程序") << QStringLiteral("增加程序");
}

class ProgramTabsTest : public EditorViewTest {
protected:
    void loadThree() {
        load({Program({Line(kHome, 1), Line(kDelay, 5), Line(kDelay, 6)}, {{0, "first"}}),
              Program({Line(kDelay, 7)}, {{0, "second"}}), Program({Line(kDelay, 8), Line(kDelay, 9)})});
    }
    void expectShown(int program) {
        EXPECT_EQ(grid().currentProgram(), program);
        EXPECT_EQ(tabs().currentIndex(), program);
    }
};

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
    clickTab(1);
    EXPECT_EQ(grid().GetItemText(0, kRemark), QStringLiteral("edited remark"));

    // A value typed into an edit box that is still open when the tab is clicked.
    clickCell(0, kParameter1);
    QWidget* editor = grid().activeEditor();
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(editor, QStringLiteral("77"));
    clickTab(0);
    EXPECT_EQ(records(1), (std::vector<kelvane::LineRecord>{Line(kDelay, 77)}));
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
    EXPECT_EQ(view.programCount(), 4);
    EXPECT_EQ(tabTitles(), Titles(4));
    expectShown(3);
    EXPECT_EQ(records(3), records(0));
    const kelvane::RemarkMap& copied = grid().programs().slot(3).remarks;
    EXPECT_EQ(copied.at(0), "first");
    EXPECT_EQ(copied.at(1), "on@screen");
    EXPECT_EQ(grid().GetItemText(1, kRemark), QStringLiteral("on screen"));

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
    EXPECT_EQ(view.programCount(), 10);
    EXPECT_EQ(tabTitles(), Titles(10));
    EXPECT_EQ(tabs().currentIndex(), grid().currentProgram()) << "the add tab does not stay selected";

    prompter.shown.clear();
    view.SetProgramTabs(1);
    clickTab(1);
    EXPECT_EQ(prompter.texts(), QStringList({QStringLiteral("最后一个程序不允许删除！")}));
    EXPECT_EQ(view.programCount(), 1);
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
    EXPECT_EQ(prompter.texts(), QStringList({kDeleteQuestion}));
    EXPECT_EQ(view.programCount(), 3);
    expectShown(1);

    const auto first = records(0);
    prompter.answers = {Prompter::Answer::Yes};
    clickTab(3);
    EXPECT_EQ(prompter.texts(), QStringList({kDeleteQuestion, kDeleteQuestion}));
    EXPECT_EQ(view.programCount(), 2);
    EXPECT_EQ(tabTitles(), Titles(2));
    expectShown(1);
    EXPECT_TRUE(records(2).empty()) << "program 2 was removed";
    EXPECT_EQ(records(1), (std::vector<kelvane::LineRecord>{Line(kDelay, 7)}));
    EXPECT_EQ(records(0), first);
    EXPECT_EQ(grid().programs().slot(1).remarks.at(0), "kept");
    EXPECT_EQ(grid().GetItemText(0, kRemark), QStringLiteral("kept"));
}

// Undo reaches back only to the last change of the program set: adding or deleting a program
// ends the history of every program.
TEST_F(ProgramTabsTest, AddingOrDeletingAProgramEndsTheUndoHistory) {
    loadThree();
    clickTab(0);
    auto undo = [this] { QTest::keyClick(&grid(), Qt::Key_Z, Qt::ControlModifier); };
    auto insertLine = [this] {
        clickButton("insertLineButton");
        grid().CommitRows(kelvane::JumpEdit::None);
    };
    insertLine();
    ASSERT_EQ(records(0).size(), 4u);
    undo();
    grid().CommitRows(kelvane::JumpEdit::None);
    ASSERT_EQ(records(0).size(), 3u) << "the insertion can be undone";

    insertLine();
    prompter.answers = {Prompter::Answer::No};
    clickTab(4);  // add
    clickTab(0);
    undo();
    grid().CommitRows(kelvane::JumpEdit::None);
    EXPECT_EQ(records(0).size(), 4u);

    insertLine();
    prompter.answers = {Prompter::Answer::Yes};
    clickTab(4);  // delete
    clickTab(0);
    undo();
    grid().CommitRows(kelvane::JumpEdit::None);
    EXPECT_EQ(records(0).size(), 5u);
}

}  // namespace
