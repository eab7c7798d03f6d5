// ravo's JSON text on top of nlohmann-json: reading a whole document into ordered values and
// writing values in ravo's layout. ravo adds its own rules to the library's: member names are
// unique within an object, containers nest at most 65 deep, and reals are single precision.
#pragma once

#include <nlohmann/json.hpp>

#include <initializer_list>
#include <string>
#include <string_view>

namespace ravo {

using Json = nlohmann::ordered_json;

// Parses a whole document; throws CliError ("JSON line L, column C: ...") on malformed input.
// A number with a fraction or an exponent is read from its text straight to the nearest
// single-precision value, as the tool reads reals.
Json ParseJson(std::string_view text);

// `value` as text with ": " after member names and ", " between entries. The whole document and
// the containers that are members named in `oneEntryPerLine` put each entry on its own line,
// indented by two spaces per level; every other container stays on one line. A real is
// written in the shortest form that reads back to the same single-precision value.
std::string FormatJson(const Json& value, std::initializer_list<std::string_view> oneEntryPerLine);

}  // namespace ravo
