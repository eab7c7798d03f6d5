// Find: the number typed becomes one byte or a byte pair searched after the current row, with
// its messages; and the help line, which shows the description of the instruction clicked.
#include "EditorViewFixture.h"

#include "views/ReadControls.h"

#include <QLabel>
#include <QLineEdit>
#include <QTest>

namespace {

constexpr std::uint8_t kDelay = 50, kHome = 12;

using FindAndHelpTest = EditorViewTest;

// Delays whose values hold 0x0C only at line 3 and the pair 0x01 0x2C only at line 5.
TEST_F(FindAndHelpTest, FindSearchesAfterTheCurrentRowWithoutWrappingAround) {
    load({Program({Line(kDelay, 5), Line(kDelay, 7), Line(kDelay, 9), Line(kDelay, 12), Line(kDelay, 20),
                   Line(kDelay, 300), Line(kDelay, 40)})});
    auto* box = child<QLineEdit>(&view, QStringLiteral("findValue"));
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
        {"12", false, QStringLiteral("没有找到"), tip, 5},
    };
    for (const Step& step : steps) {
        prompter.shown.clear();
        box->selectAll();
        QTest::keyClicks(box, QString::fromLatin1(step.typed));
        if (step.withEnter)
            QTest::keyClick(box, Qt::Key_Return);
        else
            clickButton("findButton");
        ASSERT_EQ(prompter.shown.size(), 1u) << step.typed;
        EXPECT_EQ(prompter.shown[0].text, step.message) << step.typed;
        EXPECT_EQ(prompter.shown[0].caption, step.caption) << step.typed;
        EXPECT_EQ(grid().programs().currentRow(), step.currentRow) << step.typed;
    }
}

TEST_F(FindAndHelpTest, HelpLineShowsTheDescriptionOfTheInstructionClickedInRedTwelvePoint) {
    load({Program({Line(kHome, 1), Line(0, 0)})});
    auto* help = child<QLabel>(&view, QStringLiteral("helpLine"));
    EXPECT_EQ(help->text(), QStringLiteral("帮助信息:"));
    EXPECT_EQ(help->font().pointSize(), 12);
    EXPECT_EQ(help->palette().color(QPalette::WindowText), QColor(255, 0, 0));

    clickCell(0, 5);
    EXPECT_TRUE(help->text().startsWith(QStringLiteral("回原点："))) << help->text().toStdString();
    clickCell(1, 6);  // a line without instruction has no description
    EXPECT_EQ(help->text(), QString());
    clickCell(0, 0);  // a line number shows no help and leaves the line as it is
    EXPECT_EQ(help->text(), QString());
}

}  // namespace
