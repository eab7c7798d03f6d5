#include "ToolSoak.h"

#include "IdleThreadProbe.h"
#include "SoakChecks.h"

#include "common/LinkWorker.h"
#include "shell/CKelvaneRavoToolsDlg.h"
#include "support/RecordingPrompter.h"
#include "support/StallProbe.h"

#include "core/application/GbkText.h"
#include "core/application/LibraryListFile.h"
#include "core/workflow/ControllerConnection.h"

#include "TemporaryComFolder.h"
#include "TemporaryFolder.h"

#include <QEventLoop>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <filesystem>
#include <functional>

namespace {

constexpr int kActionLimitMs = 120000;  // an action still running after this hangs
constexpr int kLinkBackLimitMs = 30000;
constexpr int kPollingMs = 3000;
constexpr int kJogMs = 1000;
constexpr const char* kDemo = "搬运演示";

// A tool folder with the demo's data folder, its list file making 搬运演示 active on the first
// listed port.
std::string PrepareToolFolder(const std::string& exeDirectory) {
    namespace fs = std::filesystem;
    const fs::path data = fs::path(exeDirectory) / "KelvaneRavoTools";
    fs::copy(RAVO_DEMO_DATA_FOLDER, data, fs::copy_options::recursive);
    kelvane::WriteLibraryListFile((data / kelvane::kLibraryListFile).string(), 0, {kelvane::utf8ToGbk(kDemo)}, 0);
    return data.string();
}

// Runs the event loop for `ms`, or until `done` holds when it is checked (on each of the
// worker's idle signals and every 50 ms); true when it held.
bool RunEvents(int ms, LinkWorker* worker, const std::function<bool()>& done) {
    if (done && done()) return true;
    QEventLoop loop;
    QTimer limit, check;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    if (done) {
        const auto quitWhenDone = [&] {
            if (done()) loop.quit();
        };
        QObject::connect(worker, &LinkWorker::idle, &loop, quitWhenDone);
        QObject::connect(&check, &QTimer::timeout, &loop, quitWhenDone);
        check.start(50);
    }
    limit.start(ms);
    loop.exec();
    return done && done();
}

class ToolSoak {
public:
    ToolSoak(const SoakOptions& options, SoakReport& report)
        : options_(options),
          report_(report),
          tool_("ravo-soak-tool"),
          demo_(PrepareToolFolder(tool_.path())),
          controller_({com_.path(), 1, /*paced=*/true}),
          window_(QString::fromStdString(tool_.path())) {}

    ravo_sim::RandomFaultCounts run() {
        window_.show();
        worker_ = window_.findChild<LinkWorker*>();
        waitForWorker("start-up");
        report_.begin();
        controller_.setRandomFaults(options_.faults);
        const auto end = SoakReport::Clock::now() + std::chrono::seconds(options_.seconds);
        const std::pair<const char*, std::function<void()>> actions[] = {
            {"manual polling", [this] { pollManualView(); }}, {"jog", [this] { jog(); }},
            {"刷新状态", [this] { refreshTeachView(); }},     {"download", [this] { download(); }},
            {"出厂设置", [this] { factoryCheck(); }},         {"disconnect/connect", [this] { reconnect(); }},
        };
        for (std::size_t turn = 0; SoakReport::Clock::now() < end; ++turn) {
            const auto& [name, action] = actions[turn % std::size(actions)];
            report_.action(name);
            idleThread_.takeWorstMs();
            probe_.start();
            action();
            probe_.stop();
            report_.stall(probe_.longestMs(), idleThread_.takeWorstMs(), name);
            awaitLink();
            prompter_.shown.clear();
            controller_.clearTraffic();
            report_.sampleMemory();
        }
        const ravo_sim::RandomFaultCounts counts = controller_.randomFaultCounts();
        controller_.setRandomFaults({});
        return counts;
    }

private:
    QPushButton* button(const char* name) { return window_.findChild<QPushButton*>(QString::fromLatin1(name)); }
    std::string status() { return window_.findChild<QLabel*>(QStringLiteral("statusText"))->text().toStdString(); }
    std::vector<std::string> messages() const {
        std::vector<std::string> texts;
        for (const RecordingPrompter::Shown& shown : prompter_.shown) texts.push_back(shown.text.toStdString());
        return texts;
    }

    bool waitForWorker(const char* action) {
        if (RunEvents(kActionLimitMs, worker_, [this] { return !worker_->busy(); })) return true;
        report_.hang(std::string(action) + " still running after 120 s");
        return false;
    }

    // Only a connection that did not open may tell something outside a download or a check.
    void expectNoMessage(const char* action) {
        const std::string portFailure = kelvane::PortOpenFailureMessage(1);
        for (const std::string& text : messages())
            if (text != portFailure) report_.wrong(std::string(action) + " said \"" + text + "\"");
    }

    void pollManualView() {
        button("manualViewButton")->click();
        RunEvents(kPollingMs, worker_, {});
        waitForWorker("manual polling");
        expectNoMessage("manual polling");
    }

    void jog() {
        button("manualViewButton")->click();
        button("jogUpX")->click();
        RunEvents(kJogMs, worker_, {});
        button("stopX")->click();
        waitForWorker("jog");
        expectNoMessage("jog");
    }

    void refreshTeachView() {
        button("teachViewButton")->click();
        button("refresh")->click();
        waitForWorker("刷新状态");
        expectNoMessage("刷新状态");
    }

    void download() {
        ForgetDownloadedSettings(controller_, demo_);
        button("downloadButton")->click();
        if (!waitForWorker("download")) return;
        const Verdict verdict = JudgeDownload(controller_, demo_, messages());
        if (verdict.kind == Verdict::Succeeded) report_.downloadSucceeded();
        if (verdict.kind == Verdict::Failed) report_.downloadFailed();
        if (verdict.kind == Verdict::Wrong) report_.wrong(verdict.why, true);
    }

    void factoryCheck() {
        button("factoryButton")->click();
        if (!waitForWorker("出厂设置")) return;
        const std::vector<std::string> texts = messages();
        const Verdict verdict = JudgeFactoryCheck(controller_, texts.empty() ? "" : texts.back(), kelvane::LocalDate());
        if (texts.size() != 1 || verdict.kind == Verdict::Wrong)
            report_.wrong(texts.size() != 1 ? "出厂设置 showed " + std::to_string(texts.size()) + " messages"
                                            : verdict.why);
    }

    // Disconnects and connects again; a port that does not open (an unplugged adapter) is tried
    // again when the line is back.
    void reconnect() {
        if (status() != kelvane::kNotConnectedText) {
            button("connectButton")->click();
            waitForWorker("disconnect");
        }
        for (int attempt = 0; attempt < 5 && status() == kelvane::kNotConnectedText; ++attempt) {
            RunEvents(kLinkBackLimitMs, worker_,
                      [this] { return controller_.waitUntilPluggedIn(std::chrono::milliseconds(0)); });
            button("connectButton")->click();
            waitForWorker("connect");
        }
        if (status() == kelvane::kNotConnectedText) report_.linkNotBack("connect did not open the port");
        expectNoMessage("disconnect/connect");
    }

    // A pulled adapter comes back by itself: the window shows the lost link until it reopens.
    void awaitLink() {
        if (RunEvents(kLinkBackLimitMs, worker_, [this] { return status() != kelvane::kLinkLostText; })) return;
        report_.linkNotBack("the window still shows \"" + std::string(kelvane::kLinkLostText) + "\" after 30 s");
    }

    const SoakOptions& options_;
    SoakReport& report_;
    TemporaryFolder tool_;
    DemoApplication demo_;
    TemporaryComFolder com_;
    ravo_sim::Simulator controller_;
    RecordingPrompter prompter_;
    CKelvaneRavoToolsDlg window_;
    LinkWorker* worker_ = nullptr;
    StallProbe probe_;
    IdleThreadProbe idleThread_;
};

}  // namespace

void RunToolSoak(const SoakOptions& options, SoakReport& report, ravo_sim::RandomFaultCounts& faults) {
    ToolSoak soak(options, report);
    faults = soak.run();
}
