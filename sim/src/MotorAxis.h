// One axis of the controller: its parameters as last written, and a position that moves at the
// axis's maximum speed while it jogs or runs to a target.
#pragma once

#include <ravo_sim/Simulator.h>

#include <chrono>
#include <optional>

namespace ravo_sim {

class MotorAxis {
public:
    using Clock = std::chrono::steady_clock;

    // Jogs run at this speed (units per second) while the maximum speed is not set (0).
    static constexpr float kDefaultJogSpeed = 10.0f;

    std::int32_t subdivision = 0;
    float pitch = 0, maxSpeed = 0, minSpeed = 0;
    std::int32_t acceleration = 0, deceleration = 0;

    float position(Clock::time_point now) const;
    bool isRunning(Clock::time_point now) const;
    int direction(Clock::time_point now) const;  // -1, 0, +1

    // Runs without end in `direction` (-1 or +1) until stopped.
    void jog(int direction, Clock::time_point now);
    // Runs to `target`; with no maximum speed set the axis is there at once.
    void moveTo(float target, Clock::time_point now);
    void stop(Clock::time_point now);
    // Position 0, axis stopped.
    void clearPosition();

    AxisState snapshot(Clock::time_point now) const;

private:
    float speedOr(float fallback) const;
    void startSegment(Clock::time_point now);

    float origin_ = 0;  // position at segmentStart_
    Clock::time_point segmentStart_{};
    int direction_ = 0;
    float speed_ = 0;
    std::optional<float> target_;
};

}  // namespace ravo_sim
