// Compares what a simulated controller was sent with an application program: the motor
// parameters the download writes, the peripheral settings as the wire carries them, and the
// records of every user program.
#pragma once

#include "core/application/ApplicationProgramBuffer.h"
#include "core/machine/ControllerAxes.h"
#include "core/machine/PeripheralCodes.h"

#include <ravo_sim/Simulator.h>

#include <gtest/gtest.h>

#include <vector>

inline void ExpectControllerHoldsApplication(const ravo_sim::Simulator& controller,
                                             const kelvane::MotorParameterRecord& motor,
                                             const kelvane::PeripheralParameterRecord& peripherals,
                                             const std::vector<kelvane::ProgramImage>& programs) {
    using namespace kelvane;
    for (int axis = 1; axis <= kMotorAxes; ++axis) {
        const AxisParameters& expected = motor.axes[axis - 1];
        const ravo_sim::AxisState held = controller.axis(axis);
        EXPECT_EQ(held.subdivision, expected.subdivision) << "axis " << axis;
        EXPECT_EQ(held.pitch, expected.pitch) << "axis " << axis;
        EXPECT_EQ(held.acceleration, expected.acceleration) << "axis " << axis;
        if (axis <= kOperatedAxes) {
            EXPECT_EQ(held.minSpeed, expected.minimumSpeed) << "axis " << axis;
        }

        const ravo_sim::LimitInputs limits = controller.limitInputs(axis);
        EXPECT_EQ(limits.negative, LimitInputSent(peripherals.limits[2 * (axis - 1)])) << "axis " << axis;
        EXPECT_EQ(limits.positive, LimitInputSent(peripherals.limits[2 * (axis - 1) + 1])) << "axis " << axis;
    }
    EXPECT_EQ(controller.coil(110), peripherals.limitTriggerLevel != 0);
    for (int channel = 1; channel <= 2; ++channel) {
        const AnalogueInput& expected = peripherals.analogue[channel - 1];
        const ravo_sim::AnalogueChannelState held = controller.analogueChannel(channel);
        EXPECT_EQ(held.mode, static_cast<std::uint32_t>(AnalogueModeSent(expected.function))) << "A/D " << channel;
        EXPECT_EQ(held.minimum, expected.minimum) << "A/D " << channel;
        EXPECT_EQ(held.maximum, expected.maximum) << "A/D " << channel;
    }
    for (int encoder = 1; encoder <= 3; ++encoder) {
        const EncoderSettings& expected = peripherals.encoders[encoder - 1];
        const ravo_sim::EncoderState held = controller.encoder(encoder);
        EXPECT_EQ(held.lines, expected.lines) << "encoder " << encoder;
        EXPECT_EQ(held.ratio, expected.ratio) << "encoder " << encoder;
        EXPECT_EQ(held.mode, static_cast<std::uint32_t>(EncoderModeSent(expected.mode))) << "encoder " << encoder;
    }
    for (std::size_t p = 0; p < programs.size(); ++p) {
        auto held = controller.program(static_cast<int>(p));
        ASSERT_EQ(held.size(), programs[p].lineCount) << "program " << p;
        for (std::size_t i = 0; i < held.size(); ++i) {
            held[i][15] = 0;  // the record index the wire carries
            EXPECT_EQ(held[i], programs[p].records[i].bytes) << "program " << p << " line " << i;
        }
    }
}
