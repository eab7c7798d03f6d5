// Compares what a simulated controller was sent with an application program: the motor
// parameters the download writes, the peripheral settings as the wire carries them, and the
// records of every user program. Each difference is one line of text.
#pragma once

#include "core/application/ApplicationProgramBuffer.h"
#include "core/machine/ControllerAxes.h"
#include "core/machine/PeripheralCodes.h"

#include <ravo_sim/Simulator.h>

#include <sstream>
#include <string>
#include <vector>

class ApplicationMismatches {
public:
    ApplicationMismatches(const ravo_sim::Simulator& controller, const kelvane::MotorParameterRecord& motor,
                          const kelvane::PeripheralParameterRecord& peripherals,
                          const std::vector<kelvane::ProgramImage>& programs) {
        using namespace kelvane;
        for (int axis = 1; axis <= kMotorAxes; ++axis) {
            const AxisParameters& expected = motor.axes[axis - 1];
            const ravo_sim::AxisState held = controller.axis(axis);
            compare("subdivision", axis, held.subdivision, expected.subdivision);
            compare("pitch", axis, held.pitch, expected.pitch);
            compare("acceleration", axis, held.acceleration, expected.acceleration);
            if (axis <= kOperatedAxes) compare("minimum speed", axis, held.minSpeed, expected.minimumSpeed);

            const ravo_sim::LimitInputs limits = controller.limitInputs(axis);
            compare("negative limit", axis, limits.negative, LimitInputSent(peripherals.limits[2 * (axis - 1)]));
            compare("positive limit", axis, limits.positive, LimitInputSent(peripherals.limits[2 * (axis - 1) + 1]));
        }
        compare("limit level coil", 110, controller.coil(110), peripherals.limitTriggerLevel != 0);
        for (int channel = 1; channel <= 2; ++channel) {
            const AnalogueInput& expected = peripherals.analogue[channel - 1];
            const ravo_sim::AnalogueChannelState held = controller.analogueChannel(channel);
            compare("A/D mode", channel, held.mode, static_cast<std::uint32_t>(AnalogueModeSent(expected.function)));
            compare("A/D minimum", channel, held.minimum, expected.minimum);
            compare("A/D maximum", channel, held.maximum, expected.maximum);
        }
        for (int encoder = 1; encoder <= 3; ++encoder) {
            const EncoderSettings& expected = peripherals.encoders[encoder - 1];
            const ravo_sim::EncoderState held = controller.encoder(encoder);
            compare("encoder lines", encoder, held.lines, expected.lines);
            compare("encoder ratio", encoder, held.ratio, expected.ratio);
            compare("encoder mode", encoder, held.mode, static_cast<std::uint32_t>(EncoderModeSent(expected.mode)));
        }
        for (std::size_t p = 0; p < programs.size(); ++p) {
            auto held = controller.program(static_cast<int>(p));
            if (held.size() != programs[p].lineCount) {
                compare("program length", static_cast<int>(p), held.size(), std::size_t{programs[p].lineCount});
                continue;
            }
            for (std::size_t i = 0; i < held.size(); ++i) {
                held[i][15] = 0;  // the record index the wire carries
                if (held[i] != programs[p].records[i].bytes)
                    texts_.push_back("program " + std::to_string(p) + " line " + std::to_string(i) + " differs");
            }
        }
    }

    const std::vector<std::string>& texts() const { return texts_; }

private:
    template <typename Held, typename Expected>
    void compare(const char* what, int number, const Held& held, const Expected& expected) {
        if (held == expected) return;
        std::ostringstream text;
        text << what << " " << number << ": " << held << ", expected " << expected;
        texts_.push_back(text.str());
    }

    std::vector<std::string> texts_;
};
