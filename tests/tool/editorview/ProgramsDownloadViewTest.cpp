// "DownloadPrograms" of the editor view: the grid as shown is committed and every program's
// records reach its slot in the controller; a failure names the program, the record and the
// line count, and stops before work mode 1.
#include "EditorViewFixture.h"

namespace {

using ravo_sim::Fault;
using ravo_sim::RequestKind;

constexpr std::uint8_t kDelay = 50, kHome = 12;
constexpr int kParameter1 = 3;

class ProgramsDownloadViewTest : public EditorViewTest {
protected:
    void SetUp() override {
        EditorViewTest::SetUp();
        load(
            {Program({Line(kHome, 1), Line(kDelay, 5)}), Program({Line(kDelay, 7), Line(kDelay, 8), Line(kDelay, 9)})});
    }
    // The records the controller holds in slot `slot`, without the index byte.
    std::vector<kelvane::LineRecord> received(int slot) {
        std::vector<kelvane::LineRecord> records;
        for (auto bytes : controller->program(slot)) {
            bytes[15] = 0;
            records.push_back({bytes});
        }
        return records;
    }
    std::vector<std::string> workModes() {
        std::vector<std::string> modes;
        for (const std::string& line : takeTraffic())
            if (line.rfind("C6 ", 0) == 0) modes.push_back(line);
        return modes;
    }
};

TEST_F(ProgramsDownloadViewTest, SendsWhatTheGridShowsThenWorkModeOneAndTellsTheSuccess) {
    grid().SetItemText(0, kParameter1, QStringLiteral("77"));  // program 1 is shown; not committed yet

    EXPECT_EQ(view.DownloadPrograms(1), 0);

    EXPECT_EQ(received(0), (std::vector<kelvane::LineRecord>{Line(kHome, 1), Line(kDelay, 5)}));
    EXPECT_EQ(received(1), (std::vector<kelvane::LineRecord>{Line(kDelay, 77), Line(kDelay, 8), Line(kDelay, 9)}));
    EXPECT_EQ(workModes(), (std::vector<std::string>{Cmd(6, {3, 0}), Cmd(6, {3, 1}), Cmd(6, {1, 0})}));
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text, QStringLiteral("应用程序下载成功"));
    EXPECT_EQ(prompter.shown[0].caption, QStringLiteral("正确信息"));
}

TEST_F(ProgramsDownloadViewTest, AFailureNamesProgramRecordAndLineCountAndSendsNoWorkModeOne) {
    controller->inject({Fault::Action::RejectRecord, RequestKind::Record, 2});  // program 0 has no record 2

    EXPECT_EQ(view.DownloadPrograms(0), 1);

    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text, QStringLiteral("用户程序下载失败[应用程序：1],  下载2/3时出现错误"));
    EXPECT_EQ(prompter.shown[0].caption, QStringLiteral("错误信息"));
    EXPECT_EQ(received(0).size(), 2u);
    EXPECT_EQ(received(1).size(), 2u);
    EXPECT_EQ(workModes(), (std::vector<std::string>{Cmd(6, {3, 0}), Cmd(6, {3, 1}), Cmd(6, {2, 1})}));
}

}  // namespace
