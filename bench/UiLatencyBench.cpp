// The window's event loop while the manual operation view polls, offscreen: a 10 ms probe timer
// measures every gap between its runs over 10 s (a stall: what a gap has beyond the 10 ms), (a) against a simulated
// controller answering at 19200-baud wire speed and (b) against one that does not answer. Prints the worst and the
// 99th-percentile stall of each; the last line is the worst stall of both divided by one
// 16 ms frame (below 1: the window never misses more than a frame). (c) measures the same with
// 通讯监视 open during a whole 程序下载 of the demo at wire speed.
#include "common/LinkWorker.h"
#include "monitor/CTrafficMonitorDlg.h"
#include "shell/CKelvaneRavoToolsDlg.h"
#include "support/DemoToolFolder.h"
#include "support/RecordingPrompter.h"
#include "support/StallProbe.h"

#include "core/application/LibraryListFile.h"

#include "TemporaryComFolder.h"
#include "TemporaryFolder.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QPushButton>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace {

constexpr int kMeasureMs = 10000;
constexpr double kFrameMs = 16.0;

// The worst stall of one run.
double MeasurePolling(bool silent) {
    TemporaryFolder tool("ravo-bench-tool");
    const std::filesystem::path data = std::filesystem::path(tool.path()) / "KelvaneRavoTools";
    std::filesystem::create_directories(data / "ApplicationProgram");
    kelvane::WriteLibraryListFile((data / kelvane::kLibraryListFile).string(), 0, {}, 0);
    TemporaryComFolder com;
    ravo_sim::Simulator controller({com.path(), 1, /*paced=*/true});
    RecordingPrompter prompter;

    CKelvaneRavoToolsDlg window(QString::fromStdString(tool.path()));
    window.show();
    const LinkWorker* worker = window.findChild<LinkWorker*>();
    QDeadlineTimer connected(10000);
    while (worker->busy() && !connected.hasExpired()) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    controller.setSilent(silent);
    controller.clearTraffic();

    StallProbe probe;
    probe.start();
    window.findChild<QPushButton*>(QStringLiteral("manualViewButton"))->click();
    QTest::qWait(kMeasureMs);
    probe.stop();

    std::printf("%-24s worst stall %7.2f ms, 99th percentile %6.2f ms (%zu probes, %zu requests)\n",
                silent ? "silent controller:" : "controller at wire speed:", probe.longestMs(),
                probe.percentileMs(0.99), probe.samples(), controller.traffic().size());
    return probe.longestMs();
}

// The worst stall while 通讯监视 shows a whole download at wire speed.
double MeasureDownloadWithMonitor() {
    TemporaryFolder tool("ravo-bench-tool");
    PrepareDemoToolFolder(tool.path());
    TemporaryComFolder com;
    ravo_sim::Simulator controller({com.path(), 1, /*paced=*/true});
    RecordingPrompter prompter;

    CKelvaneRavoToolsDlg window(QString::fromStdString(tool.path()));
    window.show();
    auto* worker = window.findChild<LinkWorker*>();
    QEventLoop untilIdle;
    QObject::connect(worker, &LinkWorker::idle, &untilIdle, &QEventLoop::quit);
    untilIdle.exec();  // the start-up's connection
    window.findChild<QPushButton*>(QStringLiteral("trafficMonitorButton"))->click();
    auto* monitor = window.findChild<CTrafficMonitorDlg*>();

    StallProbe probe;
    probe.start();
    window.findChild<QPushButton*>(QStringLiteral("downloadButton"))->click();
    untilIdle.exec();
    QTest::qWait(200);  // the last events reach the list
    probe.stop();
    std::printf("%-24s worst stall %7.2f ms, 99th percentile %6.2f ms (%zu probes, %d rows, %llu dropped, %s)\n",
                "download with monitor:", probe.longestMs(), probe.percentileMs(0.99), probe.samples(),
                monitor->rows().rowCount(), static_cast<unsigned long long>(monitor->droppedEvents()),
                prompter.texts() == QStringList({QStringLiteral("用户应用程序下载成功")}) ? "succeeded" : "FAILED");
    return probe.longestMs();
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    const double atWireSpeed = MeasurePolling(false);
    const double silent = MeasurePolling(true);
    const double withMonitor = MeasureDownloadWithMonitor();
    const double worst = std::max({atWireSpeed, silent, withMonitor});
    std::printf("worst stall / 16 ms frame: %.3f\n", worst / kFrameMs);
    return 0;
}
