#include "PtyPeer.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <stdexcept>
#include <unistd.h>

PtyPeer::PtyPeer(int comNumber) : comNumber_(comNumber) {
    char pattern[] = "/tmp/ravo-peer.XXXXXX";
    if (!::mkdtemp(pattern)) throw std::runtime_error("mkdtemp failed");
    dir_ = pattern;
    ::setenv("RAVO_COM_DIR", dir_.c_str(), 1);

    const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0)
        throw std::runtime_error("no pseudo-terminal");
    master_ = master;
    std::filesystem::create_symlink(::ptsname(master), devicePath());
}

PtyPeer::~PtyPeer() {
    stopping_ = true;
    if (thread_.joinable()) thread_.join();
    hangUp();
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
}

std::string PtyPeer::devicePath() const { return dir_ + "/COM" + std::to_string(comNumber_); }

void PtyPeer::serve(Responder responder) {
    responder_ = std::move(responder);
    thread_ = std::thread([this] { serveLoop(); });
}

void PtyPeer::send(const Bytes& bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const int master = master_;
        if (master < 0) return;
        const ssize_t n = ::write(master, bytes.data() + sent, bytes.size() - sent);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
        } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
            return;
        } else {
            pollfd watched{master, POLLOUT, 0};
            ::poll(&watched, 1, 10);
        }
    }
}

void PtyPeer::hangUp() {
    const int master = master_.exchange(-1);
    if (master >= 0) ::close(master);
}

std::vector<Frame16> PtyPeer::requests() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return requests_;
}

bool PtyPeer::waitForRequests(std::size_t count, std::chrono::milliseconds timeout) const {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (requests().size() < count) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

void PtyPeer::serveLoop() {
    Bytes pending;
    while (!stopping_) {
        const int master = master_;
        if (master < 0) return;
        pollfd watched{master, POLLIN, 0};
        if (::poll(&watched, 1, 10) <= 0) continue;
        if (!(watched.revents & POLLIN)) {
            // No slave open at the moment (between a close and the next open).
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
            continue;
        }
        std::uint8_t chunk[256];
        const ssize_t n = ::read(master, chunk, sizeof chunk);
        if (n <= 0) continue;
        pending.insert(pending.end(), chunk, chunk + n);
        while (pending.size() >= 16) {
            Frame16 request;
            std::copy(pending.begin(), pending.begin() + 16, request.begin());
            pending.erase(pending.begin(), pending.begin() + 16);
            {
                std::lock_guard<std::mutex> guard(mutex_);
                requests_.push_back(request);
            }
            if (responder_) responder_(request);
        }
    }
}

Frame16 commandFrame(std::uint8_t address, std::uint8_t code, std::uint32_t p1, std::uint32_t p2,
                     std::uint32_t p3) {
    Frame16 frame{0xAA, address, code};
    const std::uint32_t fields[] = {p1, p2, p3};
    for (int f = 0; f < 3; ++f)
        for (int b = 0; b < 4; ++b)
            frame[3 + 4 * f + b] = static_cast<std::uint8_t>(fields[f] >> (24 - 8 * b));
    unsigned sum = 0;
    for (int i = 0; i < 15; ++i) sum += frame[i];
    frame[15] = static_cast<std::uint8_t>(sum);
    return frame;
}

Frame16 replyFrame(std::uint8_t code, std::uint32_t field1, std::uint32_t field2,
                   std::uint32_t field3) {
    return commandFrame(0xFF, code, field1, field2, field3);
}

std::uint32_t frameValue(const Frame16& frame, int n) {
    const std::size_t at = 3 + 4 * static_cast<std::size_t>(n - 1);
    return std::uint32_t{frame[at]} << 24 | std::uint32_t{frame[at + 1]} << 16 |
           std::uint32_t{frame[at + 2]} << 8 | frame[at + 3];
}

Bytes bytesOf(const Frame16& frame) { return Bytes(frame.begin(), frame.end()); }
