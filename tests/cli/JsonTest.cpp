// The JSON text of ravo's documents: the layout it writes, and what it refuses or how it reads
// numbers when reading one, with the error lines the user sees.
#include "ApplicationJson.h"
#include "CliError.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

namespace ravo {
namespace {

std::string errorOf(const std::string& json) {
    try {
        ApplicationFromJson(json);
    } catch (const CliError& error) {
        return error.what();
    }
    return "";
}

// A valid document with `from` (which it must hold) replaced by `to`.
std::string documentWith(const std::string& from, const std::string& to) {
    std::string json = ApplicationToJson(ApplicationDocument{});
    const auto at = json.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? json : json.replace(at, from.size(), to);
}

TEST(Json, WritesOneEntryPerLineDownToTheRecordsAndRealsInTheirShortestForm) {
    ApplicationDocument document;
    const float pitches[] = {0.1f,   1e10f,         16777216.0f, -0.0f,
                             1e-45f, 3.4028235e38f, 0.0001f,     std::numeric_limits<float>::infinity()};
    for (int a = 0; a < 8; ++a) document.motor.axes[a].pitch = pitches[a];
    document.version = 5;
    kelvane::ProgramImage program;
    program.lineCount = 2;
    program.records[0].bytes = {0xAA, 0xFF, 0x0C, 0, 0, 0, 1, 0, 0, 0, 0, 0x41, 0xA0, 0, 0, 0};
    program.remarks = {{0, "回原点@X"}};
    document.programs = {program, kelvane::ProgramImage{}};
    document.peripherals.limits[1] = 7;
    document.peripherals.encoders[2].ratio = 2.5f;

    const std::string axis = R"(, "backlash": 0, "acceleration": 0, "deceleration": 0, "minimumSpeed": 0},)";
    EXPECT_EQ(ApplicationToJson(document),
              "{\n"
              "  \"version\": 5,\n"
              "  \"motor\": [\n"
              "    {\"subdivision\": 0, \"pitch\": 0.1" +
                  axis +
                  "\n"
                  "    {\"subdivision\": 0, \"pitch\": 1e+10" +
                  axis +
                  "\n"
                  "    {\"subdivision\": 0, \"pitch\": 16777216" +
                  axis +
                  "\n"
                  "    {\"subdivision\": 0, \"pitch\": -0" +
                  axis +
                  "\n"
                  "    {\"subdivision\": 0, \"pitch\": 1e-45" +
                  axis +
                  "\n"
                  "    {\"subdivision\": 0, \"pitch\": 3.4028235e+38" +
                  axis +
                  "\n"
                  "    {\"subdivision\": 0, \"pitch\": 1e-04" +
                  axis +
                  "\n"
                  "    {\"subdivision\": 0, \"pitch\": \"inf\"" +
                  axis.substr(0, axis.size() - 1) +
                  "\n"
                  "  ],\n"
                  "  \"programs\": [\n"
                  "    {\"lines\": [\n"
                  "      {\"record\": \"aaff0c000000010000000041a0000000\", \"remark\": \"回原点@X\"},\n"
                  "      {\"record\": \"00000000000000000000000000000000\", \"remark\": null}\n"
                  "    ]},\n"
                  "    {\"lines\": []}\n"
                  "  ],\n"
                  "  \"peripherals\": {\n"
                  "    \"limitLevel\": 0,\n"
                  "    \"limits\": [0, 7, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0],\n"
                  "    \"ad\": [{\"function\": 0, \"minimum\": 0, \"maximum\": 0}, "
                  "{\"function\": 0, \"minimum\": 0, \"maximum\": 0}],\n"
                  "    \"encoders\": [{\"mode\": 0, \"lines\": 0, \"ratio\": 0}, "
                  "{\"mode\": 0, \"lines\": 0, \"ratio\": 0}, {\"mode\": 0, \"lines\": 0, \"ratio\": 2.5}]\n"
                  "  }\n"
                  "}\n");
    EXPECT_NE(ApplicationToJson(ApplicationDocument{}).find("\n  \"programs\": [],\n"), std::string::npos);
}

TEST(Json, RefusesMalformedTextWithItsLineAndColumn) {
    const struct {
        std::string text, error;
    } cases[] = {
        {"{\n  \"a\": 1,\n}", "JSON line 3, column 1: expected a member name"},
        {"[1 2]", "JSON line 1, column 4: expected ']'"},
        {"{\"version\": 5,\n", "JSON line 2, column 1: expected a member name"},
        {"", "JSON line 1, column 1: unexpected end of text"},
        {"{\"a\" tru}", "JSON line 1, column 6: expected ':'"},
        {"{\"a\": 1 \"b\": 2}", "JSON line 1, column 9: expected '}'"},
        {"[1,\n2,\n3\n4]", "JSON line 4, column 1: expected ']'"},
        {"[\"中文\" x]", "JSON line 1, column 7: expected ']'"},
        {"{-x: 2}", "JSON line 1, column 2: expected a member name"},
        {"[1],", "JSON line 1, column 4: unexpected text after the document"},
        {"truetrux", "JSON line 1, column 5: unexpected text after the document"},
        {std::string("[1]\0x", 5), "JSON line 1, column 4: unexpected text after the document"},
        {"[1,]", "JSON line 1, column 4: expected a value"},
        {"Infinity", "JSON line 1, column 1: expected a value"},
        {"\xEF\xBB\xBF{}", "JSON line 1, column 1: expected a value"},
        {"[nnull]", "JSON line 1, column 2: unknown word"},
        {"-01", "JSON line 1, column 3: unexpected text after the document"},
        {"1.x", "JSON line 1, column 3: expected a digit after the decimal point"},
        {"1.5e+", "JSON line 1, column 6: expected a digit in the exponent"},
        {"\"abc", "JSON line 1, column 5: unterminated string"},
        {"{\"a\\q\": 2}", "JSON line 1, column 5: bad escape"},
        {"\"\\u12g4\"", "JSON line 1, column 6: bad \\u escape"},
        {"\"\\ud800\\n\"", "JSON line 1, column 8: lone surrogate in \\u escape"},
        {"\"\\ud800\\u0041\"", "JSON line 1, column 14: lone surrogate in \\u escape"},
        {"\"\\udc00x\"", "JSON line 1, column 8: lone surrogate in \\u escape"},
        {"\"a\tb\"", "JSON line 1, column 3: control character in a string"},
        {"\"\xF0\x9F\x98\"", "JSON line 1, column 2: text is not UTF-8"},
        {"\"\xC3\xA9\xA9\"", "JSON line 1, column 3: text is not UTF-8"},
        {"{\"a\":1,\"a\":2}", "JSON line 1, column 11: duplicate member \"a\""},
        {"{\"a\":{\"b\":1,\"\\u0062\" :2}}", "JSON line 1, column 21: duplicate member \"b\""},
        {std::string(66, '[') + std::string(66, ']'), "JSON line 1, column 66: nested too deeply"},
        {std::string(100000, '['), "JSON line 1, column 66: nested too deeply"},
        {std::string(65, '[') + std::string(65, ']'), "JSON document: expected an object"},
        {"[1e400]", "JSON line 1, column 2: number out of range"},
    };
    for (const auto& c : cases) EXPECT_EQ(errorOf(c.text), c.error) << c.text.substr(0, 40);
}

TEST(Json, IntegersAreExactAndRangeChecked) {
    const struct {
        std::string field, value;
        bool accepted;
    } cases[] = {
        {"subdivision", "2147483647", true},
        {"subdivision", "-2147483648", true},
        {"subdivision", "2147483648", false},
        {"subdivision", "-2147483649", false},
        {"subdivision", "9223372036854775808", false},
        {"subdivision", "18446744073709551616", false},
        {"subdivision", "1e2", false},
        {"subdivision", "-0", true},
        {"limitLevel", "255", true},
        {"limitLevel", "-1", false},
    };
    for (const auto& c : cases) {
        const std::string json = documentWith("\"" + c.field + "\": 0", "\"" + c.field + "\": " + c.value);
        EXPECT_EQ(errorOf(json).empty(), c.accepted) << c.field << " " << c.value << ": " << errorOf(json);
    }
    const std::string json = documentWith("\"subdivision\": 0", "\"subdivision\": -2147483648");
    EXPECT_EQ(ApplicationFromJson(json).motor.axes[0].subdivision, std::numeric_limits<std::int32_t>::min());
}

TEST(Json, RealsAreReadFromTheirTextToTheNearestSinglePrecisionValue) {
    const struct {
        const char* text;
        float value;
    } cases[] = {
        // Halfway between 1 and the next float by less than a double can tell: read through
        // double precision it would round to 1.
        {"1.00000005960464477550", 1.00000012f},          {"16777217", 16777216.0f}, {"-0", -0.0f},
        {"1e39", std::numeric_limits<float>::infinity()}, {"1e-50", 0.0f},
    };
    for (const auto& c : cases) {
        const float read =
            ApplicationFromJson(documentWith("\"pitch\": 0", std::string("\"pitch\": ") + c.text)).motor.axes[0].pitch;
        EXPECT_EQ(std::memcmp(&read, &c.value, sizeof read), 0) << c.text << " read as " << read;
    }
}

}  // namespace
}  // namespace ravo
