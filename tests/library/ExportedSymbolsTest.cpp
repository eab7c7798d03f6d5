// The shared object exports exactly the names of the module-definition file, nothing more.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>

TEST(ExportedSymbols, AreExactlyTheNamesOfTheDefFile) {
    std::set<std::string> expected;  // from the indented "Name @ordinal" lines
    std::map<int, std::string> byOrdinal;
    std::ifstream def(RAVO_DEF_FILE);
    for (std::string line, name, ordinal; std::getline(def, line);)
        if (line.rfind("    ", 0) == 0 && std::istringstream(line) >> name >> ordinal && ordinal[0] == '@') {
            expected.insert(name);
            byOrdinal[std::stoi(ordinal.substr(1))] = name;
        }
    ASSERT_EQ(expected.size(), 69u) << "ordinals 1..73 without 56..59";
    std::set<int> ordinals;
    for (const auto& entry : byOrdinal) ordinals.insert(entry.first);
    std::set<int> assigned;
    for (int ordinal = 1; ordinal <= 73; ++ordinal)
        if (ordinal < 56 || ordinal > 59) assigned.insert(ordinal);
    EXPECT_EQ(ordinals, assigned);
    EXPECT_EQ(byOrdinal[70], "Modbus_CloseSerical");
    EXPECT_EQ(byOrdinal[71], "Ravo_SetDownloadProgress") << "added after the last ordinal in use";
    EXPECT_EQ(byOrdinal[72], "Ravo_GetLinkState");
    EXPECT_EQ(byOrdinal[73], "Ravo_SetTrafficMonitor");

    std::set<std::string> exported;
    const std::string nm = std::string(RAVO_NM) + " -D --defined-only --format=posix '" + RAVO_LIBRARY_FILE + "'";
    std::FILE* pipe = ::popen(nm.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    for (char line[1024]; std::fgets(line, sizeof line, pipe);)
        exported.insert(std::string(line).substr(0, std::string(line).find(' ')));
    ::pclose(pipe);
    EXPECT_EQ(exported, expected);
}
