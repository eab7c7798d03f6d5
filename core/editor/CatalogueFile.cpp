#include "CatalogueFile.h"

#include "core/application/GbkText.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace kelvane {

std::string DataFolderPath(const std::string& exeDirectory) {
    return (exeDirectory.empty() ? std::string() : exeDirectory + "/") + kDataFolderName;
}

std::string DataFilePath(const std::string& exeDirectory, const char* fileName) {
    return DataFolderPath(exeDirectory) + "/" + fileName;
}

bool ReadGbkTextFile(const std::string& path, std::string& utf8) {
    std::ifstream file(std::filesystem::u8path(path), std::ios::binary);
    if (!file) return false;
    const std::string gbk{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    utf8 = gbkToUtf8(gbk);
    return true;
}

}  // namespace kelvane
