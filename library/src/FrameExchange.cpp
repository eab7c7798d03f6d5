#include "FrameExchange.h"

#include "LibraryState.h"
#include "Pause.h"

namespace ravo_lib {

namespace {

constexpr std::uint8_t kStartByte = 0xAA;
constexpr int kCommandSpacingMs = 15;  // the controller needs this between two commands

void putBigEndian(std::uint8_t* at, std::uint32_t value) {
    at[0] = static_cast<std::uint8_t>(value >> 24);
    at[1] = static_cast<std::uint8_t>(value >> 16);
    at[2] = static_cast<std::uint8_t>(value >> 8);
    at[3] = static_cast<std::uint8_t>(value);
}

std::uint32_t bigEndianAt(const std::uint8_t* at) {
    return std::uint32_t{at[0]} << 24 | std::uint32_t{at[1]} << 16 | std::uint32_t{at[2]} << 8 |
           std::uint32_t{at[3]};
}

std::uint8_t sumOfFirst15(const Frame& frame) {
    unsigned sum = 0;
    for (std::size_t i = 0; i < 15; ++i) sum += frame[i];
    return static_cast<std::uint8_t>(sum);
}

}  // namespace

void buildFrame(std::uint8_t code, std::uint8_t address, std::uint32_t p1, std::uint32_t p2,
                std::uint32_t p3) {
    Frame& request = libraryState().request;
    request[0] = kStartByte;
    request[1] = address;
    request[2] = code;
    putBigEndian(&request[3], p1);
    putBigEndian(&request[7], p2);
    putBigEndian(&request[11], p3);
    request[15] = 0;
}

int exchangeFrame(std::uint32_t& field1, std::uint32_t& field2, std::uint32_t& field3) {
    LibraryState& state = libraryState();
    state.request[15] = sumOfFirst15(state.request);
    SerialPort& port = *state.commandPort;
    if (!port.write(state.request.data(), state.request.size())) return ExchangeNotSent;

    // Only the three fields of a reply are looked at: start byte, address, code and sum are not.
    state.reply.fill(0);
    std::size_t count = state.reply.size();
    if (!port.read(state.reply.data(), count)) return ExchangeNoReply;
    field1 = bigEndianAt(&state.reply[3]);
    field2 = bigEndianAt(&state.reply[7]);
    field3 = bigEndianAt(&state.reply[11]);

    pauseMilliseconds(kCommandSpacingMs);
    return ExchangeOk;
}

}  // namespace ravo_lib
