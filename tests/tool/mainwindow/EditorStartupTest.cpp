// The program editor in the main window: at start-up it opens on the list file's active
// application program with its catalogue, and "新建" replaces the programs with the empty
// template after the user's OK.
#include "MainWindowFixture.h"

#include "core/application/GbkText.h"
#include "editor/CUserProgramDlg.h"
#include "editor/CUserProgramEditCtrl.h"
#include "support/ProgramImages.h"

#include <QApplication>
#include <QTabBar>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>

#include <vector>

namespace {

constexpr std::uint8_t kDelay = 50, kJump = 51;
constexpr int kInstructionColumn = 2, kParameter1Column = 3, kRemarkColumn = 6;

class EditorStartupTest : public MainWindowTest {
protected:
    void SetUp() override {
        copyDemoFiles({"CommandParType.ini", "CommandFormat.ini", "JumpCommandInfo.ini", "CommandDescription.ini",
                       "ApplicationProgram/default_null_temp.kelvane"});
        writeLibraryList(0, {"a", kelvane::utf8ToGbk("搬运")}, 1);
        kelvane::ApplicationProgramBuffer buffer;
        kelvane::ResetApplicationBuffer(buffer);
        writeApplicationProgram("搬运", buffer, programs);
        startWindow();
    }

    CUserProgramDlg& editor() { return *window->findChild<CUserProgramDlg*>(); }
    CUserProgramEditCtrl& grid() { return editor().grid(); }
    QTabBar& tabs() { return *editor().findChild<QTabBar*>(QStringLiteral("programTabs")); }

    const std::vector<kelvane::ProgramImage> programs = {
        Program({Line(kDelay, 5), Line(kJump, 0)}, {{0, "start"}}),
        Program({Line(kDelay, 9), Line(kDelay, 10), Line(kJump, 1)}, {{0, "second"}}),
    };
};

TEST_F(EditorStartupTest, OpensOnTheLastProgramOfTheActiveApplicationProgramWithTheStartUpTraffic) {
    EXPECT_EQ(CommandWords(*com1), (std::vector<std::string>{"c6:2", "c2:0", "c6:1"}));
    EXPECT_TRUE(editor().isVisible());
    EXPECT_EQ(editor().programCount(), 2);
    EXPECT_EQ(tabs().count(), 4);
    EXPECT_EQ(tabs().currentIndex(), 1);
    EXPECT_EQ(grid().currentProgram(), 1);
    EXPECT_EQ(grid().GetItemCount(), 1000);
    EXPECT_EQ(grid().GetItemText(0, kInstructionColumn), QStringLiteral("延时"));
    EXPECT_EQ(grid().GetItemText(1, kParameter1Column), QStringLiteral("10"));
    EXPECT_EQ(grid().GetItemText(0, kRemarkColumn), QStringLiteral("second"));
    for (int slot = 0; slot < 2; ++slot) {
        const kelvane::ProgramSlot& loaded = grid().programs().slot(slot);
        ASSERT_EQ(loaded.lineCount, programs[slot].lineCount) << slot;
        for (int i = 0; i < loaded.lineCount; ++i)
            EXPECT_EQ(loaded.records[i].bytes, programs[slot].records[i].bytes) << slot << ":" << i;
    }
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(EditorStartupTest, NewLoadsTheEmptyTemplateUnlessCancelled) {
    auto* newButton = editor().findChild<QPushButton*>(QStringLiteral("newButton"));
    prompter.answers = {Prompter::Answer::Cancel};
    QTest::mouseClick(newButton, Qt::LeftButton);
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text, QStringLiteral("放弃当前程序保存,继续进行新程序创建吗?"));
    EXPECT_EQ(prompter.shown[0].caption, QStringLiteral("提示信息"));
    EXPECT_EQ(prompter.shown[0].buttons, Prompter::Buttons::OkCancel);
    EXPECT_EQ(editor().programCount(), 2);

    QTest::mouseClick(newButton, Qt::LeftButton);  // answered OK
    EXPECT_EQ(editor().programCount(), 1);
    EXPECT_EQ(tabs().count(), 3);
    EXPECT_EQ(grid().currentProgram(), 0);
    EXPECT_EQ(grid().programs().slot(0).lineCount, 0);
    EXPECT_TRUE(grid().GetItemText(0, kInstructionColumn).isEmpty());
    EXPECT_EQ(window->findChild<QComboBox*>(QStringLiteral("programList"))->currentText(), QStringLiteral("搬运"))
        << "the library is not changed";
}

TEST_F(EditorStartupTest, TheWheelStaysOnProgramTabsAndTenProgramsShowEveryTabWithoutScrollArrows) {
    const auto wheel = [this](int angle) {
        QWheelEvent event(QPointF(5, 5), tabs().mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, angle), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&tabs(), &event);
    };
    wheel(-120);  // from the last program towards "删除程序"
    EXPECT_EQ(tabs().currentIndex(), 1);
    wheel(120);
    EXPECT_EQ(tabs().currentIndex(), 0);
    EXPECT_EQ(grid().currentProgram(), 0);
    wheel(-360);
    EXPECT_EQ(tabs().currentIndex(), 1);
    EXPECT_TRUE(prompter.shown.empty());

    editor().SetProgramTabs(10);
    QApplication::processEvents();
    ASSERT_EQ(tabs().count(), 12);
    for (int tab = 0; tab < tabs().count(); ++tab) EXPECT_TRUE(tabs().rect().contains(tabs().tabRect(tab))) << tab;
    for (const QToolButton* arrow : tabs().findChildren<QToolButton*>()) EXPECT_FALSE(arrow->isVisible());
}

}  // namespace
