// Connecting: the port opens, work mode 2 and the version query follow, and the status text
// shows the version; a port that does not open says so and sends nothing.
#include "core/workflow/ControllerConnection.h"

#include "WorkflowFixture.h"

namespace {

class ConnectControllerTest : public ::testing::Test {
protected:
    void SetUp() override {
        static const bool initialised = (Ravo_GlobalInit(), true);
        (void)initialised;
    }
    void TearDown() override { Ravo_CloseSericalPort(); }

    SimulatedController controller;
};

TEST_F(ConnectControllerTest, ShowsTheVersionAfterWorkModeTwo) {
    controller->setVersion(0x0203);
    const kelvane::ConnectResult result = kelvane::ConnectController(1);
    EXPECT_TRUE(result.opened);
    EXPECT_EQ(result.failureMessage, "");
    EXPECT_EQ(result.statusText, "控制器:2.3版本");
    EXPECT_EQ(TrafficWords(*controller), "c6:2\nc2:0\n");
    EXPECT_EQ(controller->workMode(), 2);
}

TEST_F(ConnectControllerTest, APortThatDoesNotOpenIsNotConnected) {
    const kelvane::ConnectResult result = kelvane::ConnectController(7);
    EXPECT_FALSE(result.opened);
    EXPECT_EQ(result.failureMessage, "COM7:打开失败");
    EXPECT_EQ(result.statusText, "控制器未连接");
    EXPECT_TRUE(controller->traffic().empty());
}

}  // namespace
