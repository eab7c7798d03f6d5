#include "WholeFile.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace kelvane {

std::optional<std::string> ReadWholeFile(const std::string& path) {
    std::ifstream in(std::filesystem::u8path(path), std::ios::binary);
    if (!in) return std::nullopt;
    // The stream buffer throws on a read error (a folder, EIO): that is a file that cannot be
    // read, as one that is missing.
    try {
        std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        if (in.bad()) return std::nullopt;
        return bytes;
    } catch (const std::ios_base::failure&) {
        return std::nullopt;
    }
}

}  // namespace kelvane
