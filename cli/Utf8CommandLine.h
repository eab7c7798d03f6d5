// The command line as UTF-8 text on every system: on Linux the arguments as given; on Windows,
// where argv holds the ANSI code page (which cannot hold every program name), the wide command
// line converted, and the console set to show UTF-8 output.
#pragma once

#include <string>
#include <vector>

namespace ravo {

class Utf8CommandLine {
public:
    Utf8CommandLine(int argc, char** argv);

    int argc() const { return static_cast<int>(pointers_.size()); }
    char** argv() { return pointers_.data(); }

private:
    std::vector<std::string> arguments_;
    std::vector<char*> pointers_;
};

}  // namespace ravo
