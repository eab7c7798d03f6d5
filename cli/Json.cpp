#include "Json.h"

#include "CliError.h"

#include <cstdio>

namespace ravo {
namespace {

constexpr int kMaxDepth = 64;

class Parser {
public:
    explicit Parser(std::string_view text) : text_(text) {}

    JsonValue document() {
        JsonValue value = parseValue(0);
        skipWhiteSpace();
        if (position_ < text_.size()) fail("unexpected text after the document");
        return value;
    }

private:
    [[noreturn]] void fail(const std::string& message) const {
        int line = 1;
        int column = 1;
        for (std::size_t i = 0; i < position_ && i < text_.size(); ++i) {
            if (text_[i] == '\n') {
                ++line;
                column = 1;
            } else if ((static_cast<unsigned char>(text_[i]) & 0xC0) != 0x80) {
                ++column;
            }
        }
        throw CliError("JSON line " + std::to_string(line) + ", column " + std::to_string(column) + ": " + message);
    }

    bool atEnd() const { return position_ >= text_.size(); }
    char peek() const { return atEnd() ? '\0' : text_[position_]; }

    void skipWhiteSpace() {
        while (!atEnd() && (peek() == ' ' || peek() == '\t' || peek() == '\n' || peek() == '\r')) ++position_;
    }

    void expect(char c) {
        skipWhiteSpace();
        if (peek() != c || atEnd()) fail(std::string("expected '") + c + "'");
        ++position_;
    }

    void literal(std::string_view word) {
        if (text_.substr(position_, word.size()) != word) fail("unknown word");
        position_ += word.size();
    }

    JsonValue parseValue(int depth) {
        if (depth > kMaxDepth) fail("nested too deeply");
        skipWhiteSpace();
        if (atEnd()) fail("unexpected end of text");
        JsonValue value;
        switch (peek()) {
        case '{': parseObject(value, depth); break;
        case '[': parseArray(value, depth); break;
        case '"':
            value.type = JsonValue::Type::String;
            value.text = parseString();
            break;
        case 't':
            literal("true");
            value.type = JsonValue::Type::Boolean;
            value.boolean = true;
            break;
        case 'f':
            literal("false");
            value.type = JsonValue::Type::Boolean;
            break;
        case 'n': literal("null"); break;
        default:
            value.type = JsonValue::Type::Number;
            value.text = parseNumber();
        }
        return value;
    }

    void parseObject(JsonValue& value, int depth) {
        value.type = JsonValue::Type::Object;
        ++position_;
        skipWhiteSpace();
        if (peek() == '}') {
            ++position_;
            return;
        }
        for (;;) {
            skipWhiteSpace();
            if (peek() != '"') fail("expected a member name");
            std::string key = parseString();
            if (value.find(key)) fail("duplicate member \"" + key + "\"");
            expect(':');
            JsonValue member = parseValue(depth + 1);
            value.members.emplace_back(std::move(key), std::move(member));
            skipWhiteSpace();
            if (peek() == ',' && !atEnd()) {
                ++position_;
            } else {
                expect('}');
                return;
            }
        }
    }

    void parseArray(JsonValue& value, int depth) {
        value.type = JsonValue::Type::Array;
        ++position_;
        skipWhiteSpace();
        if (peek() == ']') {
            ++position_;
            return;
        }
        for (;;) {
            value.items.push_back(parseValue(depth + 1));
            skipWhiteSpace();
            if (peek() == ',' && !atEnd()) {
                ++position_;
            } else {
                expect(']');
                return;
            }
        }
    }

    bool digitAhead() const { return !atEnd() && peek() >= '0' && peek() <= '9'; }

    std::string parseNumber() {
        const std::size_t start = position_;
        if (peek() == '-') ++position_;
        if (!digitAhead()) fail("expected a value");
        if (peek() == '0') {
            ++position_;
        } else {
            while (digitAhead()) ++position_;
        }
        if (peek() == '.' && !atEnd()) {
            ++position_;
            if (!digitAhead()) fail("expected a digit after the decimal point");
            while (digitAhead()) ++position_;
        }
        if ((peek() == 'e' || peek() == 'E') && !atEnd()) {
            ++position_;
            if (peek() == '+' || peek() == '-') ++position_;
            if (!digitAhead()) fail("expected a digit in the exponent");
            while (digitAhead()) ++position_;
        }
        return std::string(text_.substr(start, position_ - start));
    }

    unsigned hexQuad() {
        unsigned value = 0;
        for (int i = 0; i < 4; ++i) {
            const char c = peek();
            unsigned digit;
            if (c >= '0' && c <= '9') digit = static_cast<unsigned>(c - '0');
            else if (c >= 'a' && c <= 'f') digit = static_cast<unsigned>(c - 'a' + 10);
            else if (c >= 'A' && c <= 'F') digit = static_cast<unsigned>(c - 'A' + 10);
            else fail("bad \\u escape");
            value = value * 16 + digit;
            ++position_;
        }
        return value;
    }

    static void appendUtf8(std::string& out, unsigned code) {
        if (code < 0x80) {
            out.push_back(static_cast<char>(code));
        } else if (code < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (code >> 6)));
            out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        } else if (code < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (code >> 12)));
            out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (code >> 18)));
            out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        }
    }

    // Copies one UTF-8 character, checking that it is well formed.
    void copyUtf8Character(std::string& out) {
        const auto lead = static_cast<unsigned char>(peek());
        int length;
        unsigned minimum;
        if (lead < 0x80) { length = 1; minimum = 0; }
        else if (lead >= 0xC2 && lead <= 0xDF) { length = 2; minimum = 0x80; }
        else if (lead >= 0xE0 && lead <= 0xEF) { length = 3; minimum = 0x800; }
        else if (lead >= 0xF0 && lead <= 0xF4) { length = 4; minimum = 0x10000; }
        else fail("text is not UTF-8");
        unsigned code = length == 1 ? lead : lead & (0x7F >> length);
        for (int i = 1; i < length; ++i) {
            const std::size_t at = position_ + static_cast<std::size_t>(i);
            if (at >= text_.size() || (static_cast<unsigned char>(text_[at]) & 0xC0) != 0x80)
                fail("text is not UTF-8");
            code = (code << 6) | (static_cast<unsigned char>(text_[at]) & 0x3F);
        }
        if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) fail("text is not UTF-8");
        out.append(text_.substr(position_, static_cast<std::size_t>(length)));
        position_ += static_cast<std::size_t>(length);
    }

    std::string parseString() {
        ++position_;  // opening quote
        std::string out;
        for (;;) {
            if (atEnd()) fail("unterminated string");
            const char c = peek();
            if (c == '"') {
                ++position_;
                return out;
            }
            if (static_cast<unsigned char>(c) < 0x20) fail("control character in a string");
            if (c != '\\') {
                copyUtf8Character(out);
                continue;
            }
            ++position_;
            const char escape = peek();
            ++position_;
            switch (escape) {
            case '"': out.push_back('"'); break;
            case '\\': out.push_back('\\'); break;
            case '/': out.push_back('/'); break;
            case 'b': out.push_back('\b'); break;
            case 'f': out.push_back('\f'); break;
            case 'n': out.push_back('\n'); break;
            case 'r': out.push_back('\r'); break;
            case 't': out.push_back('\t'); break;
            case 'u': {
                unsigned code = hexQuad();
                if (code >= 0xDC00 && code <= 0xDFFF) fail("lone surrogate in \\u escape");
                if (code >= 0xD800 && code <= 0xDBFF) {
                    if (text_.substr(position_, 2) != "\\u") fail("lone surrogate in \\u escape");
                    position_ += 2;
                    const unsigned low = hexQuad();
                    if (low < 0xDC00 || low > 0xDFFF) fail("lone surrogate in \\u escape");
                    code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                }
                appendUtf8(out, code);
                break;
            }
            default:
                --position_;
                fail("bad escape");
            }
        }
    }

    std::string_view text_;
    std::size_t position_ = 0;
};

}  // namespace

const JsonValue* JsonValue::find(std::string_view key) const {
    for (const auto& [name, value] : members) {
        if (name == key) return &value;
    }
    return nullptr;
}

JsonValue ParseJson(std::string_view text) { return Parser(text).document(); }

std::string JsonQuoted(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned char>(c));
                out += escape;
            } else {
                out.push_back(c);
            }
        }
    }
    out.push_back('"');
    return out;
}

}  // namespace ravo
