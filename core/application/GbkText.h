// Every text file of the system is GBK on disk; the program works in UTF-8. Convert only at
// the file boundary.
#pragma once

#include <string>

namespace kelvane {

// Bytes that are not valid GBK (or UTF-8) are replaced by '?', so a damaged file still reads.
std::string gbkToUtf8(const std::string& gbk);
std::string utf8ToGbk(const std::string& utf8);

}  // namespace kelvane
