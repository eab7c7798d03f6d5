#include "ViewTestSupport.h"

#include <Kelvane_Ravo_Q9T2.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

#include <cstdio>
#include <cstring>

std::string Cmd(int code, std::initializer_list<std::uint32_t> params) {
    std::uint32_t p[3] = {0, 0, 0};
    int i = 0;
    for (std::uint32_t value : params) p[i++] = value;
    return "C" + std::to_string(code) + " " + std::to_string(p[0]) + " " + std::to_string(p[1]) + " " +
           std::to_string(p[2]);
}

namespace {
std::string Hex16(unsigned value) {
    char text[8];
    std::snprintf(text, sizeof text, "%04X", value & 0xFFFF);
    return text;
}
}  // namespace

std::string WriteCoil(int coil, bool on) { return "M5 " + std::to_string(coil) + (on ? " FF00" : " 0000"); }

std::string WriteRegisters(int address, std::initializer_list<std::uint16_t> values) {
    std::string text = "M16 " + std::to_string(address);
    for (std::uint16_t value : values) text += " " + Hex16(value);
    return text;
}

std::string ReadRegisters(int address, int count) {
    return "M4 " + std::to_string(address) + " " + std::to_string(count);
}

std::string Describe(const ravo_sim::Request& request) {
    const std::vector<std::uint8_t>& b = request.bytes;
    switch (request.kind) {
        case ravo_sim::RequestKind::Command:
            return Cmd(request.code(), {request.param(1), request.param(2), request.param(3)});
        case ravo_sim::RequestKind::Modbus: {
            if (b.size() < 6) break;
            const int function = b[1];
            const int address = b[2] << 8 | b[3];
            if (function == 5) return WriteCoil(address, b[4] == 0xFF);
            if (function == 4 || function == 1)
                return "M" + std::to_string(function) + " " + std::to_string(address) + " " +
                       std::to_string(b[4] << 8 | b[5]);
            if (function == 16 && b.size() >= 7) {
                std::string text = "M16 " + std::to_string(address);
                for (std::size_t i = 7; i + 1 < b.size() - 2; i += 2) text += " " + Hex16(b[i] << 8 | b[i + 1]);
                return text;
            }
            break;
        }
        default:
            break;
    }
    std::string text = "?";
    for (std::uint8_t byte : b) text += " " + Hex16(byte).substr(2);
    return text;
}

std::vector<std::string> PerAxis(int code) {
    std::vector<std::string> lines;
    for (int i = 0; i < 6; ++i) lines.push_back(Cmd(code, {1u << i}));
    return lines;
}

std::vector<std::string> Joined(std::vector<std::string> a, std::initializer_list<std::vector<std::string>> rest) {
    for (const auto& lines : rest) a.insert(a.end(), lines.begin(), lines.end());
    return a;
}

bool WaitFor(const std::function<bool()>& condition, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    }
    return true;
}

void ViewTest::SetUp() {
    ConnectedControllerTest::SetUp();
    controller->clearTraffic();
}

void ViewTest::TearDown() {
    EXPECT_TRUE(settle());
    ConnectedControllerTest::TearDown();
}

bool ViewTest::settle(int timeoutMs) {
    return WaitFor([this] { return !worker.busy(); }, timeoutMs);
}

std::vector<std::string> ViewTest::takeTraffic() {
    EXPECT_TRUE(settle()) << "the link worker did not finish";
    std::vector<std::string> lines;
    for (const ravo_sim::Request& request : controller->traffic()) lines.push_back(Describe(request));
    controller->clearTraffic();
    return lines;
}
