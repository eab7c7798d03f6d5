#include "PtyPeer.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

PtyPeer::PtyPeer() {
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) throw std::runtime_error("no pseudo-terminal");
    master_ = master;
    std::filesystem::create_symlink(::ptsname(master), devicePath());
    thread_ = std::thread([this] { serveLoop(); });
}

PtyPeer::~PtyPeer() {
    stopping_ = true;
    thread_.join();
    hangUp();
}

void PtyPeer::answerWith(Answer answer) {
    std::lock_guard<std::mutex> guard(mutex_);
    answer_ = std::move(answer);
}

void PtyPeer::send(const Bytes& bytes) {
    // A reply always fits into the terminal's queue; a failed write shows as a missing reply.
    const int master = master_;
    const ssize_t written = master >= 0 ? ::write(master, bytes.data(), bytes.size()) : -1;
    (void)written;
}

void PtyPeer::hangUp() {
    const int master = master_.exchange(-1);
    if (master >= 0) ::close(master);
}

std::vector<Frame16> PtyPeer::requests() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return requests_;
}

void PtyPeer::serveLoop() {
    Bytes pending;
    while (!stopping_) {
        const int master = master_;
        if (master < 0) return;
        pollfd watched{master, POLLIN, 0};
        if (::poll(&watched, 1, 10) <= 0) continue;
        std::uint8_t chunk[256];
        const ssize_t n = (watched.revents & POLLIN) ? ::read(master, chunk, sizeof chunk) : 0;
        if (n <= 0) {  // no slave open at the moment (between a close and the next open)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
            continue;
        }
        pending.insert(pending.end(), chunk, chunk + n);
        for (; pending.size() >= 16; pending.erase(pending.begin(), pending.begin() + 16)) {
            Frame16 request;
            std::copy(pending.begin(), pending.begin() + 16, request.begin());
            Answer answer;
            {
                std::lock_guard<std::mutex> guard(mutex_);
                requests_.push_back(request);
                answer = answer_;
            }
            if (answer) send(answer(request));
        }
    }
}

Frame16 commandFrame(std::uint8_t address, std::uint8_t code, std::uint32_t p1, std::uint32_t p2, std::uint32_t p3) {
    Frame16 frame{0xAA, address, code};
    const std::uint32_t fields[] = {p1, p2, p3};
    unsigned sum = 0xAA + address + code;
    for (int b = 0; b < 12; ++b) {
        frame[3 + b] = static_cast<std::uint8_t>(fields[b / 4] >> (24 - 8 * (b % 4)));
        sum += frame[3 + b];
    }
    frame[15] = static_cast<std::uint8_t>(sum);
    return frame;
}

std::uint32_t frameValue(const Frame16& frame, int n) {
    const std::size_t at = 3 + 4 * static_cast<std::size_t>(n - 1);
    return std::uint32_t{frame[at]} << 24 | std::uint32_t{frame[at + 1]} << 16 | std::uint32_t{frame[at + 2]} << 8 |
           frame[at + 3];
}

std::string hex(const Frame16& frame) {
    std::string text;
    char group[4];
    for (std::uint8_t byte : frame) {
        std::snprintf(group, sizeof group, "%.2x ", byte);
        text += group;
    }
    return text;
}
