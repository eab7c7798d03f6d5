#include "Json.h"

#include "JsonSyntaxError.h"

#include "core/application/FormattedScanner.h"

#include <algorithm>
#include <charconv>
#include <sstream>
#include <vector>

namespace ravo {
namespace {

constexpr std::size_t kMaxNesting = 65;

// Builds the document from nlohmann-json's SAX events, refusing what ravo refuses on top of the
// library: a member name twice in one object and containers nested too deeply.
class DocumentBuilder : public nlohmann::json_sax<Json> {
public:
    DocumentBuilder(std::string_view text, std::streambuf& input) : text_(text), input_(input) {}

    Json take() { return std::move(root_); }

    bool null() override { return add(nullptr); }
    bool boolean(bool value) override { return add(value); }
    bool number_integer(number_integer_t value) override { return add(value); }
    bool number_unsigned(number_unsigned_t value) override { return add(value); }
    bool number_float(number_float_t, const string_t& spelling) override {
        float value = 0;
        kelvane::FormattedScanner(spelling).scan("%f", {value});
        return add(static_cast<double>(value));
    }
    bool string(string_t& value) override { return add(std::move(value)); }
    bool binary(binary_t&) override { return false; }  // JSON text holds no binary values

    bool start_object(std::size_t) override { return open(Json::object()); }
    bool start_array(std::size_t) override { return open(Json::array()); }
    bool end_object() override { return close(); }
    bool end_array() override { return close(); }

    bool key(string_t& name) override {
        const auto [member, added] = open_.back()->emplace(name, nullptr);
        if (!added) throw JsonErrorAt(text_, offset(), "duplicate member \"" + name + "\"");
        member_ = &member.value();
        return true;
    }

    bool parse_error(std::size_t position, const std::string& lastToken,
                     const nlohmann::json::exception& error) override {
        throw JsonSyntaxError(text_, {position, lastToken, error.id, error.what()}, documentRead_);
    }

private:
    // How far the reader has read; after a container's opening character, just past it.
    std::size_t offset() const { return static_cast<std::size_t>(input_.pubseekoff(0, std::ios::cur, std::ios::in)); }

    bool add(Json value) {
        place(std::move(value));
        return true;
    }

    // Puts a value where the document expects the next one; returns where it now lives.
    Json* place(Json value) {
        Json* slot = &root_;
        if (!open_.empty() && open_.back()->is_array()) {
            open_.back()->push_back(std::move(value));
            slot = &open_.back()->back();
        } else {
            if (!open_.empty()) slot = member_;
            *slot = std::move(value);
        }
        documentRead_ = open_.empty();
        return slot;
    }

    bool open(Json container) {
        if (open_.size() == kMaxNesting) throw JsonErrorAt(text_, offset() - 1, "nested too deeply");
        open_.push_back(place(std::move(container)));
        documentRead_ = false;
        return true;
    }

    bool close() {
        open_.pop_back();
        documentRead_ = open_.empty();
        return true;
    }

    std::string_view text_;
    std::streambuf& input_;
    Json root_;
    std::vector<Json*> open_;  // the containers being read, outermost first
    Json* member_ = nullptr;   // the member whose name was read last
    bool documentRead_ = false;
};

using Names = std::initializer_list<std::string_view>;

void format(std::string& out, const Json& value, bool oneEntryPerLine, const std::string& indent, Names names) {
    if (value.is_number_float()) {
        char text[32];
        out.append(text, std::to_chars(text, text + sizeof text, value.get<float>()).ptr);
        return;
    }
    if (!value.is_structured() || value.empty()) {
        out += value.dump();
        return;
    }
    const std::string inner = oneEntryPerLine ? indent + "  " : indent;
    const std::string separator = oneEntryPerLine ? ",\n" + inner : ", ";
    out += value.is_object() ? "{" : "[";
    if (oneEntryPerLine) out += "\n" + inner;
    bool first = true;
    for (const auto& entry : value.items()) {
        if (!first) out += separator;
        first = false;
        const bool named = value.is_object();
        if (named) out += Json(entry.key()).dump() + ": ";
        const bool listed = named && std::find(names.begin(), names.end(), entry.key()) != names.end();
        format(out, entry.value(), listed, inner, names);
    }
    if (oneEntryPerLine) out += "\n" + indent;
    out += value.is_object() ? "}" : "]";
}

}  // namespace

Json ParseJson(std::string_view text) {
    // nlohmann-json skips a byte order mark and takes a NUL for the end of the text; ravo never did.
    if (!text.empty() && text[0] == '\xEF') throw JsonErrorAt(text, 0, "expected a value");
    std::istringstream input{std::string(text)};
    DocumentBuilder builder(text, *input.rdbuf());
    Json::sax_parse(input, &builder);
    if (const std::size_t nul = text.find('\0'); nul != std::string_view::npos)
        throw JsonErrorAt(text, nul, "unexpected text after the document");
    return builder.take();
}

std::string FormatJson(const Json& value, std::initializer_list<std::string_view> oneEntryPerLine) {
    std::string out;
    format(out, value, true, "", oneEntryPerLine);
    return out;
}

}  // namespace ravo
