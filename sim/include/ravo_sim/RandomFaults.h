// A seeded random fault plan, as a bad line and a flaky adapter would give: each request meets a
// fault with probability `rate`, of a kind drawn at random among those that fit it. The same
// seed and traffic give the same faults.
#pragma once

#include <ravo_sim/Simulator.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <random>
#include <string>

namespace ravo_sim {

enum class RandomFault {
    LostReply,      // no reply, the request not applied
    CutShort,       // the reply cut short
    Corrupted,      // a garbled reply with a wrong checksum (CRC for Modbus)
    Late,           // the reply only after the client's read time-out
    RefusedRecord,  // a program record refused (status 1)
    Silence,        // no reply to anything for a while
    Unplugged,      // the adapter pulled for a while
};
inline constexpr int kRandomFaultKinds = 7;
struct RandomFaultCounts {
    std::array<std::uint64_t, kRandomFaultKinds> byKind{};
    std::uint64_t& operator[](RandomFault kind) { return byKind[static_cast<std::size_t>(kind)]; }
    std::uint64_t operator[](RandomFault kind) const { return byKind[static_cast<std::size_t>(kind)]; }
};

const char* RandomFaultName(RandomFault kind);

struct RandomFaultSettings {
    std::uint32_t seed = 1;
    double rate = 0;  // faults per request, 0..1
};

// "SEED:RATE" (e.g. "7:0.01"); nothing when the text is not one.
std::optional<RandomFaultSettings> ParseRandomFaultSettings(const std::string& text);

class RandomFaults {
public:
    using Clock = std::chrono::steady_clock;

    explicit RandomFaults(RandomFaultSettings settings);

    // The fault for a request of `kind` received at `now`, if any. A silence answers every
    // request until it ends.
    std::optional<Fault> next(RequestKind kind, Clock::time_point now);
    const RandomFaultCounts& counts() const { return counts_; }

private:
    int between(int lowest, int highest);

    double rate_;
    std::mt19937 random_;
    std::optional<Clock::time_point> silentUntil_;
    RandomFaultCounts counts_{};
};

}  // namespace ravo_sim
