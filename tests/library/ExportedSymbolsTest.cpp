// The shared object exports exactly the names of the module-definition file, nothing more.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <regex>
#include <set>
#include <string>

namespace {

std::set<std::string> namesInDefFile() {
    std::ifstream def(RAVO_DEF_FILE);
    const std::regex exportLine(R"(^\s+([A-Za-z_]\w*)\s+@\d+)");
    std::set<std::string> names;
    std::smatch match;
    for (std::string line; std::getline(def, line);)
        if (std::regex_search(line, match, exportLine)) names.insert(match[1]);
    return names;
}

std::set<std::string> definedDynamicSymbols() {
    const std::string command =
        std::string(RAVO_NM) + " -D --defined-only --format=posix '" + RAVO_LIBRARY_FILE + "'";
    std::set<std::string> names;
    if (std::FILE* pipe = ::popen(command.c_str(), "r")) {
        char line[1024];
        while (std::fgets(line, sizeof line, pipe)) {
            const std::string text(line);
            names.insert(text.substr(0, text.find(' ')));
        }
        ::pclose(pipe);
    }
    return names;
}

}  // namespace

TEST(ExportedSymbols, AreExactlyTheNamesOfTheDefFile) {
    const std::set<std::string> expected = namesInDefFile();
    ASSERT_EQ(expected.size(), 66u) << "ordinals 1..70 without 56..59";
    EXPECT_EQ(definedDynamicSymbols(), expected);
}
