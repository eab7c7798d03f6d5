// Which folder holds the data folder KelvaneRavoTools/, and the first-start copy of the demo
// data into the user's data folder.
#include "core/application/DataLocation.h"
#include "core/application/WholeFile.h"

#include "TemporaryFolder.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace kelvane {
namespace {

namespace fs = std::filesystem;

void writeFile(const fs::path& path, const std::string& contents) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << contents;
}

// An executable folder, a demo data folder as an installation carries it, and a user data home
// that does not exist yet.
class DataLocation : public ::testing::Test {
protected:
    void SetUp() override {
        writeFile(demo_ / "ApplicationProgramMgr.ini", "list");
        writeFile(demo_ / "ApplicationProgram" / "demo.kelvane", "program");
        fs::create_directories(locations_.executableDirectory);
    }
    std::string userFile(const std::string& name) const {
        return locations_.userDataHome + "/KelvaneRavoTools/" + name;
    }

    TemporaryFolder temporary_{"ravo-data-location"};
    const fs::path root_ = temporary_.path();
    const fs::path demo_ = root_ / "usr/share/kelvane-ravo/KelvaneRavoTools";
    DataLocations locations_{(root_ / "usr/bin").string(), (root_ / "home/.local/share").string(), demo_.string()};
};

TEST(UserDataHome, IsXdgDataHomeElseBelowHomeAndIgnoresRelativePaths) {
    struct Case {
        const char *xdgDataHome, *home, *expected;
    };
    for (const Case& c : {Case{"/x/data", "/home/u", "/x/data"}, Case{nullptr, "/home/u", "/home/u/.local/share"},
                          Case{"", "/home/u", "/home/u/.local/share"}, Case{"data", "/home/u", "/home/u/.local/share"},
                          Case{nullptr, "home", ""}, Case{nullptr, nullptr, ""}})
        EXPECT_EQ(UserDataHome(c.xdgDataHome, c.home), c.expected)
            << (c.xdgDataHome ? c.xdgDataHome : "unset") << " " << (c.home ? c.home : "unset");
}

TEST(DataLocationsFor, FindsTheInstalledDemoDataBesideTheProgramsFolder) {
    EXPECT_EQ(DataLocationsFor("/opt/ravo/bin").installedData, "/opt/ravo/share/kelvane-ravo/KelvaneRavoTools");
}

TEST_F(DataLocation, AWritableDataFolderBesideTheExecutableIsUsedAsItIs) {
    fs::create_directories(locations_.executableDirectory + "/KelvaneRavoTools");
    EXPECT_EQ(PrepareDataRoot(locations_), locations_.executableDirectory);
    EXPECT_FALSE(fs::exists(locations_.userDataHome));
}

TEST_F(DataLocation, FirstStartCopiesTheDemoDataIntoTheUserDataHomeAndLaterStartsLeaveItAlone) {
    fs::permissions(demo_ / "ApplicationProgramMgr.ini", fs::perms::owner_read | fs::perms::group_read);
    EXPECT_EQ(PrepareDataRoot(locations_), locations_.userDataHome);
    EXPECT_EQ(ReadWholeFile(userFile("ApplicationProgramMgr.ini")), "list");
    EXPECT_EQ(ReadWholeFile(userFile("ApplicationProgram/demo.kelvane")), "program");
    EXPECT_TRUE((fs::status(userFile("ApplicationProgramMgr.ini")).permissions() & fs::perms::owner_write) !=
                fs::perms::none)
        << "the copy of a read-only demo file is the user's to change";
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(locations_.userDataHome)) ++entries;
    EXPECT_EQ(entries, 1) << "no partial copy left behind";
    EXPECT_FALSE(fs::exists(locations_.executableDirectory + "/KelvaneRavoTools"));

    writeFile(userFile("ApplicationProgramMgr.ini"), "changed");
    fs::remove(userFile("ApplicationProgram/demo.kelvane"));
    writeFile(demo_ / "CommandFormat.ini", "newer demo file");
    EXPECT_EQ(PrepareDataRoot(locations_), locations_.userDataHome);
    EXPECT_EQ(ReadWholeFile(userFile("ApplicationProgramMgr.ini")), "changed");
    EXPECT_FALSE(fs::exists(userFile("ApplicationProgram/demo.kelvane"))) << "a deleted program stays deleted";
    EXPECT_FALSE(fs::exists(userFile("CommandFormat.ini")));
}

TEST_F(DataLocation, AReadOnlyDataFolderBesideTheExecutableIsTheDemoForTheUserCopy) {
    if (::geteuid() == 0) GTEST_SKIP() << "root may write into any folder";
    writeFile(locations_.executableDirectory + "/KelvaneRavoTools/ApplicationProgramMgr.ini", "portable list");
    fs::permissions(locations_.executableDirectory + "/KelvaneRavoTools",
                    fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_EQ(PrepareDataRoot(locations_), locations_.userDataHome);
    EXPECT_EQ(ReadWholeFile(userFile("ApplicationProgramMgr.ini")), "portable list");
    fs::permissions(locations_.executableDirectory + "/KelvaneRavoTools", fs::perms::owner_all);
}

TEST_F(DataLocation, WithoutDemoDataOrUserDataHomeNothingIsCreated) {
    fs::remove_all(demo_);
    EXPECT_EQ(PrepareDataRoot(locations_), locations_.userDataHome);
    EXPECT_FALSE(fs::exists(locations_.userDataHome));

    locations_.userDataHome.clear();
    EXPECT_EQ(PrepareDataRoot(locations_), locations_.executableDirectory);
}

}  // namespace
}  // namespace kelvane
