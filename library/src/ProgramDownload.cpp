// The program store and its download into a numbered program slot of the controller: work
// mode 3, a 2 s pause, one acknowledged record frame per record (index in byte 15), the end
// frame, and work mode 2 as the fall-back on any failure. Every record frame and its reply go
// to Ravo_Debug.log; the caller's progress callback hears of every acknowledged record.
#include "DownloadLog.h"
#include "FrameExchange.h"
#include "Kelvane_Ravo_Q9T2.h"
#include "LibraryState.h"
#include "Pause.h"
#include "TrafficMonitor.h"
#include "WireValues.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace ravo_lib {
namespace {

constexpr std::size_t kRecordSize = 16;
constexpr std::size_t kStoreCapacity = RAVO_MAX_PROGRAM_RECORDS;

constexpr std::uint8_t kEndOfProgramCode = 0x08;
constexpr int kDownloadModeSettleMs = 2000;
constexpr int kFallbackDelayMs = 20;

struct ProgramStore {
    std::array<std::uint8_t, kStoreCapacity * kRecordSize> bytes{};
    std::uint16_t count = 0;
};

ProgramStore& programStore() {
    static ProgramStore store;
    return store;
}

struct ProgressCallback {
    void (*function)(int record, int count, void* user) = nullptr;
    void* user = nullptr;

    void operator()(std::size_t record, std::size_t count) const {
        if (function) function(static_cast<int>(record), static_cast<int>(count), user);
    }
};

// Set and read under the library lock, so a download sees one whole callback.
ProgressCallback& progressCallback() {
    static ProgressCallback callback;
    return callback;
}

DownloadLog& downloadLog() {
    static DownloadLog log;
    return log;
}

// Bytes 3..6 of a record's reply: 0 when the controller accepted the record.
std::uint32_t replyStatus(const Frame& reply) { return readBigEndian32(&reply[3]); }

// Sends record `index` with its index in the last byte and reads the acknowledgement.
// True when a complete reply with status 0 came back.
bool sendRecord(SerialPort& port, std::size_t index) {
    LibraryState& state = libraryState();
    const std::uint8_t* record = programStore().bytes.data() + index * kRecordSize;
    std::memcpy(state.request.data(), record, kRecordSize - 1);
    state.request[kRecordSize - 1] = static_cast<std::uint8_t>(index);
    const std::size_t sent = port.write(state.request.data(), state.request.size());
    downloadLog().logSent(state.request.data(), sent);
    reportSent(port, state.request.data(), state.request.size(), sent);

    state.reply.fill(0);
    std::size_t received = state.reply.size();
    const bool complete = port.read(state.reply.data(), received);
    reportReceived(port, state.reply.data(), state.reply.size(), complete);
    downloadLog().logReceived(state.reply.data(), state.reply.size());
    return complete && replyStatus(state.reply) == 0;
}

// AA FF 08 and thirteen zeros: a command frame without parameters whose last byte stays 0.
bool sendEndFrame(SerialPort& port) {
    buildFrame(kEndOfProgramCode, RAVO_ANY_CONTROLLER_ADDRESS, 0, 0, 0);
    const Frame& request = libraryState().request;
    const std::size_t sent = port.write(request.data(), request.size());
    reportSent(port, request.data(), request.size(), sent);
    return sent == request.size();
}

}  // namespace
}  // namespace ravo_lib

using namespace ravo_lib;

extern "C" {

int Ravo_SetUserProgram(const unsigned char* records, int count) {
    const auto recordCount = static_cast<std::uint16_t>(count);
    if (recordCount > kStoreCapacity) return RAVO_PROGRAM_NOT_STORED;
    // Without records there is nothing to copy: refuse rather than read through a null pointer.
    if (recordCount > 0 && records == nullptr) return RAVO_PROGRAM_NOT_STORED;

    ProgramStore& store = programStore();
    if (recordCount > 0) std::memcpy(store.bytes.data(), records, recordCount * kRecordSize);
    store.count = recordCount;
    downloadLog().resetLineCounter();
    return RAVO_OK;
}

int Ravo_DownLoadProgram(int program) {
    LibraryLockGuard lock(libraryLock());
    const int slot = program & 0xFF;

    Ravo_SetWorkMode(RAVO_ANY_CONTROLLER_ADDRESS, RAVO_WORK_MODE_DOWNLOAD, slot);
    pauseMilliseconds(kDownloadModeSettleMs);

    const ProgramStore& store = programStore();
    DownloadLog& log = downloadLog();
    log.beginDownload(store.count);
    const ProgressCallback progress = progressCallback();

    // One reference for the whole download: the records and the end frame go to one device.
    const std::shared_ptr<SerialPort> port = libraryState().commandPort;
    for (std::size_t i = 0; i < store.count; ++i) {
        if (!sendRecord(*port, i)) {
            Ravo_SetWorkMode(RAVO_ANY_CONTROLLER_ADDRESS, RAVO_WORK_MODE_MANUAL, slot);
            return RAVO_FAILED_AT_RECORD(i);
        }
        progress(i + 1, store.count);
    }

    if (!sendEndFrame(*port)) {
        pauseMilliseconds(kFallbackDelayMs);
        Ravo_SetWorkMode(RAVO_ANY_CONTROLLER_ADDRESS, RAVO_WORK_MODE_MANUAL, slot);
        return RAVO_END_FRAME_NOT_SENT;
    }
    log.close();
    return RAVO_OK;
}

void Ravo_SetDownloadProgress(void (*callback)(int record, int count, void* user), void* user) {
    LibraryLockGuard lock(libraryLock());
    progressCallback() = {callback, user};
}

}  // extern "C"
