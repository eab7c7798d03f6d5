// The ravo program run as a user runs it: exit status, output and the one-line reasons of its
// errors, its file commands, and its controller commands against a simulated controller on COM1
// (RAVO_COM_DIR). The rules behind them (file format, checks, sequences, decoding) are the core's.
#include "ApplicationDocument.h"
#include "ApplicationSource.h"
#include "CliError.h"
#include "ControllerPort.h"
#include "PortsCommand.h"
#include "TemporaryFolder.h"
#include "WireVocabulary.h"
#include "support/ApplicationOnController.h"
#include "support/SimulatedController.h"

#include "core/application/WholeFile.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>

namespace {

using kelvane::ReadWholeFile;

struct Outcome {
    int status;
    std::string out, err;
};

std::string Quoted(const std::string& argument) {
    std::string text = "'";
    for (char c : argument) text += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return text + "'";
}

std::string Demo(const std::string& name) { return DEMO_DATA_FOLDER "/ApplicationProgram/" + name; }

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// Runs ravo in a temporary folder and collects its exit status and output.
class RavoCommand : public ::testing::Test {
protected:
    Outcome ravo(const std::vector<std::string>& arguments) const {
        std::string command = Quoted(RAVO_EXECUTABLE);
        for (const std::string& argument : arguments) command += " " + Quoted(argument);
        const int status =
            std::system((command + " >" + Quoted(folder_ + "/out") + " 2>" + Quoted(folder_ + "/err")).c_str());
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

class RavoControllerCommand : public RavoCommand {
protected:
    SimulatedController controller;
};

TEST_F(RavoCommand, ShowAndListPrintTheDocumentAndTheLibrary) {
    Outcome run = ravo({"--data", DEMO_DATA_FOLDER, "show", Demo("搬运演示.kelvane")});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    for (const char* expected :
         {"应用程序版本: 5", "  X   1600  10", "1轴:  X1      X2", "采集模拟量", "X轴速度跟随", "用户程序 2 (4 行)",
          "运动控制  回原点    X轴    正向     20.000  回原点 X", "流程控制  循环      10     3"})
        EXPECT_NE(run.out.find(expected), std::string::npos) << expected << "\n" << run.out;
    run = ravo({"--data", folder_, "show", Demo("点胶示例.kelvane")});  // no catalogue: lines still shown
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

TEST_F(RavoCommand, CheckPrintsEachProblemOnALineAndTakesAFileOrALibraryName) {
    ravo::ApplicationDocument document;
    document.programs.resize(2);
    document.programs[1].records[0].bytes = {0xAA, 0xFF, 99};  // codes the catalogue does not have
    document.programs[1].records[1].bytes = {0xAA, 0xFF, 98};
    document.programs[1].lineCount = 2;
    const std::string crafted = folder_ + "/crafted.kelvane";
    ravo::SaveApplicationDocument(crafted, document);

    Outcome run = ravo({"--data", DEMO_DATA_FOLDER, "check", crafted});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out,
              "program 1 line 0: instruction code 99 is not in the catalogue\n"
              "program 1 line 1: instruction code 98 is not in the catalogue\n");
    EXPECT_EQ(run.err, "");

    run = ravo({"--data", DEMO_DATA_FOLDER, "check", "搬运演示"});
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_EQ(run.out + run.err, "");
}

TEST_F(RavoCommand, DamagedFileShowsAndExportsWithAWarning) {
    const std::string full = ReadWholeFile(Demo("点胶示例.kelvane")).value_or("");
    const std::string cut = file("cut.kelvane", full.substr(0, full.size() / 2));
    for (const std::string command : {"show", "export"}) {
        const Outcome run = ravo({command, cut});
        EXPECT_EQ(run.status, 0) << command;
        EXPECT_TRUE(Contains(run.out, command == "show" ? "用户程序 0" : "\"programs\"")) << run.out;
        EXPECT_TRUE(Contains(run.err, "warning: " + cut + " is incomplete")) << command << run.err;
    }
}

// A path has a '/' or the extension; anything else names a program of the library.
TEST(ApplicationSource, PathsStayAndNamesBecomeTheirLibraryFile) {
    EXPECT_EQ(ravo::ApplicationProgramPath("dir/program", "/data"), "dir/program");
    EXPECT_EQ(ravo::ApplicationProgramPath("program.kelvane", "/data"), "program.kelvane");
    EXPECT_EQ(ravo::ApplicationProgramPath("搬运", "/data"), "/data/ApplicationProgram/搬运.kelvane");
    EXPECT_THROW(ravo::ApplicationProgramPath("a b", "/data"), ravo::CliError);
}

TEST_F(RavoControllerCommand, DownloadSendsTheWholeApplicationProgramAndShowsItsProgress) {
    const Outcome run = ravo({"--data", DEMO_DATA_FOLDER, "download", "搬运演示", "--port", "COM1"});

    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "用户应用程序下载成功\n");
    EXPECT_EQ(run.err,
              "motor parameters\nperipherals\nuser program 1 of 3 (12 records)\n"
              "user program 2 of 3 (5 records)\nuser program 3 of 3 (4 records)\n")
        << "plain progress lines when stderr is no terminal";
    const ravo::ApplicationDocument document = ravo::LoadApplicationDocument(Demo("搬运演示.kelvane"));
    ExpectControllerHoldsApplication(*controller, document.motor, document.peripherals, document.programs);
}

TEST_F(RavoControllerCommand, AFailedDownloadPrintsBothMessages) {
    controller->overrideReadBack(cmd::GetSubdivision, 1, 3200);  // X reads back another subdivision
    const Outcome run = ravo({"download", Demo("点胶示例.kelvane"), "--port=com1"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_TRUE(
        Contains(run.err, "motor parameters\nravo: 设置X轴细分数失败2\nravo: 用户程序下载失败_系统参数下载失败！\n"))
        << run.err;
}

// Each entry of the log on a line: its direction, "!!" when it failed, its text and bytes; "??" for
// a line that does not parse, "==" for a note, and the count of what did not parse at the end.
TEST_F(RavoCommand, TracePrintsTheLogsEntriesAndFollowsAGrowingLog) {
    const std::string log = file("SericalComInfo.log",
                                 "SendData: aa ff 02 00 00 00 00 00 00 00 00 00 00 00 00 ab \n"
                                 "ReceiveData: aa 01 02 00 00 00 00 00 00 03 01 00 00 00 00 b1 \n"
                                 "garbage\r\n"
                                 "SendData: aa ff 02 00 00 00 00 00 00 00 00 00 00 00 00 00 \n"
                                 "[1] Begin Download user program .....\n"
                                 "SendData: aa ff 0c 00 00 00 01 00 00 00 00 41 a0 00 00 00 \n");
    const Outcome run = ravo({"--data", DEMO_DATA_FOLDER, "trace", log});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              "->    Ravo_GetControllerVersion addr=255  [aa ff 02 00 00 00 00 00 00 00 00 00 00 00 00 ab]\n"
              "<-    应答 Ravo_GetControllerVersion version=3.1  [aa 01 02 00 00 00 00 00 00 03 01 00 00 00 00 b1]\n"
              "?? garbage\n"
              "-> !! 无法解码: 校验和错误 (应为 0xab)  [aa ff 02 00 00 00 00 00 00 00 00 00 00 00 00 00]\n"
              "== 开始下载 1 条记录\n"
              "<- !! 超时无应答\n"
              "->    记录 0: 回原点 X轴 正向 20.000  [aa ff 0c 00 00 00 01 00 00 00 00 41 a0 00 00 00]\n"
              "<- !! 超时无应答\n"
              "无法解析的行: 1\n");

    // --follow reads what is written later, a line written in two parts as one, until Ctrl+C.
    const std::string growing = file("growing.log", "SendData: aa ff 02 00 00 00 00 00 00 00 00 00 00 00 00 ab \n");
    const std::string followed = folder_ + "/followed";
    const std::string command = "(sleep 0.5; printf 'ReceiveData: aa 01 02 00 00 00 00 00' >>" + Quoted(growing) +
                                "; sleep 0.5; printf ' 00 03 01 00 00 00 00 b1 \\n' >>" + Quoted(growing) +
                                ") & timeout -s INT 2 " + Quoted(RAVO_EXECUTABLE) + " trace --follow " +
                                Quoted(growing) + " >" + Quoted(followed);
    std::system(command.c_str());
    EXPECT_EQ(ReadWholeFile(followed).value_or(""), run.out.substr(0, run.out.find("??")) + "无法解析的行: 0\n");
}

TEST_F(RavoControllerCommand, FactoryCheckPrintsItsOneLineAndFailsOnAFailedCheck) {
    const struct {
        std::optional<float> axis3Speed;
        int status;
        std::string message;
    } steps[] = {{std::nullopt, 0, "数据保存成功，请将控制器断电"}, {12.5f, 1, "外部存储校验错误!"}};
    for (const auto& step : steps) {
        if (step.axis3Speed) controller->overrideReadBack(cmd::Speed, 4, FloatBits(*step.axis3Speed));
        const Outcome run = ravo({"factory-check", "--port", "COM1"});
        EXPECT_EQ(run.status, step.status);
        EXPECT_TRUE(Contains(run.out, step.message)) << run.out;
        EXPECT_EQ(run.out.find('\n'), run.out.size() - 1) << "one line: " << run.out;
        EXPECT_EQ(run.err, "");
    }
}

TEST_F(RavoControllerCommand, InfoPrintsTheToolsStatusText) {
    controller->setVersion(0x0203);
    Outcome run = ravo({"info", "--port", "COM1"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "控制器:2.3版本\n");
    EXPECT_EQ(controller->workMode(), 2);

    run = ravo({"info", "--port", "COM5"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "控制器未连接\n");
    EXPECT_EQ(run.err, "ravo: COM5:打开失败\n");

    controller->setSilent(true);
    run = ravo({"info", "--port", "COM1"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "控制器无应答\n");
}

TEST_F(RavoControllerCommand, PortsListsEveryComNumberWithWhatOpensAndWhyNot) {
    const std::string dir = controller.comDir();
    std::ofstream(dir + "/COM3") << "a plain file where a device should be";
    const Outcome run = ravo({"ports"});
    EXPECT_EQ(run.status, 0) << run.err;
    for (const std::string& line : {"COM0   " + dir + "/COM0  does not exist\n", "COM1   " + dir + "/COM1  opens\n",
                                    "COM3   " + dir + "/COM3  exists, cannot be opened: not a serial port",
                                    "COM19  " + dir + "/COM19  does not exist\n"})
        EXPECT_TRUE(Contains(run.out, line)) << line << "\n" << run.out;
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 20);

    // A USB adapter's stable name is the by-id link that leads to its device.
    const std::string byId = folder_ + "/by-id";
    std::filesystem::create_directory(byId);
    std::filesystem::create_symlink(dir + "/COM1", byId + "/usb-Maker_Adapter_A1-if00-port0");
    EXPECT_EQ(ravo::InspectPort(1, byId).byIdName, byId + "/usb-Maker_Adapter_A1-if00-port0");
    EXPECT_EQ(ravo::InspectPort(2, byId).byIdName, "");
}

// Every failure: status 1, nothing on standard output, one line on standard error; no file
// replaced and nothing sent to the controller.
TEST_F(RavoControllerCommand, ErrorsExitWithOneLineAndNeitherReplaceNorSend) {
    const std::string demo = Demo("点胶示例.kelvane"), data = DEMO_DATA_FOLDER;
    const std::string json = ravo({"export", demo}).out, full = ReadWholeFile(demo).value_or("");
    const std::string target = file("keep.kelvane", "old contents");
    const struct {
        std::vector<std::string> arguments;
        std::string fragment;
    } cases[] = {
        {{"show", folder_ + "/missing.kelvane"}, "missing.kelvane: No such file"},
        {{"show", folder_}, "cannot open " + folder_},  // a file that cannot be read
        {{"export", file("bad.kelvane", "not a program\n")}, "not an application program file"},
        {{"import", folder_ + "/missing.json", target}, "cannot open"},
        {{"import", file("bad.json", "{\"version\": 5,\n"), target}, "JSON line 2"},
        {{"import", file("broken.json", json.substr(0, 200)), target}, "JSON"},
        {{"import", file("demo.json", json), folder_ + "/no-such-folder/o.kelvane"}, "no-such-folder/o.kelvane"},
        {{}, "no command"},
        {{"frobnicate"}, "unknown command"},
        {{"show"}, "usage: ravo show"},
        {{"--bogus", "show", "x"}, "unknown option --bogus"},
        {{"--data", folder_, "list"}, "ApplicationProgramMgr.ini"},
        {{"--data", folder_, "check", demo}, "no instruction catalogue in " + folder_},
        {{"trace", folder_ + "/missing.log"}, "cannot open"},
        {{"download", file("cut.kelvane", full.substr(0, full.size() / 2)), "--port", "COM1"},
         "incomplete or damaged; nothing was sent"},
        {{"--data", data, "download", "没有", "--port", "COM1"}, "ApplicationProgram/没有.kelvane"},
        {{"download", demo, "--port", "COM9"}, "COM9:打开失败"},
        {{"download", demo}, "download needs --port COMn"},
        {{"download", demo, "--port", "ttyS0"}, "--port takes a port such as COM3"},
    };
    for (const auto& c : cases) expectOneLineError(ravo(c.arguments), c.fragment);
    EXPECT_EQ(ReadWholeFile(target), "old contents");
    EXPECT_TRUE(controller->traffic().empty());
}

// COM1..COM999, "COM" in any case or left out.
TEST(PortArgument, TakesUpToThreeDigitsWithOrWithoutCom) {
    EXPECT_EQ(ravo::ParseComPort("COM255"), 255);
    EXPECT_EQ(ravo::ParseComPort("com7"), 7);
    EXPECT_EQ(ravo::ParseComPort("12"), 12);
    for (const char* refused : {"COM1234", "COM", "", "COM1a"})
        EXPECT_THROW(ravo::ParseComPort(refused), ravo::CliError) << refused;
}

TEST(PortOpenFailure, APermissionFailureTellsWhichGroupToJoin) {
    const struct {
        int error;
        const char* group;
        const char* expected;
    } cases[] = {
        {EACCES, "dialout", "add this user to the group dialout (sudo usermod -aG dialout $USER) and log in again"},
        {EACCES, "uucp", "add this user to the group uucp (sudo usermod -aG uucp $USER)"},
        {EACCES, "", "the group dialout"},
        {EBUSY, "dialout", "in use by another program"},
        {ENXIO, "dialout", std::strerror(ENXIO)},
    };
    for (const auto& c : cases)
        EXPECT_TRUE(Contains(ravo::DescribeOpenFailure(c.error, c.group), c.expected)) << c.error << " " << c.group;
}

}  // namespace
