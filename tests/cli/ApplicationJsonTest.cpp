#include "ApplicationJson.h"
#include "CliError.h"

#include "shell/ApplicationProgramFile.h"
#include "shell/WholeFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>

namespace ravo {
namespace {

using kelvane::ReadWholeFile;

std::vector<std::string> demoFiles() {
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(DEMO_DATA_FOLDER "/ApplicationProgram"))
        files.push_back(entry.path().string());
    return files;
}

// The file `ravo import` writes for this JSON.
std::string importedText(const std::string& json) {
    const std::string path = ::testing::TempDir() + "imported.kelvane";
    SaveApplicationDocument(path, ApplicationFromJson(json));
    return ReadWholeFile(path).value_or("");
}

std::string errorOf(const std::string& json) {
    try {
        ApplicationFromJson(json);
    } catch (const CliError& error) {
        return error.what();
    }
    return "";
}

TEST(ApplicationJson, ExportThenImportGivesTheSameBytesForEveryDemoFile) {
    const auto files = demoFiles();
    ASSERT_GE(files.size(), 3u);
    for (const std::string& file : files) {
        const ApplicationDocument document = LoadApplicationDocument(file);
        EXPECT_TRUE(document.complete) << file;
        EXPECT_EQ(importedText(ApplicationToJson(document)), ReadWholeFile(file)) << file;
    }
}

TEST(ApplicationJson, RealsKeepTheirExactSinglePrecisionValue) {
    ApplicationDocument document;
    const float values[] = {0.1f, 1e-45f, 3.4028235e38f, -0.0f, 16777217.0f, 0.333333343f,
                            std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity(),
                            std::numeric_limits<float>::quiet_NaN(), -std::numeric_limits<float>::quiet_NaN()};
    for (int a = 0; a < 8; ++a) document.motor.axes[a].pitch = values[a];
    document.peripherals.analogue[0].minimum = values[8];
    document.peripherals.analogue[1].maximum = values[9];
    const ApplicationDocument back = ApplicationFromJson(ApplicationToJson(document));
    for (int a = 0; a < 8; ++a)
        EXPECT_EQ(std::memcmp(&back.motor.axes[a].pitch, &values[a], sizeof(float)), 0) << a;
    EXPECT_TRUE(std::isnan(back.peripherals.analogue[0].minimum));
    EXPECT_FALSE(std::signbit(back.peripherals.analogue[0].minimum));
    EXPECT_TRUE(std::isnan(back.peripherals.analogue[1].maximum));
    EXPECT_TRUE(std::signbit(back.peripherals.analogue[1].maximum));
}

TEST(ApplicationJson, ProgramsKeepRecordsAndRemarks) {
    ApplicationDocument document;
    kelvane::ProgramImage program;
    program.lineCount = 3;
    program.records[0].bytes = {0xAA, 0xFF, 0xC8, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 0xFE};
    program.remarks = {{0, "两@个"}, {2, ""}};
    document.programs = {program, kelvane::ProgramImage{}};
    const std::string json = ApplicationToJson(document);
    EXPECT_NE(json.find("\"aaffc8010203040506070809"), std::string::npos);
    const ApplicationDocument back = ApplicationFromJson(json);
    ASSERT_EQ(back.programs.size(), 2u);
    EXPECT_EQ(back.programs[0].lineCount, 3);
    EXPECT_EQ(back.programs[0].records[0].bytes, program.records[0].bytes);
    EXPECT_EQ(back.programs[0].remarks, program.remarks);  // line 1 stays without a remark
    EXPECT_EQ(back.programs[1].lineCount, 0);
}

class ApplicationJsonErrors : public ::testing::Test {
protected:
    void SetUp() override { valid_ = ApplicationToJson(ApplicationDocument{}); }
    std::string replaced(const std::string& from, const std::string& to) const {
        std::string json = valid_;
        const auto at = json.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return json.replace(at, from.size(), to);
    }
    std::string valid_;
};

TEST_F(ApplicationJsonErrors, NameTheOffendingMember) {
    EXPECT_EQ(errorOf(valid_), "");
    EXPECT_EQ(errorOf(replaced("\"subdivision\": 0", "\"subdivision\": 1.5")),
              "JSON motor[0].subdivision: expected an integer from -2147483648 to 2147483647");
    EXPECT_EQ(errorOf(replaced("\"limitLevel\": 0", "\"limitLevel\": 256")),
              "JSON peripherals.limitLevel: expected an integer from 0 to 255");
    EXPECT_EQ(errorOf(replaced("\"pitch\": 0", "\"pitch\": \"5\"")), "JSON motor[0].pitch: expected a number");
    EXPECT_EQ(errorOf(replaced("\"pitch\": 0", "\"pich\": 0")), "JSON motor[0]: missing member \"pitch\"");
    EXPECT_EQ(errorOf(replaced("\"version\": 0", "\"version\": 0, \"extra\": 1")),
              "JSON document: unknown member \"extra\"");
    EXPECT_EQ(errorOf(replaced("\"limits\": [0, ", "\"limits\": [")), "JSON peripherals.limits: expected 16 entries");
    EXPECT_EQ(errorOf("[]"), "JSON document: expected an object");
}

TEST_F(ApplicationJsonErrors, ProgramLimits) {
    std::string lines;
    for (int i = 0; i < 1001; ++i) lines += std::string(i ? "," : "") + R"({"record": "aaff0000000000000000000000000000", "remark": null})";
    EXPECT_EQ(errorOf(replaced("\"programs\": []", "\"programs\": [{\"lines\": [" + lines + "]}]")),
              "JSON programs[0].lines: expected 0 to 1000 entries, not 1001");
    std::string programs;
    for (int i = 0; i < 11; ++i) programs += std::string(i ? "," : "") + R"({"lines": []})";
    EXPECT_EQ(errorOf(replaced("\"programs\": []", "\"programs\": [" + programs + "]")),
              "JSON programs: expected 0 to 10 entries, not 11");
    EXPECT_EQ(errorOf(replaced("\"programs\": []", R"("programs": [{"lines": [{"record": "aaff", "remark": null}]}])")),
              "JSON programs[0].lines[0].record: expected 32 hexadecimal digits");
    EXPECT_EQ(errorOf(replaced("\"programs\": []",
                               R"("programs": [{"lines": [{"record": "AAFF000000000000000000000000000G", "remark": 1}]}])")),
              "JSON programs[0].lines[0].record: expected 32 hexadecimal digits");
    EXPECT_EQ(errorOf(replaced("\"programs\": []",
                               R"("programs": [{"lines": [{"record": "AAFF0000000000000000000000000000", "remark": 1}]}])")),
              "JSON programs[0].lines[0].remark: expected a string or null");
}

}  // namespace
}  // namespace ravo
