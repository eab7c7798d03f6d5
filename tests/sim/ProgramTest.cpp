// The ravo-sim program: serves on the link it announces and removes it when told to stop.
#include "LineClient.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace sim_test;

namespace {

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/ravo-sim-program.XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder = pattern;
        link = folder + "/COM7";
    }
    void TearDown() override {
        if (child > 0) {
            kill(child, SIGKILL);
            waitpid(child, nullptr, 0);
        }
        std::filesystem::remove_all(folder);
    }
    void start() {
        child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            execl(RAVO_SIM_PROGRAM, "ravo-sim", "--com", "7", "--dir", folder.c_str(), "--trace",
                  static_cast<char*>(nullptr));
            _exit(127);
        }
        for (int i = 0; i < 500 && !std::filesystem::exists(link); ++i)
            std::this_thread::sleep_for(10ms);
        ASSERT_TRUE(std::filesystem::exists(link));
    }
    int stop(int signal) {
        kill(child, signal);
        int status = 0;
        waitpid(child, &status, 0);
        child = -1;
        return status;
    }
    std::string folder, link;
    pid_t child = -1;
};

TEST_F(ProgramTest, ServesUntilTerminatedAndRemovesItsLink) {
    start();
    {
        LineClient line(link);
        const Bytes reply = line.exchange(commandFrame(2), 16, 1000ms);
        ASSERT_EQ(reply.size(), 16u);
        EXPECT_EQ(replyField(reply, 2), 0x0300u);
    }
    const int status = stop(SIGTERM);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_FALSE(std::filesystem::is_symlink(link));
}

TEST_F(ProgramTest, InterruptAlsoRemovesTheLink) {
    start();
    stop(SIGINT);
    EXPECT_FALSE(std::filesystem::is_symlink(link));
}

TEST_F(ProgramTest, ReplacesAStaleLink) {
    std::filesystem::create_symlink("/nonexistent/pts", link);
    start();
    LineClient line(link);
    EXPECT_EQ(line.exchange(commandFrame(2), 16, 1000ms).size(), 16u);
}

TEST(ProgramArguments, UnknownOptionIsRefused) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        freopen("/dev/null", "w", stderr);
        execl(RAVO_SIM_PROGRAM, "ravo-sim", "--com", "x", static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 2);
}

}  // namespace
