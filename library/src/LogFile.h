// The library's two text logs, SericalComInfo.log (every byte on the line) and Ravo_Debug.log
// (program downloads), live beside the running executable. Each starts with a dated banner
// whose Chinese date words are GBK bytes, like every text file of the system. Lines are
// flushed as they are written so that a crash loses nothing already logged.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace ravo_lib {

// Directory of the running executable (not of this library), without a trailing separator.
std::string executableDirectory();

// Opens <executable directory>/<fileName> for writing (truncating) and writes the banner
// "...........................%d年%d月%d日%d时%d分%d秒.........................\n" with the local
// time. Returns nullptr when the file cannot be created (logging is then simply off).
std::FILE* openLogBesideExecutable(const char* fileName);

// Writes `prefix` followed by each byte as "%.2x ", without a line end.
void logBytes(std::FILE* log, const char* prefix, const std::uint8_t* bytes, std::size_t count);
// Ends the current line and flushes it to the file.
void endLogLine(std::FILE* log);

}  // namespace ravo_lib
