#include "DescriptionTable.h"

#include "CatalogueFile.h"
#include "CatalogueReaders.h"

namespace kelvane {

bool LoadDescriptions(DescriptionTable& table, const std::string& exeDirectory) {
    std::string text;
    if (!ReadGbkTextFile(DataFilePath("", kDescriptionFile), text) &&
        (exeDirectory.empty() || !ReadGbkTextFile(DataFilePath(exeDirectory, kDescriptionFile), text))) {
        return false;
    }
    ReadDescriptions(text, table);
    return true;
}

std::string DescriptionText(const DescriptionTable& table, std::int32_t code) {
    const auto found = table.find(code);
    return found == table.end() ? std::string() : found->second;
}

}  // namespace kelvane
