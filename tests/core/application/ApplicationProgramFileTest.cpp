#include "ApplicationTestSupport.h"

#include "core/application/WholeFile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <tuple>

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
    p.analogue = {{{7, -1.5f, 10.25f}, {2, 0.125f, 3000.0f}}};
    p.encoders = {{{30, 1000, 2.5f}, {4, -20, 0.75f}, {1, 360, 1.0f}}};
    return p;
}

// The sample as a read that stops before the peripherals leaves it: analogue functions cleared.
PeripheralParameterRecord sampledPeripheralsUnread() {
    PeripheralParameterRecord p = sampledPeripherals();
    p.analogue[0].function = p.analogue[1].function = 0;
    return p;
}

bool samePeripherals(const PeripheralParameterRecord& a, const PeripheralParameterRecord& b) {
    bool same = a.limitTriggerLevel == b.limitTriggerLevel && a.limits == b.limits;
    for (int i = 0; i < 2; ++i)
        same = same && std::tie(a.analogue[i].function, a.analogue[i].minimum, a.analogue[i].maximum) ==
                           std::tie(b.analogue[i].function, b.analogue[i].minimum, b.analogue[i].maximum);
    for (int i = 0; i < 3; ++i)
        same = same && std::tie(a.encoders[i].mode, a.encoders[i].lines, a.encoders[i].ratio) ==
                           std::tie(b.encoders[i].mode, b.encoders[i].lines, b.encoders[i].ratio);
    return same;
}

ProgramImage programOf(std::initializer_list<LineRecord> lines, RemarkMap remarks = {}) {
    ProgramImage program;
    for (const LineRecord& line : lines) program.records[program.lineCount++] = line;
    program.remarks = std::move(remarks);
    return program;
}

// The version line and the default motor lines (UTF-8), then the program count when given.
std::string header(const std::string& version, int programs = -1) {
    std::string text = "应用程序版本:" + version + "\n";
    for (const char* axis : {"X", "Y", "Z", "A", "B", "C"})
        text += std::string(axis) +
                "轴细分:1600,螺距:5.000000,机械间隙补偿:0.000000,加速系数:10,减速系数:10,最小速度0.000000\n";
    for (const char* axis : {"7", "8"})
        text +=
            std::string(axis) + "轴细分:0,螺距:0.000000,机械间隙补偿:0.000000,加速系数:0,减速系数:0,最小速度0.000000\n";
    if (programs >= 0) text += "总用户程序数:" + std::to_string(programs) + "\n";
    return text;
}

std::string zeroPeripheralLines(bool withTrigger = true) {
    std::string text = withTrigger ? "限位触发电平:0\n" : "";
    for (int n = 1; n <= 8; ++n) text += "步进电机" + std::to_string(n) + ":左限位0, 右限位0\n";
    text += "AD0的作用:0,AD0最小值:0.000000,AD0最大值:0.000000,AD1的作用:0,AD1最小值:0.000000,AD1最大值:0.000000\n";
    text +=
        "编码器1: 工作模式:0 多少线:0 频率比:0.000000; 编码器2: 工作模式:0 多少线:0 频率:0.000000; "
        "编码器3: 工作模式:0 多少线:0 频率:0.000000\n";
    return text;
}

TEST(ApplicationBuffer, ResetGivesTheStartUpValues) {
    ApplicationProgramBuffer buffer;
    buffer.version = 3;
    buffer.motor.axes[7].pitch = 9;
    buffer.program = programOf({record(1)}, {{0, "x"}});
    buffer.program.records[999].bytes[4] = 1;
    buffer.peripherals = sampledPeripherals();
    ResetApplicationBuffer(buffer);
    EXPECT_EQ(buffer.version, 0.0f);
    for (int a = 0; a < 8; ++a) {
        const AxisParameters& axis = buffer.motor.axes[a];
        const bool used = a < 6;
        EXPECT_EQ(std::tie(axis.subdivision, axis.acceleration, axis.deceleration),
                  std::make_tuple(used ? 1600 : 0, used ? 10 : 0, used ? 10 : 0));
        EXPECT_EQ(std::tie(axis.pitch, axis.backlash, axis.minimumSpeed),
                  std::make_tuple(used ? 5.0f : 0.0f, 0.0f, 0.0f));
    }
    EXPECT_EQ(buffer.program.lineCount, 0);
    EXPECT_EQ(buffer.program.records[999].bytes, LineRecord{}.bytes);
    EXPECT_TRUE(buffer.program.remarks.empty());
    EXPECT_TRUE(samePeripherals(buffer.peripherals, PeripheralParameterRecord{}));
}

TEST(ApplicationProgramWriter, WritesTheExactTextFetchingEachProgramInTurn) {
    ApplicationProgramBuffer buffer = startBuffer();
    const std::vector<ProgramImage> programs = {programOf({record(5, 10), record(0)}, {{0, "起点 start"}}),
                                                programOf({})};
    std::vector<int> fetched;
    const std::string text = FormatApplicationProgram(buffer, 2, [&](int i, ProgramImage& out) {
        fetched.push_back(i);
        out = programs[i];
    });
    const std::string expected = header("5.000000", 2) + "用户总代码行:2\nProgramNo: 0\n" +
                                 "0: aa ff 05 00 00 00 0a 00 00 00 00 00 00 00 00 00 描述:;;起点@start\n" +
                                 "1: aa ff 00 00 00 00 00 00 00 00 00 00 00 00 00 00 描述:;;\n" +
                                 "用户总代码行:0\nProgramNo: 1\n" + zeroPeripheralLines();
    EXPECT_EQ(text, gbk(expected));
    EXPECT_EQ(fetched, (std::vector<int>{0, 1}));
}

TEST(ApplicationProgramFile, RoundTripKeepsEveryFieldAndRemarkBlanksBecomeAtSigns) {
    ApplicationProgramBuffer written = startBuffer();
    for (int a = 0; a < 8; ++a) written.motor.axes[a] = {-3200 + a, 2.5f * a, 0.001f, a, -a, 12.75f};
    written.peripherals = sampledPeripherals();
    const std::vector<ProgramImage> programs = {
        programOf({record(1, 0xFFFFFFFF, 0x3FC00000, 7), record(0xFE, 1, 2, 3)},
                  {{0, "two words\tand\r\nmore\v\f"}, {1, "中文@备注"}}),
        programOf({}),
        programOf({record(0), record(254, 0x80000000)}, {{1, ""}}),
    };
    const std::string text = formatPrograms(written, programs);
    EXPECT_NE(text.find(";;two@words@and@@more@@\n"), std::string::npos);

    ApplicationProgramBuffer read = startBuffer();
    ReadSummary summary;
    const std::vector<ProgramImage> back = readPrograms(text, read, &summary);
    EXPECT_TRUE(summary.recognised && summary.complete);
    EXPECT_EQ(summary.programCount, 3);
    EXPECT_EQ(read.version, 5.0f);
    for (int a = 0; a < 8; ++a) {
        const AxisParameters& axis = read.motor.axes[a];
        EXPECT_EQ(std::tie(axis.subdivision, axis.acceleration, axis.deceleration), std::make_tuple(-3200 + a, a, -a));
        EXPECT_EQ(std::tie(axis.pitch, axis.backlash, axis.minimumSpeed), std::make_tuple(2.5f * a, 0.001f, 12.75f));
    }
    EXPECT_TRUE(samePeripherals(read.peripherals, written.peripherals));
    ASSERT_EQ(back.size(), 3u);
    for (int p = 0; p < 3; ++p) {
        ASSERT_EQ(back[p].lineCount, programs[p].lineCount);
        for (int i = 0; i < back[p].lineCount; ++i) EXPECT_EQ(back[p].records[i].bytes, programs[p].records[i].bytes);
    }
    EXPECT_EQ(back[0].remarks, (RemarkMap{{0, "two@words@and@@more@@"}, {1, "中文@备注"}}));
    EXPECT_TRUE(back[1].remarks.empty());
    EXPECT_EQ(back[2].remarks, (RemarkMap{{0, ""}, {1, ""}}));  // an entry per line read
    // Writing what was read gives the same bytes, unknown instruction codes included.
    EXPECT_EQ(formatPrograms(read, back), text);
}

TEST(ApplicationProgramReader, EveryGenerationOfTheFile) {
    const std::string line = "0: aa ff 03 00 00 00 01 00 00 00 00 00 00 00 00 00 描述:;;x\n";
    const std::string oneProgram = "用户总代码行:1\nProgramNo: 0\n" + line;
    std::string limits = zeroPeripheralLines(false);
    limits.replace(limits.find("左限位0"), std::string("左限位0").size(), "左限位4");
    // Versions below 3 have no trigger level line; below 4 no program count, one program.
    // 4.9 read into a float lies just above the double 4.9: the file counts as the newest kind.
    const struct {
        const char* version;
        std::string body;
        int trigger;
    } generations[] = {
        {"2.000000", oneProgram + limits, 0},
        {"3.000000", oneProgram + "限位触发电平:1\n" + limits, 1},
        {"4.900000", "总用户程序数:2\n" + oneProgram + "用户总代码行:0\nProgramNo: 1\n限位触发电平:1\n" + limits, 1},
    };
    for (const auto& generation : generations) {
        ApplicationProgramBuffer buffer = startBuffer();
        buffer.peripherals.limitTriggerLevel = 9;
        ReadSummary summary;
        const auto programs = readPrograms(gbk(header(generation.version) + generation.body), buffer, &summary);
        EXPECT_TRUE(summary.complete) << generation.version;
        ASSERT_EQ(programs.size(), generation.version[0] == '4' ? 2u : 1u) << generation.version;
        EXPECT_EQ(programs[0].records[0].bytes[2], 3);
        EXPECT_EQ(buffer.peripherals.limitTriggerLevel, generation.trigger) << generation.version;
        EXPECT_EQ(buffer.peripherals.limits[0], 4) << generation.version;
    }
}

TEST(ApplicationProgramReader, CutShortFileKeepsWhatItDidNotReach) {
    ApplicationProgramBuffer source = startBuffer();
    const std::string full = formatPrograms(source, {programOf({record(1), record(2)})});
    const std::string cut = full.substr(0, full.find(gbk("Z轴")) + 3);

    ApplicationProgramBuffer buffer = startBuffer();
    buffer.program = programOf({record(9), record(8), record(7)}, {{0, "kept?"}});
    buffer.peripherals = sampledPeripherals();
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
    EXPECT_TRUE(samePeripherals(buffer.peripherals, sampledPeripheralsUnread()));
}

TEST(ApplicationProgramReader, UpperCaseHexAndMissingBytesKeepTheirValue) {
    const std::string text =
        header("5.000000", 1) + "用户总代码行:1\nProgramNo: 0\n0: AA FF 0C 7f 描述:;;short\n" + zeroPeripheralLines();
    ApplicationProgramBuffer buffer = startBuffer();
    buffer.program.records[0].bytes.fill(0x11);
    const auto programs = readPrograms(gbk(text), buffer);
    ASSERT_EQ(programs.size(), 1u);
    const LineRecord expected{
        {0xAA, 0xFF, 0x0C, 0x7F, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11}};
    EXPECT_EQ(programs[0].records[0].bytes, expected.bytes);
    EXPECT_EQ(programs[0].remarks.at(0), "short");
}

TEST(ApplicationProgramReader, TwelveProgramsLoadTheFirstTen) {
    std::string text = header("5.000000", 12);
    for (int p = 0; p < 12; ++p) {
        char line[128];
        std::snprintf(line, sizeof line, "0: aa ff %.2x 00 00 00 00 00 00 00 00 00 00 00 00 00 描述:;;\n", p + 1);
        text += "用户总代码行:1\nProgramNo: " + std::to_string(p) + "\n" + line;
    }
    ApplicationProgramBuffer buffer = startBuffer();
    buffer.peripherals = sampledPeripherals();
    const auto programs = readPrograms(gbk(text + zeroPeripheralLines()), buffer);
    ASSERT_EQ(programs.size(), 10u);
    EXPECT_EQ(programs[9].records[0].bytes[2], 10);
    EXPECT_TRUE(samePeripherals(buffer.peripherals, sampledPeripheralsUnread()));
}

TEST(ApplicationProgramReader, LinesBeyondAThousandAndLongRemarksAreCutAndConsumed) {
    std::string longRemark;
    for (int i = 0; i < 100; ++i) longRemark += "中";  // two bytes each in GBK
    std::string text = header("5.000000", 2) + "用户总代码行:1003\nProgramNo: 0\n";
    for (int i = 0; i < 1003; ++i)
        text += std::to_string(i) + ": aa ff 01 00 00 00 00 00 00 00 00 00 00 00 00 " + (i < 1000 ? "00" : "ee") +
                " 描述:;;" + (i == 0 ? longRemark : "r" + std::to_string(i)) + "\n";
    text += "用户总代码行:1\nProgramNo: 1\n0: aa ff 02 00 00 00 00 00 00 00 00 00 00 00 00 00 描述:;;next\n";
    ApplicationProgramBuffer buffer = startBuffer();
    buffer.peripherals = sampledPeripherals();
    ReadSummary summary;
    const auto programs = readPrograms(gbk(text + zeroPeripheralLines()), buffer, &summary);
    EXPECT_TRUE(summary.complete);
    ASSERT_EQ(programs.size(), 2u);
    EXPECT_EQ(programs[0].lineCount, 1000);
    EXPECT_EQ(programs[0].remarks.size(), 1000u);
    // 127 bytes of area: ";;" and 62 whole characters; half a character is not kept.
    EXPECT_EQ(programs[0].remarks.at(0), longRemark.substr(0, 62 * 3));
    EXPECT_EQ(programs[0].remarks.at(1), "r1");
    EXPECT_EQ(programs[0].remarks.at(999), "r999");
    EXPECT_EQ(programs[1].remarks.at(0), "next");
    EXPECT_TRUE(samePeripherals(buffer.peripherals, PeripheralParameterRecord{}));
}

TEST(ApplicationProgramFile, ThroughTheDisk) {
    TemporaryFolder folder;
    const std::string path = folder.file("demo.kelvane");
    ApplicationProgramBuffer buffer = startBuffer();
    const std::vector<ProgramImage> programs = {programOf({record(3, 1, 2, 3)}, {{0, "disk"}})};
    ASSERT_TRUE(WriteApplicationProgramFile(path, buffer, 1, [&](int i, ProgramImage& p) { p = programs[i]; }).ok);
    EXPECT_EQ(ReadWholeFile(path), formatPrograms(buffer, programs));
    std::vector<ProgramImage> back;
    const auto summary =
        LoadApplicationProgramFile(path, buffer, [&](int, const ProgramImage& p) { back.push_back(p); });
    ASSERT_TRUE(summary && summary->complete);
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(back[0].remarks.at(0), "disk");

    // A missing file and one that cannot be read (a folder) change nothing; a file that
    // cannot be created fetches no program.
    buffer.motor.axes[0].subdivision = 42;
    bool called = false;
    EXPECT_FALSE(LoadApplicationProgramFile(folder.file("none.kelvane"), buffer,
                                            [&](int, const ProgramImage&) { called = true; }));
    EXPECT_FALSE(LoadApplicationProgramFile(folder.path(), buffer, [&](int, const ProgramImage&) { called = true; }));
    EXPECT_EQ(buffer.motor.axes[0].subdivision, 42);
    const std::string unwritable = folder.file("missing/x.kelvane");
    const WriteStatus status =
        WriteApplicationProgramFile(unwritable, buffer, 1, [&](int, ProgramImage&) { called = true; });
    EXPECT_FALSE(status.ok);
    EXPECT_NE(status.reason.find(unwritable), std::string::npos);
    EXPECT_FALSE(called);
}

}  // namespace
}  // namespace kelvane
