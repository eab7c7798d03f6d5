// The catalogue files: their readers (layout tolerance, duplicates, truncation, hostile values),
// loading them from the data folder, and the catalogue that ships in the data folder.
#include "TestCatalogue.h"

#include "core/application/GbkText.h"
#include "core/editor/CatalogueFile.h"
#include "core/editor/DescriptionTable.h"

#include "TemporaryFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>

using namespace kelvane;
namespace fs = std::filesystem;

namespace {

std::string crLf(std::string text) {
    for (std::size_t i = text.find('\n'); i != std::string::npos; i = text.find('\n', i + 2)) text.insert(i, "\r");
    return text;
}

TEST(CatalogueReaders, ReadTheFilesAlsoWithCrLfBlankLinesAndExtraBlanks) {
    const InstructionCatalogue tight = testing_catalogue::make();
    EXPECT_EQ(tight.paramTypes, (ParamTypeTable{{7, {{0, "Off"}, {1, "On"}, {5, "Fast"}}}}));
    EXPECT_EQ(tight.groups, (GroupTable{{1, "Motion"}, {2, "Flow"}}));
    EXPECT_EQ(tight.groupMembers, (GroupMembers{{1, {10, 12}}, {2, {11, 13, 14}}}));
    const InstructionDef& move = tight.instructions.at(10);
    EXPECT_EQ(std::tie(move.group, move.code, move.name), std::make_tuple(1, 10, std::string("Move")));
    EXPECT_EQ(std::tie(move.params[0].used, move.params[0].kind, move.params[0].enumType),
              std::make_tuple(1, kEnumerationParam, 7));
    EXPECT_EQ(tight.jumps, (JumpTable{{11, 3}, {13, 7}, {14, 11}}));

    InstructionCatalogue loose;
    ReadParamTypes(crLf("\n参数类型总数: 1\n\n类型编码:7   枚举数:\t3\n\n0  Off\n 1 On\n5 Fast"), loose.paramTypes);
    ReadCommandFormat(crLf(std::string("\n\n") + testing_catalogue::kFormat + "\n\n"), loose);
    ReadJumpCommands(crLf("跳转指令数:3\n\n11   3\n\n13 7\n14\n11\n"), loose.jumps);
    EXPECT_EQ(loose.paramTypes, tight.paramTypes);
    EXPECT_EQ(loose.groupMembers, tight.groupMembers);
    EXPECT_EQ(loose.jumps, tight.jumps);
    EXPECT_EQ(loose.instructions.at(14).params[2].used, 1);

    DescriptionTable help;
    ReadDescriptions("2\n10 移动到位置\n11 " + std::string(1000, 'h') + "\n", help);
    EXPECT_EQ(help.at(10), "移动到位置");
    EXPECT_EQ(help.at(11).size(), 1000u);
}

TEST(CatalogueReaders, FirstEntryOfADuplicateKeyWins) {
    InstructionCatalogue catalogue;
    ReadParamTypes("参数类型总数:2\n类型编码:3 枚举数:2\n1 A\n1 B\n类型编码:3 枚举数:1\n2 C\n", catalogue.paramTypes);
    EXPECT_EQ(catalogue.paramTypes, (ParamTypeTable{{3, {{1, "A"}}}}));

    ReadCommandFormat(
        "指令集合数目:2\n"
        "4 First 1\n20 Same\n0 0 0\n0 0 0\n0 0 0\n"
        "4 Second 2\n20 Other\n0 0 0\n0 0 0\n0 0 0\n21 New\n0 0 0\n0 0 0\n0 0 0\n",
        catalogue);
    EXPECT_EQ(catalogue.groups, (GroupTable{{4, "First"}}));
    EXPECT_EQ(catalogue.groupMembers, (GroupMembers{{4, {20}}}));
    EXPECT_EQ(catalogue.instructions.at(20).name, "Same");
    EXPECT_EQ(catalogue.instructions.at(21).name, "New");

    ReadJumpCommands("跳转指令数:2\n20 7\n20 3\n", catalogue.jumps);
    EXPECT_EQ(catalogue.jumps, (JumpTable{{20, 7}}));

    DescriptionTable help{{5, "old"}};
    ReadDescriptions("2\n5 new\n6 six\n", help);
    EXPECT_EQ(help, (DescriptionTable{{5, "old"}, {6, "six"}}));
}

TEST(CatalogueReaders, StopAtTheFirstMismatchKeepingWhatCameBefore) {
    ParamTypeTable types;
    ReadParamTypes("参数类型数:1\n类型编码:1 枚举数:1\n0 A\n", types);  // wrong label
    EXPECT_TRUE(types.empty());
    ReadParamTypes("参数类型总数:2\n类型编码:1 枚举数:3\n0 A\n1 B\nx C\n类型编码:2 枚举数:1\n0 D\n", types);
    EXPECT_EQ(types, (ParamTypeTable{{1, {{0, "A"}, {1, "B"}}}}));

    // An instruction block without its last parameter line is dropped.
    InstructionCatalogue catalogue;
    ReadCommandFormat("指令集合数目:2\n1 G 3\n10 A\n0 0 0\n0 0 0\n0 0 0\n11 B\n1 1 0\n1 1 0\n2 H 0\n", catalogue);
    EXPECT_EQ(catalogue.groups, (GroupTable{{1, "G"}}));
    EXPECT_EQ(catalogue.groupMembers, (GroupMembers{{1, {10}}}));
    EXPECT_EQ(catalogue.instructions.size(), 1u);

    JumpTable jumps;
    ReadJumpCommands("跳转指令数:3\n10 3\n11\n", jumps);
    EXPECT_EQ(jumps, (JumpTable{{10, 3}}));

    DescriptionTable help;
    ReadDescriptions("3\n1 one\n2", help);
    EXPECT_EQ(help, (DescriptionTable{{1, "one"}}));
}

TEST(CatalogueReaders, HostileCountsCodesAndOffsets) {
    ParamTypeTable types;
    ReadParamTypes("参数类型总数:2147483647\n类型编码:1 枚举数:-5\n类型编码:2 枚举数:99999\n1 A\n", types);
    EXPECT_EQ(types, (ParamTypeTable{{1, {}}, {2, {{1, "A"}}}}));

    // Codes keep their low byte; 0 and 255 are reserved for the line record.
    InstructionCatalogue catalogue;
    ReadCommandFormat(
        "指令集合数目:1\n257 G 3\n266 Wide\n0 0 0\n0 0 0\n0 0 0\n"
        "0 Blank\n0 0 0\n0 0 0\n0 0 0\n255 None\n0 0 0\n0 0 0\n0 0 0\n",
        catalogue);
    EXPECT_EQ(catalogue.groupMembers, (GroupMembers{{1, {10}}}));
    ASSERT_EQ(catalogue.instructions.size(), 1u);
    EXPECT_EQ(catalogue.instructions.at(10).code, 10);

    // Only offsets of a parameter's first byte: others would reach outside the parameters.
    JumpTable jumps;
    ReadJumpCommands("跳转指令数:7\n1 0\n2 13\n3 15\n4 2\n5 11\n0 3\n255 3\n", jumps);
    EXPECT_EQ(jumps, (JumpTable{{5, 11}}));
}

// A temporary executable folder with its data folder, written in GBK.
class CatalogueFolder : public ::testing::Test {
protected:
    CatalogueFolder() { fs::create_directories(root_ / "KelvaneRavoTools"); }
    ~CatalogueFolder() override { fs::current_path(previous_); }
    void write(const fs::path& folder, const std::string& name, const std::string& utf8) {
        std::ofstream(folder / "KelvaneRavoTools" / name, std::ios::binary) << utf8ToGbk(utf8);
    }

    fs::path previous_ = fs::current_path();
    TemporaryFolder folder_{"editor-catalogue"};
    fs::path root_ = folder_.path();
};

TEST_F(CatalogueFolder, ReloadReplacesEverythingButTheGroups) {
    write(root_, "CommandParType.ini", testing_catalogue::kParamTypes);
    write(root_, "CommandFormat.ini", testing_catalogue::kFormat);
    write(root_, "JumpCommandInfo.ini", testing_catalogue::kJumps);
    InstructionCatalogue catalogue;
    EXPECT_EQ(catalogue.LoadCatalogue(root_.string()), 0);
    EXPECT_EQ(catalogue.paramTypes.at(7).at(5), "Fast");
    EXPECT_EQ(catalogue.GetJumpOffset(11), 3);

    fs::remove(root_ / "KelvaneRavoTools" / "CommandParType.ini");
    write(root_, "CommandFormat.ini",
          "指令集合数目:2\n1 改名 1\n10 Move\n0 0 0\n0 0 0\n0 0 0\n"
          "5 新组 1\n20 额外\n0 0 0\n0 0 0\n0 0 0\n");
    write(root_, "JumpCommandInfo.ini", "跳转指令数:1\n20 3\n");
    catalogue.LoadCatalogue(root_.string());

    EXPECT_TRUE(catalogue.paramTypes.empty());
    EXPECT_EQ(catalogue.groups.at(1), "Motion");                                // old name stays
    EXPECT_EQ(catalogue.groupMembers.at(1), (std::set<std::uint8_t>{10, 12}));  // old members stay
    EXPECT_EQ(catalogue.groups.at(5), "新组");
    EXPECT_EQ(catalogue.FindInstructionCode("额外"), 20);
    EXPECT_EQ(catalogue.instruction(12), nullptr);
    EXPECT_EQ(catalogue.jumps, (JumpTable{{20, 3}}));

    InstructionCatalogue direct;  // from the data folder itself
    direct.LoadFromDataFolder((root_ / "KelvaneRavoTools").string());
    EXPECT_EQ(direct.groups.at(1), "改名");
}

TEST_F(CatalogueFolder, DescriptionsComeFromTheCurrentFolderElseFromTheExecutableFolder) {
    write(root_, "CommandDescription.ini", "1\n10 来自程序目录\n");
    const fs::path elsewhere = root_ / "elsewhere";
    fs::create_directories(elsewhere / "KelvaneRavoTools");
    fs::current_path(elsewhere);

    DescriptionTable help;
    EXPECT_TRUE(LoadDescriptions(help, root_.string()));
    EXPECT_EQ(DescriptionText(help, 10), "来自程序目录");

    write(elsewhere, "CommandDescription.ini", "2\n10 当前目录\n11 新的\n");
    EXPECT_TRUE(LoadDescriptions(help, root_.string()));
    EXPECT_EQ(DescriptionText(help, 10), "来自程序目录");  // the table only grows
    EXPECT_EQ(DescriptionText(help, 11), "新的");
    EXPECT_EQ(DescriptionText(help, 12), "");

    fs::remove(elsewhere / "KelvaneRavoTools" / "CommandDescription.ini");
    DescriptionTable none;
    EXPECT_FALSE(LoadDescriptions(none, (root_ / "nowhere").string()));
}

TEST(DemoCatalogue, IsCompleteAndConsistent) {
    InstructionCatalogue catalogue;
    catalogue.LoadCatalogue(RAVO_DEMO_DATA_FOLDER);
    DescriptionTable help;
    std::string text;
    ASSERT_TRUE(ReadGbkTextFile(DataFilePath(RAVO_DEMO_DATA_FOLDER, kDescriptionFile), text));
    ReadDescriptions(text, help);

    EXPECT_EQ(catalogue.groups.size(), 3u);
    EXPECT_GE(catalogue.instructions.size(), 12u);
    EXPECT_EQ(help.size(), catalogue.instructions.size());
    std::set<std::int32_t> kinds;
    for (const auto& [code, def] : catalogue.instructions) {
        EXPECT_EQ(catalogue.FindInstructionCode(def.name), code) << def.name;  // unique names
        EXPECT_EQ(catalogue.groupMembers.at(static_cast<std::uint8_t>(def.group)).count(code), 1u);
        EXPECT_LE(utf8ToGbk(DescriptionText(help, code)).size(), 255u);
        EXPECT_FALSE(DescriptionText(help, code).empty()) << def.name;

        for (const ParamDef& param : def.params) {
            if (param.used != 0) kinds.insert(param.kind);
            if (param.used != 0 && param.kind == kEnumerationParam) {
                EXPECT_EQ(catalogue.paramTypes.count(param.enumType), 1u) << def.name;
            }
        }
    }
    EXPECT_EQ(kinds, (std::set<std::int32_t>{kIntegerParam, kRealParam, kEnumerationParam}));

    // Jumps keep their line number in an integer parameter in use.
    ASSERT_FALSE(catalogue.jumps.empty());
    for (const auto& [code, offset] : catalogue.jumps) {
        const ParamDef& target = catalogue.instructions.at(code).params[(offset - 3) / 4];
        EXPECT_EQ(std::make_pair(target.used, target.kind), std::make_pair(1, kIntegerParam)) << int(code);
    }
}

}  // namespace
