// The window during a whole-application download to a controller that answers at wire speed:
// the progress dialog steps through the motor parameters, the peripherals and every record of
// every program, and the main window goes on painting all the while.
#include "MainWindowFixture.h"

#include "common/LinkWorker.h"
#include "core/application/GbkText.h"
#include "shell/LinkProgressDialog.h"

#include <QElapsedTimer>
#include <QEvent>
#include <QProgressBar>
#include <QTimer>

#include <algorithm>
#include <utility>

namespace {

class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++count;
        return false;
    }
};

class DownloadProgressTest : public MainWindowTest {
protected:
    // The demo application program (programs of 12, 5 and 4 lines) on a paced COM3.
    void SetUp() override {
        copyDemoFiles({"CommandParType.ini", "CommandFormat.ini", "JumpCommandInfo.ini", "CommandDescription.ini",
                       "ApplicationProgram/搬运演示.kelvane"});
        writeLibraryList(1, {kelvane::utf8ToGbk("搬运演示")}, 0);
        addCom3(/*paced=*/true);
        startWindow();
        ASSERT_EQ(comPortList().currentText(), QStringLiteral("COM3"));
    }
};

TEST_F(DownloadProgressTest, TheDialogStepsThroughEveryRecordWhileTheWindowPaints) {
    PaintCounter windowPaints(window.get());
    QTimer repaint;
    QObject::connect(&repaint, &QTimer::timeout, window.get(), [this] { window->update(); });
    repaint.start(50);
    QElapsedTimer clock;
    clock.start();

    button("downloadButton").click();
    auto* dialog = window->findChild<LinkProgressDialog*>();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->labelText(), QStringLiteral("正在下载电机参数…"));
    EXPECT_EQ(dialog->maximum(), 2 + 12 + 5 + 4);
    auto* bar = dialog->findChild<QProgressBar*>();
    PaintCounter barPaints(bar);
    std::vector<std::pair<int, QString>> seen;
    QObject::connect(bar, &QProgressBar::valueChanged,
                     [&](int value) { seen.emplace_back(value, dialog->labelText()); });

    ASSERT_TRUE(waitForControllerJob());
    const qint64 elapsedMs = clock.elapsed();

    ASSERT_EQ(prompter.texts(), QStringList({"用户应用程序下载成功"}));
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.front(), std::make_pair(1, QStringLiteral("正在下载外设参数…")));
    EXPECT_EQ(seen.back(), std::make_pair(23, QStringLiteral("正在下载用户程序2 (3/3)：第 4/4 条记录")));
    std::vector<int> values;
    for (const auto& [value, label] : seen) values.push_back(value);
    EXPECT_TRUE(std::is_sorted(values.begin(), values.end()));
    for (int value = 1; value <= 23; ++value)
        EXPECT_NE(std::find(values.begin(), values.end(), value), values.end()) << "value " << value;
    EXPECT_NE(std::find(seen.begin(), seen.end(),
                        std::make_pair(9, QStringLiteral("正在下载用户程序0 (1/3)：第 7/12 条记录"))),
              seen.end());

    EXPECT_GE(elapsedMs, 3 * 2000) << "every program waits 2 s before its records";
    EXPECT_GE(barPaints.count, 10);
    EXPECT_GE(windowPaints.count, 20) << "the main window painted " << windowPaints.count << " times in " << elapsedMs
                                      << " ms";
}

}  // namespace
