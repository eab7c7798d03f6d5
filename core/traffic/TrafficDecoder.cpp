#include "core/traffic/TrafficDecoder.h"

#include <cstdio>

namespace kelvane {

namespace {

constexpr std::uint8_t kSetWorkModeCode = 0x06;
constexpr std::size_t kFrameSize = 16;
constexpr std::uint8_t kStartByte = 0xAA;

std::string elapsed(std::int64_t fromUs, std::int64_t toUs) {
    if (fromUs < 0 || toUs < 0) return {};
    char text[32];
    std::snprintf(text, sizeof text, " (%.1f ms)", static_cast<double>(toUs - fromUs) / 1000.0);
    return text;
}

// The text of a transfer that did not move every byte; empty for a complete one.
std::string shortfall(const TrafficTransfer& transfer) {
    char text[64];
    switch (transfer.outcome) {
        case RAVO_TRAFFIC_SHORT:
            std::snprintf(text, sizeof text, "%s (%zu/%d 字节)", transfer.sent ? "未完整发出" : "应答不完整",
                          transfer.bytes.size(), transfer.awaited);
            return text;
        case RAVO_TRAFFIC_NOTHING:
            return transfer.sent ? "未发出" : "超时无应答";
        case RAVO_TRAFFIC_PORT_LOST:
            return "端口已断开";
        default:
            return {};
    }
}

}  // namespace

TrafficTransfer TrafficTransfer::FromEvent(const RavoTrafficEvent& event) {
    TrafficTransfer transfer;
    transfer.sent = event.direction == RAVO_TRAFFIC_SENT;
    transfer.port = event.port;
    if (event.bytes && event.count > 0) transfer.bytes.assign(event.bytes, event.bytes + event.count);
    transfer.timestampUs = event.timestampUs;
    transfer.outcome = event.outcome;
    transfer.awaited = event.awaited;
    return transfer;
}

TrafficLine TrafficDecoder::Decode(const TrafficTransfer& transfer) {
    TrafficLine line;
    line.timestampUs = transfer.timestampUs;
    line.port = transfer.port;
    line.sent = transfer.sent;
    line.bytes = HexBytes(transfer.bytes);
    return transfer.sent ? decodeSent(transfer, std::move(line)) : decodeReceived(transfer, std::move(line));
}

TrafficLine TrafficDecoder::decodeSent(const TrafficTransfer& transfer, TrafficLine line) {
    // What was meant to go out decides the kind; a cut-short write is read as far as it went.
    const FrameBytes& frame = transfer.bytes;
    FrameReading reading;
    Pending next;
    next.sentAtUs = transfer.timestampUs;
    if (downloading_ && IsEndFrame(frame)) {
        downloading_ = false;
        next.kind = TrafficKind::Record;
        reading = EndFrameText(frame);
    } else if (downloading_ && transfer.awaited == static_cast<int>(kFrameSize)) {
        next = {true, TrafficKind::Record, 0, transfer.timestampUs};
        reading = RecordText(frame, catalogue_);
    } else if (transfer.awaited == static_cast<int>(kFrameSize) ||
               (!frame.empty() && frame[0] == kStartByte && !LooksLikeModbusRequest(frame))) {
        next = {true, TrafficKind::Command, frame.size() > 2 ? frame[2] : std::uint8_t{0}, transfer.timestampUs};
        reading = CommandText(frame);
        // Work mode 3 announces the records of a download.
        if (reading.readable && frame[2] == kSetWorkModeCode && frame[6] == RAVO_WORK_MODE_DOWNLOAD)
            downloading_ = true;
    } else {
        next = {true, TrafficKind::Modbus, frame.size() > 1 ? frame[1] : std::uint8_t{0}, transfer.timestampUs};
        reading = ModbusText(frame);
    }
    line.kind = next.kind;
    const std::string missing = shortfall(transfer);
    if (!missing.empty()) {
        // A record or end frame that did not go out ends the download.
        if (next.kind == TrafficKind::Record) downloading_ = false;
        next.awaiting = false;
        reading = {missing, false};
    }
    pending_ = next;
    line.failed = !reading.readable;
    line.text = reading.text;
    return line;
}

TrafficLine TrafficDecoder::decodeReceived(const TrafficTransfer& transfer, TrafficLine line) {
    const Pending request = pending_;
    pending_.awaiting = false;
    line.kind = request.kind;
    const std::string time = elapsed(request.sentAtUs, transfer.timestampUs);
    const std::string missing = shortfall(transfer);
    FrameReading reading;
    if (!missing.empty()) {
        reading = {missing, false};
    } else if (request.kind == TrafficKind::Record) {
        reading = RecordReplyText(transfer.bytes);
    } else if (request.kind == TrafficKind::Modbus) {
        reading = ModbusReplyText(request.code, transfer.bytes);
    } else {
        reading = CommandReplyText(request.code, transfer.bytes);
    }
    // A record that failed ends the download: the library falls back to work mode 2.
    if (request.kind == TrafficKind::Record && !reading.readable) downloading_ = false;
    line.failed = !reading.readable;
    line.text = reading.text + time;
    return line;
}

}  // namespace kelvane
