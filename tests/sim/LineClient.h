// The client end of a simulated line for tests: plain POSIX reads and writes on the COM link,
// plus builders for the frames a client sends.
#pragma once

#include <ravo_sim/Simulator.h>

#include <chrono>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

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
    // Whatever arrives until `count` bytes are in or `timeout` has passed.
    Bytes receive(std::size_t count, std::chrono::milliseconds timeout = 300ms);
    Bytes exchange(const Bytes& request, std::size_t replyLength,
                   std::chrono::milliseconds timeout = 300ms);
    // True when nothing at all arrives within `window`.
    bool staysQuiet(std::chrono::milliseconds window = 60ms);

private:
    int fd_ = -1;
};

// A command frame with its sum byte.
Bytes commandFrame(std::uint8_t code, std::uint32_t p1 = 0, std::uint32_t p2 = 0,
                   std::uint32_t p3 = 0, std::uint8_t address = 0xFF);
std::uint32_t floatBits(float value);
float asFloat(std::uint32_t bits);
// Reply field n (1..3), most significant byte first.
std::uint32_t replyField(const Bytes& reply, int n);
bool hasFrameSum(const Bytes& frame);

// `bytes` followed by their Modbus CRC, low byte first.
Bytes withCrc(std::initializer_list<std::uint8_t> bytes);
Bytes withCrc(Bytes bytes);
bool hasValidCrc(const Bytes& bytes);

// A simulator on COM1 of a fresh temporary folder, with a client on its line.
class SimulatorOnLine {
public:
    explicit SimulatorOnLine(bool paced = false);
    ~SimulatorOnLine();

    ravo_sim::Simulator& sim() { return *sim_; }
    LineClient& line() { return *line_; }
    const std::string& folder() const { return folder_; }

private:
    std::string folder_;
    std::unique_ptr<ravo_sim::Simulator> sim_;
    std::unique_ptr<LineClient> line_;
};

}  // namespace sim_test
