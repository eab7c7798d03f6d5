// ravo's JSON form of an application program: the layout it writes, exact single-precision reals
// both ways, and the one-line errors of text it refuses, with their place or member.
#include "ApplicationJson.h"
#include "CliError.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

namespace ravo {
namespace {

constexpr float kInf = std::numeric_limits<float>::infinity();

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

bool SameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

TEST(Json, WritesOneEntryPerLineDownToTheRecordsAndRealsInTheirShortestForm) {
    ApplicationDocument document;
    const float pitches[] = {0.1f, 1e10f, 16777216.0f, -0.0f, 1e-45f, 3.4028235e38f, 0.0001f, kInf};
    const char* const written[] = {"0.1", "1e+10", "16777216", "-0", "1e-45", "3.4028235e+38", "1e-04", "\"inf\""};
    for (int a = 0; a < 8; ++a) document.motor.axes[a].pitch = pitches[a];
    document.version = 5;
    kelvane::ProgramImage program;
    program.lineCount = 2;
    program.records[0].bytes = {0xAA, 0xFF, 0x0C, 0, 0, 0, 1, 0, 0, 0, 0, 0x41, 0xA0, 0, 0, 0};
    program.remarks = {{0, "回原点@X"}};
    document.programs = {program, kelvane::ProgramImage{}};
    document.peripherals.limits[1] = 7;
    document.peripherals.encoders[2].ratio = 2.5f;

    std::string expected = "{\n  \"version\": 5,\n  \"motor\": [\n";
    for (int a = 0; a < 8; ++a)
        expected += std::string("    {\"subdivision\": 0, \"pitch\": ") + written[a] +
                    ", \"backlash\": 0, \"acceleration\": 0, \"deceleration\": 0, \"minimumSpeed\": 0}" +
                    (a < 7 ? ",\n" : "\n");
    const std::string zeroAd = R"({"function": 0, "minimum": 0, "maximum": 0})";
    const std::string zeroEncoder = R"({"mode": 0, "lines": 0, "ratio": 0})";
    expected +=
        "  ],\n  \"programs\": [\n    {\"lines\": [\n"
        "      {\"record\": \"aaff0c000000010000000041a0000000\", \"remark\": \"回原点@X\"},\n"
        "      {\"record\": \"00000000000000000000000000000000\", \"remark\": null}\n"
        "    ]},\n    {\"lines\": []}\n  ],\n  \"peripherals\": {\n    \"limitLevel\": 0,\n"
        "    \"limits\": [0, 7, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0],\n    \"ad\": [" +
        zeroAd + ", " + zeroAd + "],\n    \"encoders\": [" + zeroEncoder + ", " + zeroEncoder +
        R"(, {"mode": 0, "lines": 0, "ratio": 2.5}])" + "\n  }\n}\n";
    EXPECT_EQ(ApplicationToJson(document), expected);
    EXPECT_NE(ApplicationToJson(ApplicationDocument{}).find("\n  \"programs\": [],\n"), std::string::npos);
}

TEST(Json, ReadsBackEveryRealBitForBitAndProgramsWithTheirRemarks) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float values[] = {0.1f, 1e-45f, 3.4028235e38f, -0.0f, 16777217.0f, 0.333333343f, kInf, -kInf, nan, -nan};
    ApplicationDocument document;
    for (int a = 0; a < 8; ++a) document.motor.axes[a].pitch = values[a];
    document.peripherals.analogue[0].minimum = values[8];
    document.peripherals.analogue[1].maximum = values[9];
    kelvane::ProgramImage program;
    program.lineCount = 3;
    program.records[0].bytes = {0xAA, 0xFF, 0xC8, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 0xFE};
    program.remarks = {{0, "两@个"}, {2, ""}};  // line 1 has no remark
    document.programs = {program, kelvane::ProgramImage{}};

    const ApplicationDocument back = ApplicationFromJson(ApplicationToJson(document));
    for (int a = 0; a < 8; ++a) EXPECT_TRUE(SameBits(back.motor.axes[a].pitch, values[a])) << values[a];
    EXPECT_TRUE(std::isnan(back.peripherals.analogue[0].minimum));
    EXPECT_FALSE(std::signbit(back.peripherals.analogue[0].minimum));
    EXPECT_TRUE(std::isnan(back.peripherals.analogue[1].maximum));
    EXPECT_TRUE(std::signbit(back.peripherals.analogue[1].maximum));
    ASSERT_EQ(back.programs.size(), 2u);
    EXPECT_EQ(back.programs[0].lineCount, 3);
    EXPECT_EQ(back.programs[0].records[0].bytes, program.records[0].bytes);
    EXPECT_EQ(back.programs[0].remarks, program.remarks);
    EXPECT_EQ(back.programs[1].lineCount, 0);
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

// Each member is read as its type and range; an empty error is a value accepted.
TEST(Json, MembersAreCheckedAndAnErrorNamesTheOffendingOne) {
    const auto lines = [](int count, const std::string& line) {
        std::string text;
        for (int i = 0; i < count; ++i) text += (i ? "," : "") + line;
        return text;
    };
    const std::string record = R"({"record": "aaff0000000000000000000000000000", "remark": null})";
    const std::string int32Range = "expected an integer from -2147483648 to 2147483647";
    const struct {
        std::string from, to, error;
    } cases[] = {
        {"\"subdivision\": 0", "\"subdivision\": 2147483647", ""},
        {"\"subdivision\": 0", "\"subdivision\": -0", ""},
        {"\"subdivision\": 0", "\"subdivision\": 2147483648", "JSON motor[0].subdivision: " + int32Range},
        {"\"subdivision\": 0", "\"subdivision\": -2147483649", "JSON motor[0].subdivision: " + int32Range},
        {"\"subdivision\": 0", "\"subdivision\": 9223372036854775808", "JSON motor[0].subdivision: " + int32Range},
        {"\"subdivision\": 0", "\"subdivision\": 18446744073709551616", "JSON motor[0].subdivision: " + int32Range},
        {"\"subdivision\": 0", "\"subdivision\": 1e2", "JSON motor[0].subdivision: " + int32Range},
        {"\"subdivision\": 0", "\"subdivision\": 1.5", "JSON motor[0].subdivision: " + int32Range},
        {"\"limitLevel\": 0", "\"limitLevel\": 255", ""},
        {"\"limitLevel\": 0", "\"limitLevel\": 256", "JSON peripherals.limitLevel: expected an integer from 0 to 255"},
        {"\"limitLevel\": 0", "\"limitLevel\": -1", "JSON peripherals.limitLevel: expected an integer from 0 to 255"},
        {"\"pitch\": 0", "\"pitch\": \"5\"", "JSON motor[0].pitch: expected a number"},
        {"\"pitch\": 0", "\"pich\": 0", "JSON motor[0]: missing member \"pitch\""},
        {"\"version\": 0", "\"version\": 0, \"extra\": 1", "JSON document: unknown member \"extra\""},
        {"\"limits\": [0, ", "\"limits\": [", "JSON peripherals.limits: expected 16 entries"},
        {"\"programs\": []", "\"programs\": [{\"lines\": [" + lines(1000, record) + "]}]", ""},
        {"\"programs\": []", "\"programs\": [{\"lines\": [" + lines(1001, record) + "]}]",
         "JSON programs[0].lines: expected 0 to 1000 entries, not 1001"},
        {"\"programs\": []", "\"programs\": [" + lines(11, R"({"lines": []})") + "]",
         "JSON programs: expected 0 to 10 entries, not 11"},
        {"\"programs\": []", R"("programs": [{"lines": [{"record": "aaff", "remark": null}]}])",
         "JSON programs[0].lines[0].record: expected 32 hexadecimal digits"},
        {"\"programs\": []",
         R"("programs": [{"lines": [{"record": "AAFF000000000000000000000000000G", "remark": null}]}])",
         "JSON programs[0].lines[0].record: expected 32 hexadecimal digits"},
        {"\"programs\": []",
         R"("programs": [{"lines": [{"record": "AAFF0000000000000000000000000000", "remark": 1}]}])",
         "JSON programs[0].lines[0].remark: expected a string or null"},
    };
    for (const auto& c : cases) EXPECT_EQ(errorOf(documentWith(c.from, c.to)), c.error) << c.to.substr(0, 60);
    const std::string lowest = documentWith("\"subdivision\": 0", "\"subdivision\": -2147483648");
    EXPECT_EQ(ApplicationFromJson(lowest).motor.axes[0].subdivision, std::numeric_limits<std::int32_t>::min());
}

TEST(Json, RealsAreReadFromTheirTextToTheNearestSinglePrecisionValue) {
    const struct {
        const char* text;
        float value;
    } cases[] = {
        // Halfway between 1 and the next float by less than a double can tell: read through
        // double precision it would round to 1.
        {"1.00000005960464477550", 1.00000012f}, {"16777217", 16777216.0f}, {"-0", -0.0f}, {"1e39", kInf}, {"1e-50", 0},
    };
    for (const auto& c : cases) {
        const std::string json = documentWith("\"pitch\": 0", std::string("\"pitch\": ") + c.text);
        EXPECT_TRUE(SameBits(ApplicationFromJson(json).motor.axes[0].pitch, c.value)) << c.text;
    }
}

}  // namespace
}  // namespace ravo
