#include "CatalogueFile.h"

#include "shell/GbkText.h"

#include <fstream>
#include <iterator>

namespace kelvane {

std::string DataFilePath(const std::string& folder, const char* fileName) {
    std::string path = folder.empty() ? std::string() : folder + "/";
    return path + kDataFolderName + "/" + fileName;
}

bool ReadGbkTextFile(const std::string& path, std::string& utf8) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    const std::string gbk{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    utf8 = gbkToUtf8(gbk);
    return true;
}

}  // namespace kelvane
