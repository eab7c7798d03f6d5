// Writes the motor parameters of an application program into the controller, reading each
// written value back.
#pragma once

#include "core/application/ApplicationProgramBuffer.h"

#include <string>

namespace kelvane {

struct MotorDownloadResult {
    bool succeeded = true;
    std::string message;  // UTF-8 text for the user when the download failed
};

// Pulses per revolution, then pitch, then acceleration coefficient of axes 1..8, each read
// back and compared exactly; then the minimum speed of axes 1..6, each of which must get its
// reply. The first
// failure ends the download; values written before it stay in the controller. Backlash,
// deceleration and the minimum speed of axes 7 and 8 belong to the file only.
MotorDownloadResult DownloadMotorParameters(const MotorParameterRecord& record);

}  // namespace kelvane
