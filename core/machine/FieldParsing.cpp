#include "FieldParsing.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace kelvane {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

const char* SkipBlanks(const char* p, const char* end) {
    while (p != end && IsBlank(*p)) ++p;
    return p;
}

// Splits off an optional sign; returns true for a minus.
bool TakeSign(const char*& p, const char* end) {
    if (p != end && (*p == '+' || *p == '-')) return *p++ == '-';
    return false;
}

}  // namespace

// A zero result from text that does not start with '0' counts as "could not convert", so
// "-0" and ".0" are refused like the original framework refused them.
std::optional<std::int32_t> ParseBoxInteger(const std::string& text) {
    const char* end = text.data() + text.size();
    const char* p = SkipBlanks(text.data(), end);
    const bool startsWithZero = p != end && *p == '0';
    const bool negative = TakeSign(p, end);
    if (p == end || *p == '+' || *p == '-') return std::nullopt;

    std::int64_t magnitude = 0;
    auto [next, error] = std::from_chars(p, end, magnitude);
    if (error != std::errc() || next == p) return std::nullopt;
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    if (value == 0 && !startsWithZero) return std::nullopt;
    if (SkipBlanks(next, end) != end) return std::nullopt;
    return static_cast<std::int32_t>(value);
}

std::optional<float> ParseBoxNumber(const std::string& text) {
    const char* end = text.data() + text.size();
    const char* p = SkipBlanks(text.data(), end);
    const bool startsWithZero = p != end && *p == '0';
    const bool negative = TakeSign(p, end);
    if (p == end || *p == '+' || *p == '-') return std::nullopt;

    double magnitude = 0;
    auto [next, error] = std::from_chars(p, end, magnitude, std::chars_format::general);
    if (error != std::errc() || next == p) return std::nullopt;
    if (!std::isfinite(magnitude) || magnitude > std::numeric_limits<float>::max()) return std::nullopt;
    if (magnitude == 0 && !startsWithZero) return std::nullopt;
    if (SkipBlanks(next, end) != end) return std::nullopt;
    return static_cast<float>(negative ? -magnitude : magnitude);
}

std::string FormatBoxInteger(std::int64_t value) { return std::to_string(value); }

std::string FormatBoxNumber(float value) {
    char buffer[64];
    auto [end, error] =
        std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(value), std::chars_format::general, 6);
    if (error != std::errc()) return {};
    return std::string(buffer, end);
}

}  // namespace kelvane
