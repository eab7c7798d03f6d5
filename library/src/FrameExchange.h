// The 16-byte command frame and its request/reply exchange on the command port.
// Call with the library lock held.
#pragma once

#include <cstdint>

namespace ravo_lib {

enum ExchangeResult : int { ExchangeOk = 0, ExchangeNoReply = 3, ExchangeNotSent = 4 };

// Writes bytes 0..14 of the request buffer (0xAA, address, code, three big-endian parameters)
// and sets byte 15 to 0.
void buildFrame(std::uint8_t code, std::uint8_t address, std::uint32_t p1, std::uint32_t p2, std::uint32_t p3);

// Sets the sum byte, sends the request, reads the 16-byte reply and decodes its three fields.
// On success stores them, waits 15 ms and returns ExchangeOk; otherwise leaves the out-values
// alone and returns at once.
int exchangeFrame(std::uint32_t& field1, std::uint32_t& field2, std::uint32_t& field3);

}  // namespace ravo_lib
