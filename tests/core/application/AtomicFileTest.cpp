#include "ApplicationTestSupport.h"

#include "core/application/AtomicFile.h"
#include "core/application/WholeFile.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <filesystem>

namespace kelvane {
namespace {

std::size_t entriesIn(const std::string& folder) {
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) ++n;
    return n;
}

TEST(AtomicFile, ReplacesTheFileAndLeavesNoTemporary) {
    TemporaryFolder folder;
    const std::string path = folder.file("list.ini");
    ASSERT_TRUE(WriteFileAtomically(path, "old").ok);
    ASSERT_TRUE(WriteFileAtomically(path, std::string("new\0bytes", 9)).ok);
    EXPECT_EQ(ReadWholeFile(path), std::string("new\0bytes", 9));
    EXPECT_EQ(entriesIn(folder.path()), 1u);
    {
        AtomicFile abandoned;
        ASSERT_TRUE(abandoned.open(folder.file("x")).ok);
        EXPECT_EQ(entriesIn(folder.path()), 2u);
    }
    EXPECT_EQ(entriesIn(folder.path()), 1u);
}

TEST(AtomicFile, FailedWriteLeavesTheOldFileAndSaysWhy) {
    TemporaryFolder folder;
    const std::string path = folder.file("a.kelvane");
    ASSERT_TRUE(WriteFileAtomically(path, "old").ok);
    {
        // A write that fails half way (a file size limit stands in for a full disk, and binds
        // root too): the temporary goes at once, not only when the writer is destroyed.
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        rlimit tiny = saved;
        tiny.rlim_cur = 2;
        AtomicFile file;
        const bool opened = file.open(path).ok;
        setrlimit(RLIMIT_FSIZE, &tiny);
        const WriteStatus status = file.commit("new data");
        setrlimit(RLIMIT_FSIZE, &saved);
        EXPECT_TRUE(opened);
        EXPECT_FALSE(status.ok);
        EXPECT_NE(status.reason.find("cannot write " + path), std::string::npos);
        EXPECT_EQ(ReadWholeFile(path), "old");
        EXPECT_EQ(entriesIn(folder.path()), 1u);
    }

    // A failed rename: a non-empty folder cannot be replaced. The temporary goes too.
    const std::string busy = folder.file("busy");
    std::filesystem::create_directories(busy + "/inside");
    WriteStatus status = WriteFileAtomically(busy, "data");
    EXPECT_FALSE(status.ok);
    EXPECT_NE(status.reason.find(busy), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_directory(busy + "/inside"));
    EXPECT_EQ(entriesIn(folder.path()), 2u);

    status = WriteFileAtomically("/nonexistent-folder/f", "x");
    EXPECT_FALSE(status.ok);
    EXPECT_NE(status.reason.find("No such file"), std::string::npos);
}

}  // namespace
}  // namespace kelvane
