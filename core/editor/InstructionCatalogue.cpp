// The catalogue's loading, lookups and the conversions between a parameter cell's text and
// the parameter's 32-bit value.
#include "InstructionCatalogue.h"

#include "CatalogueFile.h"
#include "CatalogueReaders.h"
#include "core/application/FormattedScanner.h"

#include <charconv>
#include <cstring>

namespace kelvane {

int InstructionCatalogue::LoadCatalogue(const std::string& exeDirectory) {
    return LoadFromDataFolder(DataFolderPath(exeDirectory));
}

int InstructionCatalogue::LoadFromDataFolder(const std::string& dataFolder) {
    // Groups and their members are never emptied: a group keeps what its first load gave it.
    paramTypes.clear();
    instructions.clear();
    jumps.clear();

    const std::string prefix = dataFolder + "/";
    std::string text;
    if (ReadGbkTextFile(prefix + kParamTypeFile, text)) ReadParamTypes(text, paramTypes);
    if (ReadGbkTextFile(prefix + kCommandFormatFile, text)) ReadCommandFormat(text, *this);
    if (ReadGbkTextFile(prefix + kJumpCommandFile, text)) ReadJumpCommands(text, jumps);
    return 0;
}

std::uint8_t InstructionCatalogue::FindGroupCode(const std::string& name) const {
    for (const auto& [code, groupName] : groups) {
        if (groupName == name) return code;
    }
    return kNoInstruction;
}

std::uint8_t InstructionCatalogue::FindInstructionCode(const std::string& name) const {
    for (const auto& [code, def] : instructions) {
        if (def.name == name) return code;
    }
    return kNoInstruction;
}

std::pair<std::string, std::string> InstructionCatalogue::GetInstructionNames(std::uint8_t code) const {
    const InstructionDef* def = instruction(code);
    if (def == nullptr || (def->group == 0 && def->code == 0)) return {};
    const auto group = groups.find(static_cast<std::uint8_t>(def->group));
    if (group == groups.end()) return {};
    return {group->second, def->name};
}

std::uint8_t InstructionCatalogue::GetJumpOffset(std::uint8_t code) const {
    const auto found = jumps.find(code);
    return found == jumps.end() ? 0 : found->second;
}

const InstructionDef* InstructionCatalogue::instruction(std::uint8_t code) const {
    const auto found = instructions.find(code);
    return found == instructions.end() ? nullptr : &found->second;
}

namespace {

std::uint32_t floatBits(float value) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

float bitsToFloat(std::uint32_t bits) {
    float value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// "%.3f", independent of the user's locale.
std::string threeDecimals(float value) {
    char text[50];
    const auto result =
        std::to_chars(text, text + sizeof text - 1, static_cast<double>(value), std::chars_format::fixed, 3);
    return std::string(text, result.ptr);
}

}  // namespace

std::uint32_t InstructionCatalogue::ParamTextToValue(const std::string& text, const ParamDef& def) const {
    if (def.used == 0) return 0;
    if (def.kind == kEnumerationParam) {
        const auto type = paramTypes.find(def.enumType);
        if (type == paramTypes.end()) return 0;
        for (const auto& [value, entryText] : type->second) {
            if (entryText == text) return static_cast<std::uint32_t>(value);
        }
        return 0;
    }
    FormattedScanner in(text);
    if (def.kind == kIntegerParam) {
        std::int32_t value = 0;
        return in.scan("%d", {value}) == 1 ? static_cast<std::uint32_t>(value) : 0;
    }
    float value = 0;
    return in.scan("%f", {value}) == 1 ? floatBits(value) : 0;
}

std::string InstructionCatalogue::ParamValueToText(std::uint32_t value, const ParamDef& def) const {
    if (def.used == 0) return "0";
    if (def.kind == kEnumerationParam) {
        const auto type = paramTypes.find(def.enumType);
        if (type == paramTypes.end()) return "0";
        const auto entry = type->second.find(static_cast<std::int32_t>(value));
        return entry == type->second.end() ? "0" : entry->second;
    }
    if (def.kind == kIntegerParam) return std::to_string(static_cast<std::int32_t>(value));
    return threeDecimals(bitsToFloat(value));
}

}  // namespace kelvane
