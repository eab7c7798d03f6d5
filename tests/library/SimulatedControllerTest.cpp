// The command exports against the simulated controller: what the controller stores is what the
// caller meant, what it answers reaches the caller, and a missing or cut reply shows as zero.
#include "SimulatedController.h"
#include "TrafficLogFile.h"

#include <Kelvane_Ravo_Q9T2.h>
#include <gtest/gtest.h>

namespace {

using ravo_sim::Fault;
using ravo_sim::RequestKind;

class WithSimulator : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(Ravo_OpenSericalPort(1), 0); }
    void TearDown() override { Ravo_CloseSericalPort(); }
    SimulatedController sim;
};

}  // namespace

TEST_F(WithSimulator, MotorParametersWrittenAreStoredAndReadBack) {
    Ravo_SetMotorDriveDiv(255, 4, 3200);
    Ravo_SetMotorPitch(255, 4, 5.0f);
    Ravo_SetMotorAcc(255, 4, -300);
    Ravo_SetMotorMaxSpeed(255, 4, 12.5f);

    const ravo_sim::AxisState axis3 = sim->axis(3);
    EXPECT_EQ(axis3.subdivision, 3200);
    EXPECT_EQ(axis3.pitch, 5.0f);
    EXPECT_EQ(axis3.acceleration, -300);
    EXPECT_EQ(axis3.maxSpeed, 12.5f);

    int subdivision = 0, acceleration = 0;
    float pitch = 0;
    Ravo_GetMotorDriveDiv(255, 4, &subdivision);
    Ravo_GetMotorPitch(255, 4, &pitch);
    Ravo_GetMotorAcc(255, 4, &acceleration);
    EXPECT_EQ(subdivision, 3200);
    EXPECT_EQ(pitch, 5.0f);
    EXPECT_EQ(acceleration, -300);

    for (const ravo_sim::Request& request : sim->traffic())
        EXPECT_EQ(request.kind, RequestKind::Command) << "every frame has a valid sum";
}

TEST_F(WithSimulator, ControllerStateReachesTheCaller) {
    sim->setVersion(0x0302);
    int version = 0;
    Ravo_GetControllerVersion(255, &version);
    EXPECT_EQ(version, 0x0302);

    Ravo_SetWorkMode(255, 2, 0);
    int mode = 0;
    Ravo_GetWorkMode(255, &mode);
    EXPECT_EQ(sim->workMode(), 2);
    EXPECT_EQ(mode, 2);

    sim->setInput(1, true);
    sim->setInput(24, true);
    int inputs = 0;
    Ravo_GetAllIOPinLevel(255, 65537, &inputs);
    EXPECT_EQ(inputs, 0x800001);

    Ravo_SetIOPinLevel(255, 33 + 256, 1);
    unsigned char level = 0;
    Ravo_GetIOPinLevel(255, 33, &level);
    EXPECT_TRUE(sim->output(33));
    EXPECT_EQ(level, 1);
}

TEST_F(WithSimulator, FactoryDateTravelsThroughRawCommands) {
    int year = 2026, month = 12, day = 6;
    Ravo_CommandRawData(17, &year, &month, &day);
    EXPECT_EQ(sim->factoryDate(), (std::array<std::int32_t, 3>{2026, 12, 6}));

    int read[3] = {-1, -1, -1};
    Ravo_CommandRawData(18, &read[0], &read[1], &read[2]);
    EXPECT_EQ(read[0], 2026);
    EXPECT_EQ(read[1], 12);
    EXPECT_EQ(read[2], 6);
}

TEST_F(WithSimulator, ShortAndMissingRepliesGiveZeroAndNoReceiveLine) {
    sim->setVersion(0x0101);
    for (Fault::Action action : {Fault::Action::ShortReply, Fault::Action::Silent}) {
        Fault fault;
        fault.action = action;
        fault.length = 15;
        sim->inject(fault);
        TrafficLogTail log;
        int version = 7;
        Ravo_GetControllerVersion(255, &version);
        EXPECT_EQ(version, 0);
        EXPECT_EQ(log.text().find("ReceiveData"), std::string::npos);
    }
    int version = 0;
    Ravo_GetControllerVersion(255, &version);
    EXPECT_EQ(version, 0x0101) << "the next exchange is clean again";
}
