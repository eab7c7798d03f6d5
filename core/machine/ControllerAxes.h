// Addressing and axis names shared by the machine views and their controller sequences.
#pragma once

#include <Kelvane_Ravo_Q9T2.h>

namespace kelvane {

// Every command and Modbus request goes to the address the attached controller answers
// whatever address it is set to.
constexpr int kControllerAddress = RAVO_ANY_CONTROLLER_ADDRESS;

// The axes the operation views drive: X, Y, Z, U, V, W.
constexpr int kOperatedAxes = 6;

// Axis n (1..8) as the user interface names it: the operated axes X..W, then 7 and 8, which
// only the motor parameter tables carry. (The application program file calls axes 4..6 A, B, C.)
inline constexpr const char* kAxisNames[] = {"X", "Y", "Z", "U", "V", "W", "7", "8"};
constexpr const char* AxisName(int axis) { return kAxisNames[axis - 1]; }

// Axis n (1..8) as the one-bit mask the motor commands take.
constexpr int AxisMask(int axis) { return 1 << (axis - 1); }

// Whether the exchange just made on the command port got its whole reply. The controller
// commands return RAVO_OK whatever happened, so a request that may not have arrived shows only
// here.
inline bool LastExchangeAnswered() { return Ravo_GetLinkState() == RAVO_LINK_OK; }

}  // namespace kelvane
