#include "DownloadLog.h"

#include "LogFile.h"

namespace ravo_lib {

void DownloadLog::beginDownload(unsigned recordCount) {
    if (!file_) file_ = openLogBesideExecutable("Ravo_Debug.log");
    if (!file_) return;
    std::fprintf(file_, "[%u] Begin Download user program .....................\n", recordCount);
    std::fflush(file_);
}

void DownloadLog::logSent(const std::uint8_t* frame, std::size_t count) {
    if (!file_) return;
    char prefix[32];
    std::snprintf(prefix, sizeof prefix, "%d   SendData: ", static_cast<int>(lineCounter_));
    writeLine(prefix, frame, count);
    ++lineCounter_;
}

void DownloadLog::logReceived(const std::uint8_t* frame, std::size_t count) {
    if (!file_) return;
    char prefix[32];
    std::snprintf(prefix, sizeof prefix, "%d ReceiveData: ", static_cast<int>(lineCounter_));
    writeLine(prefix, frame, count);
}

void DownloadLog::close() {
    if (!file_) return;
    std::fclose(file_);
    file_ = nullptr;
}

void DownloadLog::writeLine(const char* prefix, const std::uint8_t* frame, std::size_t count) {
    logBytes(file_, prefix, frame, count);
    endLogLine(file_);
}

}  // namespace ravo_lib
