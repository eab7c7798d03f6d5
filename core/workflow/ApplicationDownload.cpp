#include "ApplicationDownload.h"

#include "core/machine/MotorDownload.h"
#include "core/machine/PeripheralDownload.h"

#include <Kelvane_Ravo_Q9T2.h>

#include <algorithm>

namespace kelvane {

namespace {

// Reports the user programs' progress: a program starts when the one before it is in the
// controller, and the library tells of each record the controller acknowledged meanwhile.
class ProgramProgress {
public:
    ProgramProgress(const std::vector<ProgramRecords>& programs, const DownloadProgressCallback& progress)
        : programs_(programs), progress_(progress) {
        if (progress_) Ravo_SetDownloadProgress(&ProgramProgress::recordAcknowledged, this);
    }
    ~ProgramProgress() {
        if (progress_) Ravo_SetDownloadProgress(nullptr, nullptr);
    }
    ProgramProgress(const ProgramProgress&) = delete;
    ProgramProgress& operator=(const ProgramProgress&) = delete;

    void started(int program) {
        current_ = program;
        report(0);
    }
    // `sent` programs are in the controller.
    void sent(int sent, int total) {
        if (sent < total) started(sent);
    }

private:
    static void recordAcknowledged(int record, int /*count*/, void* self) {
        static_cast<ProgramProgress*>(self)->report(record);
    }
    // 0 for the program after the last (an application without programs).
    int recordCount(int program) const {
        if (program >= static_cast<int>(programs_.size())) return 0;
        return std::clamp(programs_[static_cast<std::size_t>(program)].lineCount, 0, kMaxProgramLines);
    }
    void report(int record) const {
        if (!progress_) return;
        progress_(
            {DownloadStep::UserPrograms, current_, static_cast<int>(programs_.size()), record, recordCount(current_)});
    }

    const std::vector<ProgramRecords>& programs_;
    const DownloadProgressCallback& progress_;
    int current_ = 0;
};

ApplicationDownloadResult Failure(DownloadStep step, std::string stepMessage, const char* message) {
    return {false, step, std::move(stepMessage), message};
}

}  // namespace

ApplicationDownloadResult DownloadApplication(const MotorParameterRecord& motor,
                                              const PeripheralParameterRecord& peripherals,
                                              const std::vector<ProgramRecords>& programs,
                                              const DownloadProgressCallback& progress) {
    const auto startStep = [&](DownloadStep step) {
        if (progress) progress({step, 0, static_cast<int>(programs.size()), 0, 0});
    };

    startStep(DownloadStep::MotorParameters);
    const MotorDownloadResult motorResult = DownloadMotorParameters(motor);
    if (!motorResult.succeeded)
        return Failure(DownloadStep::MotorParameters, motorResult.message, kMotorParametersFailed);

    startStep(DownloadStep::Peripherals);
    if (!DownloadPeripheralParameters(peripherals))
        return Failure(DownloadStep::Peripherals, kPeripheralsFailed, kMotorParametersFailed);

    std::optional<ProgramDownloadFailure> failure;
    {
        ProgramProgress programProgress(programs, progress);
        programProgress.started(0);
        failure = DownloadPrograms(programs, [&](int sent, int total) { programProgress.sent(sent, total); });
    }
    if (failure)
        return Failure(DownloadStep::UserPrograms, ProgramDownloadFailureMessage(*failure), kUserProgramsFailed);

    return {true, DownloadStep::UserPrograms, "", kApplicationDownloaded};
}

}  // namespace kelvane
