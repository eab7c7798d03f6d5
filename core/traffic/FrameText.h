// Readable text of single frames: command frames and their replies, program records and their
// acknowledgements, Modbus RTU requests and replies. A frame that cannot be read says why.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kelvane {

struct InstructionCatalogue;

using FrameBytes = std::vector<std::uint8_t>;

struct FrameReading {
    std::string text;
    bool readable = true;
};

// "aa ff 02 ..." as the library's logs write bytes.
std::string HexBytes(const FrameBytes& bytes);

// A 16-byte frame: "Ravo_MotorMove addr=255 axis=X distance=2.5"; an unknown code shows its
// number and raw parameters.
FrameReading CommandText(const FrameBytes& frame);
// The reply to command `code`: the field the command returns, typed as it returns it.
FrameReading CommandReplyText(std::uint8_t code, const FrameBytes& reply);
// Program record `index`: its instruction (the catalogue's name and parameter texts when a
// catalogue is given and knows the code, the code and raw parameters otherwise).
FrameReading RecordText(const FrameBytes& record, const InstructionCatalogue* catalogue);
// A record's acknowledgement: accepted when its status (bytes 3..6) is 0.
FrameReading RecordReplyText(const FrameBytes& reply);
// The end frame of a download.
FrameReading EndFrameText(const FrameBytes& frame);
// A Modbus request, or the reply to a request of `function`.
FrameReading ModbusText(const FrameBytes& frame);
FrameReading ModbusReplyText(std::uint8_t function, const FrameBytes& reply);

// True for bytes that read as a Modbus request of a function the controller knows with a
// right CRC.
bool LooksLikeModbusRequest(const FrameBytes& frame);
// True for AA FF 08 and thirteen zeros.
bool IsEndFrame(const FrameBytes& frame);

}  // namespace kelvane
