// Reading SericalComInfo.log, which the library writes beside the test executable.
#pragma once

#include <string>

std::string executableFolder();
std::string trafficLogPath();
std::string readWholeFile(const std::string& path);

// The text the traffic log gained since construction. Construct it after the port is open: the
// first open of the process truncates the file.
class TrafficLogTail {
public:
    TrafficLogTail();
    std::string text() const;

private:
    std::size_t start_;
};
