#include "RequestFramer.h"

#include "Wire.h"

namespace ravo_sim {
namespace {

constexpr std::size_t kModbusFixedLength = 8;      // functions 1..6
constexpr std::size_t kModbusWriteHeader = 7;      // functions 15, 16 up to the byte count
constexpr std::uint8_t kModbusMaxByteCount = 246;  // 123 registers

}  // namespace

void RequestFramer::feed(const std::uint8_t* data, std::size_t count, Clock::time_point at) {
    buffer_.insert(buffer_.end(), data, data + count);
    arrivals_.insert(arrivals_.end(), count, at);
    expired_ = false;
}

std::optional<Clock::time_point> RequestFramer::silenceDeadline() const {
    if (buffer_.empty()) return std::nullopt;
    return arrivals_.back() + kSilence;
}

void RequestFramer::expireIfSilent(Clock::time_point now) {
    const auto deadline = silenceDeadline();
    if (deadline && now >= *deadline) expired_ = true;
}

RequestFramer::Candidate RequestFramer::inspectHead(const FrameJudge& judge, std::size_t& length) const {
    const std::uint8_t first = buffer_[0];
    if (first == kFrameStart) {
        length = kFrameSize;
    } else if (first == kAnyControllerAddress || (first != 0 && first == judge.ownSlaveAddress())) {
        if (buffer_.size() < 2) return Candidate::NeedMore;
        const std::uint8_t function = buffer_[1];
        if (function >= 1 && function <= 6) {
            length = kModbusFixedLength;
        } else if (function == 15 || function == 16) {
            if (buffer_.size() < kModbusWriteHeader) return Candidate::NeedMore;
            const std::uint8_t byteCount = buffer_[kModbusWriteHeader - 1];
            if (byteCount > kModbusMaxByteCount) return Candidate::NoStart;
            length = kModbusWriteHeader + byteCount + 2;
        } else {
            return Candidate::NoStart;
        }
    } else {
        return Candidate::NoStart;
    }
    return buffer_.size() >= length ? Candidate::Complete : Candidate::NeedMore;
}

RequestKind RequestFramer::judge(const FrameJudge& judge, std::size_t length) const {
    if (buffer_[0] == kFrameStart) return judge.judgeFrame(buffer_.data());
    return hasValidModbusCrc(buffer_.data(), length) ? RequestKind::Modbus : RequestKind::Unknown;
}

std::optional<Request> RequestFramer::next(const FrameJudge& judge) {
    while (!buffer_.empty()) {
        std::size_t length = 0;
        Candidate candidate = inspectHead(judge, length);
        if (candidate == Candidate::NeedMore && expired_) candidate = Candidate::NoStart;
        if (candidate == Candidate::NeedMore) break;
        const RequestKind kind = candidate == Candidate::Complete ? this->judge(judge, length) : RequestKind::Unknown;
        if (kind == RequestKind::Unknown) {
            dropHeadToGarbage();
            continue;
        }
        if (!garbage_.empty()) return takeGarbage();
        return take(length, kind);
    }
    if (buffer_.empty()) expired_ = false;
    if (!garbage_.empty()) return takeGarbage();
    return std::nullopt;
}

void RequestFramer::dropHeadToGarbage() {
    if (garbage_.empty()) garbageSince_ = arrivals_.front();
    garbage_.push_back(buffer_.front());
    buffer_.erase(buffer_.begin());
    arrivals_.erase(arrivals_.begin());
}

Request RequestFramer::take(std::size_t length, RequestKind kind) {
    Request request;
    request.kind = kind;
    request.bytes.assign(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(length));
    request.receivedAt = arrivals_.front();
    buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(length));
    arrivals_.erase(arrivals_.begin(), arrivals_.begin() + static_cast<std::ptrdiff_t>(length));
    return request;
}

Request RequestFramer::takeGarbage() {
    Request request;
    request.kind = RequestKind::Unknown;
    request.bytes.swap(garbage_);
    request.receivedAt = garbageSince_;
    return request;
}

}  // namespace ravo_sim
