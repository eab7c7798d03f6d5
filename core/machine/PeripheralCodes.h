// The peripheral settings' drop-down lists and what their indices mean on the wire. A list
// index is what the application program stores; the functions below turn it into the value
// the controller gets.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kelvane {

constexpr int kLimitInputEntries = 25;   // "不开启", X1..X14, IN15..IN24
constexpr int kAnalogueModeEntries = 8;  // "不启用", six axis speeds, "采集模拟量"
constexpr int kEncoderModeEntries = 31;  // "不启用", five kinds for each of six axes

// Entry texts (UTF-8), index order.
std::vector<std::string> LimitInputNames();
std::vector<std::string> AnalogueModeNames();
std::vector<std::string> EncoderModeNames();

// Limit input sent for a list index: the input number, or 255 for "不开启" (index 0) and for
// an index no list entry has.
std::uint8_t LimitInputSent(std::uint8_t index);
// A/D mode sent: 0 and 1 as they are, else (index - 1) * 5 + 1; an unknown index is "不启用".
int AnalogueModeSent(std::uint8_t index);
// Encoder mode sent: the index; an unknown index is "不启用".
int EncoderModeSent(std::uint8_t index);

}  // namespace kelvane
