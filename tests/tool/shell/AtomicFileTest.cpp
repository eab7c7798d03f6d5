#include "ShellTestSupport.h"

#include "shell/AtomicFile.h"
#include "shell/WholeFile.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

namespace kelvane {
namespace {

std::size_t entriesIn(const std::string& folder) {
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) ++n;
    return n;
}

TEST(AtomicFile, ReplacesTheFileAndLeavesNoTemporary) {
    testing::TemporaryFolder folder;
    const std::string path = folder.file("list.ini");
    ASSERT_TRUE(WriteFileAtomically(path, "old").ok);
    ASSERT_TRUE(WriteFileAtomically(path, std::string("new\0bytes", 9)).ok);
    EXPECT_EQ(ReadWholeFile(path), std::string("new\0bytes", 9));
    EXPECT_EQ(entriesIn(folder.path()), 1u);
}

TEST(AtomicFile, UnwritableFolderLeavesTheOldFile) {
    if (geteuid() == 0) GTEST_SKIP() << "permissions do not bind root";
    testing::TemporaryFolder folder;
    const std::string path = folder.file("a.kelvane");
    ASSERT_TRUE(WriteFileAtomically(path, "old").ok);
    chmod(folder.path().c_str(), 0500);
    const WriteStatus status = WriteFileAtomically(path, "new");
    chmod(folder.path().c_str(), 0700);
    EXPECT_FALSE(status.ok);
    EXPECT_EQ(ReadWholeFile(path), "old");
    EXPECT_EQ(entriesIn(folder.path()), 1u);
}

TEST(AtomicFile, FailedRenameLeavesTheTargetAndRemovesTheTemporary) {
    testing::TemporaryFolder folder;
    const std::string path = folder.file("busy");
    std::filesystem::create_directory(path);
    std::filesystem::create_directory(path + "/inside");  // a non-empty folder cannot be replaced
    const WriteStatus status = WriteFileAtomically(path, "data");
    EXPECT_FALSE(status.ok);
    EXPECT_NE(status.reason.find(path), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_directory(path + "/inside"));
    EXPECT_EQ(entriesIn(folder.path()), 1u);
}

TEST(AtomicFile, AbandonedWriteRemovesItsTemporary) {
    testing::TemporaryFolder folder;
    {
        AtomicFile file;
        ASSERT_TRUE(file.open(folder.file("x")).ok);
        EXPECT_EQ(entriesIn(folder.path()), 1u);
    }
    EXPECT_EQ(entriesIn(folder.path()), 0u);
}

TEST(AtomicFile, MissingFolderIsReported) {
    const WriteStatus status = WriteFileAtomically("/nonexistent-folder/f", "x");
    EXPECT_FALSE(status.ok);
    EXPECT_NE(status.reason.find("No such file"), std::string::npos);
}

}  // namespace
}  // namespace kelvane
