// Where the library's logs go: beside the executable when the data folder is there too (the
// build tree: every other library test reads its logs there), else in the user's state folder.
#include "LogFile.h"

#include "TemporaryFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace {

TEST(LogLocation, StateFolderIsXdgStateHomeElseBelowHomeAndIgnoresRelativePaths) {
    struct Case {
        const char *xdgStateHome, *home, *expected;
    };
    for (const Case& c : {Case{"/x/state", "/home/u", "/x/state/kelvane-ravo"},
                          Case{nullptr, "/home/u", "/home/u/.local/state/kelvane-ravo"},
                          Case{"", "/home/u", "/home/u/.local/state/kelvane-ravo"},
                          Case{"state", "/home/u", "/home/u/.local/state/kelvane-ravo"}, Case{nullptr, "home", ""},
                          Case{nullptr, nullptr, ""}})
        EXPECT_EQ(ravo_lib::stateLogDirectory(c.xdgStateHome, c.home), c.expected)
            << (c.xdgStateHome ? c.xdgStateHome : "unset") << " " << (c.home ? c.home : "unset");
}

// An installed program finds no data folder beside itself and logs into the state folder even
// when it may write there (root in /usr/bin).
TEST(LogLocation, LogsStayBesideTheExecutableOnlyWithItsDataFolderThere) {
    TemporaryFolder executable("ravo-exe"), state("ravo-state");
    const std::string stateLogs = state.path() + "/kelvane-ravo";
    EXPECT_EQ(ravo_lib::logDirectoryFor(executable.path(), state.path().c_str(), nullptr), stateLogs);
    EXPECT_EQ(ravo_lib::logDirectoryFor(executable.path(), nullptr, nullptr), "") << "no state folder: no logs";
    ::mkdir((executable.path() + "/KelvaneRavoTools").c_str(), 0755);
    EXPECT_EQ(ravo_lib::logDirectoryFor(executable.path(), state.path().c_str(), nullptr), executable.path());
    EXPECT_EQ(ravo_lib::logDirectory(), ravo_lib::executableDirectory()) << "the build tree";
}

// A child that cannot write beside the executable: root drops to the user nobody, whom the
// build folder does not let write. The state folder is made on the way, private to the user.
TEST(LogLocation, AnUnwritableExecutableFolderSendsTheLogsToANewStateFolder) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to run a child that cannot write the build folder";
    TemporaryFolder state("ravo-state");
    ::chmod(state.path().c_str(), 0777);
    const std::string expected = state.path() + "/nested/kelvane-ravo";

    const pid_t child = ::fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(2);
        ::setenv("XDG_STATE_HOME", (state.path() + "/nested").c_str(), 1);
        if (ravo_lib::logDirectory() != expected) ::_exit(3);
        std::FILE* log = ravo_lib::openLogFile("SericalComInfo.log");
        ::_exit(log ? 0 : 4);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "2: cannot drop to nobody, 3: other folder, 4: log not created";

    struct stat folder {};
    ASSERT_EQ(::stat(expected.c_str(), &folder), 0);
    EXPECT_EQ(folder.st_mode & 07777, 0700u);
    EXPECT_EQ(::access((expected + "/SericalComInfo.log").c_str(), F_OK), 0);
}

}  // namespace
