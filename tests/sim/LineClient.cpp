#include "LineClient.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdexcept>

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

// Requests are far smaller than the pty's buffer: one write takes them whole.
void LineClient::send(const Bytes& bytes) {
    if (write(fd_, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
        throw std::runtime_error(std::string("write: ") + std::strerror(errno));
}

void LineClient::discardOutput() { tcflush(fd_, TCOFLUSH); }

Bytes LineClient::receive(std::size_t count, std::chrono::milliseconds timeout) {
    Bytes received;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (received.size() < count) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) break;
        pollfd ready{fd_, POLLIN, 0};
        if (poll(&ready, 1, static_cast<int>(left.count()) + 1) <= 0) continue;
        std::uint8_t chunk[512];
        const ssize_t n = read(fd_, chunk, std::min(sizeof chunk, count - received.size()));
        if (n > 0) received.insert(received.end(), chunk, chunk + n);
        if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR)) break;  // line gone
    }
    return received;
}

Bytes commandFrame(std::uint8_t code, std::uint32_t p1, std::uint32_t p2, std::uint32_t p3, std::uint8_t address) {
    Bytes frame{0xAA, address, code};
    for (std::uint32_t value : {p1, p2, p3})
        for (int shift = 24; shift >= 0; shift -= 8) frame.push_back(static_cast<std::uint8_t>(value >> shift));
    unsigned sum = 0;
    for (std::uint8_t byte : frame) sum += byte;
    frame.push_back(static_cast<std::uint8_t>(sum));
    return frame;
}

std::uint32_t replyField(const Bytes& reply, int n) {
    const std::size_t at = 3 + 4 * static_cast<std::size_t>(n - 1);
    if (reply.size() < at + 4) return 0xDEADBEEF;
    return (std::uint32_t{reply[at]} << 24) | (std::uint32_t{reply[at + 1]} << 16) |
           (std::uint32_t{reply[at + 2]} << 8) | reply[at + 3];
}

// Table-free bytewise form of the Modbus CRC, written independently of the simulator's.
Bytes withCrc(Bytes bytes) {
    unsigned crc = 0xFFFF;
    for (std::uint8_t byte : bytes) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ ((crc & 1) ? 0xA001 : 0);
    }
    bytes.push_back(static_cast<std::uint8_t>(crc & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(crc >> 8));
    return bytes;
}

SimulatorOnLine::SimulatorOnLine(bool paced)
    : sim(ravo_sim::Simulator::Options{folder.path(), 1, paced, false}), line(sim.devicePath()) {}

}  // namespace sim_test
