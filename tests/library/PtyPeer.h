// The far end of a serial line: a pseudo-terminal master whose slave is linked as COM1 in a
// fresh folder that RAVO_COM_DIR points to. Its thread cuts what the library sends into 16-byte
// requests, records them and writes back what the current answer function returns (which may
// also send or hang up itself). CommandPeerTest opens the command port on such a peer.
#pragma once

#include "TemporaryComFolder.h"

#include <Kelvane_Ravo_Q9T2.h>
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

using Bytes = std::vector<std::uint8_t>;
using Frame16 = std::array<std::uint8_t, 16>;

// AA <address> <code>, three 32-bit values most significant byte first, the sum of bytes 0..14.
Frame16 commandFrame(std::uint8_t address, std::uint8_t code, std::uint32_t p1, std::uint32_t p2, std::uint32_t p3);
std::uint32_t frameValue(const Frame16& frame, int n);  // parameter n = 1..3
std::string hex(const Frame16& frame);                  // "aa ff 06 ... "

class PtyPeer {
public:
    using Answer = std::function<Bytes(const Frame16& request)>;  // empty: no answer

    PtyPeer();
    ~PtyPeer();
    PtyPeer(const PtyPeer&) = delete;
    PtyPeer& operator=(const PtyPeer&) = delete;

    const std::string& comDir() const { return folder_.path(); }
    std::string devicePath() const { return folder_.file("COM1"); }

    void answerWith(Answer answer);
    void send(const Bytes& bytes);
    void hangUp();  // closes the master: the library's side sees a hang-up
    std::vector<Frame16> requests() const;

private:
    void serveLoop();

    TemporaryComFolder folder_;
    std::atomic<int> master_{-1};
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
    // an answer never looks like values left alone and queries read back their first parameter.
    void echoRotatedInverted() {
        peer.answerWith([](const Frame16& r) {
            const Frame16 reply = commandFrame(0xFF, r[2], ~frameValue(r, 3), ~frameValue(r, 1), ~frameValue(r, 2));
            return Bytes(reply.begin(), reply.end());
        });
    }
    void staySilent() { peer.answerWith({}); }
    Frame16 lastRequest() const {
        const auto all = peer.requests();
        return all.empty() ? Frame16{} : all.back();
    }

    PtyPeer peer;
};
