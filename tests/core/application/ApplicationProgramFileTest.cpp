// The .kelvane application program file: the start-up values, the exact text written, a round trip
// of every field, each older generation of the file, and damaged or oversized files.
#include "ApplicationTestSupport.h"

#include "core/application/WholeFile.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace kelvane {
namespace {

using testing::formatPrograms;
using testing::gbk;

// A record with this instruction code and parameters.
LineRecord record(std::uint8_t code, std::uint32_t p1 = 0, std::uint32_t p2 = 0, std::uint32_t p3 = 0) {
    LineRecord r;
    r.bytes = {0xAA, 0xFF, code};
    const std::uint32_t values[3] = {p1, p2, p3};
    for (int k = 0; k < 3; ++k)
        for (int b = 0; b < 4; ++b) r.bytes[3 + 4 * k + b] = static_cast<std::uint8_t>(values[k] >> (24 - 8 * b));
    return r;
}

ProgramImage programOf(std::initializer_list<LineRecord> lines, RemarkMap remarks = {}) {
    ProgramImage program;
    for (const LineRecord& line : lines) program.records[program.lineCount++] = line;
    program.remarks = std::move(remarks);
    return program;
}

ApplicationProgramBuffer startBuffer() {
    ApplicationProgramBuffer buffer;
    ResetApplicationBuffer(buffer);
    return buffer;
}

std::vector<ProgramImage> readPrograms(const std::string& text, ApplicationProgramBuffer& buffer,
                                       ReadSummary* summary = nullptr) {
    std::vector<ProgramImage> programs;
    const ReadSummary s = ReadApplicationProgram(text, buffer, [&](int i, const ProgramImage& p) {
        EXPECT_EQ(i, static_cast<int>(programs.size()));
        programs.push_back(p);
    });
    if (summary) *summary = s;
    return programs;
}

// Every peripheral field set and each to its own value, so that a field misplaced or left alone shows.
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

// The peripheral lines (UTF-8) written for these settings; also how the tests compare settings.
std::string peripheralLines(const PeripheralParameterRecord& peripherals) {
    ApplicationProgramBuffer buffer;
    buffer.peripherals = peripherals;
    const std::string text = gbkToUtf8(FormatApplicationProgram(buffer, 0, {}));
    return text.substr(text.find("限位触发电平"));
}

// The version line and the start-up motor lines (UTF-8), then the program count when given.
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

TEST(ApplicationBuffer, ResetGivesTheStartUpValues) {
    ApplicationProgramBuffer buffer;
    buffer.version = 3;
    buffer.motor.axes[7].pitch = 9;
    buffer.program = programOf({record(1)}, {{0, "x"}});
    buffer.program.records[999].bytes[4] = 1;
    buffer.peripherals = sampledPeripherals();
    ResetApplicationBuffer(buffer);
    EXPECT_EQ(buffer.version, 0.0f);
    EXPECT_EQ(buffer.program.lineCount, 0);
    EXPECT_EQ(buffer.program.records[999].bytes, LineRecord{}.bytes);
    EXPECT_TRUE(buffer.program.remarks.empty());
    EXPECT_EQ(gbkToUtf8(FormatApplicationProgram(buffer, 0, {})), header("5.000000", 0) + peripheralLines({}));
}

TEST(ApplicationProgramWriter, WritesTheExactTextFetchingEachProgramInTurn) {
    ApplicationProgramBuffer buffer = startBuffer();
    buffer.peripherals = sampledPeripherals();
    const std::vector<ProgramImage> programs = {programOf({record(5, 10), record(0)}, {{0, "起点 start"}}),
                                                programOf({})};
    std::vector<int> fetched;
    const std::string text = FormatApplicationProgram(buffer, 2, [&](int i, ProgramImage& out) {
        fetched.push_back(i);
        out = programs[i];
    });
    std::string expected = header("5.000000", 2) + "用户总代码行:2\nProgramNo: 0\n" +
                           "0: aa ff 05 00 00 00 0a 00 00 00 00 00 00 00 00 00 描述:;;起点@start\n" +
                           "1: aa ff 00 00 00 00 00 00 00 00 00 00 00 00 00 00 描述:;;\n" +
                           "用户总代码行:0\nProgramNo: 1\n限位触发电平:1\n";
    for (int n = 1; n <= 8; ++n)
        expected += "步进电机" + std::to_string(n) + ":左限位" + std::to_string(2 * n + 1) + ", 右限位" +
                    std::to_string(2 * n + 2) + "\n";
    expected +=
        "AD0的作用:7,AD0最小值:-1.500000,AD0最大值:10.250000,AD1的作用:2,AD1最小值:0.125000,AD1最大值:3000.000000\n"
        "编码器1: 工作模式:30 多少线:1000 频率比:2.500000; 编码器2: 工作模式:4 多少线:-20 频率:0.750000; "
        "编码器3: 工作模式:1 多少线:360 频率:1.000000\n";
    EXPECT_EQ(text, gbk(expected));
    EXPECT_EQ(fetched, (std::vector<int>{0, 1}));
}

// What was read writes the same bytes again, so every field and record came back in its place.
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
    ASSERT_EQ(back.size(), 3u);
    EXPECT_EQ(back[0].remarks, (RemarkMap{{0, "two@words@and@@more@@"}, {1, "中文@备注"}}));
    EXPECT_TRUE(back[1].remarks.empty());
    EXPECT_EQ(back[2].remarks, (RemarkMap{{0, ""}, {1, ""}}));  // an entry per line read
    EXPECT_EQ(formatPrograms(read, back), text);
}

TEST(ApplicationProgramReader, EveryGenerationOfTheFile) {
    const std::string oneProgram =
        "用户总代码行:1\nProgramNo: 0\n0: aa ff 03 00 00 00 01 00 00 00 00 00 00 00 00 00 描述:;;x\n";
    PeripheralParameterRecord peripherals;
    peripherals.limitTriggerLevel = 1;
    peripherals.limits[0] = 4;
    const std::string withTrigger = peripheralLines(peripherals);
    const std::string limits = withTrigger.substr(withTrigger.find('\n') + 1);
    // Versions below 3 have no trigger level line; below 4 no program count, one program.
    // 4.9 read into a float lies just above the double 4.9: the file counts as the newest kind.
    const struct {
        const char* version;
        std::string body;
        int trigger;
    } generations[] = {
        {"2.000000", oneProgram + limits, 0},
        {"3.000000", oneProgram + withTrigger, 1},
        {"4.900000", "总用户程序数:2\n" + oneProgram + "用户总代码行:0\nProgramNo: 1\n" + withTrigger, 1},
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
    EXPECT_EQ(peripheralLines(buffer.peripherals), peripheralLines(sampledPeripheralsUnread()));
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
    const auto programs = readPrograms(gbk(text + peripheralLines({})), buffer);
    ASSERT_EQ(programs.size(), 10u);
    EXPECT_EQ(programs[9].records[0].bytes[2], 10);
    EXPECT_EQ(peripheralLines(buffer.peripherals), peripheralLines(sampledPeripheralsUnread()));
}

// Line 1 is short and in capitals; lines 1000 to 1002 are more than a program holds.
TEST(ApplicationProgramReader, ShortLinesKeepTheBytesTheyLackAndLinesBeyondAThousandAreConsumed) {
    std::string longRemark;
    for (int i = 0; i < 100; ++i) longRemark += "中";  // two bytes each in GBK
    std::string text = header("5.000000", 2) + "用户总代码行:1003\nProgramNo: 0\n";
    for (int i = 0; i < 1003; ++i)
        text += i == 1
                    ? "1: AA FF 0C 7f 描述:;;short\n"
                    : std::to_string(i) + ": aa ff 01 00 00 00 00 00 00 00 00 00 00 00 00 " + (i < 1000 ? "00" : "ee") +
                          " 描述:;;" + (i == 0 ? longRemark : "r" + std::to_string(i)) + "\n";
    text += "用户总代码行:1\nProgramNo: 1\n0: aa ff 02 00 00 00 00 00 00 00 00 00 00 00 00 00 描述:;;next\n";
    ApplicationProgramBuffer buffer = startBuffer();
    buffer.program.records[1].bytes.fill(0x11);
    buffer.peripherals = sampledPeripherals();
    ReadSummary summary;
    const auto programs = readPrograms(gbk(text + peripheralLines({})), buffer, &summary);
    EXPECT_FALSE(summary.complete);  // the short line did not match all of its format
    ASSERT_EQ(programs.size(), 2u);
    EXPECT_EQ(programs[0].lineCount, 1000);
    const LineRecord expected{
        {0xAA, 0xFF, 0x0C, 0x7F, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11}};
    EXPECT_EQ(programs[0].records[1].bytes, expected.bytes);
    EXPECT_EQ(programs[0].remarks.size(), 1000u);
    // 127 bytes of area: ";;" and 62 whole characters; half a character is not kept.
    EXPECT_EQ(programs[0].remarks.at(0), longRemark.substr(0, 62 * 3));
    EXPECT_EQ(programs[0].remarks.at(1), "short");
    EXPECT_EQ(programs[0].remarks.at(999), "r999");
    EXPECT_EQ(programs[1].remarks.at(0), "next");
    EXPECT_EQ(peripheralLines(buffer.peripherals), peripheralLines({}));
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
    const auto sink = [&](int, const ProgramImage&) { called = true; };
    EXPECT_FALSE(LoadApplicationProgramFile(folder.file("none.kelvane"), buffer, sink));
    EXPECT_FALSE(LoadApplicationProgramFile(folder.path(), buffer, sink));
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
