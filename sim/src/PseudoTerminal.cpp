#include "PseudoTerminal.h"

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <system_error>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace ravo_sim {
namespace {

[[noreturn]] void throwErrno(const std::string& what) {
    throw std::system_error(errno, std::generic_category(), what);
}

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

PseudoTerminal::PseudoTerminal(std::string linkPath) : linkPath_(std::move(linkPath)) {
    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0) throwErrno("posix_openpt");
    try {
        if (grantpt(master_) != 0) throwErrno("grantpt");
        if (unlockpt(master_) != 0) throwErrno("unlockpt");
        char name[PATH_MAX];
        if (ptsname_r(master_, name, sizeof name) != 0) throwErrno("ptsname");
        slavePath_ = name;
        heldSlave_ = open(name, O_RDWR | O_NOCTTY);
        if (heldSlave_ < 0) throwErrno("open " + slavePath_);
        makeRaw(heldSlave_);
        const int flags = fcntl(master_, F_GETFL);
        if (flags < 0 || fcntl(master_, F_SETFL, flags | O_NONBLOCK) != 0) throwErrno("fcntl");
        replaceLink(slavePath_, linkPath_);
    } catch (...) {
        if (heldSlave_ >= 0) close(heldSlave_);
        close(master_);
        throw;
    }
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
