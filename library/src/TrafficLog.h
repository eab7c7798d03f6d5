// SericalComInfo.log, the traffic log shared by every serial port of the process: created
// (truncated, with its banner) by the first successful open and kept open from then on.
#pragma once

#include <cstddef>
#include <cstdint>

namespace ravo_lib {

// Creates the log beside the executable unless it exists already. A log that cannot be created
// is no error: the next successful open tries again.
void openTrafficLogOnce();

// "SendData: " / "ReceiveData: " lines, flushed as each line ends; nothing happens without a
// log. A line cut short by a failed write is flushed with the next line.
void logTrafficBytes(const char* prefix, const std::uint8_t* bytes, std::size_t count);
void endTrafficLine();
// The whole "ReceiveData: ..." line of a complete read.
void logReceivedLine(const std::uint8_t* bytes, std::size_t count);

}  // namespace ravo_lib
