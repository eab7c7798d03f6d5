// Test support for the simulator: a client on its line (plain POSIX reads and writes), builders
// for the frames a client sends, and a fixture with a simulator on COM1 of a fresh folder.
#pragma once

#include "TemporaryFolder.h"

#include <ravo_sim/Simulator.h>

#include <gtest/gtest.h>

#include <chrono>

namespace sim_test {

using Bytes = std::vector<std::uint8_t>;
using namespace std::chrono_literals;

class LineClient {
public:
    explicit LineClient(const std::string& path);  // raw mode, pending input discarded
    ~LineClient();
    LineClient(const LineClient&) = delete;
    LineClient& operator=(const LineClient&) = delete;

    void send(const Bytes& bytes);
    // Throws away what was sent but has not left this end of the line yet (TCOFLUSH).
    void discardOutput();
    // Whatever arrives until `count` bytes are in or `timeout` has passed.
    Bytes receive(std::size_t count, std::chrono::milliseconds timeout = 300ms);
    Bytes exchange(const Bytes& request, std::size_t replyLength, std::chrono::milliseconds timeout = 300ms) {
        send(request);
        return receive(replyLength, timeout);
    }

private:
    int fd_ = -1;
};

// A command frame with its sum byte.
Bytes commandFrame(std::uint8_t code, std::uint32_t p1 = 0, std::uint32_t p2 = 0, std::uint32_t p3 = 0,
                   std::uint8_t address = 0xFF);
// Reply field n (1..3), most significant byte first.
std::uint32_t replyField(const Bytes& reply, int n);
// `bytes` followed by their Modbus CRC, low byte first.
Bytes withCrc(Bytes bytes);

struct SimulatorOnLine {
    explicit SimulatorOnLine(bool paced = false);
    TemporaryFolder folder;
    ravo_sim::Simulator sim;  // on COM1 of the folder
    LineClient line;
};

class SimTest : public ::testing::Test {
protected:
    Bytes ask(std::uint8_t code, std::uint32_t p1 = 0, std::uint32_t p2 = 0, std::uint32_t p3 = 0) {
        return env.line.exchange(commandFrame(code, p1, p2, p3), 16);
    }
    SimulatorOnLine env;
};

}  // namespace sim_test
