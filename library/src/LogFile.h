// The library's two text logs, SericalComInfo.log (every byte on the line) and Ravo_Debug.log
// (program downloads), live beside the running executable when the data folder is there too
// (the build tree, a portable copy) and in the user's state folder otherwise (an installed
// program never writes beside itself). Each starts with a dated banner
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

// $XDG_STATE_HOME/kelvane-ravo, else $HOME/.local/state/kelvane-ravo; empty when neither
// variable holds an absolute path (relative ones are ignored, as the XDG rules say). Windows
// passes %LOCALAPPDATA% as the state home.
std::string stateLogDirectory(const char* xdgStateHome, const char* home);

// The folder of the logs: the executable's folder when it keeps a writable data folder
// KelvaneRavoTools/ and may be written itself (the build tree, a portable copy); otherwise
// the state folder, created with mode 0700 when missing; empty (no logs) when there is none.
// An installed program never writes beside itself, also when it runs as root.
std::string logDirectoryFor(const std::string& executableDirectory, const char* xdgStateHome, const char* home);
// logDirectoryFor the running executable and the environment.
std::string logDirectory();

// Opens <log directory>/<fileName> for writing (truncating) and writes the banner
// "...........................%d年%d月%d日%d时%d分%d秒.........................\n" with the local
// time. Returns nullptr when there is no log folder or the file cannot be created (logging is
// then simply off).
std::FILE* openLogFile(const char* fileName);

// Writes `prefix` followed by each byte as "%.2x ", without a line end.
void logBytes(std::FILE* log, const char* prefix, const std::uint8_t* bytes, std::size_t count);
// Ends the current line and flushes it to the file.
void endLogLine(std::FILE* log);

}  // namespace ravo_lib
