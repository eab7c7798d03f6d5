#include "DataFolder.h"

#include "core/application/DataLocation.h"
#include "core/editor/CatalogueFile.h"

#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#endif

namespace ravo {

std::string ExecutableDirectory() {
#ifdef _WIN32
    std::wstring path(32768, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0 || length >= path.size()) return ".";
    path.resize(length);
    return std::filesystem::path(path).parent_path().u8string();
#endif
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
