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

// The whole line is set, whatever another program left on the port: 19200 baud, 8N1, binary,
// no XON/XOFF (a reply byte 0x13 would stop the output), no hardware flow control, DTR and RTS
// on, no error or null character replacement, and no abort of transfers after a line error.
void applyLineSettings(HANDLE device, DCB settings) {
    settings.BaudRate = kBaudRate;
    settings.ByteSize = 8;
    settings.Parity = NOPARITY;
    settings.StopBits = ONESTOPBIT;
    settings.fBinary = TRUE;
    settings.fParity = FALSE;
    settings.fOutxCtsFlow = FALSE;
    settings.fOutxDsrFlow = FALSE;
    settings.fDtrControl = DTR_CONTROL_ENABLE;
    settings.fDsrSensitivity = FALSE;
    settings.fTXContinueOnXoff = TRUE;
    settings.fOutX = FALSE;
    settings.fInX = FALSE;
    settings.fErrorChar = FALSE;
    settings.fNull = FALSE;
    settings.fRtsControl = RTS_CONTROL_ENABLE;
    settings.fAbortOnError = FALSE;
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

// Errors of a device that went away (a pulled USB adapter) or can no longer be used.
bool isLossError(DWORD error) {
    switch (error) {
        case ERROR_BAD_COMMAND:
        case ERROR_DEVICE_NOT_CONNECTED:
        case ERROR_DEVICE_REMOVED:
        case ERROR_ACCESS_DENIED:
        case ERROR_GEN_FAILURE:
        case ERROR_INVALID_HANDLE:
            return true;
        default:
            return false;
    }
}

// After a failed or short transfer with `error` (0 when the call itself succeeded): true when
// the device is gone. A transfer cut short by a time-out leaves a device that still reports its
// status; reading the status also clears any line error it holds.
bool deviceGone(HANDLE device, DWORD error) {
    if (isLossError(error)) return true;
    DWORD lineErrors = 0;
    COMSTAT status{};
    return !::ClearCommError(device, &lineErrors, &status);
}

}  // namespace

SerialPort::~SerialPort() { close(); }

bool SerialPort::open(int portNumber) {
    if (handleValid_) return true;

    // The "\\.\COMn" form reaches COM10 and above as well as COM1..COM9.
    char name[32];
    std::snprintf(name, sizeof name, "\\\\.\\COM%d", portNumber);
    HANDLE device = ::CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
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
    state_ = LineState::Ok;
    openTrafficLogOnce();
    return true;
}

void SerialPort::close() { release(LineState::Closed); }

// Releasing a lost device at once lets the adapter, plugged in again, get its COM number back.
void SerialPort::release(LineState state) {
    state_ = state;
    if (!handleValid_) return;
    ::CloseHandle(deviceOf(handle_));
    handle_ = INVALID_HANDLE_VALUE;
    handleValid_ = false;
}

// WriteFile on a handle without overlapped I/O returns once the driver has sent the bytes or
// the write time-outs expired, so the write is synchronous as it stands. FlushFileBuffers is
// not called: it has no time-out, and nothing discards the output any more.
std::size_t SerialPort::write(const std::uint8_t* bytes, std::size_t count) {
    if (state_ == LineState::Lost) {
        logTrafficBytes("SendData: ", nullptr, 0);
        return 0;
    }
    if (!handleValid_) return 0;
    HANDLE device = deviceOf(handle_);
    // Stale replies never reach the next read. Only the receive side is purged: purging the
    // transmit side would drop what an earlier write left for the line to carry.
    ::PurgeComm(device, PURGE_RXABORT | PURGE_RXCLEAR);

    logTrafficBytes("SendData: ", nullptr, 0);
    std::size_t sent = 0;
    while (sent < count) {
        DWORD written = 0;
        const bool succeeded = ::WriteFile(device, bytes + sent, static_cast<DWORD>(count - sent), &written, nullptr);
        // A call that sent nothing has already waited out its whole write time-out.
        if (!succeeded || written == 0) {
            const DWORD error = succeeded ? 0 : ::GetLastError();
            if (deviceGone(device, error))
                release(LineState::Lost);
            else
                state_ = LineState::NoReply;
            return sent;
        }
        logTrafficBytes("", bytes + sent, written);
        sent += written;
    }
    endTrafficLine();
    return sent;
}

bool SerialPort::read(std::uint8_t* buffer, std::size_t& count) {
    DWORD received = 0;
    if (handleValid_) {
        HANDLE device = deviceOf(handle_);
        const bool succeeded = ::ReadFile(device, buffer, static_cast<DWORD>(count), &received, nullptr);
        const DWORD error = succeeded ? 0 : ::GetLastError();
        if (received < count && deviceGone(device, error))
            release(LineState::Lost);
        else
            state_ = received < count ? LineState::NoReply : LineState::Ok;
    }
    if (received < count) {
        count = 0;
        return false;
    }
    logReceivedLine(buffer, count);
    return true;
}

}  // namespace ravo_lib
