#include "DataFolder.h"

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
    return ExecutableDirectory() + "/KelvaneRavoTools";
}

}  // namespace ravo
