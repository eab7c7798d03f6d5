// Times the tool's whole-application download (程序下载) of the demo application program
// 搬运演示 (three programs of 12, 5 and 4 lines), offscreen, from the click to the success
// message: first against a simulated controller that answers at once, then against one that
// answers at 19200 baud. Prints each time beside the download's wire limit: every request and
// its reply at 10 bits a byte, plus the 2 s the library waits before each program's records,
// and beside that limit with the library's 15 ms spacing after every command exchange.
#include "common/LinkWorker.h"
#include "shell/CKelvaneRavoToolsDlg.h"
#include "support/DemoToolFolder.h"
#include "support/RecordingPrompter.h"

#include "TemporaryComFolder.h"
#include "TemporaryFolder.h"

#include <Kelvane_Ravo_Q9T2.h>

#include <QApplication>
#include <QEventLoop>
#include <QPushButton>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace {

constexpr double kByteSeconds = 10 / 19200.0;
constexpr double kSettlingSeconds = 2.0;   // before each program's records
constexpr double kSpacingSeconds = 0.015;  // after every command exchange

struct WireLimit {
    double wireSeconds = 0;  // requests and replies
    int programs = 0;        // each with its settling pause
    int commands = 0;        // each followed by the library's spacing
    double total() const { return wireSeconds + programs * kSettlingSeconds; }
    double withSpacing() const { return total() + commands * kSpacingSeconds; }
};

// The length of the simulated controller's reply to `request`.
std::size_t ReplyBytes(const ravo_sim::Request& request) {
    switch (request.kind) {
        case ravo_sim::RequestKind::Command:
        case ravo_sim::RequestKind::Record:
            return 16;
        case ravo_sim::RequestKind::EndFrame:
        case ravo_sim::RequestKind::Unknown:
            return 0;
        case ravo_sim::RequestKind::Modbus:
            break;
    }
    const std::size_t count = request.bytes.size() >= 6 ? (request.bytes[4] << 8 | request.bytes[5]) : 0;
    switch (request.code()) {
        case 1:
            return 5 + std::max<std::size_t>(3, (count + 7) / 8);
        case 3:
        case 4:
            return 5 + 2 * count;
        default:
            return 8;
    }
}

WireLimit LimitOf(const std::vector<ravo_sim::Request>& traffic) {
    WireLimit limit;
    for (const ravo_sim::Request& request : traffic) {
        limit.wireSeconds += (request.bytes.size() + ReplyBytes(request)) * kByteSeconds;
        if (request.kind == ravo_sim::RequestKind::Command) ++limit.commands;
        if (request.kind == ravo_sim::RequestKind::Command && request.code() == 6 &&
            request.param(1) == RAVO_WORK_MODE_DOWNLOAD)
            ++limit.programs;
    }
    return limit;
}

bool TimeDownload(bool paced) {
    TemporaryFolder tool("ravo-bench-tool");
    PrepareDemoToolFolder(tool.path());
    TemporaryComFolder com;
    ravo_sim::Simulator controller({com.path(), 1, paced});
    RecordingPrompter prompter;

    CKelvaneRavoToolsDlg window(QString::fromStdString(tool.path()));
    window.show();
    auto* worker = window.findChild<LinkWorker*>();
    QEventLoop untilDone;
    QObject::connect(worker, &LinkWorker::idle, &untilDone, &QEventLoop::quit);
    untilDone.exec();  // the start-up's connection
    controller.clearTraffic();

    const auto start = std::chrono::steady_clock::now();
    window.findChild<QPushButton*>(QStringLiteral("downloadButton"))->click();
    untilDone.exec();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    const bool succeeded = prompter.texts() == QStringList({QStringLiteral("用户应用程序下载成功")});
    const WireLimit limit = LimitOf(controller.traffic());
    std::printf(
        "%-8s %s: whole download %.3f s; wire limit %.3f s (%.3f s of bytes + %d x %.0f s settling), "
        "ratio %.3f; with the library's spacing (%d x %.0f ms) %.3f s, ratio %.3f\n",
        paced ? "paced" : "unpaced", succeeded ? "succeeded" : "FAILED", seconds, limit.total(), limit.wireSeconds,
        limit.programs, kSettlingSeconds, seconds / limit.total(), limit.commands, kSpacingSeconds * 1000,
        limit.withSpacing(), seconds / limit.withSpacing());
    return succeeded;
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    const bool unpaced = TimeDownload(false);
    const bool paced = TimeDownload(true);
    return unpaced && paced ? 0 : 1;
}
