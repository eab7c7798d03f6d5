#include "TrafficLogFile.h"

#include <fstream>
#include <iterator>
#include <sstream>
#include <unistd.h>

std::string executableFolder() {
    char path[4096];
    const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
    const std::string whole(path, length > 0 ? static_cast<std::size_t>(length) : 0);
    return whole.substr(0, whole.find_last_of('/'));
}

std::string trafficLogPath() { return executableFolder() + "/SericalComInfo.log"; }

std::string readWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TrafficLogTail::TrafficLogTail() : start_(readWholeFile(trafficLogPath()).size()) {}

std::string TrafficLogTail::text() const {
    const std::string whole = readWholeFile(trafficLogPath());
    return whole.size() > start_ ? whole.substr(start_) : std::string();
}
