#include "ApplicationTestSupport.h"

#include "core/application/LibraryListFile.h"

#include <gtest/gtest.h>

namespace kelvane {
namespace {

using testing::gbk;
using Names = std::vector<std::string>;

TEST(LibraryListFile, WritesTheExactTextWithNamesInByteOrder) {
    const LibraryNames names = {gbk("机床"), "a3", "a1", "a10", "b", "a"};
    EXPECT_EQ(FormatLibraryList(3, names, 2),
              gbk("串口编号:3\n应用程序个数:6\n激活程序编号:2\na\na1\na10\na3\nb\n机床\n"));
    EXPECT_EQ(FormatLibraryList(1, {}, 0), gbk("串口编号:1\n应用程序个数:0\n"));
}

TEST(LibraryListFile, ReadsWhatWasWrittenThroughTheDisk) {
    TemporaryFolder folder;
    const std::string path = folder.file("ApplicationProgramMgr.ini");
    EXPECT_FALSE(LoadLibraryListFile(path));
    EXPECT_FALSE(LoadLibraryListFile(folder.path())) << "a folder reads as no list file";
    const LibraryNames names = {"a1", "a2", gbk("乗俓")};
    ASSERT_TRUE(WriteLibraryListFile(path, 255, names, 1).ok);
    const auto contents = LoadLibraryListFile(path);
    ASSERT_TRUE(contents);
    EXPECT_EQ(contents->portIndex, 255);
    EXPECT_EQ(contents->activePosition, 1);
    EXPECT_EQ(contents->names, Names(names.begin(), names.end()));
    EXPECT_FALSE(WriteLibraryListFile(folder.file("missing/list.ini"), 1, {}, 0).ok);
}

TEST(LibraryListFile, ReadingToleratesDamage) {
    // CR LF ends, a port number wider than a byte, more names promised than held, unsafe names,
    // a name too long to be one. The active entry stays the name it was in the file.
    const LibraryListContents contents =
        ReadLibraryList(gbk("串口编号:259\r\n应用程序个数:9\r\n激活程序编号:4\r\nx\r\n../etc\r\n.\r\n" +
                            std::string(200, 'n') + "\r\n  y\r\n"));
    EXPECT_EQ(contents.portIndex, 3);
    EXPECT_EQ(contents.names, (Names{"x", "y"}));
    EXPECT_EQ(contents.activePosition, 1);

    const LibraryListContents empty = ReadLibraryList("garbage");
    EXPECT_EQ(empty.portIndex, 1);
    EXPECT_TRUE(empty.names.empty());
}

TEST(LibraryListFile, SelectionPrefersTheNamedEntryThenAValidActivePosition) {
    LibraryListContents contents;
    contents.names = {"a1", "a2", "a3"};
    const struct {
        int active;
        const char* preferred;
        int expected;
    } cases[] = {{0, "a2", 1}, {0, "", 0}, {0, "zz", 0}, {2, "", 2}, {3, "", 0}, {-4, "", 0}};
    for (const auto& c : cases) {
        contents.activePosition = c.active;
        EXPECT_EQ(SelectedLibraryPosition(contents, c.preferred), c.expected) << c.active << " " << c.preferred;
    }
    EXPECT_EQ(SelectedLibraryPosition(LibraryListContents{}, ""), -1);
}

}  // namespace
}  // namespace kelvane
