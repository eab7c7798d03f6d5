// The COM link of the simulator object: created, replaced when stale, removed at the end.
#include "LineClient.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <system_error>

using namespace sim_test;
namespace fs = std::filesystem;

namespace {

class LinkTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/ravo-sim-link.XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder = pattern;
    }
    void TearDown() override { fs::remove_all(folder); }
    ravo_sim::Simulator::Options options(int com) {
        ravo_sim::Simulator::Options result;
        result.comDir = folder;
        result.comNumber = com;
        return result;
    }
    std::string folder;
};

TEST_F(LinkTest, LinkLivesAsLongAsTheSimulator) {
    {
        ravo_sim::Simulator sim(options(12));
        EXPECT_EQ(sim.devicePath(), folder + "/COM12");
        EXPECT_TRUE(fs::is_symlink(sim.devicePath()));
        EXPECT_TRUE(fs::exists(sim.devicePath()));
    }
    EXPECT_FALSE(fs::is_symlink(folder + "/COM12"));
}

TEST_F(LinkTest, ClientCanCloseAndReopenTheLine) {
    ravo_sim::Simulator sim(options(1));
    for (int i = 0; i < 3; ++i) {
        LineClient line(sim.devicePath());
        EXPECT_EQ(line.exchange(commandFrame(2), 16).size(), 16u) << "open number " << i;
    }
}

TEST_F(LinkTest, FileThatIsNoLinkIsNotReplaced) {
    const std::string path = folder + "/COM3";
    std::ofstream(path) << "keep";
    EXPECT_THROW(ravo_sim::Simulator sim(options(3)), std::system_error);
    std::string content;
    std::ifstream(path) >> content;
    EXPECT_EQ(content, "keep");
}

TEST_F(LinkTest, MissingFolderOrNoFolderIsAnError) {
    ravo_sim::Simulator::Options missing = options(1);
    missing.comDir = folder + "/absent";
    EXPECT_THROW(ravo_sim::Simulator sim(missing), std::system_error);
    missing.comDir.clear();
    EXPECT_THROW(ravo_sim::Simulator sim(missing), std::invalid_argument);
}

}  // namespace
