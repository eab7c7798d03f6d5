#include "JsonSyntaxError.h"

#include <algorithm>
#include <optional>

namespace ravo {
namespace {

bool startsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

// What the reader was looking for when it stopped.
enum class Expected { Value, MemberName, Colon, ArrayEnd, ObjectEnd, EndOfText };

// nlohmann-json names the place it stopped as "while parsing <context> - <problem>".
Expected expectedIn(std::string_view context, bool documentRead) {
    if (documentRead) return Expected::EndOfText;
    if (context == "object key") return Expected::MemberName;
    if (context == "object separator") return Expected::Colon;
    if (context == "array") return Expected::ArrayEnd;
    if (context == "object") return Expected::ObjectEnd;
    return Expected::Value;
}

const char* wordsFor(Expected expected) {
    switch (expected) {
        case Expected::MemberName:
            return "expected a member name";
        case Expected::Colon:
            return "expected ':'";
        case Expected::ArrayEnd:
            return "expected ']'";
        case Expected::ObjectEnd:
            return "expected '}'";
        case Expected::EndOfText:
            return "unexpected text after the document";
        case Expected::Value:
            break;
    }
    return "expected a value";
}

// Where a bad string or number is reported: at the character read last, at the start of the
// UTF-8 sequence that character broke, or after the \uXXXX escape holding a lone surrogate.
enum class At { LastRead, SequenceStart, EscapeEnd };

struct LexicalProblem {
    const char* prefix;  // nlohmann-json's description
    const char* words;   // ravo's
    At at;
};

constexpr LexicalProblem kLexicalProblems[] = {
    {"invalid string: ill-formed UTF-8 byte", "text is not UTF-8", At::SequenceStart},
    {"invalid string: missing closing quote", "unterminated string", At::LastRead},
    {"invalid string: '\\u' must be followed by 4 hex digits", "bad \\u escape", At::LastRead},
    {"invalid string: surrogate", "lone surrogate in \\u escape", At::EscapeEnd},
    {"invalid string: forbidden character after backslash", "bad escape", At::LastRead},
    {"invalid string: control character", "control character in a string", At::LastRead},
    {"invalid number; expected digit after '-'", "expected a value", At::LastRead},
    {"invalid number; expected digit after '.'", "expected a digit after the decimal point", At::LastRead},
    {"invalid number; expected '+', '-', or digit after exponent", "expected a digit in the exponent", At::LastRead},
    {"invalid number; expected digit after exponent sign", "expected a digit in the exponent", At::LastRead},
};

std::size_t sequenceStart(std::string_view text, std::size_t last) {
    for (std::size_t back = 1; back <= 3 && back <= last; ++back) {
        const auto byte = static_cast<unsigned char>(text[last - back]);
        if (byte >= 0x80 && byte < 0xC0) continue;
        const std::size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
        return back < length ? last - back : last;
    }
    return last;
}

// The reader stops on the last hex digit of a lone low surrogate (or of a high one's bad
// partner), or one or two characters after a high surrogate with no partner.
std::size_t escapeEnd(std::string_view text, std::size_t last) {
    for (const std::size_t end : {last + 1, last, last - 1}) {
        if (end >= 6 && end <= text.size() && text[end - 6] == '\\' && text[end - 5] == 'u') return end;
    }
    return last;
}

std::size_t problemOffset(std::string_view text, std::size_t last, At at) {
    switch (at) {
        case At::SequenceStart:
            return sequenceStart(text, last);
        case At::EscapeEnd:
            return escapeEnd(text, last);
        case At::LastRead:
            break;
    }
    return last;
}

// The start of a bad string or number token: the token is spelt in `lastToken` up to and
// including the character read last, which a control character spells as "<U+XXXX>".
std::size_t badTokenStart(std::string_view text, const std::string& lastToken, std::size_t last) {
    const std::size_t lastSpelling = last >= text.size() ? 0 : static_cast<unsigned char>(text[last]) < 0x20 ? 8 : 1;
    return last - (lastToken.size() - lastSpelling);
}

// The start of a true, false or null that broke off at `last`, if one did: the nearest
// proper prefix of one of the words ending just before it.
std::optional<std::size_t> brokenWordStart(std::string_view text, std::size_t last) {
    for (std::size_t length = 1; length <= 4 && length <= last; ++length) {
        const std::string_view prefix = text.substr(last - length, length);
        for (const std::string_view word : {"true", "false", "null"}) {
            if (word.size() > length && startsWith(word, prefix)) return last - length;
        }
    }
    return std::nullopt;
}

// The length of a well-formed token the reader did not expect ("string literal", "']'", ...).
std::size_t tokenLength(std::string_view found, const std::string& lastToken) {
    if (found == "string literal" || found == "number literal") return lastToken.size();
    if (found == "false literal") return 5;
    if (found == "true literal" || found == "null literal") return 4;
    return 1;  // a structural character, or the end of the text
}

}  // namespace

CliError JsonErrorAt(std::string_view text, std::size_t offset, const std::string& message) {
    int line = 1;
    int column = 1;
    for (std::size_t i = 0; i < offset && i < text.size(); ++i) {
        if (text[i] == '\n') {
            ++line;
            column = 1;
        } else if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
            ++column;
        }
    }
    return CliError("JSON line " + std::to_string(line) + ", column " + std::to_string(column) + ": " + message);
}

CliError JsonSyntaxError(std::string_view text, const JsonParseStop& stop, bool documentRead) {
    // The byte read last; the end of the text (or a NUL, which the reader takes for it) reads as one.
    const std::size_t last = std::min(stop.position - 1, text.size());
    if (stop.id == 406) return JsonErrorAt(text, stop.position - stop.lastToken.size(), "number out of range");

    const std::string_view what = stop.what;
    const std::size_t contextAt = what.find("while parsing ") + 14;
    const std::size_t problemAt = what.find(" - ", contextAt);
    const Expected expected = expectedIn(what.substr(contextAt, problemAt - contextAt), documentRead);
    const std::string_view problem = what.substr(problemAt + 3);

    if (startsWith(problem, "unexpected ")) {
        if (expected != Expected::Value) {
            const std::string_view found = problem.substr(11, problem.find(';') - 11);
            return JsonErrorAt(text, stop.position - tokenLength(found, stop.lastToken), wordsFor(expected));
        }
        return JsonErrorAt(text, last, last == text.size() ? "unexpected end of text" : "expected a value");
    }
    for (const LexicalProblem& lexical : kLexicalProblems) {
        if (!startsWith(problem, lexical.prefix)) continue;
        // Where a member name belongs, a bad string is reported as such; anything else is not a name.
        const bool reportProblem =
            expected == Expected::Value || (expected == Expected::MemberName && startsWith(problem, "invalid string"));
        if (reportProblem) return JsonErrorAt(text, problemOffset(text, last, lexical.at), lexical.words);
        return JsonErrorAt(text, badTokenStart(text, stop.lastToken, last), wordsFor(expected));
    }
    // An invalid literal: a broken true, false or null, or a character no value starts with.
    const std::optional<std::size_t> word = brokenWordStart(text, last);
    if (expected != Expected::Value) return JsonErrorAt(text, word.value_or(last), wordsFor(expected));
    return word ? JsonErrorAt(text, *word, "unknown word") : JsonErrorAt(text, last, "expected a value");
}

}  // namespace ravo
