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

TEST(ApplicationJson, RealsKeepTheirExactSinglePrecisionValue) {
    constexpr float inf = std::numeric_limits<float>::infinity(), nan = std::numeric_limits<float>::quiet_NaN();
    const float values[] = {0.1f, 1e-45f, 3.4028235e38f, -0.0f, 16777217.0f, 0.333333343f, inf, -inf, nan, -nan};
    ApplicationDocument document;
    for (int a = 0; a < 8; ++a) document.motor.axes[a].pitch = values[a];
    document.peripherals.analogue[0].minimum = values[8];
    document.peripherals.analogue[1].maximum = values[9];
    const ApplicationDocument back = ApplicationFromJson(ApplicationToJson(document));
    for (int a = 0; a < 8; ++a)
        EXPECT_EQ(std::memcmp(&back.motor.axes[a].pitch, &values[a], sizeof(float)), 0) << values[a];
    EXPECT_TRUE(std::isnan(back.peripherals.analogue[0].minimum));
    EXPECT_FALSE(std::signbit(back.peripherals.analogue[0].minimum));
    EXPECT_TRUE(std::isnan(back.peripherals.analogue[1].maximum));
    EXPECT_TRUE(std::signbit(back.peripherals.analogue[1].maximum));
}

TEST(ApplicationJson, ProgramsKeepRecordsAndRemarks) {
    kelvane::ProgramImage program;
    program.lineCount = 3;
    program.records[0].bytes = {0xAA, 0xFF, 0xC8, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 0xFE};
    program.remarks = {{0, "两@个"}, {2, ""}};  // line 1 has no remark
    ApplicationDocument document;
    document.programs = {program, kelvane::ProgramImage{}};
    const std::string json = ApplicationToJson(document);
    EXPECT_NE(json.find("\"aaffc8010203040506070809"), std::string::npos);
    const ApplicationDocument back = ApplicationFromJson(json);
    ASSERT_EQ(back.programs.size(), 2u);
    EXPECT_EQ(back.programs[0].lineCount, 3);
    EXPECT_EQ(back.programs[0].records[0].bytes, program.records[0].bytes);
    EXPECT_EQ(back.programs[0].remarks, program.remarks);
    EXPECT_EQ(back.programs[1].lineCount, 0);
}

TEST(ApplicationJson, ErrorsNameTheOffendingMember) {
    const std::string valid = ApplicationToJson(ApplicationDocument{});
    EXPECT_EQ(errorOf(valid), "");
    EXPECT_EQ(errorOf("[]"), "JSON document: expected an object");
    const auto lines = [](int count, const char* line) {
        std::string text;
        for (int i = 0; i < count; ++i) text += std::string(i ? "," : "") + line;
        return text;
    };
    const std::string record = R"({"record": "aaff0000000000000000000000000000", "remark": null})";
    const struct {
        std::string from, to, error;
    } cases[] = {
        {"\"subdivision\": 0", "\"subdivision\": 1.5",
         "JSON motor[0].subdivision: expected an integer from -2147483648 to 2147483647"},
        {"\"limitLevel\": 0", "\"limitLevel\": 256", "JSON peripherals.limitLevel: expected an integer from 0 to 255"},
        {"\"pitch\": 0", "\"pitch\": \"5\"", "JSON motor[0].pitch: expected a number"},
        {"\"pitch\": 0", "\"pich\": 0", "JSON motor[0]: missing member \"pitch\""},
        {"\"version\": 0", "\"version\": 0, \"extra\": 1", "JSON document: unknown member \"extra\""},
        {"\"limits\": [0, ", "\"limits\": [", "JSON peripherals.limits: expected 16 entries"},
        {"\"programs\": []", "\"programs\": [{\"lines\": [" + lines(1001, record.c_str()) + "]}]",
         "JSON programs[0].lines: expected 0 to 1000 entries, not 1001"},
        {"\"programs\": []", "\"programs\": [" + lines(11, R"({"lines": []})") + "]",
         "JSON programs: expected 0 to 10 entries, not 11"},
        {"\"programs\": []", R"("programs": [{"lines": [{"record": "aaff", "remark": null}]}])",
         "JSON programs[0].lines[0].record: expected 32 hexadecimal digits"},
        {"\"programs\": []",
         R"("programs": [{"lines": [{"record": "AAFF000000000000000000000000000G", "remark": 1}]}])",
         "JSON programs[0].lines[0].record: expected 32 hexadecimal digits"},
        {"\"programs\": []",
         R"("programs": [{"lines": [{"record": "AAFF0000000000000000000000000000", "remark": 1}]}])",
         "JSON programs[0].lines[0].remark: expected a string or null"},
    };
    for (const auto& c : cases) {
        std::string json = valid;
        const auto at = json.find(c.from);
        ASSERT_NE(at, std::string::npos) << c.from;
        EXPECT_EQ(errorOf(json.replace(at, c.from.size(), c.to)), c.error);
    }
}

}  // namespace
}  // namespace ravo
