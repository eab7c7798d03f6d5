// The log files the library writes beside the running executable.
#pragma once

#include <unistd.h>
#include <ctime>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <tuple>

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

// The length of the banner line at the start of `log` (27 dots, the local date and time with the
// GBK words for year, month, day, hour, minute and second, 25 dots, a line feed), or 0.
inline std::size_t bannerLength(const std::string& log, std::time_t* time = nullptr) {
    static const std::regex banner(
        "^\\.{27}(\\d+)\xc4\xea(\\d+)\xd4\xc2(\\d+)\xc8\xd5(\\d+)\xca\xb1(\\d+)\xb7\xd6(\\d+)\xc3\xeb\\.{25}\n");
    std::smatch m;
    if (!std::regex_search(log, m, banner)) return 0;
    std::tm at{};
    at.tm_isdst = -1;
    std::tie(at.tm_year, at.tm_mon, at.tm_mday, at.tm_hour, at.tm_min, at.tm_sec) =
        std::tuple(std::stoi(m[1]) - 1900, std::stoi(m[2]) - 1, std::stoi(m[3]), std::stoi(m[4]), std::stoi(m[5]),
                   std::stoi(m[6]));
    if (time) *time = std::mktime(&at);
    return static_cast<std::size_t>(m.length(0));
}
