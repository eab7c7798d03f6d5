// Puts replies on the line: at once, or paced at the wire time of 19200 baud (10 bits per
// byte), counting the wire time of the request they answer.
#pragma once

#include "Wire.h"

#include <chrono>
#include <cstddef>

namespace ravo_sim {

class ReplySender {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::nanoseconds kByteTime{520833};

    // `wakeFd` becomes readable when the simulator stops; waits end early then.
    explicit ReplySender(int wakeFd) : wakeFd_(wakeFd) {}

    struct Timing {
        Clock::time_point requestStart;  // arrival of the request's first byte
        std::size_t requestLength = 0;
        std::chrono::milliseconds delay{0};  // extra wait before replying
        bool paced = false;
    };

    void send(int fd, const Bytes& reply, const Timing& timing) const;

private:
    bool waitUntil(Clock::time_point deadline) const;  // false when stopping
    bool writeAll(int fd, const std::uint8_t* data, std::size_t count) const;

    int wakeFd_;
};

}  // namespace ravo_sim
