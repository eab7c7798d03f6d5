// CommandDescription.ini as the user may hand it over: any bytes, read as GBK.
#include "core/application/GbkText.h"
#include "core/editor/CatalogueReaders.h"
#include "core/editor/DescriptionTable.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text = kelvane::gbkToUtf8(std::string(reinterpret_cast<const char*>(data), size));
    kelvane::DescriptionTable table;
    kelvane::ReadDescriptions(text, table);
    for (const auto& [code, help] : table) {
        if (help.empty() || kelvane::DescriptionText(table, code) != help) __builtin_trap();
    }
    return 0;
}
