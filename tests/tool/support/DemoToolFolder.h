// A tool folder with the demo's data folder (RAVO_DEMO_DATA_FOLDER), its list file making
// 搬运演示 (three programs of 12, 5 and 4 lines) active on the first listed port.
#pragma once

#include "core/application/GbkText.h"
#include "core/application/LibraryListFile.h"

#include <filesystem>
#include <string>

inline void PrepareDemoToolFolder(const std::string& exeDirectory) {
    namespace fs = std::filesystem;
    const fs::path data = fs::path(exeDirectory) / "KelvaneRavoTools";
    fs::copy(RAVO_DEMO_DATA_FOLDER, data, fs::copy_options::recursive);
    kelvane::WriteLibraryListFile((data / kelvane::kLibraryListFile).string(), 0, {kelvane::utf8ToGbk("搬运演示")}, 0);
}
