#include "FormattedPrinter.h"

#include <cassert>
#include <charconv>

namespace kelvane {

void AppendFormatted(std::string& out, std::string_view format, std::initializer_list<PrintArgument> arguments) {
    const PrintArgument* argument = arguments.begin();
    char number[128];
    for (std::size_t f = 0; f < format.size(); ++f) {
        if (format[f] != '%') {
            out.push_back(format[f]);
            continue;
        }
        const std::string_view rest = format.substr(f + 1);
        if (rest.substr(0, 1) == "%") {
            out.push_back('%');
            ++f;
            continue;
        }
        assert(argument != arguments.end());
        if (argument == arguments.end()) return;
        const PrintArgument& value = *argument++;
        using Kind = PrintArgument::Kind;
        if (rest.substr(0, 3) == ".2x") {
            assert(value.kind_ == Kind::Integer);
            const auto bits = static_cast<std::uint32_t>(value.integer_);
            char* end = std::to_chars(number, number + sizeof number, bits, 16).ptr;
            if (end - number < 2) out.push_back('0');
            out.append(number, end);
            f += 3;
            continue;
        }
        ++f;
        switch (format[f]) {
            case 'd':
            case 'u':
                assert(value.kind_ == Kind::Integer);
                if (value.kind_ != Kind::Integer) break;
                out.append(number, std::to_chars(number, number + sizeof number, value.integer_).ptr);
                break;
            case 'f':
                assert(value.kind_ == Kind::Real);
                if (value.kind_ != Kind::Real) break;
                out.append(number, std::to_chars(number, number + sizeof number, static_cast<double>(value.real_),
                                                 std::chars_format::fixed, 6)
                                       .ptr);
                break;
            case 's': {
                assert(value.kind_ == Kind::Text);
                const std::string_view text = value.text_;
                out.append(text.substr(0, text.find('\0')));
                break;
            }
            default:
                assert(!"unsupported conversion");
        }
    }
}

}  // namespace kelvane
