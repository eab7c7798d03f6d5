#include "ShowApplication.h"

#include "TextTable.h"

#include "core/editor/CatalogueFile.h"
#include "core/editor/CatalogueReaders.h"
#include "core/editor/LineCodec.h"
#include "core/machine/PeripheralCodes.h"

#include <charconv>
#include <cmath>

namespace ravo {

using namespace kelvane;

namespace {

std::string number(float value) {
    if (std::isnan(value)) return "nan";
    if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
    char text[64];
    return std::string(text, std::to_chars(text, text + sizeof text, value).ptr);
}

// The text of a list entry; a stored index that no entry has shows as the number in brackets.
std::string entry(const std::vector<std::string>& names, std::uint8_t index) {
    return index < names.size() ? names[index] : "(" + std::to_string(index) + ")";
}

std::string motorSection(const MotorParameterRecord& motor) {
    static const char* const kAxisNames[kMotorAxes] = {"X", "Y", "Z", "A", "B", "C", "7", "8"};
    TextTable table;
    table.addRow({"轴", "细分", "螺距", "机械间隙补偿", "加速系数", "减速系数", "最小速度"});
    for (int a = 0; a < kMotorAxes; ++a) {
        const AxisParameters& axis = motor.axes[a];
        table.addRow({kAxisNames[a], std::to_string(axis.subdivision), number(axis.pitch), number(axis.backlash),
                      std::to_string(axis.acceleration), std::to_string(axis.deceleration), number(axis.minimumSpeed)});
    }
    return "电机参数\n" + table.render("  ");
}

std::string peripheralSection(const PeripheralParameterRecord& p) {
    std::string out = "外设配置\n  限位触发电平: " + std::to_string(p.limitTriggerLevel) +
                      (p.limitTriggerLevel ? " (高电平有效)\n" : " (低电平有效)\n");
    const std::vector<std::string> limitNames = LimitInputNames();
    TextTable limits;
    limits.addRow({"轴", "负限位", "正限位"});
    for (int axis = 0; axis < kMotorAxes; ++axis) {
        limits.addRow({std::to_string(axis + 1) + "轴:", entry(limitNames, p.limits[2 * axis]),
                       entry(limitNames, p.limits[2 * axis + 1])});
    }
    out += limits.render("  ");

    const std::vector<std::string> adNames = AnalogueModeNames();
    TextTable analogue;
    analogue.addRow({"模/数输入通道1工作模式", entry(adNames, p.analogue[0].function), "最小值(DM78)",
                     number(p.analogue[0].minimum), "最大值(DM80)", number(p.analogue[0].maximum)});
    analogue.addRow({"模/数输入通道2工作模式", entry(adNames, p.analogue[1].function), "最小值(DM82)",
                     number(p.analogue[1].minimum), "最大值(DM84)", number(p.analogue[1].maximum)});
    out += analogue.render("  ");

    static const char* const kEncoderLabels[3] = {"编码器1(IN23 IN24)", "编码器2(IN21 IN22)", "编码器3(IN19 IN20)"};
    static const char* const kRatioLabels[3] = {"(电机/编码器)脉冲比(DM138)", "(电机/编码器)脉冲比(DM140)",
                                                "(电机/编码器)脉冲比(DM142)"};
    const std::vector<std::string> encoderNames = EncoderModeNames();
    TextTable encoders;
    for (int e = 0; e < 3; ++e) {
        const EncoderSettings& encoder = p.encoders[e];
        encoders.addRow({kEncoderLabels[e], entry(encoderNames, encoder.mode), "编码器线数",
                         std::to_string(encoder.lines), kRatioLabels[e], number(encoder.ratio)});
    }
    return out + encoders.render("  ");
}

std::string programSection(int index, const ProgramImage& program, const InstructionCatalogue& catalogue) {
    std::string out = "\n用户程序 " + std::to_string(index) + " (" + std::to_string(program.lineCount) + " 行)\n";
    if (program.lineCount == 0) return out;
    TextTable table;
    table.addRow({"行号", "程序集", "指令", "参数1", "参数2", "参数3", "备注信息"});
    for (int line = 0; line < program.lineCount; ++line) {
        const auto remark = program.remarks.find(line);
        const RowCells cells = RenderCells(catalogue, line, program.records[line],
                                           remark == program.remarks.end() ? nullptr : &remark->second);
        table.addRow(std::vector<std::string>(cells.begin(), cells.end()));
    }
    return out + table.render("  ");
}

}  // namespace

std::string ShowApplication(const ApplicationDocument& document, const InstructionCatalogue& catalogue) {
    std::string out = "应用程序版本: " + number(document.version) + "\n\n";
    out += motorSection(document.motor) + "\n";
    out += peripheralSection(document.peripherals) + "\n";
    out += "用户程序数: " + std::to_string(document.programs.size()) + "\n";
    for (std::size_t p = 0; p < document.programs.size(); ++p)
        out += programSection(static_cast<int>(p), document.programs[p], catalogue);
    return out;
}

InstructionCatalogue LoadCatalogueFrom(const std::string& dataFolder) {
    InstructionCatalogue catalogue;
    std::string text;
    if (ReadGbkTextFile(dataFolder + "/" + kParamTypeFile, text)) ReadParamTypes(text, catalogue.paramTypes);
    if (ReadGbkTextFile(dataFolder + "/" + kCommandFormatFile, text)) ReadCommandFormat(text, catalogue);
    if (ReadGbkTextFile(dataFolder + "/" + kJumpCommandFile, text)) ReadJumpCommands(text, catalogue.jumps);
    return catalogue;
}

}  // namespace ravo
