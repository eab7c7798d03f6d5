// The log files the library writes beside the running executable.
#pragma once

#include <unistd.h>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <iterator>
#include <string>

inline std::string besideExecutable(const std::string& name) {
    char path[4096];
    const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
    const std::string exe(path, length > 0 ? static_cast<std::size_t>(length) : 0);
    return exe.substr(0, exe.find_last_of('/') + 1) + name;
}

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The length of the banner line at the start of `log` (27 dots, the date and time with the GBK
// words for year, month, day, hour, minute and second, 25 dots, a line feed), or 0.
inline std::size_t bannerLength(const std::string& log, std::tm* stamp = nullptr) {
    std::tm at{};
    int used = 0;
    if (log.compare(0, 27, std::string(27, '.')) != 0 ||
        std::sscanf(log.c_str() + 27, "%d\xc4\xea%d\xd4\xc2%d\xc8\xd5%d\xca\xb1%d\xb7\xd6%d\xc3\xeb%n", &at.tm_year,
                    &at.tm_mon, &at.tm_mday, &at.tm_hour, &at.tm_min, &at.tm_sec, &used) != 6 ||
        used == 0)
        return 0;
    const std::size_t end = 27 + static_cast<std::size_t>(used);
    if (log.compare(end, 26, std::string(25, '.') + "\n") != 0) return 0;
    at.tm_year -= 1900;
    at.tm_mon -= 1;
    at.tm_isdst = -1;
    if (stamp) *stamp = at;
    return end + 26;
}
