// Writes text the way the C formatted-output functions do for the conversions the tool's
// files use, without any locale: %d, %u, %f (six decimals), %.2x (two lower-case hex
// digits) and %s.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace kelvane {

class PrintArgument {
public:
    PrintArgument(std::int32_t value) : kind_(Kind::Integer), integer_(value) {}
    PrintArgument(std::uint8_t value) : kind_(Kind::Integer), integer_(value) {}
    PrintArgument(float value) : kind_(Kind::Real), real_(value) {}
    PrintArgument(std::string_view text) : kind_(Kind::Text), text_(text) {}

private:
    friend void AppendFormatted(std::string&, std::string_view, std::initializer_list<PrintArgument>);
    enum class Kind { Integer, Real, Text };
    Kind kind_;
    std::int64_t integer_ = 0;
    float real_ = 0;
    std::string_view text_;
};

// Appends `format` to `out` with each conversion replaced by the next argument. %s stops at
// a zero byte, as a C string would.
void AppendFormatted(std::string& out, std::string_view format, std::initializer_list<PrintArgument> arguments);

}  // namespace kelvane
