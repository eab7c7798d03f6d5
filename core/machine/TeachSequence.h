// The controller's point-recording function, kept in Modbus registers 360..367 and coils
// 157..159, and what the teach view reads when it is shown.
#pragma once

#include "MachineStatus.h"

#include <cstdint>

namespace kelvane {

// Registers 361 (current record point) and 360 (number of points), shown unsigned.
struct RecordCounters {
    std::uint16_t recordPoint = 0;
    std::uint16_t totalPoints = 0;
};

struct TeachActivation {
    RecordCounters counters;
    AxisValues positions{};
    AxisValues speeds{};
};

// Every input and every output takes part unless the user chose otherwise.
constexpr std::uint32_t kAllTeachIo = 0xFFFFFF;

std::uint16_t ReadRecordPoint();
// Register 361, then 360 (a failed read gives 0).
RecordCounters ReadRecordCounters();

// Register 361, the positions and current speeds of X..W, then registers 361 and 360.
TeachActivation ReadTeachActivation();

void WriteTotalPoints(std::int32_t total);        // low 16 bits into register 360
void WriteRecordPoint(std::int32_t recordPoint);  // low 16 bits into register 361

// Coil 157; then the counters.
RecordCounters StartRecording();
// Masks and delay into registers 362..367, coil 159, a 50 ms pause for the controller to store
// the point, then the counters.
RecordCounters SaveRecordPoint(std::uint32_t inputMask, std::uint32_t outputMask, float delayMs);
// Coil 158.
void EndRecording();

}  // namespace kelvane
