#include "LogFile.h"

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <string>

#if defined(_WIN32)
#include <windows.h>

#include <cctype>
#include <filesystem>
#include <system_error>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace ravo_lib {

namespace {

// "...........................%d年%d月%d日%d时%d分%d秒.........................\n" with the
// date words as GBK bytes.
constexpr const char* kBannerFormat =
    "...........................%d\xc4\xea%d\xd4\xc2%d\xc8\xd5%d\xca\xb1%d\xb7\xd6%d\xc3\xeb"
    ".........................\n";

std::string executablePath() {
    std::string path(4096, '\0');
#if defined(_WIN32)
    const DWORD length = ::GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0 || length >= path.size()) return {};
#else
    const ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= path.size()) return {};
#endif
    path.resize(static_cast<std::size_t>(length));
    return path;
}

void localTime(std::time_t now, std::tm& local) {
#if defined(_WIN32)
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
}

#if defined(_WIN32)
// Windows reports no write permission for a folder: a file, deleted on closing, is made there.
bool isWritableFolder(const std::string& path) {
    const std::string probe = path + "\\.ravo-write-probe-" + std::to_string(::GetCurrentProcessId());
    const HANDLE file = ::CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    ::CloseHandle(file);
    return true;
}

bool isAbsolute(const char* path) {
    return path[0] == '\\' || path[0] == '/' || (std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':');
}

bool makeDirectories(const std::string& path) {
    std::error_code error;
    std::filesystem::create_directories(path, error);
    return std::filesystem::is_directory(path, error);
}
#else
bool isWritableFolder(const std::string& path) { return ::access(path.c_str(), W_OK) == 0; }

bool isAbsolute(const char* path) { return path[0] == '/'; }

// Creates `path` and the folders above it that are missing, each with mode 0700.
bool makeDirectories(const std::string& path) {
    for (std::size_t end = path.find('/', 1);; end = path.find('/', end + 1)) {
        const std::string folder = path.substr(0, end);
        if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return false;
        if (end == std::string::npos) return true;
    }
}
#endif

}  // namespace

std::string executableDirectory() {
    const std::string path = executablePath();
    const std::size_t cut = path.find_last_of("/\\");
    return cut == std::string::npos ? std::string() : path.substr(0, cut);
}

std::string stateLogDirectory(const char* xdgStateHome, const char* home) {
    if (xdgStateHome && isAbsolute(xdgStateHome)) return std::string(xdgStateHome) + "/kelvane-ravo";
    if (home && isAbsolute(home)) return std::string(home) + "/.local/state/kelvane-ravo";
    return {};
}

std::string logDirectoryFor(const std::string& executableDirectory, const char* xdgStateHome, const char* home) {
    const std::string dataFolder = executableDirectory + "/KelvaneRavoTools";
    if (isWritableFolder(executableDirectory) && isWritableFolder(dataFolder)) return executableDirectory;
    const std::string state = stateLogDirectory(xdgStateHome, home);
    if (!state.empty() && makeDirectories(state)) return state;
    return {};
}

std::string logDirectory() {
#if defined(_WIN32)
    // The user's local application data is Windows' state folder.
    return logDirectoryFor(executableDirectory(), std::getenv("LOCALAPPDATA"), nullptr);
#else
    return logDirectoryFor(executableDirectory(), std::getenv("XDG_STATE_HOME"), std::getenv("HOME"));
#endif
}

std::FILE* openLogFile(const char* fileName) {
    const std::string folder = logDirectory();
    if (folder.empty()) return nullptr;
    const std::string path = folder + "/" + fileName;
    std::FILE* log = std::fopen(path.c_str(), "wb");
    if (!log) return nullptr;

    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localTime(now, local);
    std::fprintf(log, kBannerFormat, local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                 local.tm_sec);
    std::fflush(log);
    return log;
}

void logBytes(std::FILE* log, const char* prefix, const std::uint8_t* bytes, std::size_t count) {
    static const char kHex[] = "0123456789abcdef";
    std::fputs(prefix, log);
    char text[3 * 64];
    std::size_t used = 0;
    for (std::size_t i = 0; i < count; ++i) {
        text[used++] = kHex[bytes[i] >> 4];
        text[used++] = kHex[bytes[i] & 0x0f];
        text[used++] = ' ';
        if (used == sizeof text) {
            std::fwrite(text, 1, used, log);
            used = 0;
        }
    }
    std::fwrite(text, 1, used, log);
}

void endLogLine(std::FILE* log) {
    std::fputc('\n', log);
    std::fflush(log);
}

}  // namespace ravo_lib
