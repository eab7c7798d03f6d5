// The far end of a serial line: a pseudo-terminal master whose slave is linked as COM1 in a
// fresh folder that RAVO_COM_DIR points to. Its thread cuts what the library sends into 16-byte
// requests, records them and writes back what the current answer function returns.
#pragma once

#include "TemporaryComFolder.h"

#include <Kelvane_Ravo_Q9T2.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

using Bytes = std::vector<std::uint8_t>;
using Frame16 = std::array<std::uint8_t, 16>;

// AA <address> <code>, three 32-bit values most significant byte first, the sum of bytes 0..14.
inline Frame16 commandFrame(std::uint8_t address, std::uint8_t code, std::uint32_t p1, std::uint32_t p2,
                            std::uint32_t p3) {
    Frame16 frame{0xAA, address, code};
    const std::uint32_t fields[] = {p1, p2, p3};
    for (int b = 0; b < 12; ++b) frame[3 + b] = static_cast<std::uint8_t>(fields[b / 4] >> (24 - 8 * (b % 4)));
    for (int b = 0; b < 15; ++b) frame[15] = static_cast<std::uint8_t>(frame[15] + frame[b]);
    return frame;
}

inline std::uint32_t frameValue(const Frame16& frame, int n) {  // parameter n = 1..3
    std::uint32_t value = 0;
    for (int b = 0; b < 4; ++b) value = value << 8 | frame[static_cast<std::size_t>(4 * n - 1 + b)];
    return value;
}

inline std::string hex(const Frame16& frame) {  // "aa ff 06 ... "
    std::string text;
    char group[4];
    for (std::uint8_t byte : frame) text += (std::snprintf(group, sizeof group, "%.2x ", byte), group);
    return text;
}

class PtyPeer {
public:
    using Answer = std::function<Bytes(const Frame16& request)>;  // empty: no answer

    PtyPeer() {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) throw std::runtime_error("no pty");
        std::filesystem::create_symlink(::ptsname(master_), devicePath());
        thread_ = std::thread([this] { serveLoop(); });
    }
    ~PtyPeer() {
        stopping_ = true;
        thread_.join();
        ::close(master_);
    }

    std::string devicePath() const { return folder_.file("COM1"); }
    void answerWith(Answer answer) {
        std::lock_guard<std::mutex> guard(mutex_);
        answer_ = std::move(answer);
    }
    // A reply always fits into the terminal's queue; a failed write shows as a missing reply.
    void send(const Bytes& bytes) { (void)!::write(master_, bytes.data(), bytes.size()); }
    std::vector<Frame16> requests() const {
        std::lock_guard<std::mutex> guard(mutex_);
        return requests_;
    }

private:
    void serveLoop() {
        Bytes pending;
        while (!stopping_) {
            pollfd watched{master_, POLLIN, 0};
            std::uint8_t chunk[256];
            // Nothing to read while no slave is open (between a close and the next open).
            const ssize_t n =
                ::poll(&watched, 1, 10) > 0 && (watched.revents & POLLIN) ? ::read(master_, chunk, 256) : 0;
            if (n <= 0) {
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
                continue;
            }
            pending.insert(pending.end(), chunk, chunk + n);
            for (; pending.size() >= 16; pending.erase(pending.begin(), pending.begin() + 16)) {
                Frame16 request;
                std::copy(pending.begin(), pending.begin() + 16, request.begin());
                std::unique_lock<std::mutex> guard(mutex_);
                requests_.push_back(request);
                const Answer answer = answer_;
                guard.unlock();
                if (answer) send(answer(request));
            }
        }
    }

    TemporaryComFolder folder_;
    int master_ = -1;
    std::atomic<bool> stopping_{false};
    mutable std::mutex mutex_;
    Answer answer_;
    std::vector<Frame16> requests_;
    std::thread thread_;
};

class CommandPeerTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(Ravo_OpenSericalPort(1), 0); }
    void TearDown() override { Ravo_CloseSericalPort(); }

    // Every request is answered from address 255 with its own code and these fields.
    void replyWith(std::uint32_t f1, std::uint32_t f2, std::uint32_t f3, std::size_t length = 16) {
        peer.answerWith([=](const Frame16& request) {
            const Frame16 reply = commandFrame(0xFF, request[2], f1, f2, f3);
            return Bytes(reply.begin(), reply.begin() + length);
        });
    }
    // Answers with the request's parameters rotated (p3, p1, p2) and every bit inverted, so that
    // an answer never looks like values left alone.
    void echoRotatedInverted() {
        peer.answerWith([](const Frame16& r) {
            const Frame16 reply = commandFrame(0xFF, r[2], ~frameValue(r, 3), ~frameValue(r, 1), ~frameValue(r, 2));
            return Bytes(reply.begin(), reply.end());
        });
    }
    Frame16 lastRequest() const {
        const auto all = peer.requests();
        return all.empty() ? Frame16{} : all.back();
    }

    PtyPeer peer;
};
