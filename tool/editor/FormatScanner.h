// Reads text the way the catalogue files and the numeric grid cells are written: fixed labels,
// signed decimal numbers, real numbers and blank-free words, separated by any run of white space.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kelvane {

// Blank, tab, line feed, vertical tab, form feed and carriage return.
bool isWhiteSpaceByte(char c);

class FormatScanner {
public:
    explicit FormatScanner(std::string_view text) : text_(text) {}

    // Skips white space, then matches `label` byte for byte.
    bool label(std::string_view label);
    // Skips white space, then reads an optionally signed decimal integer; a number too wide for
    // 32 bits keeps its low 32 bits.
    bool number(std::int32_t& value);
    // Skips white space, then reads a real number (decimal, exponent, hexadecimal, inf, nan) as
    // single precision; out-of-range values become infinity or zero.
    bool realNumber(float& value);
    // Skips white space, then reads one run of non-white-space bytes.
    bool word(std::string& value);

private:
    void skipWhiteSpace();

    std::string_view text_;
    std::size_t pos_ = 0;
};

}  // namespace kelvane
