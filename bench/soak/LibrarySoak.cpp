#include "LibrarySoak.h"

#include "SoakChecks.h"

#include "core/machine/ControllerAxes.h"
#include "core/machine/MachineStatus.h"
#include "core/workflow/ApplicationDownload.h"
#include "core/workflow/ControllerConnection.h"

#include "TemporaryComFolder.h"

#include <Kelvane_Ravo_Q9T2.h>

#include <atomic>
#include <mutex>
#include <shared_mutex>
#include <thread>

namespace {

using std::chrono::milliseconds;

constexpr int kCom = 1;
constexpr auto kLinkBackLimit = std::chrono::seconds(30);
constexpr auto kReopenInterval = milliseconds(1000);
constexpr auto kJogTime = milliseconds(500);
constexpr auto kBetweenDownloads = milliseconds(200);  // lets the other thread's factory check in

class LibrarySoak {
public:
    LibrarySoak(const SoakOptions& options, SoakReport& report)
        : options_(options),
          report_(report),
          demo_(RAVO_DEMO_DATA_FOLDER),
          records_(demo_.records()),
          controller_({com_.path(), kCom, /*paced=*/true}) {}

    ravo_sim::RandomFaultCounts run() {
        Ravo_GlobalInit();
        if (!kelvane::ConnectController(kCom).opened) report_.linkNotBack("the port did not open at the start");
        report_.begin();
        controller_.setRandomFaults(options_.faults);
        end_ = SoakReport::Clock::now() + std::chrono::seconds(options_.seconds);
        std::thread downloading([this] { downloadAgainAndAgain(); });
        command();
        downloading.join();
        const ravo_sim::RandomFaultCounts counts = controller_.randomFaultCounts();
        controller_.setRandomFaults({});
        Ravo_CloseSericalPort();
        return counts;
    }

private:
    bool running() const { return SoakReport::Clock::now() < end_; }

    // Exchanges share the port; opening and closing it must wait for the running ones.
    template <typename Exchanges>
    void exchange(Exchanges exchanges) {
        std::shared_lock<std::shared_mutex> lock(port_);
        exchanges();
    }

    // A lost port is opened again every second until it opens, as the tool does.
    void reopenIfLost(const char* after) {
        const auto giveUp = SoakReport::Clock::now() + kLinkBackLimit;
        for (;;) {
            {
                std::unique_lock<std::shared_mutex> lock(port_);
                if (Ravo_GetLinkState() != RAVO_LINK_LOST && Ravo_GetLinkState() != RAVO_LINK_NO_PORT) return;
                if (kelvane::ConnectController(kCom).opened) return;
            }
            if (SoakReport::Clock::now() >= giveUp) {
                report_.linkNotBack(std::string("the port did not open again within 30 s after ") + after);
                return;
            }
            std::this_thread::sleep_for(kReopenInterval);
        }
    }

    void downloadAgainAndAgain() {
        while (running()) {
            report_.action("download");
            std::vector<std::string> messages;
            {
                std::lock_guard<std::mutex> settings(settings_);
                ForgetDownloadedSettings(controller_, demo_);
                kelvane::ApplicationDownloadResult result;
                exchange([&] {
                    result = kelvane::DownloadApplication(demo_.document.motor, demo_.document.peripherals, records_);
                });
                if (!result.succeeded) messages.push_back(result.stepMessage);
                messages.push_back(result.message);
                const Verdict verdict = JudgeDownload(controller_, demo_, messages);
                if (verdict.kind == Verdict::Succeeded) report_.downloadSucceeded();
                if (verdict.kind == Verdict::Failed) report_.downloadFailed();
                if (verdict.kind == Verdict::Wrong) report_.wrong(verdict.why, true);
            }
            reopenIfLost("a download");
            std::this_thread::sleep_for(kBetweenDownloads);
        }
    }

    void command() {
        for (std::size_t turn = 0; running(); ++turn) {
            switch (turn % 4) {
                case 0:
                    report_.action("polling");
                    exchange([] {
                        kelvane::ReadPinBlock(kelvane::kFirstInputPin);
                        kelvane::ReadAxisPositions();
                        kelvane::ReadAxisSpeeds();
                    });
                    break;
                case 1:
                    report_.action("jog");
                    exchange([] { Ravo_ManualRightMove(kelvane::kControllerAddress, kelvane::AxisMask(1)); });
                    std::this_thread::sleep_for(kJogTime);
                    exchange([] { Ravo_SlowStopMotor(kelvane::kControllerAddress, kelvane::AxisMask(1)); });
                    break;
                case 2:
                    factoryCheck();
                    break;
                case 3:
                    reconnect();
                    break;
            }
            reopenIfLost("a command");
            report_.sampleMemory();
        }
    }

    // Between two downloads, so that neither changes the parameters the other checks.
    void factoryCheck() {
        report_.action("出厂设置");
        std::lock_guard<std::mutex> settings(settings_);
        kelvane::FactoryCheckResult result;
        const kelvane::CalendarDate today = kelvane::LocalDate();
        exchange([&] { result = kelvane::CheckFactoryData(today); });
        const Verdict verdict = JudgeFactoryCheck(controller_, result.message, today);
        if (verdict.kind == Verdict::Wrong) report_.wrong(verdict.why);
    }

    void reconnect() {
        report_.action("disconnect/connect");
        {
            std::unique_lock<std::shared_mutex> lock(port_);
            Ravo_CloseSericalPort();
            kelvane::ConnectController(kCom);
        }
    }

    const SoakOptions& options_;
    SoakReport& report_;
    DemoApplication demo_;
    std::vector<kelvane::ProgramRecords> records_;
    TemporaryComFolder com_;
    ravo_sim::Simulator controller_;
    SoakReport::Clock::time_point end_;
    std::shared_mutex port_;
    std::mutex settings_;  // the motor parameters: a download's or a factory check's
};

}  // namespace

void RunLibrarySoak(const SoakOptions& options, SoakReport& report, ravo_sim::RandomFaultCounts& faults) {
    LibrarySoak soak(options, report);
    faults = soak.run();
}
