#include "ShellTestSupport.h"

#include "shell/WholeFile.h"

#include <gtest/gtest.h>

#include <fstream>

namespace kelvane {
namespace {

using testing::formatPrograms;
using testing::gbk;
using testing::readPrograms;
using testing::record;

ApplicationProgramBuffer startBuffer() {
    ApplicationProgramBuffer buffer;
    ResetApplicationBuffer(buffer);
    return buffer;
}

// Every peripheral field set, so that a field left alone by a read is visible.
PeripheralParameterRecord sampledPeripherals() {
    PeripheralParameterRecord p;
    p.limitTriggerLevel = 1;
    for (int i = 0; i < 16; ++i) p.limits[i] = static_cast<std::uint8_t>(i + 3);
    p.analogue[0] = {7, -1.5f, 10.25f};
    p.analogue[1] = {2, 0.125f, 3000.0f};
    p.encoders[0] = {30, 1000, 2.5f};
    p.encoders[1] = {4, -20, 0.75f};
    p.encoders[2] = {1, 360, 1.0f};
    return p;
}

bool samePeripherals(const PeripheralParameterRecord& a, const PeripheralParameterRecord& b) {
    if (a.limitTriggerLevel != b.limitTriggerLevel || a.limits != b.limits) return false;
    for (int i = 0; i < 2; ++i) {
        if (a.analogue[i].function != b.analogue[i].function || a.analogue[i].minimum != b.analogue[i].minimum ||
            a.analogue[i].maximum != b.analogue[i].maximum)
            return false;
    }
    for (int i = 0; i < 3; ++i) {
        if (a.encoders[i].mode != b.encoders[i].mode || a.encoders[i].lines != b.encoders[i].lines ||
            a.encoders[i].ratio != b.encoders[i].ratio)
            return false;
    }
    return true;
}

ProgramImage programOf(std::initializer_list<LineRecord> lines, RemarkMap remarks = {}) {
    ProgramImage program;
    int i = 0;
    for (const LineRecord& line : lines) program.records[i++] = line;
    program.lineCount = static_cast<std::uint16_t>(i);
    program.remarks = std::move(remarks);
    return program;
}

bool sameLines(const ProgramImage& a, const ProgramImage& b) {
    if (a.lineCount != b.lineCount) return false;
    for (int i = 0; i < a.lineCount; ++i)
        if (a.records[i].bytes != b.records[i].bytes) return false;
    return true;
}

// The text of the default application program, without programs, in UTF-8.
std::string defaultMotorLines() {
    std::string text;
    const char* axes[] = {"X", "Y", "Z", "A", "B", "C"};
    for (const char* axis : axes)
        text += std::string(axis) + "轴细分:1600,螺距:5.000000,机械间隙补偿:0.000000,加速系数:10,减速系数:10,最小速度0.000000\n";
    for (const char* axis : {"7", "8"})
        text += std::string(axis) + "轴细分:0,螺距:0.000000,机械间隙补偿:0.000000,加速系数:0,减速系数:0,最小速度0.000000\n";
    return text;
}

std::string zeroPeripheralLines(bool withTrigger = true) {
    std::string text = withTrigger ? "限位触发电平:0\n" : "";
    for (int n = 1; n <= 8; ++n) text += "步进电机" + std::to_string(n) + ":左限位0, 右限位0\n";
    text += "AD0的作用:0,AD0最小值:0.000000,AD0最大值:0.000000,AD1的作用:0,AD1最小值:0.000000,AD1最大值:0.000000\n";
    text += "编码器1: 工作模式:0 多少线:0 频率比:0.000000; 编码器2: 工作模式:0 多少线:0 频率:0.000000; "
            "编码器3: 工作模式:0 多少线:0 频率:0.000000\n";
    return text;
}

TEST(ApplicationBuffer, ResetGivesTheStartUpValues) {
    ApplicationProgramBuffer buffer;
    buffer.version = 3;
    buffer.motor.axes[7].pitch = 9;
    buffer.program.lineCount = 5;
    buffer.program.records[999].bytes[4] = 1;
    buffer.program.remarks[1] = "x";
    buffer.peripherals.encoders[2].lines = 4;
    ResetApplicationBuffer(buffer);
    EXPECT_EQ(buffer.version, 0.0f);
    for (int a = 0; a < 8; ++a) {
        const AxisParameters& axis = buffer.motor.axes[a];
        const bool used = a < 6;
        EXPECT_EQ(axis.subdivision, used ? 1600 : 0);
        EXPECT_EQ(axis.pitch, used ? 5.0f : 0.0f);
        EXPECT_EQ(axis.acceleration, used ? 10 : 0);
        EXPECT_EQ(axis.deceleration, used ? 10 : 0);
        EXPECT_EQ(axis.backlash, 0.0f);
        EXPECT_EQ(axis.minimumSpeed, 0.0f);
    }
    EXPECT_EQ(buffer.program.lineCount, 0);
    EXPECT_EQ(buffer.program.records[999].bytes, LineRecord{}.bytes);
    EXPECT_TRUE(buffer.program.remarks.empty());
    EXPECT_TRUE(samePeripherals(buffer.peripherals, PeripheralParameterRecord{}));
}

TEST(ApplicationProgramWriter, WritesTheExactText) {
    ApplicationProgramBuffer buffer = startBuffer();
    const std::vector<ProgramImage> programs = {
        programOf({record(5, 10), record(0)}, {{0, "起点 start"}}),
        programOf({}),
    };
    const std::string expected = "应用程序版本:5.000000\n" + defaultMotorLines() + "总用户程序数:2\n" +
                                 "用户总代码行:2\nProgramNo: 0\n" +
                                 "0: aa ff 05 00 00 00 0a 00 00 00 00 00 00 00 00 00 描述:;;起点@start\n" +
                                 "1: aa ff 00 00 00 00 00 00 00 00 00 00 00 00 00 00 描述:;;\n" +
                                 "用户总代码行:0\nProgramNo: 1\n" + zeroPeripheralLines();
    EXPECT_EQ(formatPrograms(buffer, programs), gbk(expected));
}

TEST(ApplicationProgramWriter, FetchesEachProgramIntoTheBufferAndKeepsTheLast) {
    ApplicationProgramBuffer buffer = startBuffer();
    std::vector<int> fetched;
    FormatApplicationProgram(buffer, 3, [&](int i, ProgramImage& program) {
        fetched.push_back(i);
        program = programOf({record(static_cast<std::uint8_t>(i + 1))});
    });
    EXPECT_EQ(fetched, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(buffer.program.records[0].bytes[2], 3);
}

TEST(ApplicationProgramFile, RoundTripKeepsEveryField) {
    ApplicationProgramBuffer written = startBuffer();
    for (int a = 0; a < 8; ++a)
        written.motor.axes[a] = {-3200 + a, 2.5f * a, 0.001f, a, -a, 12.75f};
    written.peripherals = sampledPeripherals();
    const std::vector<ProgramImage> programs = {
        programOf({record(1, 0xFFFFFFFF, 0x3FC00000, 7), record(0xFE, 1, 2, 3)}, {{0, "first"}, {1, "中文@备注"}}),
        programOf({}),
        programOf({record(0), record(254, 0x80000000)}, {{1, ""}}),
    };
    const std::string text = formatPrograms(written, programs);

    ApplicationProgramBuffer read = startBuffer();
    ReadSummary summary;
    const std::vector<ProgramImage> back = readPrograms(text, read, &summary);
    EXPECT_TRUE(summary.recognised);
    EXPECT_TRUE(summary.complete);
    EXPECT_EQ(summary.programCount, 3);
    EXPECT_EQ(read.version, 5.0f);
    for (int a = 0; a < 8; ++a) {
        EXPECT_EQ(read.motor.axes[a].subdivision, -3200 + a);
        EXPECT_EQ(read.motor.axes[a].pitch, 2.5f * a);
        EXPECT_EQ(read.motor.axes[a].backlash, 0.001f);
        EXPECT_EQ(read.motor.axes[a].deceleration, -a);
    }
    EXPECT_TRUE(samePeripherals(read.peripherals, written.peripherals));
    ASSERT_EQ(back.size(), 3u);
    for (int p = 0; p < 3; ++p) EXPECT_TRUE(sameLines(back[p], programs[p])) << p;
    EXPECT_EQ(back[0].remarks, (RemarkMap{{0, "first"}, {1, "中文@备注"}}));
    EXPECT_TRUE(back[1].remarks.empty());
    // Every line read gets an entry, also without a remark.
    EXPECT_EQ(back[2].remarks, (RemarkMap{{0, ""}, {1, ""}}));
    // Writing what was read gives the same bytes, unknown instruction codes included.
    EXPECT_EQ(formatPrograms(read, back), text);
}

TEST(ApplicationProgramFile, WhiteSpaceInRemarksNeverSplitsTheToken) {
    ApplicationProgramBuffer buffer = startBuffer();
    buffer.peripherals = sampledPeripherals();
    const std::vector<ProgramImage> programs = {
        programOf({record(1), record(2)}, {{0, "two words\tand\r\nmore\v\f"}, {1, "ok"}})};
    const std::string text = formatPrograms(buffer, programs);
    EXPECT_NE(text.find(";;two@words@and@@more@@\n"), std::string::npos);

    ApplicationProgramBuffer read = startBuffer();
    const auto back = readPrograms(text, read);
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(back[0].remarks.at(0), "two@words@and@@more@@");
    EXPECT_EQ(back[0].remarks.at(1), "ok");
    EXPECT_TRUE(samePeripherals(read.peripherals, buffer.peripherals));
}

TEST(ApplicationProgramReader, OlderGenerationsHoldOneProgram) {
    const std::string line = "0: aa ff 03 00 00 00 01 00 00 00 00 00 00 00 00 00 描述:;;x\n";
    const std::string oneProgram = "用户总代码行:1\nProgramNo: 0\n" + line;
    std::string limits = zeroPeripheralLines(false);
    limits.replace(limits.find("左限位0"), std::string("左限位0").size(), "左限位4");

    for (const char* version : {"2.000000", "3.000000"}) {
        const bool trigger = std::string(version) != "2.000000";
        const std::string text = "应用程序版本:" + std::string(version) + "\n" + defaultMotorLines() + oneProgram +
                                 (trigger ? "限位触发电平:1\n" : "") + limits;
        ApplicationProgramBuffer buffer = startBuffer();
        buffer.peripherals.limitTriggerLevel = 9;
        ReadSummary summary;
        const auto programs = readPrograms(gbk(text), buffer, &summary);
        EXPECT_TRUE(summary.complete) << version;
        ASSERT_EQ(programs.size(), 1u) << version;
        EXPECT_EQ(programs[0].records[0].bytes[2], 3);
        EXPECT_EQ(buffer.peripherals.limitTriggerLevel, trigger ? 1 : 0) << version;
        EXPECT_EQ(buffer.peripherals.limits[0], 4) << version;
    }
}

TEST(ApplicationProgramReader, VersionIsComparedAsTheFloatItWasReadInto) {
    // 4.9 read into a float lies just above the double 4.9: the file counts as the newest kind.
    const std::string text = "应用程序版本:4.900000\n" + defaultMotorLines() + "总用户程序数:2\n" +
                             "用户总代码行:0\nProgramNo: 0\n用户总代码行:0\nProgramNo: 1\n" + zeroPeripheralLines();
    ApplicationProgramBuffer buffer = startBuffer();
    ReadSummary summary;
    EXPECT_EQ(readPrograms(gbk(text), buffer, &summary).size(), 2u);
    EXPECT_TRUE(summary.complete);
}

TEST(ApplicationProgramReader, CutShortFileKeepsWhatItDidNotReach) {
    ApplicationProgramBuffer source = startBuffer();
    source.peripherals = sampledPeripherals();
    const std::string full = formatPrograms(source, {programOf({record(1), record(2)})});
    const std::string cut = full.substr(0, full.find(gbk("Z轴")) + 3);

    ApplicationProgramBuffer buffer = startBuffer();
    buffer.program = programOf({record(9), record(8), record(7)}, {{0, "kept?"}});
    buffer.peripherals = sampledPeripherals();
    buffer.peripherals.limits[5] = 77;
    ReadSummary summary;
    const auto programs = readPrograms(cut, buffer, &summary);
    EXPECT_TRUE(summary.recognised);
    EXPECT_FALSE(summary.complete);
    EXPECT_EQ(buffer.motor.axes[0].subdivision, 1600);
    EXPECT_EQ(buffer.motor.axes[2].subdivision, 0);  // axes are cleared before reading
    EXPECT_EQ(buffer.motor.axes[5].pitch, 0.0f);
    // Still one program handed over: the buffer's own, with a remark entry per line.
    ASSERT_EQ(programs.size(), 1u);
    EXPECT_EQ(programs[0].lineCount, 3);
    EXPECT_EQ(programs[0].records[0].bytes[2], 9);
    EXPECT_EQ(programs[0].remarks, (RemarkMap{{0, ""}, {1, ""}, {2, ""}}));
    // Peripherals as they were, except the analogue functions.
    PeripheralParameterRecord expected = sampledPeripherals();
    expected.limits[5] = 77;
    expected.analogue[0].function = 0;
    expected.analogue[1].function = 0;
    EXPECT_TRUE(samePeripherals(buffer.peripherals, expected));
}

TEST(ApplicationProgramReader, RecordByteWithoutTokenKeepsItsValue) {
    const std::string text = "应用程序版本:5.000000\n" + defaultMotorLines() + "总用户程序数:1\n" +
                             "用户总代码行:1\nProgramNo: 0\n0: AA FF 0C 7f 描述:;;short\n" + zeroPeripheralLines();
    ApplicationProgramBuffer buffer = startBuffer();
    buffer.program.records[0].bytes.fill(0x11);
    const auto programs = readPrograms(gbk(text), buffer);
    ASSERT_EQ(programs.size(), 1u);
    const auto& bytes = programs[0].records[0].bytes;
    EXPECT_EQ(bytes[0], 0xAA);  // upper-case hex reads as lower-case
    EXPECT_EQ(bytes[1], 0xFF);
    EXPECT_EQ(bytes[2], 0x0C);
    EXPECT_EQ(bytes[3], 0x7F);
    EXPECT_EQ(bytes[4], 0x11);
    EXPECT_EQ(bytes[15], 0x11);
    EXPECT_EQ(programs[0].remarks.at(0), "short");
}

TEST(ApplicationProgramReader, TwelveProgramsLoadTheFirstTen) {
    ApplicationProgramBuffer buffer = startBuffer();
    std::string text = "应用程序版本:5.000000\n" + defaultMotorLines() + "总用户程序数:12\n";
    for (int p = 0; p < 12; ++p) {
        char line[128];
        std::snprintf(line, sizeof line, "0: aa ff %.2x 00 00 00 00 00 00 00 00 00 00 00 00 00 描述:;;\n", p + 1);
        text += "用户总代码行:1\nProgramNo: " + std::to_string(p) + "\n" + line;
    }
    text += zeroPeripheralLines();
    buffer.peripherals = sampledPeripherals();
    const auto programs = readPrograms(gbk(text), buffer);
    ASSERT_EQ(programs.size(), 10u);
    EXPECT_EQ(programs[9].records[0].bytes[2], 10);
    PeripheralParameterRecord expected = sampledPeripherals();
    expected.analogue[0].function = 0;
    expected.analogue[1].function = 0;
    EXPECT_TRUE(samePeripherals(buffer.peripherals, expected));
}

TEST(ApplicationProgramReader, LinesBeyondAThousandAreSkipped) {
    ApplicationProgramBuffer buffer = startBuffer();
    std::string text = "应用程序版本:5.000000\n" + defaultMotorLines() + "总用户程序数:2\n" +
                       "用户总代码行:1003\nProgramNo: 0\n";
    for (int i = 0; i < 1003; ++i)
        text += std::to_string(i) + ": aa ff 01 00 00 00 00 00 00 00 00 00 00 00 00 " + (i < 1000 ? "00" : "ee") +
                " 描述:;;r" + std::to_string(i) + "\n";
    text += "用户总代码行:1\nProgramNo: 1\n0: aa ff 02 00 00 00 00 00 00 00 00 00 00 00 00 00 描述:;;next\n";
    text += zeroPeripheralLines();
    buffer.peripherals = sampledPeripherals();
    ReadSummary summary;
    const auto programs = readPrograms(gbk(text), buffer, &summary);
    EXPECT_TRUE(summary.complete);
    ASSERT_EQ(programs.size(), 2u);
    EXPECT_EQ(programs[0].lineCount, 1000);
    EXPECT_EQ(programs[0].remarks.size(), 1000u);
    EXPECT_EQ(programs[0].remarks.at(999), "r999");
    EXPECT_EQ(programs[1].lineCount, 1);
    EXPECT_EQ(programs[1].remarks.at(0), "next");
    EXPECT_TRUE(samePeripherals(buffer.peripherals, PeripheralParameterRecord{}));
}

TEST(ApplicationProgramReader, LongRemarkTokenIsCutAndConsumed) {
    std::string longRemark;
    for (int i = 0; i < 100; ++i) longRemark += "中";  // two bytes each in GBK
    const std::string text = gbk("应用程序版本:5.000000\n" + defaultMotorLines() + "总用户程序数:1\n" +
                                 "用户总代码行:2\nProgramNo: 0\n") +
                             gbk("0: aa ff 01 00 00 00 00 00 00 00 00 00 00 00 00 00 描述:") + ";;" + gbk(longRemark) +
                             gbk("\n1: aa ff 02 00 00 00 00 00 00 00 00 00 00 00 00 00 描述:;;b\n") +
                             gbk(zeroPeripheralLines());
    ApplicationProgramBuffer buffer = startBuffer();
    ReadSummary summary;
    const auto programs = readPrograms(text, buffer, &summary);
    EXPECT_TRUE(summary.complete);
    ASSERT_EQ(programs.size(), 1u);
    // 127 bytes of area: ";;" and 62 whole characters; half a character is not kept.
    EXPECT_EQ(programs[0].remarks.at(0), longRemark.substr(0, 62 * 3));
    EXPECT_EQ(programs[0].remarks.at(1), "b");
    EXPECT_EQ(programs[0].records[1].bytes[2], 2);
}

TEST(ApplicationProgramFile, MissingFileChangesNothing) {
    ApplicationProgramBuffer buffer = startBuffer();
    buffer.motor.axes[0].subdivision = 42;
    bool called = false;
    EXPECT_FALSE(LoadApplicationProgramFile("/nonexistent/x.kelvane", buffer,
                                            [&](int, const ProgramImage&) { called = true; }));
    EXPECT_FALSE(called);
    EXPECT_EQ(buffer.motor.axes[0].subdivision, 42);
}

TEST(ApplicationProgramFile, WritesAndLoadsThroughTheDisk) {
    testing::TemporaryFolder folder;
    const std::string path = folder.file("demo.kelvane");
    ApplicationProgramBuffer buffer = startBuffer();
    const std::vector<ProgramImage> programs = {programOf({record(3, 1, 2, 3)}, {{0, "disk"}})};
    ASSERT_TRUE(WriteApplicationProgramFile(path, buffer, 1, [&](int i, ProgramImage& p) { p = programs[i]; }).ok);
    EXPECT_EQ(ReadWholeFile(path), formatPrograms(buffer, programs));

    ApplicationProgramBuffer read = startBuffer();
    std::vector<ProgramImage> back;
    const auto summary = LoadApplicationProgramFile(path, read, [&](int, const ProgramImage& p) { back.push_back(p); });
    ASSERT_TRUE(summary);
    EXPECT_TRUE(summary->complete);
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(back[0].remarks.at(0), "disk");
}

TEST(ApplicationProgramFile, FailedWriteFetchesNoProgramAndReportsIt) {
    ApplicationProgramBuffer buffer = startBuffer();
    bool fetched = false;
    const WriteStatus status = WriteApplicationProgramFile(
        "/nonexistent-folder/x.kelvane", buffer, 1, [&](int, ProgramImage&) { fetched = true; });
    EXPECT_FALSE(status.ok);
    EXPECT_NE(status.reason.find("/nonexistent-folder/x.kelvane"), std::string::npos);
    EXPECT_FALSE(fetched);
}

}  // namespace
}  // namespace kelvane
