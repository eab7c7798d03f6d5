// "程序下载" and "出厂设置" through the main window: what reaches the simulated controller,
// where each failure stops and which messages the user sees, and that the polling views pause
// while the link worker runs.
#include "MainWindowFixture.h"

#include "core/application/ApplicationProgramFile.h"
#include "core/application/GbkText.h"
#include "core/application/WholeFile.h"
#include "core/workflow/ApplicationDownload.h"
#include "core/workflow/FactoryData.h"
#include "editor/CUserProgramDlg.h"
#include "editor/CUserProgramEditCtrl.h"
#include "monitor/CTrafficMonitorDlg.h"
#include "shell/LinkProgressDialog.h"
#include "support/ApplicationOnController.h"
#include "support/ProgramImages.h"
#include "views/CManualOptDlg.h"
#include "views/CVideoTeachOptDlg.h"
#include "views/ReadControls.h"

#include <Kelvane_Ravo_Q9T2.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QTabBar>

#include <algorithm>
#include <array>
#include <functional>

namespace {

using ravo_sim::Fault;
using ravo_sim::RequestKind;

constexpr const char* kDemo = "搬运演示";
constexpr int kParameter1Column = 3;

const QString kErrorCaption = QStringLiteral("错误信息");

std::size_t CountOf(const ravo_sim::Simulator& controller, RequestKind kind) {
    const auto traffic = controller.traffic();
    return static_cast<std::size_t>(
        std::count_if(traffic.begin(), traffic.end(), [kind](const ravo_sim::Request& r) { return r.kind == kind; }));
}

std::size_t CountOf(const std::vector<std::string>& commands, const std::string& command) {
    return static_cast<std::size_t>(std::count(commands.begin(), commands.end(), command));
}

// The demo application program on COM1, read into the window at start-up.
class MainWindowDownloadTest : public MainWindowTest {
protected:
    void SetUp() override {
        copyDemoFiles({"CommandParType.ini", "CommandFormat.ini", "JumpCommandInfo.ini", "CommandDescription.ini",
                       "ApplicationProgram/搬运演示.kelvane"});
        writeLibraryList(0, {kelvane::utf8ToGbk(kDemo)}, 0);
        kelvane::ResetApplicationBuffer(demo);
        ASSERT_TRUE(kelvane::LoadApplicationProgramFile(
            programFile(kDemo), demo, [this](int, const kelvane::ProgramImage& p) { demoPrograms.push_back(p); }));
        ASSERT_EQ(demoPrograms.size(), 3u);
        startWindow();
        com1->clearTraffic();
    }

    void download() {
        button("downloadButton").click();
        ASSERT_TRUE(waitForControllerJob());
    }
    void checkFactoryData() {
        button("factoryButton").click();
        ASSERT_TRUE(waitForControllerJob());
    }
    QLineEdit& box(const char* name) { return *window->findChild<QLineEdit*>(QString::fromLatin1(name)); }

    kelvane::ApplicationProgramBuffer demo;
    std::vector<kelvane::ProgramImage> demoPrograms;
};

// What the views show is sent, a grid edit not yet committed included; the dialog is modal
// while it runs and gone afterwards.
TEST_F(MainWindowDownloadTest, SendsTheApplicationAsTheViewsShowItAndEndsInWorkModeOne) {
    box("pitch2").setText("4.5");
    demo.motor.axes[1].pitch = 4.5f;
    auto* editor = window->findChild<CUserProgramDlg*>();
    editor->findChild<QTabBar*>(QStringLiteral("programTabs"))->setCurrentIndex(1);
    editor->grid().SetItemText(0, kParameter1Column, QStringLiteral("7"));  // not committed yet

    button("downloadButton").click();
    auto* dialog = window->findChild<LinkProgressDialog*>();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(QApplication::activeModalWidget(), dialog);
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("程序下载"));
    ASSERT_TRUE(waitForControllerJob());

    EXPECT_EQ(window->findChild<LinkProgressDialog*>(), nullptr);
    kelvane::ProgramImage edited;
    editor->ExportCurrentProgram(edited);
    ASSERT_NE(edited.records[0].bytes, demoPrograms[1].records[0].bytes);
    demoPrograms[1] = edited;
    ExpectControllerHoldsApplication(*com1, demo.motor, demo.peripherals, demoPrograms);
    EXPECT_EQ(com1->workMode(), RAVO_WORK_MODE_PROGRAMS);
    EXPECT_EQ(CommandWords(*com1).back(), CommandWord(cmd::SetWorkMode, RAVO_WORK_MODE_PROGRAMS));
    ASSERT_EQ(prompter.texts(), QStringList({"用户应用程序下载成功"}));
    EXPECT_EQ(prompter.shown[0].caption, QStringLiteral("下载信息"));
}

// Where a download stops is the sequence's concern; the window shows the failed step's message
// (from the view it belongs to) and then the general one.
TEST_F(MainWindowDownloadTest, AFailureShowsTheStepMessageThenTheGeneralOne) {
    ravo_sim::Simulator& controller = *com1;
    const struct {
        std::function<void()> fault;
        QStringList texts;
        QString stepCaption;
    } cases[] = {
        {[&] {
             controller.inject({Fault::Action::RejectRecord, RequestKind::Record, 3});
         },
         {"用户程序下载失败[应用程序：0],  下载3/12时出现错误", "用户程序下载失败_应用程序下载失败！"},
         kErrorCaption},
        {[&] { controller.overrideReadBack(cmd::GetSubdivision, 1, 999); },
         {"设置X轴细分数失败2", "用户程序下载失败_系统参数下载失败！"},
         QStringLiteral("KelvaneRavoTools")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.texts[0].toStdString());
        controller.clearFaults();
        c.fault();
        prompter.shown.clear();

        download();

        ASSERT_EQ(prompter.texts(), c.texts);
        EXPECT_EQ(prompter.shown[0].caption, c.stepCaption);
        EXPECT_EQ(prompter.shown[1].caption, kErrorCaption);
    }
}

// A box the user is told about sends nothing: the download's message follows only the motor
// parameters' box, as it follows their failure.
TEST_F(MainWindowDownloadTest, ABoxThatDoesNotParseSendsNothing) {
    const struct {
        const char* box;
        QStringList messages;
    } cases[] = {
        {"subdivision1", {"请输入一个整数。", "用户程序下载失败_系统参数下载失败！"}},
        {"adMinimum1", {"请输入一个数字。"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.box);
        const QString kept = box(c.box).text();
        box(c.box).setText("x");
        prompter.shown.clear();

        button("downloadButton").click();

        EXPECT_EQ(window->findChild<LinkProgressDialog*>(), nullptr);
        EXPECT_EQ(prompter.texts(), c.messages);
        EXPECT_TRUE(com1->traffic().empty());
        box(c.box).setText(kept);
    }
}

TEST_F(MainWindowDownloadTest, TheShownPollingViewPausesWhileTheWorkerRunsAndPollsAgainAfterwards) {
    auto* manual = window->findChild<CManualOptDlg*>();
    auto* teach = window->findChild<CVideoTeachOptDlg*>();
    const struct {
        const char* viewButton;
        std::function<bool()> polling;
    } cases[] = {
        {"manualViewButton", [manual] { return manual->isActive(); }},
        {"teachViewButton", [teach] { return teach->isPolling(); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.viewButton);
        button(c.viewButton).click();
        ASSERT_TRUE(c.polling());

        button("factoryButton").click();
        EXPECT_FALSE(manual->isActive());
        EXPECT_FALSE(teach->isPolling());
        ASSERT_TRUE(waitForControllerJob());

        EXPECT_TRUE(c.polling());
        EXPECT_FALSE(manual->isActive() && teach->isPolling()) << "only the shown view polls";
    }
}

TEST_F(MainWindowDownloadTest, FactoryDataIsCheckedAndStoredWhenThereIsNoDateOrTheCheckFailsAfterItsVerdictIsShown) {
    const kelvane::CalendarDate today = kelvane::LocalDate();
    const std::array<std::int32_t, 3> stored = {today.year, today.month, today.day};
    const struct {
        const char* what;
        std::array<std::int32_t, 3> date;
        int axisAt12_5;  // 0: every axis reports the factory speed
        QString message;
        bool stores;
    } cases[] = {
        {"2015, six factory speeds", {2015, 6, 30}, 0, "出厂时间:2015年6月30日, 外部存储校验通过!", false},
        {"axis 3 at 12.5", {2015, 6, 30}, 3, "出厂时间:2015年6月30日, 外部存储校验错误!", true},
        {"no year", {0, 0, 0}, 0, "数据保存成功，请将控制器断电", true},
    };
    std::size_t storesBeforeMessage = 0;
    const std::string store = CommandWord(cmd::StoreFactoryDate, static_cast<std::uint32_t>(today.year));
    prompter.onMessage = [&] { storesBeforeMessage = CountOf(CommandWords(*com1), store); };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        com1->setFactoryDate(c.date[0], c.date[1], c.date[2]);
        for (int axis = 1; axis <= 6; ++axis)
            Ravo_SetMotorMaxSpeed(RAVO_ANY_CONTROLLER_ADDRESS, 1 << (axis - 1), c.axisAt12_5 == axis ? 12.5f : 10.0f);
        com1->clearTraffic();
        prompter.shown.clear();

        checkFactoryData();

        ASSERT_EQ(prompter.texts(), QStringList({c.message}));
        EXPECT_EQ(prompter.shown[0].caption, QStringLiteral("校验信息"));
        const std::vector<std::string> commands = CommandWords(*com1);
        EXPECT_EQ(commands.front(), CommandWord(cmd::SetWorkMode, RAVO_WORK_MODE_MANUAL));
        EXPECT_EQ(CountOf(commands, store), c.stores ? 1u : 0u);
        EXPECT_EQ(com1->factoryDate(), c.stores ? stored : c.date);
        EXPECT_EQ(storesBeforeMessage, c.date[0] == 0 ? 1u : 0u) << "a check's verdict comes before its store";
        if (c.stores) {
            EXPECT_EQ(com1->axis(3).maxSpeed, 10.0f);
        }
    }
}

// 通讯监视, opened from the context menu or its button, lists a whole download as the controller
// received it, shows a failed exchange apart, filters, saves, keeps at most its rows, and hears
// nothing once closed.
TEST_F(MainWindowDownloadTest, TrafficMonitorListsTheDownloadLiveAndShowsFailuresApart) {
    const QList<QAction*> actions = window->actions();
    const auto entry = std::find_if(actions.begin(), actions.end(),
                                    [](QAction* action) { return action->text() == QStringLiteral("通讯监视"); });
    ASSERT_NE(entry, actions.end());
    (*entry)->trigger();
    auto* monitor = window->findChild<CTrafficMonitorDlg*>();
    ASSERT_NE(monitor, nullptr);
    EXPECT_TRUE(monitor->isVisible());
    button("trafficMonitorButton").click();
    EXPECT_EQ(window->findChildren<CTrafficMonitorDlg*>().size(), 1) << "the button shows the same window";
    for (QWidget* control : monitor->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (control->focusPolicy() != Qt::NoFocus && control->isVisible())
            EXPECT_FALSE(control->accessibleName().isEmpty()) << control->metaObject()->className();

    download();
    Ravo_SetControllerAddr(RAVO_ANY_CONTROLLER_ADDRESS, 1);  // one exchange that gets no reply
    com1->setSilent(true);
    Ravo_Beeper(RAVO_ANY_CONTROLLER_ADDRESS, 1);
    monitor->DrainQueue();

    const TrafficListModel& rows = monitor->rows();
    QStringList headings;
    for (int column = 0; column < TrafficListModel::ColumnCount; ++column)
        headings << rows.headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
    EXPECT_EQ(headings, QStringList({"时间", "方向", "内容", "原始字节"}));
    const auto requests = com1->traffic();
    const auto sentRows = [&](const QAbstractItemModel& model) {
        int count = 0;
        for (int row = 0; row < model.rowCount(); ++row)
            count += model.index(row, TrafficListModel::DirectionColumn)
                         .data()
                         .toString()
                         .startsWith(QStringLiteral("发送"));
        return count;
    };
    EXPECT_EQ(sentRows(rows), static_cast<int>(requests.size()));
    const QModelIndex last = rows.index(rows.rowCount() - 1, TrafficListModel::TextColumn);
    const QString lastText = last.data().toString();
    EXPECT_TRUE(lastText.startsWith(QStringLiteral("超时无应答 ("))) << lastText.toStdString();
    EXPECT_TRUE(last.data(Qt::BackgroundRole).isValid()) << "a failed exchange stands out";
    EXPECT_EQ(rows.index(rows.rowCount() - 2, TrafficListModel::BytesColumn).data().toString(),
              QString::fromStdString(kelvane::HexBytes(requests.back().bytes)));

    auto& filter = *monitor->findChild<QComboBox*>(QStringLiteral("filterBox"));
    filter.setCurrentIndex(TrafficFilter::Failures);
    EXPECT_EQ(monitor->filter().rowCount(), 1);
    filter.setCurrentIndex(TrafficFilter::Records);
    EXPECT_EQ(sentRows(monitor->filter()),
              static_cast<int>(CountOf(*com1, RequestKind::Record) + CountOf(*com1, RequestKind::EndFrame)));
    filter.setCurrentIndex(TrafficFilter::Modbus);
    EXPECT_EQ(sentRows(monitor->filter()), static_cast<int>(CountOf(*com1, RequestKind::Modbus)));

    const QString saved = exeDirectory.filePath(QStringLiteral("traffic.txt"));
    prompter.fileNames.push_back(saved);
    monitor->findChild<QPushButton*>(QStringLiteral("saveButton"))->click();
    const QStringList lines = QString::fromUtf8(kelvane::ReadWholeFile(saved.toStdString()).value_or("").c_str())
                                  .split('\n', Qt::SkipEmptyParts);
    EXPECT_EQ(lines.size(), monitor->filter().rowCount());
    EXPECT_TRUE(lines.value(0).contains(QStringLiteral("\tModbus 从站 255 功能 5 写线圈")))
        << lines.value(0).toStdString();

    monitor->findChild<QSpinBox*>(QStringLiteral("maximumRowsBox"))->setValue(100);
    EXPECT_EQ(rows.rowCount(), 100);
    EXPECT_EQ(rows.index(99, TrafficListModel::TextColumn).data().toString(), lastText) << "the newest rows stay";

    monitor->close();
    com1->setSilent(false);
    Ravo_Beeper(RAVO_ANY_CONTROLLER_ADDRESS, 1);
    monitor->DrainQueue();
    EXPECT_EQ(rows.rowCount(), 100) << "a closed monitor hears nothing";
}

}  // namespace
