#include "CliError.h"
#include "Json.h"

#include <gtest/gtest.h>

namespace ravo {
namespace {

std::string errorOf(std::string_view text) {
    try {
        ParseJson(text);
    } catch (const CliError& error) {
        return error.what();
    }
    return "";
}

TEST(Json, ParsesValuesOfEveryKindAndQuotesBack) {
    const JsonValue value = ParseJson(R"( {"a": [1, -2.5e3, true, false, null], "b": {"c": "x\"\\\/\n\u00e9\ud83d\ude00"}} )");
    ASSERT_EQ(value.type, JsonValue::Type::Object);
    const JsonValue& a = *value.find("a");
    ASSERT_EQ(a.items.size(), 5u);
    EXPECT_EQ(a.items[1].text, "-2.5e3");
    EXPECT_TRUE(a.items[2].boolean);
    EXPECT_EQ(a.items[4].type, JsonValue::Type::Null);
    EXPECT_EQ(value.find("b")->find("c")->text, "x\"\\/\n\xC3\xA9\xF0\x9F\x98\x80");
    EXPECT_EQ(value.find("z"), nullptr);
    EXPECT_EQ(JsonQuoted("a\"b\\c\n\x01中"), "\"a\\\"b\\\\c\\n\\u0001中\"");
    EXPECT_EQ(ParseJson(JsonQuoted("a\"b\\c\n\x01\x1f中")).text, "a\"b\\c\n\x01\x1f中");
}

TEST(Json, RefusesMalformedTextWithItsPosition) {
    EXPECT_EQ(errorOf("{\n  \"a\": 1,\n}"), "JSON line 3, column 1: expected a member name");
    EXPECT_EQ(errorOf("[1 2]"), "JSON line 1, column 4: expected ']'");
    const char* bad[] = {"", "[", "{\"a\" 1}", "01", "1.", "-", "1e", "+1", "tru", "nul", "\"abc", "\"\\x\"",
                         "\"\\ud800\"", "\"\\udc00x\"", "\"a\tb\"", "\"\xC3\"", "\"\xC0\xAF\"", "\"\xED\xA0\x80\"",
                         "{\"a\":1,\"a\":2}", "[1],", "[1,]", "{\"a\":1,}", "nan", "Infinity"};
    for (const char* text : bad) EXPECT_NE(errorOf(text), "") << text;
    EXPECT_NE(errorOf(std::string(100000, '[')), "") << "deep nesting is refused, not overflowed";
    EXPECT_EQ(errorOf(std::string(60, '[') + std::string(60, ']')), "");
}

}  // namespace
}  // namespace ravo
