// How each controller command's frame reads: its name as the library's header spells it, what
// its three parameters mean and which reply field it returns as what.
#pragma once

#include <array>
#include <cstdint>

namespace kelvane {

enum class FieldKind : std::uint8_t {
    None,      // not sent, or nothing returned
    Int,       // a signed 32-bit number
    Float,     // an IEEE-754 bit pattern
    Byte,      // a small number (low 8 bits used)
    Axis,      // a mask of axes: X Y Z U V W, 7 and 8
    Pin,       // an I/O pin: IN1..IN24 are pins 1..24, OUT1..OUT12 pins 33..44
    Input,     // a limit input number, 255 for none
    Register,  // the number of a DM data register
    Flag,      // 0 or not 0
    Bits,      // a bit pattern
    Version,   // major in bits 8..15, minor in bits 0..7
};

struct Field {
    const char* label;
    FieldKind kind;
};

struct CommandFormat {
    std::uint8_t code;
    const char* name;
    std::array<Field, 3> params;
    std::uint8_t replyField;  // 1..3, 0 when the command returns nothing
    Field reply;
};

// The format of a command code; nullptr for a code no export sends.
const CommandFormat* FindCommandFormat(std::uint8_t code);

// The frame closing a program download: AA FF 08 and thirteen zeros.
constexpr std::uint8_t kEndOfProgramCode = 0x08;

}  // namespace kelvane
