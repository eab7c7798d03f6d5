// CommandFormat.ini as the user may hand it over: any bytes, read as GBK. Every instruction it
// defines is then encoded from and rendered to a grid row.
#include "core/application/GbkText.h"
#include "core/editor/CatalogueReaders.h"
#include "core/editor/InstructionCatalogue.h"
#include "core/editor/LineCodec.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text = kelvane::gbkToUtf8(std::string(reinterpret_cast<const char*>(data), size));
    kelvane::InstructionCatalogue catalogue;
    kelvane::ReadCommandFormat(text, catalogue);
    for (const auto& [group, members] : catalogue.groupMembers) {
        if (catalogue.groups.count(group) == 0) __builtin_trap();
    }
    for (const auto& [code, def] : catalogue.instructions) {
        if (code == 0 || code == kelvane::kNoInstruction) __builtin_trap();
        kelvane::LineRecord record;
        record.bytes = {0xAA, 0xFF, code, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 0};
        const kelvane::RowCells cells = kelvane::RenderCells(catalogue, 0, record, nullptr);
        std::optional<std::string> remark;
        kelvane::LineRecord again;
        if (!kelvane::CommitCells(catalogue, cells, again, remark)) __builtin_trap();
        if (again.bytes[2] != code && catalogue.FindInstructionCode(def.name) == code) __builtin_trap();
    }
    return 0;
}
