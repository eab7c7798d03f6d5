#include "CatalogueReaders.h"

#include "core/application/FormattedScanner.h"

namespace kelvane {
namespace {

std::uint8_t lowByte(std::int32_t value) { return static_cast<std::uint8_t>(value & 0xFF); }

bool isReservedInstructionCode(std::uint8_t code) { return code == 0 || code == kNoInstruction; }

bool isParameterOffset(std::uint8_t offset) { return offset == 3 || offset == 7 || offset == 11; }

// "code name" and the three "used kind enumType" lines of one instruction.
bool readInstruction(FormattedScanner& in, InstructionDef& def) {
    if (in.scan("%d%s", {def.code, def.name}) != 2) return false;
    for (ParamDef& param : def.params) {
        if (in.scan("%d%d%d", {param.used, param.kind, param.enumType}) != 3) return false;
    }
    return true;
}

// One group block; false when it ended early, which ends the file.
bool readGroup(FormattedScanner& in, InstructionCatalogue& catalogue) {
    std::int32_t groupCode = 0;
    std::string groupName;
    std::int32_t count = 0;
    if (in.scan("%d%s%d", {groupCode, groupName, count}) != 3) return false;
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
    FormattedScanner in(text);
    std::int32_t typeCount = 0;
    if (in.scan(" 参数类型总数:%d", {typeCount}) != 1) return;
    for (std::int32_t i = 0; i < typeCount; ++i) {
        std::int32_t type = 0;
        std::int32_t entryCount = 0;
        if (in.scan(" 类型编码:%d 枚举数:%d", {type, entryCount}) != 2) return;
        Enumeration enumeration;
        bool whole = true;
        for (std::int32_t j = 0; j < entryCount && whole; ++j) {
            std::int32_t value = 0;
            std::string entryText;
            whole = in.scan("%d%s", {value, entryText}) == 2;
            if (whole) enumeration.emplace(value, std::move(entryText));
        }
        table.emplace(type, std::move(enumeration));
        if (!whole) return;
    }
}

void ReadCommandFormat(std::string_view text, InstructionCatalogue& catalogue) {
    FormattedScanner in(text);
    std::int32_t groupCount = 0;
    if (in.scan(" 指令集合数目:%d", {groupCount}) != 1) return;
    for (std::int32_t i = 0; i < groupCount; ++i) {
        if (!readGroup(in, catalogue)) return;
    }
}

void ReadJumpCommands(std::string_view text, JumpTable& table) {
    FormattedScanner in(text);
    std::int32_t jumpCount = 0;
    if (in.scan(" 跳转指令数:%d", {jumpCount}) != 1) return;
    for (std::int32_t i = 0; i < jumpCount; ++i) {
        std::int32_t code = 0;
        std::int32_t offset = 0;
        if (in.scan("%d%d", {code, offset}) != 2) return;
        if (isReservedInstructionCode(lowByte(code)) || !isParameterOffset(lowByte(offset))) continue;
        table.emplace(lowByte(code), lowByte(offset));
    }
}

void ReadDescriptions(std::string_view text, DescriptionTable& table) {
    FormattedScanner in(text);
    std::int32_t count = 0;
    if (in.scan("%d", {count}) != 1) return;
    for (std::int32_t i = 0; i < count; ++i) {
        std::int32_t code = 0;
        std::string help;
        if (in.scan("%d%s", {code, help}) != 2) return;
        table.emplace(code, std::move(help));
    }
}

}  // namespace kelvane
