// A small JSON reader and the pieces of a JSON writer that ravo needs. The reader accepts
// exactly RFC 8259 text (UTF-8) and reports the first problem with its line and column.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace ravo {

class JsonValue {
public:
    enum class Type { Null, Boolean, Number, String, Array, Object };

    Type type = Type::Null;
    bool boolean = false;
    std::string text;  // the number as written, or the string's value
    std::vector<JsonValue> items;
    std::vector<std::pair<std::string, JsonValue>> members;  // in document order, keys unique

    // The member named `key`, or nullptr.
    const JsonValue* find(std::string_view key) const;
};

// Parses a whole document; throws CliError ("JSON line L, column C: ...") on malformed input.
JsonValue ParseJson(std::string_view text);

// `text` as a JSON string literal, quotes included.
std::string JsonQuoted(std::string_view text);

}  // namespace ravo
