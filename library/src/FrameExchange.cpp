#include "FrameExchange.h"

#include "LibraryState.h"
#include "Pause.h"
#include "TrafficMonitor.h"
#include "WireValues.h"

namespace ravo_lib {

namespace {

constexpr std::uint8_t kStartByte = 0xAA;
constexpr int kCommandSpacingMs = 15;  // the controller needs this between two commands

std::uint8_t sumOfFirst15(const Frame& frame) {
    unsigned sum = 0;
    for (std::size_t i = 0; i < 15; ++i) sum += frame[i];
    return static_cast<std::uint8_t>(sum);
}

}  // namespace

void buildFrame(std::uint8_t code, std::uint8_t address, std::uint32_t p1, std::uint32_t p2, std::uint32_t p3) {
    Frame& request = libraryState().request;
    request[0] = kStartByte;
    request[1] = address;
    request[2] = code;
    writeBigEndian32(&request[3], p1);
    writeBigEndian32(&request[7], p2);
    writeBigEndian32(&request[11], p3);
    request[15] = 0;
}

int exchangeFrame(std::uint32_t& field1, std::uint32_t& field2, std::uint32_t& field3) {
    LibraryState& state = libraryState();
    state.request[15] = sumOfFirst15(state.request);
    SerialPort& port = *state.commandPort;
    const std::size_t sent = port.write(state.request.data(), state.request.size());
    reportSent(port, state.request.data(), state.request.size(), sent);
    if (sent != state.request.size()) return ExchangeNotSent;

    // Only the three fields of a reply are looked at: start byte, address, code and sum are not.
    state.reply.fill(0);
    std::size_t count = state.reply.size();
    const bool complete = port.read(state.reply.data(), count);
    reportReceived(port, state.reply.data(), state.reply.size(), complete);
    if (!complete) return ExchangeNoReply;
    field1 = readBigEndian32(&state.reply[3]);
    field2 = readBigEndian32(&state.reply[7]);
    field3 = readBigEndian32(&state.reply[11]);

    pauseMilliseconds(kCommandSpacingMs);
    return ExchangeOk;
}

}  // namespace ravo_lib
