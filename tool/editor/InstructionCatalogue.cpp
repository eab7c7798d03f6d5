#include "InstructionCatalogue.h"

#include "CatalogueFile.h"
#include "CatalogueReaders.h"

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

}  // namespace kelvane
