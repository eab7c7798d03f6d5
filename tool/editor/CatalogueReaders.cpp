#include "CatalogueReaders.h"

#include "FormatScanner.h"

namespace kelvane {
namespace {

std::uint8_t lowByte(std::int32_t value) { return static_cast<std::uint8_t>(value & 0xFF); }

bool isReservedInstructionCode(std::uint8_t code) { return code == 0 || code == kNoInstruction; }

bool isParameterOffset(std::uint8_t offset) { return offset == 3 || offset == 7 || offset == 11; }

// "code name" and the three "used kind enumType" lines of one instruction.
bool readInstruction(FormatScanner& in, InstructionDef& def) {
    if (!in.number(def.code) || !in.word(def.name)) return false;
    for (ParamDef& param : def.params) {
        if (!in.number(param.used) || !in.number(param.kind) || !in.number(param.enumType)) {
            return false;
        }
    }
    return true;
}

// One group block; false when it ended early, which ends the file.
bool readGroup(FormatScanner& in, InstructionCatalogue& catalogue) {
    std::int32_t groupCode = 0;
    std::string groupName;
    std::int32_t count = 0;
    if (!in.number(groupCode) || !in.word(groupName) || !in.number(count)) return false;
    const std::uint8_t group = lowByte(groupCode);
    catalogue.groups.emplace(group, groupName);

    std::set<std::uint8_t> members;
    bool whole = true;
    for (std::int32_t i = 0; i < count; ++i) {
        InstructionDef def;
        if (!readInstruction(in, def)) {
            whole = false;
            break;
        }
        const std::uint8_t code = lowByte(def.code);
        if (isReservedInstructionCode(code)) continue;
        def.group = group;
        def.code = code;
        catalogue.instructions.emplace(code, std::move(def));
        members.insert(code);
    }
    catalogue.groupMembers.emplace(group, std::move(members));
    return whole;
}

}  // namespace

void ReadParamTypes(std::string_view text, ParamTypeTable& table) {
    FormatScanner in(text);
    std::int32_t typeCount = 0;
    if (!in.label("参数类型总数:") || !in.number(typeCount)) return;
    for (std::int32_t i = 0; i < typeCount; ++i) {
        std::int32_t type = 0;
        std::int32_t entryCount = 0;
        if (!in.label("类型编码:") || !in.number(type) || !in.label("枚举数:") ||
            !in.number(entryCount)) {
            return;
        }
        Enumeration enumeration;
        bool whole = true;
        for (std::int32_t j = 0; j < entryCount && whole; ++j) {
            std::int32_t value = 0;
            std::string entryText;
            whole = in.number(value) && in.word(entryText);
            if (whole) enumeration.emplace(value, std::move(entryText));
        }
        table.emplace(type, std::move(enumeration));
        if (!whole) return;
    }
}

void ReadCommandFormat(std::string_view text, InstructionCatalogue& catalogue) {
    FormatScanner in(text);
    std::int32_t groupCount = 0;
    if (!in.label("指令集合数目:") || !in.number(groupCount)) return;
    for (std::int32_t i = 0; i < groupCount; ++i) {
        if (!readGroup(in, catalogue)) return;
    }
}

void ReadJumpCommands(std::string_view text, JumpTable& table) {
    FormatScanner in(text);
    std::int32_t jumpCount = 0;
    if (!in.label("跳转指令数:") || !in.number(jumpCount)) return;
    for (std::int32_t i = 0; i < jumpCount; ++i) {
        std::int32_t code = 0;
        std::int32_t offset = 0;
        if (!in.number(code) || !in.number(offset)) return;
        if (isReservedInstructionCode(lowByte(code)) || !isParameterOffset(lowByte(offset))) continue;
        table.emplace(lowByte(code), lowByte(offset));
    }
}

void ReadDescriptions(std::string_view text, DescriptionTable& table) {
    FormatScanner in(text);
    std::int32_t count = 0;
    if (!in.number(count)) return;
    for (std::int32_t i = 0; i < count; ++i) {
        std::int32_t code = 0;
        std::string help;
        if (!in.number(code) || !in.word(help)) return;
        table.emplace(code, std::move(help));
    }
}

}  // namespace kelvane
