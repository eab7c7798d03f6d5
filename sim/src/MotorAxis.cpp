#include "MotorAxis.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace ravo_sim {
namespace {

double secondsBetween(MotorAxis::Clock::time_point from, MotorAxis::Clock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

}  // namespace

float MotorAxis::speedOr(float fallback) const { return std::isfinite(maxSpeed) && maxSpeed > 0 ? maxSpeed : fallback; }

float MotorAxis::position(Clock::time_point now) const {
    if (direction_ == 0) return origin_;
    const double travelled = speed_ * secondsBetween(segmentStart_, now);
    const double position = origin_ + direction_ * travelled;
    if (target_ && (direction_ > 0 ? position >= *target_ : position <= *target_)) return *target_;
    const double limit = std::numeric_limits<float>::max();
    return static_cast<float>(std::clamp(position, -limit, limit));
}

bool MotorAxis::isRunning(Clock::time_point now) const { return direction(now) != 0; }

int MotorAxis::direction(Clock::time_point now) const {
    if (direction_ == 0) return 0;
    if (target_ && position(now) == *target_) return 0;
    return direction_;
}

void MotorAxis::startSegment(Clock::time_point now) {
    origin_ = position(now);
    segmentStart_ = now;
}

void MotorAxis::jog(int direction, Clock::time_point now) {
    startSegment(now);
    direction_ = direction < 0 ? -1 : 1;
    speed_ = speedOr(kDefaultJogSpeed);
    target_.reset();
}

void MotorAxis::moveTo(float target, Clock::time_point now) {
    if (!std::isfinite(target)) return;
    startSegment(now);
    target_.reset();
    speed_ = speedOr(0);
    if (speed_ == 0 || target == origin_) {
        origin_ = target;
        direction_ = 0;
        return;
    }
    direction_ = target > origin_ ? 1 : -1;
    target_ = target;
}

void MotorAxis::stop(Clock::time_point now) {
    startSegment(now);
    direction_ = 0;
    target_.reset();
}

void MotorAxis::clearPosition() {
    origin_ = 0;
    direction_ = 0;
    target_.reset();
}

AxisState MotorAxis::snapshot(Clock::time_point now) const {
    AxisState state;
    state.subdivision = subdivision;
    state.pitch = pitch;
    state.maxSpeed = maxSpeed;
    state.minSpeed = minSpeed;
    state.acceleration = acceleration;
    state.deceleration = deceleration;
    state.position = position(now);
    state.direction = direction(now);
    return state;
}

}  // namespace ravo_sim
