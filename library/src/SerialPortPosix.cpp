// SerialPort on a POSIX terminal device: termios for the line settings, a non-blocking
// descriptor and ppoll() on the monotonic clock for the time-outs (termios VTIME only counts in
// steps of 100 ms).
#include "SerialPort.h"

#include "ComDevicePath.h"
#include "TrafficLog.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <string>
#include <thread>

namespace ravo_lib {

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr milliseconds kGapAfterByte{30};  // longest silence once a reply has started
constexpr milliseconds kPerByte{10};       // read or write budget per byte ...
constexpr milliseconds kConstant{10};      // ... plus this, for the whole transfer
constexpr milliseconds kSentCheckStep{1};  // how often a write looks whether its bytes left

Clock::duration transferBudget(std::size_t count) { return kPerByte * count + kConstant; }

// errno values of a device that hung up or went away.
bool isLossError(int error) { return error == EIO || error == ENXIO || error == ENODEV; }

// Waits until `fd` reports one of `events` or `deadline` passes. Returns the reported events
// (hang-up and errors included), 0 on time-out.
short waitUntil(int fd, short events, Clock::time_point deadline) {
    for (;;) {
        const Clock::duration left = deadline - Clock::now();
        if (left <= Clock::duration::zero()) return 0;
        const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(left);
        const timespec timeout{static_cast<time_t>(seconds.count()),
                               static_cast<long>((left - seconds) / std::chrono::nanoseconds(1))};
        pollfd watched{fd, events, 0};
        const int ready = ::ppoll(&watched, 1, &timeout, nullptr);
        if (ready > 0) return watched.revents;
        if (ready < 0 && errno != EINTR) return POLLERR;
    }
}

// Bytes handed to the device that have not left it yet: its output queue, and on a UART also
// the byte in the transmitter when the driver reports its line status (pseudo-terminals and
// USB adapters report their queue only).
std::size_t unsentBytes(int fd) {
    int queued = 0;
    if (::ioctl(fd, TIOCOUTQ, &queued) != 0 || queued < 0) return 0;
    if (queued == 0) {
        unsigned int lineStatus = 0;
        if (::ioctl(fd, TIOCSERGETLSR, &lineStatus) == 0 && !(lineStatus & TIOCSER_TEMT)) return 1;
    }
    return static_cast<std::size_t>(queued);
}

// Waits until every byte handed to the device has left it or `deadline` passes; returns how
// many are still unsent. Polls, because tcdrain() cannot be given a time-out.
std::size_t waitUntilSent(int fd, Clock::time_point deadline) {
    for (;;) {
        const std::size_t unsent = unsentBytes(fd);
        const Clock::duration left = deadline - Clock::now();
        if (unsent == 0 || left <= Clock::duration::zero()) return unsent;
        std::this_thread::sleep_for(std::min<Clock::duration>(kSentCheckStep, left));
    }
}

// The whole line, whatever another program left on the device: 19200 baud, 8 data bits, no
// parity, 1 stop bit, no hardware flow control, and a raw 8-bit clean line: no echo, no line
// editing, no signal characters, no CR/LF translation, no XON/XOFF, no parity marking. Modem
// status lines are ignored (CLOCAL), as the controller's cables carry none.
void setLineSettings(termios& settings) {
    ::cfsetispeed(&settings, B19200);
    ::cfsetospeed(&settings, B19200);
    settings.c_cflag &= ~(CSIZE | CSTOPB | PARENB | PARODD | CMSPAR | CRTSCTS);
    settings.c_cflag |= CS8 | CREAD | CLOCAL;
    settings.c_iflag &= ~(INPCK | IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF | IXANY);
#ifdef IUCLC
    settings.c_iflag &= ~IUCLC;
#endif
    settings.c_oflag &= ~OPOST;
    settings.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    // With O_NONBLOCK an empty queue then reads as EAGAIN and read() == 0 means hang-up.
    settings.c_cc[VMIN] = 1;
    settings.c_cc[VTIME] = 0;
}

}  // namespace

SerialPort::~SerialPort() { close(); }

bool SerialPort::open(int portNumber) {
    if (fd_ >= 0) return true;
    const std::string path = comDevicePath(portNumber);
    if (path.empty()) return false;
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;

    // Exclusive use: the lock holds against every other opener, root included; TIOCEXCL also
    // keeps out programs that do not take the lock (root bypasses it).
    termios settings{};
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::tcgetattr(fd, &settings) != 0) {
        ::close(fd);
        return false;
    }
    ::ioctl(fd, TIOCEXCL);
    setLineSettings(settings);
    ::tcsetattr(fd, TCSANOW, &settings);
    int modemLines = TIOCM_DTR | TIOCM_RTS;  // on; a pseudo-terminal has neither
    ::ioctl(fd, TIOCMBIS, &modemLines);
    ::tcflush(fd, TCIOFLUSH);
    fd_ = fd;
    state_ = LineState::Ok;

    openTrafficLogOnce();
    return true;
}

void SerialPort::close() { release(LineState::Closed); }

// Releasing a lost device at once lets the adapter, plugged in again, get its old device name
// back: the kernel keeps a name while anyone holds the device open.
void SerialPort::release(LineState state) {
    state_ = state;
    if (fd_ < 0) return;
    // On a pseudo-terminal the exclusive flag would outlive close() as long as the other end
    // stays open, and keep this very process from opening the port again.
    ::ioctl(fd_, TIOCNXCL);
    ::close(fd_);  // also releases the lock
    fd_ = -1;
}

std::size_t SerialPort::write(const std::uint8_t* bytes, std::size_t count) {
    if (state_ == LineState::Lost) {
        logTrafficBytes("SendData: ", nullptr, 0);
        return 0;
    }
    if (fd_ < 0) return 0;
    // Late or surplus reply bytes of the previous exchange never reach the next read. The
    // output stays: discarding it would drop what an earlier write left for the line to carry.
    ::tcflush(fd_, TCIFLUSH);
    logTrafficBytes("SendData: ", nullptr, 0);

    const Clock::time_point deadline = Clock::now() + transferBudget(count);
    std::size_t handed = 0;
    while (handed < count) {
        const ssize_t written = ::write(fd_, bytes + handed, count - handed);
        if (written > 0) {
            logTrafficBytes("", bytes + handed, static_cast<std::size_t>(written));
            handed += static_cast<std::size_t>(written);
            continue;
        }
        if (written < 0 && isLossError(errno)) {
            release(LineState::Lost);
            return handed;
        }
        if (written < 0 && errno != EAGAIN && errno != EINTR) {
            state_ = LineState::NoReply;
            return handed;
        }
        // The device takes nothing now (flow control, full queue): wait for room, not forever.
        const short events = waitUntil(fd_, POLLOUT, deadline);
        if (events & (POLLHUP | POLLNVAL)) {
            release(LineState::Lost);
            return handed;
        }
        if (!(events & POLLOUT)) break;
    }

    // Synchronous: the write ends when its bytes have left the port. What is still queued when
    // the time-out expires is discarded, so it cannot reach the controller after a write that
    // reported it unsent.
    const std::size_t unsent = std::min(handed, waitUntilSent(fd_, deadline));
    if (handed < count || unsent > 0) {
        ::tcflush(fd_, TCOFLUSH);
        state_ = LineState::NoReply;
        return handed - unsent;
    }
    endTrafficLine();
    return count;
}

bool SerialPort::read(std::uint8_t* buffer, std::size_t& count) {
    std::size_t received = 0;
    if (fd_ >= 0) {
        const Clock::time_point lastChance = Clock::now() + transferBudget(count);
        Clock::time_point deadline = lastChance;
        while (received < count) {
            const short events = waitUntil(fd_, POLLIN, deadline);
            if (!(events & POLLIN)) {
                // Time-out and device errors end the read short; a hang-up loses the port.
                if (events & (POLLHUP | POLLNVAL)) release(LineState::Lost);
                break;
            }
            const ssize_t got = ::read(fd_, buffer + received, count - received);
            if (got > 0) {
                received += static_cast<std::size_t>(got);
                deadline = std::min(lastChance, Clock::now() + kGapAfterByte);
            } else if (got == 0 || isLossError(errno)) {  // 0: the other end hung up
                release(LineState::Lost);
                break;
            } else if (errno != EAGAIN && errno != EINTR) {
                break;
            }
        }
        if (state_ != LineState::Lost) state_ = received < count ? LineState::NoReply : LineState::Ok;
    }
    if (received < count) {
        count = 0;
        return false;
    }
    logReceivedLine(buffer, count);
    return true;
}

}  // namespace ravo_lib
