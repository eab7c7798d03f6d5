#include "ApplicationDownload.h"

#include "core/machine/MotorDownload.h"
#include "core/machine/PeripheralDownload.h"

#include <algorithm>

namespace kelvane {

namespace {

// Reports the user programs' progress from the per-program notices of the programs download.
class ProgramProgress {
public:
    ProgramProgress(const std::vector<ProgramRecords>& programs, const DownloadProgressCallback& progress)
        : programs_(programs), progress_(progress) {}

    void started(int program) const { report(program, 0); }
    // `sent` programs are in the controller: the last of them is complete, the next starts.
    void sent(int sent, int total) const {
        report(sent - 1, recordCount(sent - 1));
        if (sent < total) started(sent);
    }

private:
    // 0 for the program after the last (an application without programs).
    int recordCount(int program) const {
        if (program >= static_cast<int>(programs_.size())) return 0;
        return std::clamp(programs_[static_cast<std::size_t>(program)].lineCount, 0, kMaxProgramLines);
    }
    void report(int program, int record) const {
        if (!progress_) return;
        progress_({DownloadStep::UserPrograms, program, static_cast<int>(programs_.size()), record,
                   recordCount(program)});
    }

    const std::vector<ProgramRecords>& programs_;
    const DownloadProgressCallback& progress_;
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
    DownloadPeripheralParameters(peripherals);

    const ProgramProgress programProgress(programs, progress);
    programProgress.started(0);
    const std::optional<ProgramDownloadFailure> failure =
        DownloadPrograms(programs, [&](int sent, int total) { programProgress.sent(sent, total); });
    if (failure)
        return Failure(DownloadStep::UserPrograms, ProgramDownloadFailureMessage(*failure), kUserProgramsFailed);

    return {true, DownloadStep::UserPrograms, "", kApplicationDownloaded};
}

}  // namespace kelvane
