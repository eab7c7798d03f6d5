// Sends the user programs of an application program into the controller's program slots, one
// after the other, and switches the controller back to work mode 1 when all arrived.
#pragma once

#include "core/application/LineRecord.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kelvane {

// One program as the download reads it: its first `lineCount` records.
struct ProgramRecords {
    const LineRecord* records = nullptr;
    int lineCount = 0;
};

// Where a download stopped: the program, what Ravo_DownLoadProgram (or Ravo_SetUserProgram)
// answered, and the program's line count.
struct ProgramDownloadFailure {
    int program = 0;
    int result = 0;
    int lineCount = 0;
};

// Called after each program the controller took, with the number of programs sent so far and
// the number to send.
using ProgramDownloadProgress = std::function<void(int sent, int total)>;

// For each program p in order: Ravo_SetUserProgram with its records (a line count outside
// 0..1000 is held to that range), then Ravo_DownLoadProgram(p). The first result other than 0
// stops the download and is returned; the programs after it are not sent and work mode 1 is
// not sent either. After the last program: work mode 1 (programs).
std::optional<ProgramDownloadFailure> DownloadPrograms(const std::vector<ProgramRecords>& programs,
                                                       const ProgramDownloadProgress& progress = {});

// The text that tells the user about `failure` (UTF-8).
std::string ProgramDownloadFailureMessage(const ProgramDownloadFailure& failure);

}  // namespace kelvane
