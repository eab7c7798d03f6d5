// The shared object exports exactly the names of the module-definition file, nothing more. (The
// ordinals matter to the Windows DLL only; scripts/check-windows-exports checks them there.)
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

TEST(ExportedSymbols, AreExactlyTheNamesOfTheDefFile) {
    std::set<std::string> expected;  // from the indented "Name @ordinal" lines
    std::ifstream def(RAVO_DEF_FILE);
    for (std::string line, name, ordinal; std::getline(def, line);)
        if (line.rfind("    ", 0) == 0 && std::istringstream(line) >> name >> ordinal && ordinal[0] == '@')
            expected.insert(name);
    ASSERT_EQ(expected.size(), 69u);

    std::set<std::string> exported;
    const std::string nm = std::string(RAVO_NM) + " -D --defined-only --format=posix '" + RAVO_LIBRARY_FILE + "'";
    std::FILE* pipe = ::popen(nm.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    for (char line[1024]; std::fgets(line, sizeof line, pipe);)
        exported.insert(std::string(line).substr(0, std::string(line).find(' ')));
    ::pclose(pipe);
    EXPECT_EQ(exported, expected);
}
