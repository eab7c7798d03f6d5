#include "TrafficLog.h"

#include "LogFile.h"

#include <atomic>
#include <mutex>

namespace ravo_lib {

namespace {

std::atomic<std::FILE*> openLog{nullptr};

}  // namespace

void openTrafficLogOnce() {
    // Ports may be opened from several threads (the command port and Modbus ports); only one
    // of them may create the file.
    static std::mutex creation;
    std::lock_guard<std::mutex> guard(creation);
    if (!openLog.load()) openLog.store(openLogFile("SericalComInfo.log"));
}

void logTrafficBytes(const char* prefix, const std::uint8_t* bytes, std::size_t count) {
    if (std::FILE* log = openLog.load()) logBytes(log, prefix, bytes, count);
}

void endTrafficLine() {
    if (std::FILE* log = openLog.load()) endLogLine(log);
}

void logReceivedLine(const std::uint8_t* bytes, std::size_t count) {
    logTrafficBytes("ReceiveData: ", bytes, count);
    endTrafficLine();
}

}  // namespace ravo_lib
