#include "LineClient.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <stdexcept>
#include <termios.h>
#include <unistd.h>

namespace sim_test {

LineClient::LineClient(const std::string& path) {
    fd_ = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd_ < 0) throw std::runtime_error("cannot open " + path + ": " + std::strerror(errno));
    termios settings{};
    tcgetattr(fd_, &settings);
    cfmakeraw(&settings);
    tcsetattr(fd_, TCSANOW, &settings);
    tcflush(fd_, TCIOFLUSH);
}

LineClient::~LineClient() { close(fd_); }

void LineClient::send(const Bytes& bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = write(fd_, bytes.data() + sent, bytes.size() - sent);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
        } else if (n < 0 && errno != EINTR && errno != EAGAIN) {
            throw std::runtime_error(std::string("write: ") + std::strerror(errno));
        }
    }
}

Bytes LineClient::receive(std::size_t count, std::chrono::milliseconds timeout) {
    Bytes received;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (received.size() < count) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) break;
        pollfd ready{fd_, POLLIN, 0};
        if (poll(&ready, 1, static_cast<int>(left.count()) + 1) <= 0) continue;
        std::uint8_t chunk[512];
        const std::size_t wanted = std::min(sizeof chunk, count - received.size());
        const ssize_t n = read(fd_, chunk, wanted);
        if (n > 0) received.insert(received.end(), chunk, chunk + n);
        if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR)) break;  // line gone
    }
    return received;
}

Bytes LineClient::exchange(const Bytes& request, std::size_t replyLength,
                           std::chrono::milliseconds timeout) {
    send(request);
    return receive(replyLength, timeout);
}

bool LineClient::staysQuiet(std::chrono::milliseconds window) {
    return receive(1, window).empty();
}

Bytes commandFrame(std::uint8_t code, std::uint32_t p1, std::uint32_t p2, std::uint32_t p3,
                   std::uint8_t address) {
    Bytes frame{0xAA, address, code};
    for (std::uint32_t value : {p1, p2, p3})
        for (int shift = 24; shift >= 0; shift -= 8)
            frame.push_back(static_cast<std::uint8_t>(value >> shift));
    unsigned sum = 0;
    for (std::uint8_t byte : frame) sum += byte;
    frame.push_back(static_cast<std::uint8_t>(sum));
    return frame;
}

std::uint32_t floatBits(float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

float asFloat(std::uint32_t bits) {
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

std::uint32_t replyField(const Bytes& reply, int n) {
    const std::size_t at = 3 + 4 * static_cast<std::size_t>(n - 1);
    if (reply.size() < at + 4) return 0xDEADBEEF;
    return (std::uint32_t{reply[at]} << 24) | (std::uint32_t{reply[at + 1]} << 16) |
           (std::uint32_t{reply[at + 2]} << 8) | reply[at + 3];
}

bool hasFrameSum(const Bytes& frame) {
    if (frame.size() != 16) return false;
    unsigned sum = 0;
    for (std::size_t i = 0; i < 15; ++i) sum += frame[i];
    return frame[15] == static_cast<std::uint8_t>(sum);
}

namespace {

// Table-free bytewise form of the Modbus CRC, written independently of the simulator's.
std::uint16_t crc16(const std::uint8_t* data, std::size_t count) {
    unsigned crc = 0xFFFF;
    for (std::size_t i = 0; i < count; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ ((crc & 1) ? 0xA001 : 0);
    }
    return static_cast<std::uint16_t>(crc);
}

}  // namespace

Bytes withCrc(Bytes bytes) {
    const std::uint16_t crc = crc16(bytes.data(), bytes.size());
    bytes.push_back(static_cast<std::uint8_t>(crc & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(crc >> 8));
    return bytes;
}

Bytes withCrc(std::initializer_list<std::uint8_t> bytes) { return withCrc(Bytes(bytes)); }

bool hasValidCrc(const Bytes& bytes) {
    if (bytes.size() < 3) return false;
    return withCrc(Bytes(bytes.begin(), bytes.end() - 2)) == bytes;
}

SimulatorOnLine::SimulatorOnLine(bool paced) {
    char pattern[] = "/tmp/ravo-sim-test.XXXXXX";
    if (!mkdtemp(pattern)) throw std::runtime_error("mkdtemp failed");
    folder_ = pattern;
    ravo_sim::Simulator::Options options;
    options.comDir = folder_;
    options.comNumber = 1;
    options.paced = paced;
    sim_ = std::make_unique<ravo_sim::Simulator>(options);
    line_ = std::make_unique<LineClient>(sim_->devicePath());
}

SimulatorOnLine::~SimulatorOnLine() {
    line_.reset();
    sim_.reset();
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

}  // namespace sim_test
