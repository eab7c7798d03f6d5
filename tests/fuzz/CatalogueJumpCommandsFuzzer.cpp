// JumpCommandInfo.ini as the user may hand it over: any bytes, read as GBK. Every jump it
// lists is then adjusted inside a record, which must stay within the record's bytes.
#include "core/application/GbkText.h"
#include "core/editor/CatalogueReaders.h"
#include "core/editor/InstructionCatalogue.h"
#include "core/editor/JumpUpkeep.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text = kelvane::gbkToUtf8(std::string(reinterpret_cast<const char*>(data), size));
    kelvane::InstructionCatalogue catalogue;
    kelvane::ReadJumpCommands(text, catalogue.jumps);
    for (const auto& [code, offset] : catalogue.jumps) {
        kelvane::LineRecord record;
        record.bytes = {0xAA, 0xFF, code, 0, 0, 0, 7, 0, 0, 0, 7, 0, 0, 0, 7, 0};
        for (int kind = 0; kind <= 4; ++kind) {
            if (!kelvane::AdjustJumpTarget(catalogue, record, static_cast<kelvane::JumpEdit>(kind), 3, 5)) {
                __builtin_trap();
            }
        }
        if (record.bytes[15] != 0 || record.bytes[2] != code) __builtin_trap();
    }
    return 0;
}
