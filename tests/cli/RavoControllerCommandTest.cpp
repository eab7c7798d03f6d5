// ravo's controller commands against a simulated controller on COM1 (RAVO_COM_DIR): what the
// controller holds after a download, the texts and exit status of every outcome, and the
// port listing.
#include "RavoCommandFixture.h"

#include "ApplicationDocument.h"
#include "PortsCommand.h"
#include "WireVocabulary.h"
#include "support/ApplicationOnController.h"
#include "support/SimulatedController.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <optional>

namespace {

using ravo_sim::RequestKind;

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

class RavoControllerCommand : public RavoCommand {
protected:
    SimulatedController controller;
};

TEST_F(RavoControllerCommand, DownloadSendsTheWholeApplicationProgramAsTheFileHoldsIt) {
    const Outcome run = ravo({"--data", DEMO_DATA_FOLDER, "download", "搬运演示", "--port", "COM1"});

    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "用户应用程序下载成功\n");
    EXPECT_EQ(run.err,
              "motor parameters\nperipherals\nuser program 1 of 3 (12 records)\n"
              "user program 2 of 3 (5 records)\nuser program 3 of 3 (4 records)\n")
        << "plain progress lines when stderr is no terminal";
    const ravo::ApplicationDocument document = ravo::LoadApplicationDocument(demo("搬运演示.kelvane"));
    ExpectControllerHoldsApplication(*controller, document.motor, document.peripherals, document.programs);
    EXPECT_EQ(controller->workMode(), 1);
}

std::size_t CountLines(const std::string& text, const std::string& start) {
    std::size_t count = 0;
    for (std::size_t at = 0; at < text.size(); at = text.find('\n', at) + 1)
        count += text.compare(at, start.size(), start) == 0;
    return count;
}

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

TEST_F(RavoControllerCommand, TraceReadsTheLogsOfARealDownloadAndMarksWhatDoesNotParse) {
    ASSERT_EQ(ravo({"--data", DEMO_DATA_FOLDER, "download", "搬运演示", "--port", "COM1"}).status, 0);
    const std::filesystem::path logs = std::filesystem::path(RAVO_EXECUTABLE).parent_path();
    const std::string traffic = (logs / "SericalComInfo.log").string();

    const Outcome all = ravo({"--data", DEMO_DATA_FOLDER, "trace", traffic});
    EXPECT_EQ(all.status, 0) << all.err;
    EXPECT_EQ(CountLines(all.out, "->    "), controller->traffic().size()) << all.out;
    EXPECT_EQ(CountLines(all.out, "<-    "), controller->traffic().size() - 3) << "all but the 3 end frames answered";
    EXPECT_TRUE(
        Contains(all.out, "->    记录 0: 回原点 X轴 正向 20.000  [aa ff 0c 00 00 00 01 00 00 00 00 41 a0 00 00 00]\n"));
    EXPECT_TRUE(Contains(all.out, "->    Modbus 从站 255 功能 5 写线圈 线圈 110"));
    EXPECT_TRUE(EndsWith(
        all.out,
        "->    Ravo_SetWorkMode addr=255 mode=1 argument=0  [aa ff 06 00 00 00 01 00 00 00 00 00 00 00 00 b0]\n"
        "<-    应答 Ravo_SetWorkMode  [aa 01 06 00 00 00 00 00 00 00 00 00 00 00 00 b1]\n"
        "无法解析的行: 0\n"))
        << all.out;

    const Outcome records = ravo({"--data", DEMO_DATA_FOLDER, "trace", (logs / "Ravo_Debug.log").string()});
    EXPECT_EQ(records.status, 0);
    EXPECT_TRUE(Contains(records.out, "== 开始下载 4 条记录\n")) << records.out;
    EXPECT_EQ(CountLines(records.out, "->    记录 "), 4u);
    EXPECT_EQ(CountLines(records.out, "<-    记录应答: 已接受"), 4u);

    // A damaged log still reads: what does not parse is shown marked and counted.
    const std::string damaged = file("damaged.log", ReadWholeFile(traffic).value_or("") + "garbage\n" +
                                                        "SendData: aa ff 02 00 00 00 00 00 00 00 00 00 00 00 00 00 \n");
    const Outcome marked = ravo({"trace", damaged});
    EXPECT_EQ(marked.status, 0);
    EXPECT_TRUE(EndsWith(
        marked.out,
        "?? garbage\n-> !! 无法解码: 校验和错误 (应为 0xab)  [aa ff 02 00 00 00 00 00 00 00 00 00 00 00 00 00]\n"
        "<- !! 超时无应答\n无法解析的行: 1\n"))
        << marked.out;
    expectOneLineError(ravo({"trace", folder_ + "/missing.log"}), "cannot open");

    // --follow reads what is written later, a line written in two parts as one, until Ctrl+C.
    const std::string growing = file("growing.log", "SendData: aa ff 02 00 00 00 00 00 00 00 00 00 00 00 00 ab \n");
    const std::string followed = folder_ + "/followed";
    const std::string command = "(sleep 0.5; printf 'ReceiveData: aa 01 02 00 00 00 00 00' >>" + quoted(growing) +
                                "; sleep 0.5; printf ' 00 03 01 00 00 00 00 b1 \\n' >>" + quoted(growing) +
                                ") & timeout -s INT 2 " + quoted(RAVO_EXECUTABLE) + " trace --follow " +
                                quoted(growing) + " >" + quoted(followed);
    std::system(command.c_str());
    EXPECT_EQ(ReadWholeFile(followed).value_or(""),
              "->    Ravo_GetControllerVersion addr=255  [aa ff 02 00 00 00 00 00 00 00 00 00 00 00 00 ab]\n"
              "<-    应答 Ravo_GetControllerVersion version=3.1  [aa 01 02 00 00 00 00 00 00 03 01 00 00 00 00 b1]\n"
              "无法解析的行: 0\n");
}

TEST_F(RavoControllerCommand, DownloadFailuresPrintBothMessagesAndRefuseToStart) {
    controller->overrideReadBack(121, 1, 3200);  // X reads back another subdivision
    Outcome run = ravo({"download", demo("点胶示例.kelvane"), "--port=com1"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_TRUE(
        Contains(run.err, "motor parameters\nravo: 设置X轴细分数失败2\nravo: 用户程序下载失败_系统参数下载失败！\n"))
        << run.err;
    for (const auto& request : controller->traffic()) EXPECT_NE(request.kind, RequestKind::Record);

    // Nothing reaches the controller when the file is damaged, the name unknown or the port wrong.
    controller->clearTraffic();
    const std::string full = ReadWholeFile(demo("点胶示例.kelvane")).value_or("");
    expectOneLineError(ravo({"download", file("cut.kelvane", full.substr(0, full.size() / 2)), "--port", "COM1"}),
                       "incomplete or damaged; nothing was sent");
    expectOneLineError(ravo({"--data", DEMO_DATA_FOLDER, "download", "没有", "--port", "COM1"}),
                       "ApplicationProgram/没有.kelvane");
    expectOneLineError(ravo({"--data", DEMO_DATA_FOLDER, "download", "a b", "--port", "COM1"}), "not a program name");
    expectOneLineError(ravo({"download", demo("点胶示例.kelvane"), "--port", "COM9"}), "COM9:打开失败");
    expectOneLineError(ravo({"download", demo("点胶示例.kelvane")}), "download needs --port COMn");
    expectOneLineError(ravo({"download", demo("点胶示例.kelvane"), "--port", "ttyS0"}),
                       "--port takes a port such as COM3");
    EXPECT_TRUE(controller->traffic().empty());
}

TEST_F(RavoControllerCommand, FactoryCheckStoresWithoutADatePassesAfterwardsAndFailsOnAWrongSpeed) {
    const struct {
        const char* what;
        std::optional<float> axis3Speed;
        int status;
        std::string message;
    } steps[] = {
        {"no factory date yet", std::nullopt, 0, "数据保存成功，请将控制器断电"},
        {"the date just stored counts", std::nullopt, 0, "外部存储校验通过!"},
        {"axis 3 off the factory speed", 12.5f, 1, "外部存储校验错误!"},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        if (step.axis3Speed) controller->overrideReadBack(130, 4, FloatBits(*step.axis3Speed));
        const Outcome run = ravo({"factory-check", "--port", "COM1"});
        EXPECT_EQ(run.status, step.status);
        EXPECT_TRUE(Contains(run.out, step.message)) << run.out;
        EXPECT_EQ(run.out.find('\n'), run.out.size() - 1) << "one line: " << run.out;
        EXPECT_EQ(run.err, "");
    }
    EXPECT_EQ(controller->axis(3).subdivision, 1600) << "the failed check stored the defaults";
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
