// Writes the peripheral settings of an application program into the controller.
#pragma once

#include "core/application/ApplicationProgramBuffer.h"

namespace kelvane {

// Limit trigger level (coil 110), the limit inputs of axes 1..8, A/D channels 1 and 2 (mode,
// then scale) and encoders 1..3 (line count and ratio, then mode). True when every request got
// its whole reply (what the replies hold is not examined); all are sent either way.
bool DownloadPeripheralParameters(const PeripheralParameterRecord& record);

}  // namespace kelvane
