// The shared object exports exactly the names of the module-definition file, nothing more.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <cctype>
#include <sstream>
#include <set>
#include <string>

namespace {

std::set<std::string> namesInDefFile() {
    // Export lines are indented "Name @ordinal".
    std::ifstream def(RAVO_DEF_FILE);
    std::set<std::string> names;
    for (std::string line; std::getline(def, line);) {
        std::istringstream words(line);
        std::string name, ordinal;
        if (!line.empty() && std::isspace(static_cast<unsigned char>(line[0])) &&
            words >> name >> ordinal && ordinal[0] == '@')
            names.insert(name);
    }
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
