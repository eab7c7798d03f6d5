// Cuts the byte stream of the line into requests: 16-byte frames starting with 0xAA and Modbus
// RTU requests for slave 255 (answered whatever the own address) or the simulator's own slave
// address. Bytes that start nothing, and frames that stay incomplete through a silence, become
// Unknown requests.
#pragma once

#include <ravo_sim/Simulator.h>

#include <chrono>
#include <cstdint>
#include <optional>
#include <vector>

namespace ravo_sim {

using Clock = std::chrono::steady_clock;

// What the controller's state says about a candidate.
class FrameJudge {
public:
    virtual ~FrameJudge() = default;
    // Command, Record or EndFrame for a 16-byte frame the controller would take; else Unknown.
    virtual RequestKind judgeFrame(const std::uint8_t* frame) const = 0;
    // The Modbus slave address answered besides 255; 0 when there is none.
    virtual std::uint8_t ownSlaveAddress() const = 0;
};

class RequestFramer {
public:
    // A frame still incomplete after this long without a byte is given up.
    static constexpr std::chrono::milliseconds kSilence{20};

    void feed(const std::uint8_t* data, std::size_t count, Clock::time_point at);
    // The next request that the buffered bytes make, judged against the current state.
    std::optional<Request> next(const FrameJudge& judge);
    // Gives up the incomplete frame at the head of the buffer once the line was silent for
    // kSilence; the bytes after its first one are scanned again.
    void expireIfSilent(Clock::time_point now);
    // When the buffered bytes expire; nothing while the buffer is empty.
    std::optional<Clock::time_point> silenceDeadline() const;

private:
    enum class Candidate { NoStart, NeedMore, Complete };
    Candidate inspectHead(const FrameJudge& judge, std::size_t& length) const;
    RequestKind judge(const FrameJudge& judge, std::size_t length) const;
    void dropHeadToGarbage();
    Request take(std::size_t length, RequestKind kind);
    Request takeGarbage();

    std::vector<std::uint8_t> buffer_;
    std::vector<Clock::time_point> arrivals_;  // one per buffered byte
    std::vector<std::uint8_t> garbage_;
    Clock::time_point garbageSince_;
    bool expired_ = false;  // the line went silent with the head frame incomplete
};

}  // namespace ravo_sim
