#include "FormattedScanner.h"

#include <locale.h>
#include <cassert>
#include <clocale>
#include <cstdlib>
#include <limits>

namespace kelvane {
namespace {

bool isDigit(unsigned char c) { return c >= '0' && c <= '9'; }
bool isHexDigit(unsigned char c) { return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
int hexValue(unsigned char c) {
    if (isDigit(c)) return c - '0';
    return (c | 0x20) - 'a' + 10;
}
char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c | 0x20) : c; }

// Accumulates like strtoul: saturates at the largest 64-bit value.
void accumulate(std::uint64_t& magnitude, unsigned base, unsigned digit) {
    constexpr auto limit = std::numeric_limits<std::uint64_t>::max();
    if (magnitude > (limit - digit) / base) {
        magnitude = limit;
    } else {
        magnitude = magnitude * base + digit;
    }
}

// strtol on a 64-bit long, then narrowed to int as the formatted input does for %d.
std::int32_t signedResult(std::uint64_t magnitude, bool negative) {
    constexpr std::uint64_t largest = std::numeric_limits<std::int64_t>::max();
    std::int64_t value;
    if (negative) {
        value = magnitude > largest ? std::numeric_limits<std::int64_t>::min() : -static_cast<std::int64_t>(magnitude);
    } else {
        value = magnitude > largest ? std::numeric_limits<std::int64_t>::max() : static_cast<std::int64_t>(magnitude);
    }
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(value)));
}

// strtoul: a minus sign negates modulo 2^64, unless the magnitude saturated.
std::uint32_t unsignedResult(std::uint64_t magnitude, bool negative) {
    if (negative && magnitude != std::numeric_limits<std::uint64_t>::max()) magnitude = 0 - magnitude;
    return static_cast<std::uint32_t>(magnitude);
}

// The files' numbers use '.' whatever locale the program runs in (Qt sets the user's on Linux).
#ifdef _WIN32
float parseCFloat(const std::string& number) {
    static const _locale_t locale = _create_locale(LC_ALL, "C");
    return static_cast<float>(_strtod_l(number.c_str(), nullptr, locale));
}
#else
float parseCFloat(const std::string& number) {
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return strtof_l(number.c_str(), nullptr, locale);
}
#endif

}  // namespace

void FormattedScanner::skipWhiteSpace() {
    while (position_ < text_.size() && IsWhiteSpaceByte(static_cast<unsigned char>(text_[position_]))) ++position_;
}

int FormattedScanner::scan(std::string_view format, std::initializer_list<ScanTarget> targets) {
    const ScanTarget* target = targets.begin();
    int stored = 0;
    for (std::size_t f = 0; f < format.size(); ++f) {
        const unsigned char c = static_cast<unsigned char>(format[f]);
        if (IsWhiteSpaceByte(c)) {
            skipWhiteSpace();
        } else if (c == '%' && f + 1 < format.size() && format[f + 1] != '%') {
            const char conversion = format[++f];
            assert(target != targets.end());
            if (target == targets.end() || !convert(conversion, *target)) {
                allMatched_ = false;
                return stored;
            }
            ++target;
            ++stored;
        } else {
            if (c == '%') ++f;  // "%%" matches one percent sign
            if (position_ >= text_.size() || text_[position_] != format[f]) {
                allMatched_ = false;
                return stored;
            }
            ++position_;
        }
    }
    return stored;
}

bool FormattedScanner::convert(char conversion, const ScanTarget& target) {
    using Kind = ScanTarget::Kind;
    switch (conversion) {
        case 'd':
        case 'x': {
            std::uint64_t magnitude = 0;
            bool negative = false;
            const bool ok = conversion == 'd' ? readDecimal(magnitude, negative) : readHexadecimal(magnitude, negative);
            if (!ok) return false;
            const std::uint32_t bits = conversion == 'd' ? static_cast<std::uint32_t>(signedResult(magnitude, negative))
                                                         : unsignedResult(magnitude, negative);
            if (target.kind_ == Kind::Int32) {
                *static_cast<std::int32_t*>(target.pointer_) = static_cast<std::int32_t>(bits);
            } else {
                assert(target.kind_ == Kind::Byte);
                *static_cast<std::uint8_t*>(target.pointer_) = static_cast<std::uint8_t>(bits);
            }
            return true;
        }
        case 'f':
            assert(target.kind_ == Kind::Float);
            return readReal(*static_cast<float*>(target.pointer_));
        case 's':
            assert(target.kind_ == Kind::Token);
            return readToken(*static_cast<std::string*>(target.pointer_));
        default:
            assert(!"unsupported conversion");
            return false;
    }
}

bool FormattedScanner::readDecimal(std::uint64_t& magnitude, bool& negative) {
    skipWhiteSpace();
    if (position_ < text_.size() && (text_[position_] == '+' || text_[position_] == '-'))
        negative = text_[position_++] == '-';
    bool digits = false;
    while (position_ < text_.size() && isDigit(static_cast<unsigned char>(text_[position_]))) {
        accumulate(magnitude, 10, static_cast<unsigned>(text_[position_++] - '0'));
        digits = true;
    }
    return digits;
}

bool FormattedScanner::readHexadecimal(std::uint64_t& magnitude, bool& negative) {
    skipWhiteSpace();
    if (position_ < text_.size() && (text_[position_] == '+' || text_[position_] == '-'))
        negative = text_[position_++] == '-';
    bool digits = false;
    if (position_ + 1 < text_.size() && text_[position_] == '0' && lower(text_[position_ + 1]) == 'x') {
        position_ += 2;  // the prefix alone is not a number
    }
    while (position_ < text_.size() && isHexDigit(static_cast<unsigned char>(text_[position_]))) {
        accumulate(magnitude, 16, static_cast<unsigned>(hexValue(static_cast<unsigned char>(text_[position_++]))));
        digits = true;
    }
    return digits;
}

bool FormattedScanner::readReal(float& value) {
    skipWhiteSpace();
    const std::size_t start = position_;
    auto peek = [this]() -> char { return position_ < text_.size() ? lower(text_[position_]) : '\0'; };
    // Consumes `word` as far as it matches; true when all of it did.
    auto consumeWord = [&](std::string_view word) {
        for (char w : word) {
            if (peek() != w) return false;
            ++position_;
        }
        return true;
    };
    if (peek() == '+' || peek() == '-') ++position_;

    bool ok = false;
    if (peek() == 'i') {
        ok = consumeWord("inf");
        if (ok && peek() == 'i') ok = consumeWord("inity");
    } else if (peek() == 'n') {
        ok = consumeWord("nan");
        if (ok && peek() == '(') {
            std::size_t p = position_ + 1;
            while (p < text_.size() && (isDigit(static_cast<unsigned char>(text_[p])) ||
                                        (lower(text_[p]) >= 'a' && lower(text_[p]) <= 'z') || text_[p] == '_'))
                ++p;
            position_ = p;
            ok = p < text_.size() && text_[p] == ')';
            if (ok) ++position_;
        }
    } else {
        const bool hex = peek() == '0' && position_ + 1 < text_.size() && lower(text_[position_ + 1]) == 'x';
        if (hex) position_ += 2;
        auto isMantissaDigit = [hex](unsigned char c) { return hex ? isHexDigit(c) : isDigit(c); };
        bool digits = false;
        while (position_ < text_.size() && isMantissaDigit(static_cast<unsigned char>(text_[position_]))) {
            ++position_;
            digits = true;
        }
        if (peek() == '.') {
            ++position_;
            while (position_ < text_.size() && isMantissaDigit(static_cast<unsigned char>(text_[position_]))) {
                ++position_;
                digits = true;
            }
        }
        ok = digits;
        if (ok && peek() == (hex ? 'p' : 'e')) {
            ++position_;
            if (peek() == '+' || peek() == '-') ++position_;
            bool exponentDigits = false;
            while (position_ < text_.size() && isDigit(static_cast<unsigned char>(text_[position_]))) {
                ++position_;
                exponentDigits = true;
            }
            ok = exponentDigits;
        }
    }
    if (!ok) return false;
    const std::string number(text_.substr(start, position_ - start));
    value = parseCFloat(number);
    return true;
}

bool FormattedScanner::readToken(std::string& token) {
    skipWhiteSpace();
    const std::size_t start = position_;
    while (position_ < text_.size() && !IsWhiteSpaceByte(static_cast<unsigned char>(text_[position_]))) ++position_;
    if (position_ == start) return false;
    token.assign(text_.substr(start, position_ - start));
    return true;
}

}  // namespace kelvane
