#include "TestCatalogue.h"

#include "editor/DescriptionTable.h"
#include "editor/InstructionCatalogue.h"
#include "shell/GbkText.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

using namespace kelvane;
namespace fs = std::filesystem;

namespace {

// Changes the current folder for its life.
class CurrentFolder {
public:
    explicit CurrentFolder(const fs::path& folder) : previous_(fs::current_path()) { fs::current_path(folder); }
    ~CurrentFolder() { fs::current_path(previous_); }

private:
    fs::path previous_;
};

// A temporary executable folder with a KelvaneRavoTools data folder below it.
class CatalogueFolder : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/editor-catalogue.XXXXXX";
        root_ = mkdtemp(pattern);
        fs::create_directories(root_ / "KelvaneRavoTools");
    }
    void TearDown() override { fs::remove_all(root_); }

    // Writes a data file in GBK from UTF-8 text.
    void write(const std::string& name, const std::string& utf8) {
        std::ofstream(root_ / "KelvaneRavoTools" / name, std::ios::binary) << utf8ToGbk(utf8);
    }
    void writeTestCatalogue() {
        write("CommandParType.ini", testing_catalogue::kParamTypes);
        write("CommandFormat.ini", testing_catalogue::kFormat);
        write("JumpCommandInfo.ini", testing_catalogue::kJumps);
    }

    fs::path root_;
};

TEST_F(CatalogueFolder, LoadsGbkFilesFromTheDataFolder) {
    writeTestCatalogue();
    write("CommandFormat.ini", "指令集合数目:1\n3 运动 1\n10 绝对运动\n1 3 7\n1 1 0\n1 2 0\n");
    InstructionCatalogue catalogue;
    EXPECT_EQ(catalogue.LoadCatalogue(root_.string()), 0);
    EXPECT_EQ(catalogue.paramTypes.at(7).at(5), "Fast");
    EXPECT_EQ(catalogue.FindInstructionCode("绝对运动"), 10);
    EXPECT_EQ(catalogue.GetInstructionNames(10), std::make_pair(std::string("运动"), std::string("绝对运动")));
    EXPECT_EQ(catalogue.GetJumpOffset(11), 3);
}

TEST_F(CatalogueFolder, ReloadKeepsGroupsButReplacesTheOtherTables) {
    writeTestCatalogue();
    InstructionCatalogue catalogue;
    catalogue.LoadCatalogue(root_.string());

    write("CommandParType.ini", "参数类型总数:1\n类型编码:8 枚举数:1\n0 Zero\n");
    write("CommandFormat.ini", "指令集合数目:2\n1 Renamed 1\n10 Move\n0 0 0\n0 0 0\n0 0 0\n"
                               "5 Added 1\n20 Extra\n0 0 0\n0 0 0\n0 0 0\n");
    write("JumpCommandInfo.ini", "跳转指令数:1\n20 3\n");
    catalogue.LoadCatalogue(root_.string());

    EXPECT_EQ(catalogue.paramTypes.count(7), 0u);
    EXPECT_EQ(catalogue.paramTypes.count(8), 1u);
    EXPECT_EQ(catalogue.groups.at(1), "Motion");                               // old name stays
    EXPECT_EQ(catalogue.groupMembers.at(1), (std::set<std::uint8_t>{10, 12}));  // old members stay
    EXPECT_EQ(catalogue.groups.at(5), "Added");
    EXPECT_EQ(catalogue.instruction(12), nullptr);  // gone from the instructions
    EXPECT_EQ(catalogue.GetJumpOffset(11), 0);
    EXPECT_EQ(catalogue.GetJumpOffset(20), 3);
}

TEST_F(CatalogueFolder, MissingFilesLeaveTheirTablesEmpty) {
    write("CommandFormat.ini", testing_catalogue::kFormat);
    InstructionCatalogue catalogue;
    catalogue.paramTypes[1] = {{0, "stale"}};
    catalogue.jumps[11] = 3;
    EXPECT_EQ(catalogue.LoadCatalogue(root_.string()), 0);
    EXPECT_TRUE(catalogue.paramTypes.empty());
    EXPECT_TRUE(catalogue.jumps.empty());
    EXPECT_EQ(catalogue.instructions.size(), 5u);

    InstructionCatalogue none;
    none.LoadCatalogue((root_ / "nowhere").string());
    EXPECT_TRUE(none.instructions.empty());
}

TEST_F(CatalogueFolder, DescriptionsComeFromTheCurrentFolderElseFromTheExecutableFolder) {
    write("CommandDescription.ini", "1\n10 来自程序目录\n");
    const fs::path elsewhere = root_ / "elsewhere";
    fs::create_directories(elsewhere / "KelvaneRavoTools");
    const CurrentFolder inElsewhere(elsewhere);

    DescriptionTable help;
    EXPECT_TRUE(LoadDescriptions(help, root_.string()));  // not below the current folder
    EXPECT_EQ(DescriptionText(help, 10), "来自程序目录");

    std::ofstream(elsewhere / "KelvaneRavoTools" / "CommandDescription.ini", std::ios::binary)
        << utf8ToGbk("2\n10 当前目录\n11 新的\n");
    EXPECT_TRUE(LoadDescriptions(help, root_.string()));
    EXPECT_EQ(DescriptionText(help, 10), "来自程序目录");  // the table only grows
    EXPECT_EQ(DescriptionText(help, 11), "新的");
    EXPECT_EQ(DescriptionText(help, 12), "");

    DescriptionTable none;
    fs::remove(elsewhere / "KelvaneRavoTools" / "CommandDescription.ini");
    EXPECT_FALSE(LoadDescriptions(none, (root_ / "nowhere").string()));
}

}  // namespace
