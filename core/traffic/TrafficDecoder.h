// Turns the library's transfers, in the order they happened, into readable lines: it tells
// command frames, program records (between work mode 3 and the end frame) and Modbus frames
// apart, pairs each reply with its request and shows the time between them, and gives a read
// that timed out or found the port lost a line of its own.
#pragma once

#include "core/traffic/FrameText.h"

#include <Kelvane_Ravo_Q9T2.h>

#include <cstdint>
#include <string>

namespace kelvane {

// One transfer as Ravo_SetTrafficMonitor reports it, owning its bytes.
struct TrafficTransfer {
    bool sent = true;
    int port = 0;
    FrameBytes bytes;
    std::int64_t timestampUs = -1;  // -1: not known (log files carry no times)
    int outcome = RAVO_TRAFFIC_COMPLETE;
    int awaited = 0;

    static TrafficTransfer FromEvent(const RavoTrafficEvent& event);
};

enum class TrafficKind : std::uint8_t { Command, Record, Modbus, Unknown };

struct TrafficLine {
    std::int64_t timestampUs = -1;
    int port = 0;
    bool sent = true;
    TrafficKind kind = TrafficKind::Unknown;
    bool failed = false;
    std::string text;
    std::string bytes;  // as HexBytes writes them
};

class TrafficDecoder {
public:
    explicit TrafficDecoder(const InstructionCatalogue* catalogue = nullptr) : catalogue_(catalogue) {}

    TrafficLine Decode(const TrafficTransfer& transfer);
    // The frames that follow are program records (a download log's begin line).
    void BeginDownload() { downloading_ = true; }
    // True while the last request sent still waits for its reply.
    bool AwaitsReply() const { return pending_.awaiting; }

private:
    struct Pending {
        bool awaiting = false;
        TrafficKind kind = TrafficKind::Unknown;
        std::uint8_t code = 0;  // command code or Modbus function
        std::int64_t sentAtUs = -1;
    };

    TrafficLine decodeSent(const TrafficTransfer& transfer, TrafficLine line);
    TrafficLine decodeReceived(const TrafficTransfer& transfer, TrafficLine line);

    const InstructionCatalogue* catalogue_;
    bool downloading_ = false;
    Pending pending_;
};

}  // namespace kelvane
