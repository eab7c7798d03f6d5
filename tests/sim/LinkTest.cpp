// The COM link, of a simulator object and of the ravo-sim program: created, replaced when
// stale, never put over a file, removed at the end.
#include "LineClient.h"

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace sim_test;
namespace fs = std::filesystem;

namespace {

ravo_sim::Simulator::Options at(const std::string& folder, int com) { return {folder, com, false, false}; }

TEST(LinkTest, LinkLivesAsLongAsTheSimulatorAndCanBeReopened) {
    TemporaryFolder folder;
    {
        ravo_sim::Simulator sim(at(folder.path(), 12));
        EXPECT_EQ(sim.devicePath(), folder.path() + "/COM12");
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(LineClient(sim.devicePath()).exchange(commandFrame(2), 16).size(), 16u) << "open " << i;
    }
    EXPECT_FALSE(fs::is_symlink(folder.path() + "/COM12"));
}

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

TEST(LinkTest, ProgramRefusesAnUnknownOption) {
    const int status = std::system("'" RAVO_SIM_PROGRAM "' --com x 2>/dev/null");
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2) << status;
}

}  // namespace
