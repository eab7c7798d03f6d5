// The controller's command codes and the float encoding as the tests name them. Written here once
// and apart from the library's own command table, so that a wrong code there shows.
#pragma once

#include <cstdint>
#include <cstring>

namespace cmd {
constexpr int Version = 2, SetRs485Address = 4, GetRs485Address = 5, SetWorkMode = 6, StoreFactoryDate = 17,
              SetPin = 21, GetPin = 22, GetAllPins = 23, Limits = 24, EncoderLines = 29, EncoderMode = 30,
              AnalogueMode = 32, AnalogueScale = 33, SetSubdivision = 120, GetSubdivision = 121, SetPitch = 122,
              GetPitch = 123, SetAcceleration = 124, GetAcceleration = 125, MaxSpeed = 128, SetMinimumSpeed = 129,
              Speed = 130, Move = 131, GoPosition = 132, QuickStop = 133, SlowStop = 134, ClearPosition = 136,
              Position = 137, JogLeft = 180, JogRight = 181;
}  // namespace cmd

// A float parameter goes over the wire as its IEEE-754 bit pattern.
inline std::uint32_t FloatBits(float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}
