#include "Utf8CommandLine.h"

#ifdef _WIN32
#include <windows.h>

#include <shellapi.h>

#include <filesystem>
#endif

namespace ravo {

Utf8CommandLine::Utf8CommandLine(int argc, char** argv) {
#ifdef _WIN32
    SetConsoleOutputCP(CP_UTF8);
    int count = 0;
    if (wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count)) {
        for (int i = 0; i < count; ++i) arguments_.push_back(std::filesystem::path(wide[i]).u8string());
        LocalFree(wide);
    }
    if (arguments_.empty())
#endif
        arguments_.assign(argv, argv + argc);
    for (std::string& argument : arguments_) pointers_.push_back(argument.data());
}

}  // namespace ravo
