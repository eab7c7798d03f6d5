// The far end of a serial line for link tests: a pseudo-terminal master whose slave is linked
// as COM<n> in a fresh folder that RAVO_COM_DIR points to. A thread of its own cuts what the
// library sends into 16-byte requests and hands each to a responder, which answers (or not)
// through send().
#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

using Bytes = std::vector<std::uint8_t>;
using Frame16 = std::array<std::uint8_t, 16>;

class PtyPeer {
public:
    using Responder = std::function<void(const Frame16& request)>;

    explicit PtyPeer(int comNumber = 1);
    ~PtyPeer();
    PtyPeer(const PtyPeer&) = delete;
    PtyPeer& operator=(const PtyPeer&) = delete;

    const std::string& comDir() const { return dir_; }
    std::string devicePath() const;

    // Starts answering requests; without a responder every request is only recorded.
    void serve(Responder responder = {});
    // Writes bytes to the library's side of the line.
    void send(const Bytes& bytes);
    // Closes the master: the library's side sees a hang-up.
    void hangUp();

    std::vector<Frame16> requests() const;
    bool waitForRequests(std::size_t count, std::chrono::milliseconds timeout) const;

private:
    void serveLoop();

    std::string dir_;
    int comNumber_;
    std::atomic<int> master_{-1};
    Responder responder_;
    std::atomic<bool> stopping_{false};
    std::thread thread_;
    mutable std::mutex mutex_;
    std::vector<Frame16> requests_;
};

// A 16-byte frame: AA <address> <code>, three 32-bit values most significant byte first, and
// the sum of the first 15 bytes.
Frame16 commandFrame(std::uint8_t address, std::uint8_t code, std::uint32_t p1, std::uint32_t p2,
                     std::uint32_t p3);
// The controller's reply to `code`: the same layout from address 255.
Frame16 replyFrame(std::uint8_t code, std::uint32_t field1, std::uint32_t field2,
                   std::uint32_t field3);
// The 32-bit value at bytes 3+4(n-1).. (n = 1..3).
std::uint32_t frameValue(const Frame16& frame, int n);
Bytes bytesOf(const Frame16& frame);
