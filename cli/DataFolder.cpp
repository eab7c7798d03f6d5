#include "DataFolder.h"

#include "core/application/DataLocation.h"
#include "core/editor/CatalogueFile.h"

#include <filesystem>
#include <system_error>

namespace ravo {

std::string ExecutableDirectory() {
    std::error_code error;
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return ".";
    return executable.parent_path().string();
}

std::string DataFolder(const std::string& overrideFolder) {
    if (!overrideFolder.empty()) return overrideFolder;
    return kelvane::DataFolderPath(kelvane::PrepareDataRoot(kelvane::DataLocationsFor(ExecutableDirectory())));
}

}  // namespace ravo
