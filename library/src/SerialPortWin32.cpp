// SerialPort on the Windows communications API. The driver applies the link's time-outs
// itself: 30 ms between received bytes, 10 ms per byte plus 10 ms for a whole read or write.
#include "SerialPort.h"

#include "TrafficLog.h"

#include <windows.h>

#include <cstdio>

namespace ravo_lib {
namespace {

constexpr DWORD kBaudRate = CBR_19200;
constexpr DWORD kQueueSize = 1024;

HANDLE deviceOf(void* handle) { return static_cast<HANDLE>(handle); }

void applyLineSettings(HANDLE device, DCB settings) {
    settings.BaudRate = kBaudRate;
    settings.ByteSize = 8;
    settings.StopBits = ONESTOPBIT;
    settings.fParity = FALSE;
    ::SetCommState(device, &settings);
}

void applyTimeouts(HANDLE device) {
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = 30;
    timeouts.ReadTotalTimeoutMultiplier = 10;
    timeouts.ReadTotalTimeoutConstant = 10;
    timeouts.WriteTotalTimeoutMultiplier = 10;
    timeouts.WriteTotalTimeoutConstant = 10;
    ::SetCommTimeouts(device, &timeouts);
}

}  // namespace

SerialPort::~SerialPort() { close(); }

bool SerialPort::open(int portNumber) {
    if (handleValid_) return true;

    // The "\\.\COMn" form reaches COM10 and above as well as COM1..COM9.
    char name[32];
    std::snprintf(name, sizeof name, "\\\\.\\COM%d", portNumber);
    HANDLE device = ::CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                  0, nullptr);
    if (device == INVALID_HANDLE_VALUE) return false;

    DCB settings{};
    settings.DCBlength = sizeof settings;
    if (!::GetCommState(device, &settings)) {
        ::CloseHandle(device);
        return false;
    }
    // Failures to apply settings, queues, time-outs or the purge leave the port usable.
    applyLineSettings(device, settings);
    ::SetupComm(device, kQueueSize, kQueueSize);
    applyTimeouts(device);
    ::PurgeComm(device, PURGE_RXCLEAR | PURGE_TXCLEAR);

    handle_ = device;
    handleValid_ = true;
    openTrafficLogOnce();
    return true;
}

void SerialPort::close() {
    if (!handleValid_) return;
    ::CloseHandle(deviceOf(handle_));
    handle_ = INVALID_HANDLE_VALUE;
    handleValid_ = false;
}

bool SerialPort::isOpen() const { return handleValid_; }

// WriteFile on a handle without overlapped I/O returns once the driver has sent the bytes or
// the write time-outs expired, so the write is synchronous as it stands. FlushFileBuffers is
// not called: it has no time-out, and nothing discards the output any more.
std::size_t SerialPort::write(const std::uint8_t* bytes, std::size_t count) {
    if (!handleValid_) return 0;
    HANDLE device = deviceOf(handle_);
    // Stale replies never reach the next read. Only the receive side is purged: purging the
    // transmit side would drop what an earlier write left for the line to carry.
    ::PurgeComm(device, PURGE_RXABORT | PURGE_RXCLEAR);

    logTrafficBytes("SendData: ", nullptr, 0);
    std::size_t sent = 0;
    while (sent < count) {
        DWORD written = 0;
        if (!::WriteFile(device, bytes + sent, static_cast<DWORD>(count - sent), &written,
                         nullptr))
            return sent;
        // A call that sent nothing has already waited out its whole write time-out.
        if (written == 0) return sent;
        logTrafficBytes("", bytes + sent, written);
        sent += written;
    }
    endTrafficLine();
    return sent;
}

bool SerialPort::read(std::uint8_t* buffer, std::size_t& count) {
    DWORD received = 0;
    if (handleValid_)
        ::ReadFile(deviceOf(handle_), buffer, static_cast<DWORD>(count), &received, nullptr);
    if (received < count) {
        count = 0;
        return false;
    }
    logReceivedLine(buffer, count);
    return true;
}

}  // namespace ravo_lib
