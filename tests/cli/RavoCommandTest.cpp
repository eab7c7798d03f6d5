// The ravo program itself: exit status, output and the one-line reasons of its errors.
#include "core/application/WholeFile.h"

#include "TemporaryFolder.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

using kelvane::ReadWholeFile;

struct Outcome {
    int status;
    std::string out, err;
};

std::string quoted(const std::string& argument) {
    std::string text = "'";
    for (char c : argument) text += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return text + "'";
}

std::string demo(const std::string& name) { return DEMO_DATA_FOLDER "/ApplicationProgram/" + name; }

class RavoCommand : public ::testing::Test {
protected:
    Outcome ravo(const std::vector<std::string>& arguments) const {
        std::string command = quoted(RAVO_EXECUTABLE);
        for (const std::string& argument : arguments) command += " " + quoted(argument);
        const int status = std::system((command + " >" + quoted(folder_ + "/out") + " 2>" + quoted(folder_ + "/err")).c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadWholeFile(folder_ + "/out").value_or(""),
                ReadWholeFile(folder_ + "/err").value_or("")};
    }
    std::string file(const std::string& name, const std::string& contents = "") const {
        std::ofstream(folder_ + "/" + name, std::ios::binary) << contents;
        return folder_ + "/" + name;
    }
    // A failure: status 1, nothing on standard output, one line on standard error.
    static void expectOneLineError(const Outcome& run, const std::string& fragment) {
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
        EXPECT_EQ(run.err.rfind("ravo: ", 0), 0u) << run.err;
        EXPECT_NE(run.err.find(fragment), std::string::npos) << run.err;
    }
    TemporaryFolder temporary_{"ravo-cli"};
    const std::string folder_ = temporary_.path();
};

TEST_F(RavoCommand, ShowAndListPrintTheDocumentAndTheLibrary) {
    Outcome run = ravo({"--data", DEMO_DATA_FOLDER, "show", demo("搬运演示.kelvane")});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    for (const char* expected : {"应用程序版本: 5", "  X   1600  10", "1轴:  X1      X2", "采集模拟量", "X轴速度跟随",
                                 "用户程序 2 (4 行)", "运动控制  回原点    X轴    正向     20.000  回原点 X",
                                 "流程控制  循环      10     3"})
        EXPECT_NE(run.out.find(expected), std::string::npos) << expected << "\n" << run.out;
    run = ravo({"--data", folder_, "show", demo("点胶示例.kelvane")});  // no catalogue: lines still shown
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("用户程序 0 (7 行)"), std::string::npos) << run.out;
    run = ravo({"--data", DEMO_DATA_FOLDER, "list"});
    EXPECT_EQ(run.out, "串口编号: 1\n* 搬运演示\n  点胶示例\n");
}

TEST_F(RavoCommand, ExportThenImportGivesTheSameBytesForEveryDemoFile) {
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(DEMO_DATA_FOLDER "/ApplicationProgram")) {
        const std::string original = entry.path().string(), copy = folder_ + "/copy.kelvane";
        const Outcome exported = ravo({"export", original});
        ASSERT_EQ(exported.status, 0) << exported.err;
        EXPECT_EQ(exported.err, "") << original;
        const Outcome imported = ravo({"import", file("demo.json", exported.out), copy});
        EXPECT_EQ(imported.status, 0) << imported.err;
        EXPECT_EQ(imported.out + imported.err, "");
        EXPECT_EQ(ReadWholeFile(copy), ReadWholeFile(original)) << original;
        ++files;
    }
    EXPECT_GE(files, 3);
}

TEST_F(RavoCommand, ErrorsExitWithOneLineAndLeaveFilesAlone) {
    expectOneLineError(ravo({"show", folder_ + "/missing.kelvane"}), "missing.kelvane: No such file");
    expectOneLineError(ravo({"export", file("bad.kelvane", "not a program\n")}), "not an application program file");
    expectOneLineError(ravo({"import", folder_ + "/missing.json", folder_ + "/o.kelvane"}), "cannot open");
    expectOneLineError(ravo({"import", file("bad.json", "{\"version\": 5,\n"), folder_ + "/o.kelvane"}), "JSON line 2");
    expectOneLineError(ravo({}), "no command");
    expectOneLineError(ravo({"frobnicate"}), "unknown command");
    expectOneLineError(ravo({"show"}), "usage: ravo show");
    expectOneLineError(ravo({"--bogus", "show", "x"}), "unknown option --bogus");
    expectOneLineError(ravo({"--data", folder_, "list"}), "ApplicationProgramMgr.ini");
    EXPECT_FALSE(std::filesystem::exists(folder_ + "/o.kelvane"));

    const std::string json = ravo({"export", demo("点胶示例.kelvane")}).out;
    expectOneLineError(ravo({"import", file("demo.json", json), folder_ + "/no-such-folder/o.kelvane"}),
                       "no-such-folder/o.kelvane");
    const std::string target = file("keep.kelvane", "old contents");
    expectOneLineError(ravo({"import", file("broken.json", json.substr(0, 200)), target}), "JSON");
    EXPECT_EQ(ReadWholeFile(target), "old contents");
}

TEST_F(RavoCommand, DamagedFileExportsWithAWarning) {
    const std::string full = ReadWholeFile(demo("点胶示例.kelvane")).value_or("");
    const Outcome run = ravo({"export", file("cut.kelvane", full.substr(0, full.size() / 2))});
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("\"programs\""), std::string::npos);
    EXPECT_NE(run.err.find("warning"), std::string::npos);
}

}  // namespace
