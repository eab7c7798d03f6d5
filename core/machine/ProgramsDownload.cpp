#include "ProgramsDownload.h"

#include "ControllerAxes.h"

#include <Kelvane_Ravo_Q9T2.h>

#include <algorithm>
#include <cstdio>

namespace kelvane {

std::optional<ProgramDownloadFailure> DownloadPrograms(const std::vector<ProgramRecords>& programs,
                                                       const ProgramDownloadProgress& progress) {
    const int total = static_cast<int>(programs.size());
    for (int p = 0; p < total; ++p) {
        const ProgramRecords& program = programs[p];
        const int lineCount = std::clamp(program.lineCount, 0, kMaxProgramLines);
        const auto* bytes = reinterpret_cast<const unsigned char*>(program.records);
        // A program the library would not take must not go out as the one stored before it.
        int result = Ravo_SetUserProgram(bytes, lineCount);
        if (result == RAVO_OK) result = Ravo_DownLoadProgram(p);
        if (result != RAVO_OK) return ProgramDownloadFailure{p, result, lineCount};
        if (progress) progress(p + 1, total);
    }
    Ravo_SetWorkMode(kControllerAddress, RAVO_WORK_MODE_PROGRAMS, 0);
    return std::nullopt;
}

std::string ProgramDownloadFailureMessage(const ProgramDownloadFailure& failure) {
    char text[128];
    std::snprintf(text, sizeof text, "用户程序下载失败[应用程序：%d],  下载%d/%d时出现错误", failure.program,
                  failure.result, failure.lineCount);
    return text;
}

}  // namespace kelvane
