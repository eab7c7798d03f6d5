// ravo's error lines for malformed JSON text: "JSON line L, column C: <what is wrong>", the
// column counting characters, with the position and words ravo has always used whatever
// nlohmann-json reports.
#pragma once

#include "CliError.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace ravo {

// The error for the byte at `offset` of `text`.
CliError JsonErrorAt(std::string_view text, std::size_t offset, const std::string& message);

// Where and why nlohmann-json stopped reading, as it tells a SAX handler.
struct JsonParseStop {
    std::size_t position = 0;  // characters read, the end of the text counting as one
    std::string lastToken;     // the token being read, control characters spelt "<U+XXXX>"
    int id = 0;                // the exception id: 101 malformed text, 406 a number beyond double
    std::string what;          // the exception's text
};

// The error for a stop; `documentRead`: the document's value was complete before the stop.
CliError JsonSyntaxError(std::string_view text, const JsonParseStop& stop, bool documentRead);

}  // namespace ravo
