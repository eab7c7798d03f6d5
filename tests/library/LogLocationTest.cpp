// Where the library's logs go: beside the executable when the data folder is there too (the
// build tree: every other library test reads its logs there), else in the user's state folder.
#include "LogFile.h"
#include "LogFiles.h"

#include "TemporaryFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

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
// when it may write there (root in /usr/bin). The state folder is made on the way, private to
// the user.
TEST(LogLocation, LogsStayBesideTheExecutableOnlyWithItsDataFolderThere) {
    TemporaryFolder executable("ravo-exe"), state("ravo-state");
    const std::string stateLogs = state.path() + "/nested/kelvane-ravo";
    EXPECT_EQ(ravo_lib::logDirectoryFor(executable.path(), nullptr, nullptr), "") << "no state folder: no logs";
    EXPECT_EQ(ravo_lib::logDirectoryFor(executable.path(), (state.path() + "/nested").c_str(), nullptr), stateLogs);
    struct stat folder {};
    ASSERT_EQ(::stat(stateLogs.c_str(), &folder), 0);
    EXPECT_EQ(folder.st_mode & 07777, 0700u);
    ::mkdir((executable.path() + "/KelvaneRavoTools").c_str(), 0755);
    EXPECT_EQ(ravo_lib::logDirectoryFor(executable.path(), state.path().c_str(), nullptr), executable.path());
    EXPECT_EQ(ravo_lib::logDirectory(), ravo_lib::executableDirectory()) << "the build tree";
}

// A child that cannot write beside the executable: root drops to the user nobody, whom the
// build folder does not let write.
TEST(LogLocation, AnUnwritableExecutableFolderSendsTheLogsToTheStateFolder) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to run a child that cannot write the build folder";
    TemporaryFolder state("ravo-state");
    ::chmod(state.path().c_str(), 0777);
    const pid_t child = ::fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(2);
        ::setenv("XDG_STATE_HOME", state.path().c_str(), 1);
        ::_exit(ravo_lib::logDirectory() == state.path() + "/kelvane-ravo" ? 0 : 3);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_EQ(status, 0) << "2: cannot drop to nobody, 3: other folder";
}

// Each log the library opens starts afresh with a banner of the local time; a line longer than
// a frame is written whole.
TEST(LogLocation, ALogStartsAfreshWithABannerOfTheLocalTime) {
    const std::string path = besideExecutable("Fresh.log");
    std::ofstream(path) << "old contents\n";
    const std::time_t before = std::time(nullptr);
    std::FILE* file = ravo_lib::openLogFile("Fresh.log");
    const std::vector<std::uint8_t> bytes(70, 0xAB);
    ravo_lib::logBytes(file, "Data: ", bytes.data(), bytes.size());
    std::fclose(file);
    const std::string log = readFile(path);
    std::time_t stamp = 0;
    const std::size_t banner = bannerLength(log, &stamp);
    ASSERT_NE(banner, 0u) << log;
    std::string line = "Data: ";
    for (int i = 0; i < 70; ++i) line += "ab ";
    EXPECT_EQ(log.substr(banner), line);
    EXPECT_GE(stamp, before);
    EXPECT_LE(stamp, std::time(nullptr));
}

}  // namespace
