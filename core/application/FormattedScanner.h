// Reads text the way the C formatted-input functions (the scanf family) do, over a byte
// buffer and without any locale: the file formats of the tool are defined by such reads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace kelvane {

// Where one conversion stores its value. %d and %x into a byte keep the low 8 bits.
class ScanTarget {
public:
    ScanTarget(std::int32_t& value) : kind_(Kind::Int32), pointer_(&value) {}
    ScanTarget(std::uint8_t& value) : kind_(Kind::Byte), pointer_(&value) {}
    ScanTarget(float& value) : kind_(Kind::Float), pointer_(&value) {}
    ScanTarget(std::string& token) : kind_(Kind::Token), pointer_(&token) {}

private:
    friend class FormattedScanner;
    enum class Kind { Int32, Byte, Float, Token };
    Kind kind_;
    void* pointer_;
};

class FormattedScanner {
public:
    explicit FormattedScanner(std::string_view text) : text_(text) {}

    // Matches `format` against the text from where the previous scan stopped. A white-space
    // byte in the format matches any run of white space (also none); other bytes match
    // themselves; %d (decimal), %x (hexadecimal) and %f (real) skip white space and convert
    // the longest number prefix; %s skips white space and takes the following run of
    // non-white-space bytes. The first mismatch, bad number or end of text stops the scan:
    // targets not reached keep their values. Returns the number of values stored.
    int scan(std::string_view format, std::initializer_list<ScanTarget> targets);

    // True until a scan stops before the end of its format.
    bool allMatched() const { return allMatched_; }
    std::size_t position() const { return position_; }

private:
    void skipWhiteSpace();
    bool convert(char conversion, const ScanTarget& target);
    bool readDecimal(std::uint64_t& magnitude, bool& negative);
    bool readHexadecimal(std::uint64_t& magnitude, bool& negative);
    bool readReal(float& value);
    bool readToken(std::string& token);

    std::string_view text_;
    std::size_t position_ = 0;
    bool allMatched_ = true;
};

// The white-space bytes of the C locale: blank, tab, line feed, vertical tab, form feed,
// carriage return.
inline bool IsWhiteSpaceByte(unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

}  // namespace kelvane
