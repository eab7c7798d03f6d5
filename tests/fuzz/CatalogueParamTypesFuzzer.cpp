// CommandParType.ini as the user may hand it over: any bytes, read as GBK.
#include "core/application/GbkText.h"
#include "core/editor/CatalogueReaders.h"
#include "core/editor/InstructionCatalogue.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text = kelvane::gbkToUtf8(std::string(reinterpret_cast<const char*>(data), size));
    kelvane::InstructionCatalogue catalogue;
    kelvane::ReadParamTypes(text, catalogue.paramTypes);
    // Every enumeration text must encode to its value and back.
    for (const auto& [type, enumeration] : catalogue.paramTypes) {
        const kelvane::ParamDef def{1, kelvane::kEnumerationParam, type};
        for (const auto& [value, entry] : enumeration) {
            const std::uint32_t encoded = catalogue.ParamTextToValue(entry, def);
            if (catalogue.ParamValueToText(encoded, def) != entry) __builtin_trap();
        }
    }
    return 0;
}
