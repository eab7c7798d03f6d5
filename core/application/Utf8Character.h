// Length of one UTF-8 character, shared by the GBK converters of both systems.
#pragma once

#include <cstddef>
#include <string>

namespace kelvane {

// Length of the UTF-8 character starting at `p`: its lead byte and the continuation bytes
// that follow, up to what the lead byte announces; 1 for a stray byte. A damaged or
// unrepresentable character is thereby replaced by a single '?'.
inline std::size_t utf8CharacterLength(const unsigned char* p, std::size_t left) {
    std::size_t expected = 1;
    if (p[0] >= 0xC2 && p[0] <= 0xDF)
        expected = 2;
    else if (p[0] >= 0xE0 && p[0] <= 0xEF)
        expected = 3;
    else if (p[0] >= 0xF0 && p[0] <= 0xF4)
        expected = 4;
    std::size_t length = 1;
    while (length < expected && length < left && (p[length] & 0xC0) == 0x80) ++length;
    return length;
}

inline bool isAscii(const std::string& text) {
    for (unsigned char c : text)
        if (c >= 0x80) return false;
    return true;
}

}  // namespace kelvane
