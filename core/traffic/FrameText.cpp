#include "core/traffic/FrameText.h"

#include "core/editor/InstructionCatalogue.h"
#include "core/traffic/CommandFormats.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace kelvane {

namespace {

constexpr std::size_t kFrameSize = 16;
constexpr std::uint8_t kStartByte = 0xAA;
constexpr std::uint16_t kModbusPolynomial = 0xA001;

std::string format(const char* pattern, ...) __attribute__((format(printf, 1, 2)));
std::string format(const char* pattern, ...) {
    char text[256];
    va_list arguments;
    va_start(arguments, pattern);
    std::vsnprintf(text, sizeof text, pattern, arguments);
    va_end(arguments);
    return text;
}

std::uint32_t field32(const FrameBytes& frame, std::size_t offset) {
    return (std::uint32_t{frame[offset]} << 24) | (std::uint32_t{frame[offset + 1]} << 16) |
           (std::uint32_t{frame[offset + 2]} << 8) | frame[offset + 3];
}

std::uint32_t param(const FrameBytes& frame, int n) { return field32(frame, 3 + 4 * (n - 1)); }

std::uint16_t field16(const FrameBytes& frame, std::size_t offset) {
    return static_cast<std::uint16_t>((frame[offset] << 8) | frame[offset + 1]);
}

std::string number(std::uint32_t bits) {
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return format("%g", static_cast<double>(value));
}

std::string axes(std::uint32_t mask) {
    static const char* const kNames[] = {"X", "Y", "Z", "U", "V", "W", "7", "8"};
    if (mask == 0 || mask > 0xFF) return format("0x%x", mask);
    std::string text;
    for (int bit = 0; bit < 8; ++bit)
        if (mask & (1u << bit)) text += (text.empty() ? "" : "+") + std::string(kNames[bit]);
    return text;
}

std::string pin(std::uint32_t value) {
    if (value >= 1 && value <= 24) return format("IN%u", value);
    if (value >= 33 && value <= 44) return format("OUT%u", value - 32);
    return format("pin%u", value);
}

std::string fieldValue(FieldKind kind, std::uint32_t value) {
    switch (kind) {
        case FieldKind::Float:
            return number(value);
        case FieldKind::Axis:
            return axes(value);
        case FieldKind::Pin:
            return pin(value);
        case FieldKind::Input:
            return value == 255 ? "none" : format("IN%u", value);
        case FieldKind::Register:
            return format("DM%u", value);
        case FieldKind::Flag:
            return value != 0 ? "1" : "0";
        case FieldKind::Bits:
            return format("0x%08x", value);
        case FieldKind::Version:
            return format("%u.%u", (value >> 8) & 0xFF, value & 0xFF);
        case FieldKind::Byte:
            return format("%u", value & 0xFF);
        case FieldKind::None:
        case FieldKind::Int:
            break;
    }
    return format("%d", static_cast<std::int32_t>(value));
}

std::uint8_t frameSum(const FrameBytes& frame) {
    unsigned sum = 0;
    for (std::size_t i = 0; i + 1 < kFrameSize; ++i) sum += frame[i];
    return static_cast<std::uint8_t>(sum);
}

// Why a 16-byte frame cannot be read, or empty. Records carry their index instead of a sum.
std::string frameDamage(const FrameBytes& frame, bool summed) {
    if (frame.size() < kFrameSize)
        return format("无法解码: 长度不足 (%u/16 字节)", static_cast<unsigned>(frame.size()));
    if (frame.size() > kFrameSize) return format("无法解码: 长度多余 (%u 字节)", static_cast<unsigned>(frame.size()));
    if (frame[0] != kStartByte) return format("无法解码: 起始字节错误 (0x%02x)", frame[0]);
    if (summed && frame[15] != frameSum(frame)) return format("无法解码: 校验和错误 (应为 0x%02x)", frameSum(frame));
    return {};
}

std::uint16_t modbusCrc(const std::uint8_t* bytes, std::size_t count) {
    std::uint16_t crc = 0xFFFF;
    for (std::size_t i = 0; i < count; ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? static_cast<std::uint16_t>((crc >> 1) ^ kModbusPolynomial) : crc >> 1;
    }
    return crc;
}

bool crcIsRight(const FrameBytes& frame) {
    if (frame.size() < 4) return false;
    const std::uint16_t crc = modbusCrc(frame.data(), frame.size() - 2);
    return frame[frame.size() - 2] == (crc & 0xFF) && frame[frame.size() - 1] == (crc >> 8);
}

const char* functionName(std::uint8_t function) {
    switch (function) {
        case 1:
            return "读线圈";
        case 4:
            return "读输入寄存器";
        case 5:
            return "写线圈";
        case 16:
            return "写寄存器";
        default:
            return nullptr;
    }
}

// The request length of each function the controller knows; 0 for others.
std::size_t requestLength(const FrameBytes& frame) {
    if (frame.size() < 2) return 0;
    switch (frame[1]) {
        case 1:
        case 4:
        case 5:
            return 8;
        case 16:
            return frame.size() > 6 ? 9u + frame[6] : 0;
        default:
            return 0;
    }
}

FrameReading modbusDamage(const FrameBytes& frame) {
    if (frame.size() < 4)
        return {format("Modbus 无法解码: 长度不足 (%u 字节)", static_cast<unsigned>(frame.size())), false};
    return {format("Modbus 从站 %u 无法解码: CRC错误", frame[0]), false};
}

std::string registerValues(const FrameBytes& frame, std::size_t from, std::size_t count) {
    std::string text;
    for (std::size_t i = 0; i < count && from + 2 * i + 1 < frame.size(); ++i)
        text += format(" %u", field16(frame, from + 2 * i));
    return text;
}

}  // namespace

std::string HexBytes(const FrameBytes& bytes) {
    std::string text;
    for (std::uint8_t byte : bytes) text += format("%02x ", byte);
    if (!text.empty()) text.pop_back();
    return text;
}

FrameReading CommandText(const FrameBytes& frame) {
    const std::string damage = frameDamage(frame, true);
    if (!damage.empty()) return {damage, false};
    const CommandFormat* known = FindCommandFormat(frame[2]);
    std::string text = known ? known->name : format("命令 0x%02x", frame[2]);
    text += format(" addr=%u", frame[1]);
    for (int n = 1; n <= 3; ++n) {
        const Field field = known ? known->params[n - 1] : Field{"", FieldKind::Int};
        if (field.kind == FieldKind::None) continue;
        const std::string label = known ? field.label : format("p%d", n);
        text += " " + label + "=" + fieldValue(field.kind, param(frame, n));
    }
    return {text, true};
}

FrameReading CommandReplyText(std::uint8_t code, const FrameBytes& reply) {
    const std::string damage = frameDamage(reply, true);
    if (!damage.empty()) return {damage, false};
    const CommandFormat* known = FindCommandFormat(code);
    if (!known)
        return {format("应答 0x%02x %d %d %d", code, static_cast<std::int32_t>(param(reply, 1)),
                       static_cast<std::int32_t>(param(reply, 2)), static_cast<std::int32_t>(param(reply, 3))),
                true};
    std::string text = std::string("应答 ") + known->name;
    if (known->replyField != 0)
        text += std::string(" ") + known->reply.label + "=" +
                fieldValue(known->reply.kind, param(reply, known->replyField));
    return {text, true};
}

FrameReading RecordText(const FrameBytes& record, const InstructionCatalogue* catalogue) {
    const std::string damage = frameDamage(record, false);
    if (!damage.empty()) return {"记录" + damage, false};
    const std::uint8_t code = record[2];
    const InstructionDef* instruction = catalogue ? catalogue->instruction(code) : nullptr;
    std::string text = format("记录 %u: ", record[15]);
    if (code == 0) return {text + "空行", true};
    if (!instruction) {
        text += format("指令 %u", code);
        for (int n = 1; n <= 3; ++n) text += format(" %d", static_cast<std::int32_t>(param(record, n)));
        return {text, true};
    }
    text += instruction->name;
    for (int n = 1; n <= 3; ++n)
        if (instruction->params[n - 1].used != 0)
            text += " " + catalogue->ParamValueToText(param(record, n), instruction->params[n - 1]);
    return {text, true};
}

FrameReading RecordReplyText(const FrameBytes& reply) {
    const std::string damage = frameDamage(reply, true);
    if (!damage.empty()) return {"记录应答" + damage, false};
    const std::uint32_t status = param(reply, 1);
    if (status != 0) return {format("记录应答: 拒绝 (状态 %u)", status), false};
    return {"记录应答: 已接受", true};
}

FrameReading EndFrameText(const FrameBytes& frame) { return {format("结束帧 addr=%u (程序下载结束)", frame[1]), true}; }

bool IsEndFrame(const FrameBytes& frame) {
    if (frame.size() != kFrameSize || frame[0] != kStartByte || frame[1] != 0xFF || frame[2] != kEndOfProgramCode)
        return false;
    for (std::size_t i = 3; i < kFrameSize; ++i)
        if (frame[i] != 0) return false;
    return true;
}

bool LooksLikeModbusRequest(const FrameBytes& frame) {
    return requestLength(frame) == frame.size() && crcIsRight(frame);
}

FrameReading ModbusText(const FrameBytes& frame) {
    if (frame.size() < 8 || !crcIsRight(frame)) return modbusDamage(frame);
    const char* name = functionName(frame[1]);
    std::string text = format("Modbus 从站 %u 功能 %u", frame[0], frame[1]);
    if (!name || requestLength(frame) != frame.size()) return {text + " 无法解码: 未知功能或长度不符", false};
    text += std::string(" ") + name;
    const std::uint16_t address = field16(frame, 2);
    switch (frame[1]) {
        case 1:
            text += format(" 线圈 %u", address);
            break;
        case 4:
            text += format(" 寄存器 %u 数量 %u", address, field16(frame, 4));
            break;
        case 5:
            text += format(" 线圈 %u = %s", address, frame[4] == 0xFF ? "ON" : "OFF");
            break;
        case 16:
            text += format(" 寄存器 %u 数量 %u 值", address, field16(frame, 4)) +
                    registerValues(frame, 7, field16(frame, 4));
            break;
    }
    return {text + " CRC正确", true};
}

FrameReading ModbusReplyText(std::uint8_t function, const FrameBytes& reply) {
    if (reply.size() < 5 || !crcIsRight(reply)) return modbusDamage(reply);
    std::string text = format("Modbus 应答 从站 %u 功能 %u", reply[0], reply[1]);
    if (reply[1] == (function | 0x80)) return {text + format(" 异常 %u CRC正确", reply[2]), false};
    if (reply[1] != function) return {text + " 无法解码: 功能与请求不符", false};
    switch (function) {
        case 1:
            text += std::string(" 线圈 = ") + (reply[3] != 0 ? "ON" : "OFF");
            break;
        case 4:
            text += " 值" + registerValues(reply, 3, reply[2] / 2u);
            break;
        case 5:
            text += format(" 线圈 %u = %s", field16(reply, 2), reply[4] == 0xFF ? "ON" : "OFF");
            break;
        case 16:
            text += format(" 寄存器 %u 数量 %u", field16(reply, 2), field16(reply, 4));
            break;
    }
    return {text + " CRC正确", true};
}

}  // namespace kelvane
