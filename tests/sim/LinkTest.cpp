// The COM link of a simulator object and of the ravo-sim program: never put over a file, replaced
// when stale, removed at the end; the program's signals and options. Unplugging and plugging in
// again are exercised by the library's lost-port tests.
#include "LineClient.h"

#include <sys/wait.h>
#include <unistd.h>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

using namespace sim_test;
namespace fs = std::filesystem;

namespace {

ravo_sim::Simulator::Options at(const std::string& folder, int com) { return {folder, com, false, false}; }

TEST(LinkTest, FileThatIsNoLinkOrMissingFolderIsAnError) {
    TemporaryFolder folder;
    std::ofstream(folder.path() + "/COM3") << "keep";
    EXPECT_THROW(ravo_sim::Simulator sim(at(folder.path(), 3)), std::system_error);
    std::string content;
    std::ifstream(folder.path() + "/COM3") >> content;
    EXPECT_EQ(content, "keep");
    EXPECT_THROW(ravo_sim::Simulator sim(at(folder.path() + "/absent", 1)), std::system_error);
    EXPECT_THROW(ravo_sim::Simulator sim(at("", 1)), std::invalid_argument);
}

TEST(LinkTest, ProgramReplacesAStaleLinkServesAndRemovesItWhenStopped) {
    for (int signal : {SIGTERM, SIGINT}) {
        TemporaryFolder folder;
        const std::string link = folder.path() + "/COM7";
        fs::create_symlink("/nonexistent/pts", link);
        const pid_t child = fork();
        if (child == 0) {
            execl(RAVO_SIM_PROGRAM, "ravo-sim", "--com", "7", "--dir", folder.path().c_str(), "--trace", nullptr);
            _exit(127);
        }
        ASSERT_GT(child, 0);
        for (int i = 0; i < 500 && !fs::exists(link); ++i) std::this_thread::sleep_for(10ms);
        try {
            EXPECT_EQ(LineClient(link).exchange(commandFrame(2), 16, 1000ms), commandFrame(2, 0, 0x0300, 0, 1));
        } catch (const std::exception& error) {
            ADD_FAILURE() << error.what();
        }
        kill(child, signal);
        int status = -1;
        waitpid(child, &status, 0);
        EXPECT_EQ(status, 0) << "exit status 0 after signal " << signal;
        EXPECT_FALSE(fs::is_symlink(link)) << signal;
    }
}

// Polls `check` every 10 ms for up to five seconds.
bool eventually(const std::function<bool()>& check) {
    for (int i = 0; i < 500; ++i) {
        if (check()) return true;
        std::this_thread::sleep_for(10ms);
    }
    return false;
}

TEST(LinkTest, ProgramUnplugsOnUsr1AndTogglesSilenceOnUsr2) {
    TemporaryFolder folder;
    const std::string link = folder.path() + "/COM2";
    const pid_t child = fork();
    if (child == 0) {
        execl(RAVO_SIM_PROGRAM, "ravo-sim", "--com", "2", "--dir", folder.path().c_str(), "--replug-after", "300",
              nullptr);
        _exit(127);
    }
    ASSERT_GT(child, 0);
    const auto answers = [&] {
        try {
            return LineClient(link).exchange(commandFrame(2), 16, 100ms).size() == 16;
        } catch (const std::runtime_error&) {
            return false;
        }
    };
    EXPECT_TRUE(eventually(answers));

    const auto pulled = std::chrono::steady_clock::now();
    kill(child, SIGUSR1);
    EXPECT_TRUE(eventually([&] { return !fs::exists(link); }));
    EXPECT_TRUE(eventually(answers));
    EXPECT_GE(std::chrono::steady_clock::now() - pulled, 300ms);

    kill(child, SIGUSR2);
    EXPECT_TRUE(eventually([&] { return !answers(); })) << "silent";
    kill(child, SIGUSR2);
    EXPECT_TRUE(eventually(answers)) << "answering again";

    kill(child, SIGTERM);
    int status = -1;
    waitpid(child, &status, 0);
    EXPECT_EQ(status, 0);
}

TEST(LinkTest, ProgramRefusesAnUnknownOptionOrABadValue) {
    for (const char* options : {"--com x", "--replug-after -1", "--replug-after", "--unplug", "--faults 7"}) {
        const int status = std::system(("'" RAVO_SIM_PROGRAM "' " + std::string(options) + " 2>/dev/null").c_str());
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2) << options << ": " << status;
    }
}

}  // namespace
