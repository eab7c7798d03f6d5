#include "FormatScanner.h"

#include <clocale>
#include <cstdlib>
#include <locale.h>

namespace kelvane {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Number parsing must not follow the user's locale (a decimal comma would break every file).
locale_t cLocale() {
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", locale_t{});
    return locale;
}

}  // namespace

bool isWhiteSpaceByte(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

void FormatScanner::skipWhiteSpace() {
    while (pos_ < text_.size() && isWhiteSpaceByte(text_[pos_])) ++pos_;
}

bool FormatScanner::label(std::string_view label) {
    skipWhiteSpace();
    if (text_.substr(pos_, label.size()) != label) return false;
    pos_ += label.size();
    return true;
}

bool FormatScanner::number(std::int32_t& value) {
    skipWhiteSpace();
    std::size_t pos = pos_;
    bool negative = false;
    if (pos < text_.size() && (text_[pos] == '+' || text_[pos] == '-')) {
        negative = text_[pos] == '-';
        ++pos;
    }
    if (pos >= text_.size() || !isDigit(text_[pos])) return false;
    std::uint32_t magnitude = 0;  // unsigned arithmetic wraps, keeping the low 32 bits
    while (pos < text_.size() && isDigit(text_[pos])) {
        magnitude = magnitude * 10u + static_cast<std::uint32_t>(text_[pos] - '0');
        ++pos;
    }
    if (negative) magnitude = 0u - magnitude;
    value = static_cast<std::int32_t>(magnitude);
    pos_ = pos;
    return true;
}

bool FormatScanner::realNumber(float& value) {
    skipWhiteSpace();
    const std::string rest(text_.substr(pos_));  // strtof needs a terminated string
    char* end = nullptr;
    const float parsed = strtof_l(rest.c_str(), &end, cLocale());
    if (end == rest.c_str()) return false;
    value = parsed;
    pos_ += static_cast<std::size_t>(end - rest.c_str());
    return true;
}

bool FormatScanner::word(std::string& value) {
    skipWhiteSpace();
    const std::size_t start = pos_;
    while (pos_ < text_.size() && !isWhiteSpaceByte(text_[pos_])) ++pos_;
    if (pos_ == start) return false;
    value.assign(text_.substr(start, pos_ - start));
    return true;
}

}  // namespace kelvane
