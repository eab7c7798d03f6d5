#include "ApplicationProgramFile.h"

#include "FormattedPrinter.h"
#include "FormattedScanner.h"
#include "GbkText.h"
#include "WholeFile.h"

#include <algorithm>
#include <array>

namespace kelvane {
namespace {

constexpr char kAxisNames[kMotorAxes] = {'X', 'Y', 'Z', 'A', 'B', 'C', '7', '8'};
constexpr std::size_t kRemarkArea = 128;  // the remark token's area, terminating zero included

// The format strings of the file, in the file's GBK bytes.
struct FileFormats {
    std::string version = utf8ToGbk("应用程序版本:%f\n");
    std::array<std::string, kMotorAxes> axis;
    std::string programCount = utf8ToGbk("总用户程序数:%d\n");
    std::string lineCount = utf8ToGbk("用户总代码行:%d\n");
    std::string programNumber = "ProgramNo: %d\n";
    std::string lineNumber = "%d: ";
    std::string recordByteOut = "%.2x ";
    std::string recordByteIn = "%x ";
    std::string remark = utf8ToGbk("描述:%s\n");
    std::string triggerLevel = utf8ToGbk("限位触发电平:%d\n");
    std::array<std::string, kMotorAxes> limits;
    std::string analogue = utf8ToGbk("AD0的作用:%d,AD0最小值:%f,AD0最大值:%f,AD1的作用:%d,AD1最小值:%f,AD1最大值:%f\n");
    std::string encodersOut = utf8ToGbk(
        "编码器1: 工作模式:%d 多少线:%d 频率比:%f; 编码器2: 工作模式:%d 多少线:%d 频率:%f; "
        "编码器3: 工作模式:%d 多少线:%d 频率:%f\n");
    std::string encodersIn = utf8ToGbk(
        "编码器1: 工作模式:%d 多少线:%d 频率比:%f; 编码器2: 工作模式:%d 多少线:%d 频率:%f; "
        "编码器3: 工作模式:%d 多少线:%d 频率:%f \n");

    FileFormats() {
        for (int a = 0; a < kMotorAxes; ++a) {
            axis[a] = std::string(1, kAxisNames[a]) +
                      utf8ToGbk("轴细分:%d,螺距:%f,机械间隙补偿:%f,加速系数:%d,减速系数:%d,最小速度%f\n");
            limits[a] = utf8ToGbk("步进电机" + std::to_string(a + 1) + ":左限位%d, 右限位%d\n");
        }
    }
};

const FileFormats& formats() {
    static const FileFormats instance;
    return instance;
}

// ";;" and the remark in GBK, white space turned into '@' so the token cannot split.
std::string remarkToken(const RemarkMap& remarks, int line) {
    std::string token = ";;";
    const auto entry = remarks.find(line);
    if (entry == remarks.end()) return token;
    const std::string& remark = entry->second;
    token += utf8ToGbk(remark.substr(0, remark.find('\0')));
    std::replace_if(
        token.begin(), token.end(), [](char c) { return IsWhiteSpaceByte(static_cast<unsigned char>(c)); }, '@');
    return token;
}

void appendProgram(std::string& out, int index, const ProgramImage& program) {
    const FileFormats& f = formats();
    const int lines = std::min<int>(program.lineCount, kMaxProgramLines);
    AppendFormatted(out, f.lineCount, {std::int32_t{lines}});
    AppendFormatted(out, f.programNumber, {std::int32_t{index}});
    for (int i = 0; i < lines; ++i) {
        AppendFormatted(out, f.lineNumber, {std::int32_t{i}});
        for (std::uint8_t byte : program.records[i].bytes) AppendFormatted(out, f.recordByteOut, {byte});
        AppendFormatted(out, f.remark, {std::string_view(remarkToken(program.remarks, i))});
    }
}

// The remark of a token read into the 128-byte area: the C string after the token's first two
// bytes. A longer token is cut to fit without splitting a GBK double-byte character.
std::string remarkOfToken(const std::string& token) {
    if (token.size() <= 2) return {};
    const std::string_view text = std::string_view(token).substr(2);
    const std::string_view remark = text.substr(0, text.find('\0'));
    constexpr std::size_t room = kRemarkArea - 3;  // the first two bytes and the terminating zero
    static_assert(room == kMaxRemarkBytes);
    std::size_t length = 0;
    while (length < remark.size()) {
        const bool lead = static_cast<unsigned char>(remark[length]) >= 0x81 && length + 1 < remark.size();
        const std::size_t next = length + (lead ? 2 : 1);
        if (next > room) break;
        length = next;
    }
    return std::string(remark.substr(0, length));
}

// One program line: its number (unused), sixteen record bytes and the remark token.
void readLine(FormattedScanner& in, LineRecord& record, std::string& remark) {
    const FileFormats& f = formats();
    std::int32_t unusedLineNumber = 0;
    in.scan(f.lineNumber, {unusedLineNumber});
    for (std::uint8_t& byte : record.bytes) in.scan(f.recordByteIn, {byte});
    std::string token;
    in.scan(f.remark, {token});
    remark = gbkToUtf8(remarkOfToken(token));
}

void readProgram(FormattedScanner& in, ProgramImage& program) {
    const FileFormats& f = formats();
    int linesInFile = program.lineCount;
    std::int32_t count = 0;
    if (in.scan(f.lineCount, {count}) == 1) linesInFile = static_cast<std::uint16_t>(count);
    program.lineCount = static_cast<std::uint16_t>(std::min(linesInFile, kMaxProgramLines));
    program.remarks.clear();
    std::int32_t unusedProgramNumber = 0;
    in.scan(f.programNumber, {unusedProgramNumber});

    std::string remark;
    for (int j = 0; j < program.lineCount; ++j) {
        readLine(in, program.records[j], remark);
        program.remarks.emplace(j, remark);
    }
    // Lines beyond what a program holds are read and dropped, so what follows still reads.
    // A line that consumes nothing means every further one would consume nothing either.
    LineRecord dropped;
    for (int j = program.lineCount; j < linesInFile; ++j) {
        const std::size_t before = in.position();
        readLine(in, dropped, remark);
        if (in.position() == before) break;
    }
}

void readPeripherals(FormattedScanner& in, float version, PeripheralParameterRecord& p) {
    const FileFormats& f = formats();
    p.analogue[0].function = 0;
    p.analogue[1].function = 0;
    if (static_cast<double>(version) > 2.0) {
        in.scan(f.triggerLevel, {p.limitTriggerLevel});
    } else {
        p.limitTriggerLevel = 0;
    }
    for (int motor = 0; motor < kMotorAxes; ++motor)
        in.scan(f.limits[motor], {p.limits[2 * motor], p.limits[2 * motor + 1]});
    AnalogueInput& ad0 = p.analogue[0];
    AnalogueInput& ad1 = p.analogue[1];
    in.scan(f.analogue, {ad0.function, ad0.minimum, ad0.maximum, ad1.function, ad1.minimum, ad1.maximum});
    auto& e = p.encoders;
    in.scan(f.encodersIn,
            {e[0].mode, e[0].lines, e[0].ratio, e[1].mode, e[1].lines, e[1].ratio, e[2].mode, e[2].lines, e[2].ratio});
}

}  // namespace

std::string FormatApplicationProgram(ApplicationProgramBuffer& buffer, int programCount, const ProgramSource& source) {
    const FileFormats& f = formats();
    programCount = std::clamp(programCount, 0, kMaxPrograms);
    std::string out;
    out.reserve(2048 + 80 * static_cast<std::size_t>(programCount) * kMaxProgramLines);
    AppendFormatted(out, f.version, {kWrittenFileVersion});
    for (int a = 0; a < kMotorAxes; ++a) {
        const AxisParameters& axis = buffer.motor.axes[a];
        AppendFormatted(
            out, f.axis[a],
            {axis.subdivision, axis.pitch, axis.backlash, axis.acceleration, axis.deceleration, axis.minimumSpeed});
    }
    AppendFormatted(out, f.programCount, {std::int32_t{programCount}});
    for (int p = 0; p < programCount; ++p) {
        source(p, buffer.program);
        appendProgram(out, p, buffer.program);
    }
    const PeripheralParameterRecord& peripherals = buffer.peripherals;
    AppendFormatted(out, f.triggerLevel, {peripherals.limitTriggerLevel});
    for (int motor = 0; motor < kMotorAxes; ++motor)
        AppendFormatted(out, f.limits[motor], {peripherals.limits[2 * motor], peripherals.limits[2 * motor + 1]});
    const AnalogueInput& ad0 = peripherals.analogue[0];
    const AnalogueInput& ad1 = peripherals.analogue[1];
    AppendFormatted(out, f.analogue, {ad0.function, ad0.minimum, ad0.maximum, ad1.function, ad1.minimum, ad1.maximum});
    const auto& e = peripherals.encoders;
    AppendFormatted(
        out, f.encodersOut,
        {e[0].mode, e[0].lines, e[0].ratio, e[1].mode, e[1].lines, e[1].ratio, e[2].mode, e[2].lines, e[2].ratio});
    return out;
}

WriteStatus WriteApplicationProgramFile(const std::string& path, ApplicationProgramBuffer& buffer, int programCount,
                                        const ProgramSource& source) {
    AtomicFile file;
    const WriteStatus opened = file.open(path);
    if (!opened.ok) return opened;
    return file.commit(FormatApplicationProgram(buffer, programCount, source));
}

ReadSummary ReadApplicationProgram(std::string_view text, ApplicationProgramBuffer& buffer, const ProgramSink& sink) {
    const FileFormats& f = formats();
    FormattedScanner in(text);
    ReadSummary summary;

    buffer.motor = MotorParameterRecord{};
    summary.recognised = in.scan(f.version, {buffer.version}) == 1;
    for (int a = 0; a < kMotorAxes; ++a) {
        AxisParameters& axis = buffer.motor.axes[a];
        in.scan(f.axis[a],
                {axis.subdivision, axis.pitch, axis.backlash, axis.acceleration, axis.deceleration, axis.minimumSpeed});
    }
    // The version is compared as the float it was read into, against the double literals.
    std::int32_t programCount = 1;
    if (static_cast<double>(buffer.version) > 4.9) in.scan(f.programCount, {programCount});
    programCount = std::clamp(programCount, 0, kMaxPrograms);

    for (int i = 0; i < programCount; ++i) {
        readProgram(in, buffer.program);
        sink(i, buffer.program);
    }
    summary.programCount = programCount;

    readPeripherals(in, buffer.version, buffer.peripherals);
    summary.complete = in.allMatched();
    return summary;
}

bool ReadsAsApplicationProgram(std::string_view text) {
    ApplicationProgramBuffer scratch{};
    return ReadApplicationProgram(text, scratch, [](int, const ProgramImage&) {}).recognised;
}

std::optional<ReadSummary> LoadApplicationProgramFile(const std::string& path, ApplicationProgramBuffer& buffer,
                                                      const ProgramSink& sink) {
    const std::optional<std::string> text = ReadWholeFile(path);
    if (!text) return std::nullopt;
    return ReadApplicationProgram(*text, buffer, sink);
}

}  // namespace kelvane
