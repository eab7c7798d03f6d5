#include "PseudoTerminal.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <system_error>
#include <thread>
#include <vector>

namespace ravo_sim {
namespace {

[[noreturn]] void throwErrno(const std::string& what) { throw std::system_error(errno, std::generic_category(), what); }

void makeRaw(int slaveFd) {
    termios settings{};
    if (tcgetattr(slaveFd, &settings) != 0) throwErrno("tcgetattr");
    cfmakeraw(&settings);
    settings.c_cflag |= CLOCAL | CREAD;
    settings.c_cc[VMIN] = 1;
    settings.c_cc[VTIME] = 0;
    cfsetispeed(&settings, B19200);
    cfsetospeed(&settings, B19200);
    if (tcsetattr(slaveFd, TCSANOW, &settings) != 0) throwErrno("tcsetattr");
}

// A new pty is cooked with XON/XOFF on; a terminal program may leave RTS/CTS flow control on
// too. (A pty keeps no parity setting.)
void leaveAsUsed(int slaveFd) {
    termios settings{};
    if (tcgetattr(slaveFd, &settings) != 0) throwErrno("tcgetattr");
    settings.c_cflag |= CRTSCTS;
    settings.c_iflag |= IXON | IXOFF;
    if (tcsetattr(slaveFd, TCSANOW, &settings) != 0) throwErrno("tcsetattr");
}

// Points `linkPath` at `target`, atomically replacing an existing link of that name. Anything
// else of that name is left alone.
void replaceLink(const std::string& target, const std::string& linkPath) {
    struct stat existing {};
    if (lstat(linkPath.c_str(), &existing) == 0 && !S_ISLNK(existing.st_mode)) {
        errno = EEXIST;
        throwErrno(linkPath + " exists and is not a link");
    }
    const std::string temporary = linkPath + ".new." + std::to_string(getpid());
    unlink(temporary.c_str());
    if (symlink(target.c_str(), temporary.c_str()) != 0) throwErrno("symlink " + temporary);
    if (rename(temporary.c_str(), linkPath.c_str()) != 0) {
        const int saved = errno;
        unlink(temporary.c_str());
        errno = saved;
        throwErrno("rename to " + linkPath);
    }
}

}  // namespace

PseudoTerminal::PseudoTerminal(std::string linkPath, bool usedLine)
    : linkPath_(std::move(linkPath)), usedLine_(usedLine) {
    open();
}

void PseudoTerminal::open() {
    if (master_ >= 0) return;
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0) throwErrno("posix_openpt");
    int slave = -1;
    try {
        if (grantpt(master) != 0) throwErrno("grantpt");
        if (unlockpt(master) != 0) throwErrno("unlockpt");
        char name[PATH_MAX];
        if (ptsname_r(master, name, sizeof name) != 0) throwErrno("ptsname");
        slave = ::open(name, O_RDWR | O_NOCTTY);
        if (slave < 0) throwErrno("open " + std::string(name));
        if (usedLine_)
            leaveAsUsed(slave);
        else
            makeRaw(slave);
        const int flags = fcntl(master, F_GETFL);
        if (flags < 0 || fcntl(master, F_SETFL, flags | O_NONBLOCK) != 0) throwErrno("fcntl");
        replaceLink(name, linkPath_);
        slavePath_ = name;
    } catch (...) {
        if (slave >= 0) close(slave);
        close(master);
        throw;
    }
    master_ = master;
    heldSlave_ = slave;
}

PseudoTerminal::~PseudoTerminal() { hangUp(); }

std::size_t PseudoTerminal::unreadBytes() const {
    int unread = 0;
    if (master_ < 0 || ioctl(master_, FIONREAD, &unread) != 0 || unread < 0) return 0;
    return static_cast<std::size_t>(unread);
}

std::size_t PseudoTerminal::holdClientOutput() {
    // The line discipline keeps at most this many unread bytes for the master; later bytes
    // wait in the pty's own buffers until the master reads.
    constexpr std::size_t kReceiveQueue = 4095;
    constexpr auto kSettleLimit = std::chrono::milliseconds(100);
    if (master_ < 0) return 0;
    const std::vector<std::uint8_t> filler(kReceiveQueue, 0);
    std::size_t written = 0;
    while (written < filler.size()) {
        const ssize_t n = write(heldSlave_, filler.data() + written, filler.size() - written);
        if (n <= 0) break;
        written += static_cast<std::size_t>(n);
    }
    // The kernel moves the filler into the master's queue a moment later; a client byte must
    // not get there before it.
    const auto limit = std::chrono::steady_clock::now() + kSettleLimit;
    while (unreadBytes() < written && std::chrono::steady_clock::now() < limit)
        std::this_thread::sleep_for(std::chrono::microseconds(100));
    return written;
}

void PseudoTerminal::hangUp() {
    if (master_ < 0) return;
    removeLinkIfOurs();
    close(heldSlave_);
    close(master_);
    heldSlave_ = master_ = -1;
}

void PseudoTerminal::removeLinkIfOurs() const {
    char target[PATH_MAX];
    const ssize_t length = readlink(linkPath_.c_str(), target, sizeof target - 1);
    if (length < 0) return;
    target[length] = '\0';
    if (slavePath_ == target) unlink(linkPath_.c_str());
}

}  // namespace ravo_sim
