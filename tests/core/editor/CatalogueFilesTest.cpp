#include "TestCatalogue.h"

#include "core/application/GbkText.h"
#include "core/editor/DescriptionTable.h"

#include "TemporaryFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace kelvane;
namespace fs = std::filesystem;

namespace {

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

}  // namespace
