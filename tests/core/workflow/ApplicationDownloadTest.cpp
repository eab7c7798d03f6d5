// The whole-application download through the real library to a simulated controller: the
// order of everything sent, what the controller holds afterwards, progress, and where each
// kind of failure stops.
#include "core/traffic/TrafficDecoder.h"
#include "core/workflow/ApplicationDownload.h"

#include "TrafficText.h"
#include "WireVocabulary.h"
#include "support/ApplicationOnController.h"
#include "support/ConnectedControllerTest.h"

#include <cstring>
#include <tuple>

namespace {

using kelvane::DownloadProgress;
using kelvane::DownloadStep;
using kelvane::ProgramImage;

ProgramImage Program(int lines, std::uint8_t code) {
    ProgramImage program;
    program.lineCount = static_cast<std::uint16_t>(lines);
    for (int i = 0; i < lines; ++i)
        program.records[i].bytes = {0xAA, 0xFF, code, 0, 0, 0, static_cast<std::uint8_t>(i + 1), 0, 0, 0, 7};
    return program;
}

// For axes 1..8: the setter, then its read-back query.
std::vector<std::string> WithReadBack(int set, int get) {
    std::vector<std::string> words;
    for (std::uint32_t mask = 1; mask <= 128; mask <<= 1) words += {CommandWord(set, mask), CommandWord(get, mask)};
    return words;
}

class ApplicationDownloadTest : public ConnectedControllerTest {
protected:
    ApplicationDownloadTest() {
        kelvane::ApplicationProgramBuffer buffer;
        kelvane::ResetApplicationBuffer(buffer);
        motor = buffer.motor;
        motor.axes[1] = {3200, 4.5f, 0.25f, 12, 9, 1.5f};
        motor.axes[6] = {800, 2.0f, 0, 3, 3, 7.0f};  // axis 7: no minimum speed on the wire
        peripherals.limitTriggerLevel = 1;
        peripherals.limits = {1, 2, 0, 24, 15, 16};
        peripherals.analogue = {{{7, 0.5f, 10.0f}, {2, -1.0f, 100.0f}}};
        peripherals.encoders = {{{1, 1000, 4.0f}, {30, 500, 0.5f}, {0, 0, 0}}};
    }

    kelvane::ApplicationDownloadResult download(const std::vector<ProgramImage>& images) {
        std::vector<kelvane::ProgramRecords> programs;
        for (const ProgramImage& image : images) programs.push_back({image.records.data(), image.lineCount});
        return kelvane::DownloadApplication(motor, peripherals, programs,
                                            [&](const DownloadProgress& p) { progress.push_back(p); });
    }
    std::vector<std::tuple<DownloadStep, int, int, int, int>> progressSeen() const {
        std::vector<std::tuple<DownloadStep, int, int, int, int>> seen;
        for (const DownloadProgress& p : progress)
            seen.emplace_back(p.step, p.program, p.programCount, p.record, p.recordCount);
        return seen;
    }

    kelvane::MotorParameterRecord motor;
    kelvane::PeripheralParameterRecord peripherals;
    std::vector<DownloadProgress> progress;
};

std::vector<std::string> MotorAndPeripheralTraffic() {
    std::vector<std::string> words = WithReadBack(120, 121);
    words += WithReadBack(122, 123);
    words += WithReadBack(124, 125);
    words += PerAxis(129, 6);
    words.push_back("mb5");  // coil 110, the limit trigger level
    words += PerAxis(24, 8);
    words += {"c32:1", "c33:1", "c32:2", "c33:2", "c29:1", "c30:1", "c29:2", "c30:2", "c29:3", "c30:3"};
    return words;
}

void KeepTransfer(const RavoTrafficEvent* event, void* transfers) {
    static_cast<std::vector<kelvane::TrafficTransfer>*>(transfers)->push_back(
        kelvane::TrafficTransfer::FromEvent(*event));
}

TEST_F(ApplicationDownloadTest, SendsMotorPeripheralsAndEveryProgramThenWorkModeOne) {
    const std::vector<ProgramImage> programs = {Program(3, 10), Program(1, 51)};

    std::vector<kelvane::TrafficTransfer> monitored;
    Ravo_SetTrafficMonitor(KeepTransfer, &monitored);
    const kelvane::ApplicationDownloadResult result = download(programs);
    Ravo_SetTrafficMonitor(nullptr, nullptr);

    EXPECT_TRUE(result.succeeded);
    EXPECT_EQ(result.message, "用户应用程序下载成功");
    EXPECT_EQ(result.stepMessage, "");
    std::vector<std::string> expected = MotorAndPeripheralTraffic();
    expected += {"c6:3", "rec", "rec", "rec", "end", "c6:3", "rec", "end", "c6:1"};
    EXPECT_EQ(TrafficWords(*controller), Lines(expected));
    ExpectControllerHoldsApplication(*controller, motor, peripherals, programs);
    EXPECT_EQ(controller->workMode(), 1);

    // The traffic monitor heard exactly the frames the controller got, each answered one with
    // its whole reply, and the decoder reads them as the controller did.
    kelvane::TrafficDecoder decoder;
    const std::vector<ravo_sim::Request> traffic = controller->traffic();
    std::size_t sent = 0;
    for (const kelvane::TrafficTransfer& transfer : monitored) {
        EXPECT_EQ(transfer.port, 1);
        EXPECT_EQ(transfer.outcome, RAVO_TRAFFIC_COMPLETE);
        const kelvane::TrafficLine line = decoder.Decode(transfer);
        EXPECT_FALSE(line.failed) << line.text;
        if (!transfer.sent) continue;
        ASSERT_LT(sent, traffic.size());
        const ravo_sim::Request& request = traffic[sent++];
        EXPECT_EQ(transfer.bytes, request.bytes) << line.text;
        const auto kind = request.kind == ravo_sim::RequestKind::Command  ? kelvane::TrafficKind::Command
                          : request.kind == ravo_sim::RequestKind::Modbus ? kelvane::TrafficKind::Modbus
                                                                          : kelvane::TrafficKind::Record;
        EXPECT_EQ(line.kind, kind) << line.text;
    }
    EXPECT_EQ(sent, traffic.size());
    EXPECT_EQ(monitored.size(), 2 * sent - 2) << "a reply to everything but the two end frames";

    using S = DownloadStep;
    EXPECT_EQ(progressSeen(),
              (std::vector<std::tuple<DownloadStep, int, int, int, int>>{{S::MotorParameters, 0, 2, 0, 0},
                                                                         {S::Peripherals, 0, 2, 0, 0},
                                                                         {S::UserPrograms, 0, 2, 0, 3},
                                                                         {S::UserPrograms, 0, 2, 1, 3},
                                                                         {S::UserPrograms, 0, 2, 2, 3},
                                                                         {S::UserPrograms, 0, 2, 3, 3},
                                                                         {S::UserPrograms, 1, 2, 0, 1},
                                                                         {S::UserPrograms, 1, 2, 1, 1}}));
}

// The message names the value and the axis (digits for axes 7 and 8); the traffic ends with the
// query whose answer differed.
TEST_F(ApplicationDownloadTest, AReadBackMismatchStopsBeforeThePeripherals) {
    const std::vector<std::string> motorTraffic = MotorAndPeripheralTraffic();
    const struct {
        int query;
        std::uint32_t axisMask;
        std::uint32_t answer;
        std::size_t sent;
        const char* stepMessage;
    } cases[] = {
        {121, 64, 0, 14, "设置7轴细分数失败2"},
        {123, 4, FloatBits(5.01f), 22, "设置Z轴螺距失败2"},
        {125, 32, 11, 44, "设置W轴加速系数失败2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stepMessage);
        controller->clearFaults();
        controller->clearTraffic();
        progress.clear();
        controller->overrideReadBack(c.query, c.axisMask, c.answer);

        const kelvane::ApplicationDownloadResult result = download({Program(2, 10)});

        EXPECT_FALSE(result.succeeded);
        EXPECT_EQ(std::make_tuple(result.failedStep, result.stepMessage, result.message),
                  std::make_tuple(DownloadStep::MotorParameters, std::string(c.stepMessage),
                                  std::string("用户程序下载失败_系统参数下载失败！")));
        EXPECT_EQ(TrafficWords(*controller),
                  Lines(std::vector<std::string>(motorTraffic.begin(), motorTraffic.begin() + c.sent)));
        EXPECT_EQ(progress.size(), 1u) << "only the motor parameters began";
    }
}

// Settings that are not read back must at least get their reply: one that did not may not
// have arrived, and the download must not go on to report success.
TEST_F(ApplicationDownloadTest, AnUnansweredMinimumSpeedOrPeripheralStopsBeforeThePrograms) {
    std::vector<std::string> toFirstMinimumSpeed = WithReadBack(120, 121);
    toFirstMinimumSpeed += WithReadBack(122, 123);
    toFirstMinimumSpeed += WithReadBack(124, 125);
    toFirstMinimumSpeed.push_back(CommandWord(129, 1));
    const struct {
        int command;
        DownloadStep step;
        const char* stepMessage;
        std::vector<std::string> traffic;
    } cases[] = {
        {129, DownloadStep::MotorParameters, "设置X轴最小速度失败1", toFirstMinimumSpeed},
        {30, DownloadStep::Peripherals, "外设参数下载失败，控制器未应答", MotorAndPeripheralTraffic()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        controller->clearTraffic();
        controller->inject({ravo_sim::Fault::Action::Silent, ravo_sim::RequestKind::Command, c.command});

        const kelvane::ApplicationDownloadResult result = download({Program(2, 10)});

        EXPECT_FALSE(result.succeeded);
        EXPECT_EQ(
            std::make_tuple(result.failedStep, result.stepMessage, result.message),
            std::make_tuple(c.step, std::string(c.stepMessage), std::string("用户程序下载失败_系统参数下载失败！")));
        EXPECT_EQ(TrafficWords(*controller), Lines(c.traffic));
    }
}

TEST_F(ApplicationDownloadTest, ARejectedRecordStopsBeforeLaterProgramsWithoutWorkModeOne) {
    // Program 0 has one record, so record index 2 is met in program 1.
    controller->inject({ravo_sim::Fault::Action::RejectRecord, ravo_sim::RequestKind::Record, 2});

    const kelvane::ApplicationDownloadResult result = download({Program(1, 10), Program(3, 11), Program(1, 12)});

    EXPECT_FALSE(result.succeeded);
    EXPECT_EQ(result.failedStep, DownloadStep::UserPrograms);
    EXPECT_EQ(result.stepMessage, "用户程序下载失败[应用程序：1],  下载2/3时出现错误");
    EXPECT_EQ(result.message, "用户程序下载失败_应用程序下载失败！");
    std::vector<std::string> expected = MotorAndPeripheralTraffic();
    // The library falls back to work mode 2 itself; program 2 and work mode 1 never follow.
    expected += {"c6:3", "rec", "end", "c6:3", "rec", "rec", "rec", "c6:2"};
    EXPECT_EQ(TrafficWords(*controller), Lines(expected));
    EXPECT_EQ(progressSeen().back(), std::make_tuple(DownloadStep::UserPrograms, 1, 3, 2, 3))
        << "progress ends at the last record program 1 got in";

    // The library's progress callback was taken back: a later download reports to nobody.
    const std::size_t reports = progress.size();
    const ProgramImage one = Program(1, 10);
    ASSERT_EQ(Ravo_SetUserProgram(one.records[0].bytes.data(), 1), RAVO_OK);
    EXPECT_EQ(Ravo_DownLoadProgram(0), RAVO_OK);
    EXPECT_EQ(progress.size(), reports);
}

}  // namespace
