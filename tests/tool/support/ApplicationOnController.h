// Expects a simulated controller to hold an application program (ApplicationMismatches.h).
#pragma once

#include "support/ApplicationMismatches.h"

#include <gtest/gtest.h>

inline void ExpectControllerHoldsApplication(const ravo_sim::Simulator& controller,
                                             const kelvane::MotorParameterRecord& motor,
                                             const kelvane::PeripheralParameterRecord& peripherals,
                                             const std::vector<kelvane::ProgramImage>& programs) {
    const ApplicationMismatches mismatches(controller, motor, peripherals, programs);
    for (const std::string& text : mismatches.texts()) ADD_FAILURE() << text;
}
