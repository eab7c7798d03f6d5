// The whole-application download (程序下载): motor parameters, peripheral settings, then every
// user program, as one sequence that the tool and ravo share.
#pragma once

#include "core/application/ApplicationProgramBuffer.h"
#include "core/machine/ProgramsDownload.h"

#include <functional>
#include <string>
#include <vector>

namespace kelvane {

enum class DownloadStep { MotorParameters, Peripherals, UserPrograms };

// Where a download is. During the user programs: program `program` (0-based) of
// `programCount`, with `record` of its `recordCount` records acknowledged.
struct DownloadProgress {
    DownloadStep step = DownloadStep::MotorParameters;
    int program = 0;
    int programCount = 0;
    int record = 0;
    int recordCount = 0;
};

// Called on the downloading thread when a step starts, when a user program starts and after
// each of its records the controller acknowledged.
using DownloadProgressCallback = std::function<void(const DownloadProgress&)>;

inline constexpr const char* kApplicationDownloaded = "用户应用程序下载成功";
inline constexpr const char* kMotorParametersFailed = "用户程序下载失败_系统参数下载失败！";
inline constexpr const char* kUserProgramsFailed = "用户程序下载失败_应用程序下载失败！";
inline constexpr const char* kPeripheralsFailed = "外设参数下载失败，控制器未应答";

struct ApplicationDownloadResult {
    bool succeeded = true;
    DownloadStep failedStep = DownloadStep::MotorParameters;  // when not succeeded
    std::string stepMessage;  // the failing step's own message (UTF-8); empty on success
    std::string message;      // the whole download's message: kApplicationDownloaded or a failure
};

// Motor parameters with read-back (a failure stops everything after it), the peripheral
// settings (a request without its reply stops the programs, as a system parameter failure),
// then each user program into its slot and work mode 1
// (the first failing program stops the rest and work mode 1). With a progress callback the
// library's download progress is taken for the duration of the user programs.
ApplicationDownloadResult DownloadApplication(const MotorParameterRecord& motor,
                                              const PeripheralParameterRecord& peripherals,
                                              const std::vector<ProgramRecords>& programs,
                                              const DownloadProgressCallback& progress = {});

}  // namespace kelvane
