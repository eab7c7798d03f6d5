#include "ShellTestSupport.h"

#include "shell/LibraryListFile.h"
#include "shell/WholeFile.h"

#include <gtest/gtest.h>

namespace kelvane {
namespace {

using testing::gbk;

TEST(LibraryListFile, WritesTheExactTextWithNamesInByteOrder) {
    const LibraryNames names = {gbk("机床"), "a3", "a1", "a10", "b", "a"};
    const std::string text = FormatLibraryList(3, names, 2);
    EXPECT_EQ(text, gbk("串口编号:3\n应用程序个数:6\n激活程序编号:2\na\na1\na10\na3\nb\n机床\n"));
}

TEST(LibraryListFile, EmptyLibraryHasTwoLines) {
    EXPECT_EQ(FormatLibraryList(1, {}, 0), gbk("串口编号:1\n应用程序个数:0\n"));
}

TEST(LibraryListFile, ReadsWhatWasWritten) {
    const LibraryNames names = {"a1", "a2", gbk("乗俓")};
    const LibraryListContents contents = ReadLibraryList(FormatLibraryList(255, names, 1));
    EXPECT_EQ(contents.portIndex, 255);
    EXPECT_EQ(contents.activePosition, 1);
    EXPECT_EQ(contents.names, (std::vector<std::string>(names.begin(), names.end())));
}

TEST(LibraryListFile, ReadingToleratesDamage) {
    // CR LF ends, a port number wider than a byte, more names promised than held, unsafe names.
    const LibraryListContents contents =
        ReadLibraryList(gbk("串口编号:259\r\n应用程序个数:9\r\n激活程序编号:1\r\nx\r\n../etc\r\n.\r\n  y\r\n"));
    EXPECT_EQ(contents.portIndex, 3);
    EXPECT_EQ(contents.names, (std::vector<std::string>{"x", "y"}));

    const LibraryListContents empty = ReadLibraryList("garbage");
    EXPECT_EQ(empty.portIndex, 1);
    EXPECT_TRUE(empty.names.empty());
}

TEST(LibraryListFile, OverlongNameIsOneDroppedToken) {
    const std::string longName(200, 'n');
    const LibraryListContents contents = ReadLibraryList(gbk("串口编号:1\n应用程序个数:2\n激活程序编号:0\n") + longName + "\nok\n");
    EXPECT_EQ(contents.names, (std::vector<std::string>{"ok"}));
}

TEST(LibraryListFile, SelectionPrefersTheNamedEntry) {
    LibraryListContents contents;
    contents.names = {"a1", "a2", "a3"};
    contents.activePosition = 0;
    EXPECT_EQ(SelectedLibraryPosition(contents, "a2"), 1);
    EXPECT_EQ(SelectedLibraryPosition(contents, ""), 0);
    EXPECT_EQ(SelectedLibraryPosition(contents, "zz"), 0);
    contents.activePosition = 2;
    EXPECT_EQ(SelectedLibraryPosition(contents, ""), 2);
    contents.activePosition = 3;
    EXPECT_EQ(SelectedLibraryPosition(contents, ""), 0);
    contents.activePosition = -4;
    EXPECT_EQ(SelectedLibraryPosition(contents, ""), 0);
    EXPECT_EQ(SelectedLibraryPosition(LibraryListContents{}, ""), -1);
}

TEST(LibraryListFile, ThroughTheDisk) {
    testing::TemporaryFolder folder;
    const std::string path = folder.file("ApplicationProgramMgr.ini");
    EXPECT_FALSE(LoadLibraryListFile(path));
    ASSERT_TRUE(WriteLibraryListFile(path, 4, {"p"}, 0).ok);
    const auto contents = LoadLibraryListFile(path);
    ASSERT_TRUE(contents);
    EXPECT_EQ(contents->portIndex, 4);
    EXPECT_EQ(contents->names, (std::vector<std::string>{"p"}));
    EXPECT_FALSE(WriteLibraryListFile(folder.file("missing/list.ini"), 1, {}, 0).ok);
}

}  // namespace
}  // namespace kelvane
