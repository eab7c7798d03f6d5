#include "ModbusSlave.h"

#include <algorithm>

namespace ravo_sim {
namespace {

constexpr std::size_t kTableSize = 0x10000;

enum Function : std::uint8_t {
    ReadCoils = 1,
    ReadHoldingRegisters = 3,
    ReadInputRegisters = 4,
    WriteSingleCoil = 5,
    WriteSingleRegister = 6,
    WriteMultipleRegisters = 16,
};

enum Exception : std::uint8_t { IllegalFunction = 1, IllegalDataAddress = 2, IllegalDataValue = 3 };

// Point recording.
constexpr int kTotalPointsRegister = 360;
constexpr int kRecordPointRegister = 361;
constexpr int kInputMaskRegister = 362;
constexpr int kOutputMaskRegister = 364;
constexpr int kDelayRegister = 366;
constexpr int kStartRecordingCoil = 157;
constexpr int kEndRecordingCoil = 158;
constexpr int kSavePointCoil = 159;

// A coil read answers with at least three data bytes, so that a one-coil read gets the eight
// bytes that the controller's clients wait for.
constexpr std::size_t kMinCoilDataBytes = 3;

constexpr std::uint16_t kMaxReadRegisters = 125;
constexpr std::uint16_t kMaxWriteRegisters = 123;
constexpr std::uint16_t kMaxReadCoils = 2000;

std::uint16_t field(const Bytes& request, std::size_t offset) { return readBigEndian16(&request[offset]); }

bool fitsTable(std::uint32_t start, std::uint32_t count) { return start + count <= kTableSize; }

}  // namespace

ModbusSlave::ModbusSlave() : registers_(kTableSize, 0), coils_(kTableSize, false) {
    registers_[kSlaveAddressRegister] = kDefaultSlaveAddress;
}

std::uint8_t ModbusSlave::ownAddress() const {
    const std::uint32_t value = registerPair(kSlaveAddressRegister);
    if (value == 0 || value > 247 || value == kFrameStart) return 0;
    return static_cast<std::uint8_t>(value);
}

std::uint32_t ModbusSlave::registerPair(int address) const {
    return registers_[static_cast<std::size_t>(address)] |
           (std::uint32_t{registers_[static_cast<std::size_t>(address + 1)]} << 16);
}

Bytes ModbusSlave::handle(const Bytes& request, const std::array<float, 6>& axisPositions) {
    switch (request[1]) {
        case ReadCoils:
            return readCoils(request);
        case ReadHoldingRegisters:
        case ReadInputRegisters:
            return readRegisters(request);
        case WriteSingleCoil:
            return writeCoil(request, axisPositions);
        case WriteSingleRegister:
            return writeRegister(request);
        case WriteMultipleRegisters:
            return writeRegisters(request);
        default:
            return exceptionReply(request, IllegalFunction);
    }
}

Bytes ModbusSlave::exceptionReply(const Bytes& request, std::uint8_t exceptionCode) {
    Bytes reply{request[0], static_cast<std::uint8_t>(request[1] | 0x80), exceptionCode};
    appendModbusCrc(reply);
    return reply;
}

Bytes ModbusSlave::readCoils(const Bytes& request) const {
    const std::uint16_t start = field(request, 2), count = field(request, 4);
    if (count == 0 || count > kMaxReadCoils) return exceptionReply(request, IllegalDataValue);
    if (!fitsTable(start, count)) return exceptionReply(request, IllegalDataAddress);
    const std::size_t dataBytes = std::max<std::size_t>((count + 7) / 8, kMinCoilDataBytes);
    Bytes reply{request[0], request[1], static_cast<std::uint8_t>(dataBytes)};
    reply.resize(3 + dataBytes, 0);
    for (std::uint16_t i = 0; i < count; ++i)
        if (coils_[start + i]) reply[3 + i / 8] |= static_cast<std::uint8_t>(1u << (i % 8));
    appendModbusCrc(reply);
    return reply;
}

Bytes ModbusSlave::readRegisters(const Bytes& request) const {
    const std::uint16_t start = field(request, 2), count = field(request, 4);
    if (count == 0 || count > kMaxReadRegisters) return exceptionReply(request, IllegalDataValue);
    if (!fitsTable(start, count)) return exceptionReply(request, IllegalDataAddress);
    Bytes reply{request[0], request[1], static_cast<std::uint8_t>(2 * count)};
    for (std::uint16_t i = 0; i < count; ++i) {
        const std::uint16_t value = registers_[start + i];
        reply.push_back(static_cast<std::uint8_t>(value >> 8));
        reply.push_back(static_cast<std::uint8_t>(value & 0xFF));
    }
    appendModbusCrc(reply);
    return reply;
}

Bytes ModbusSlave::writeCoil(const Bytes& request, const std::array<float, 6>& axisPositions) {
    const std::uint16_t address = field(request, 2), value = field(request, 4);
    if (value != 0xFF00 && value != 0x0000) return exceptionReply(request, IllegalDataValue);
    coils_[address] = value == 0xFF00;
    onCoilWritten(address, axisPositions);
    return Bytes(request.begin(), request.end());
}

Bytes ModbusSlave::writeRegister(const Bytes& request) {
    registers_[field(request, 2)] = field(request, 4);
    return Bytes(request.begin(), request.end());
}

Bytes ModbusSlave::writeRegisters(const Bytes& request) {
    const std::uint16_t start = field(request, 2), count = field(request, 4);
    const std::uint8_t byteCount = request[6];
    if (count == 0 || count > kMaxWriteRegisters || byteCount != 2 * count)
        return exceptionReply(request, IllegalDataValue);
    if (!fitsTable(start, count)) return exceptionReply(request, IllegalDataAddress);
    for (std::uint16_t i = 0; i < count; ++i) registers_[start + i] = field(request, 7 + 2 * i);
    Bytes reply(request.begin(), request.begin() + 6);
    appendModbusCrc(reply);
    return reply;
}

// Writing a recording coil triggers its action whatever value is written.
void ModbusSlave::onCoilWritten(int address, const std::array<float, 6>& axisPositions) {
    switch (address) {
        case kStartRecordingCoil:
            recording_ = true;
            points_.clear();
            registers_[kTotalPointsRegister] = 0;
            registers_[kRecordPointRegister] = 0;
            break;
        case kEndRecordingCoil:
            recording_ = false;
            break;
        case kSavePointCoil: {
            if (!recording_) break;
            const std::size_t point = registers_[kRecordPointRegister];
            if (point >= 0xFFFF) break;
            TaughtPoint taught;
            taught.positions = axisPositions;
            taught.inputMask = registerPair(kInputMaskRegister);
            taught.outputMask = registerPair(kOutputMaskRegister);
            taught.delayMs = bitsToFloat(registerPair(kDelayRegister));
            if (points_.size() <= point) points_.resize(point + 1);
            points_[point] = taught;
            registers_[kRecordPointRegister] = static_cast<std::uint16_t>(point + 1);
            if (registers_[kTotalPointsRegister] < point + 1)
                registers_[kTotalPointsRegister] = static_cast<std::uint16_t>(point + 1);
            break;
        }
        default:
            break;
    }
}

std::uint16_t ModbusSlave::registerValue(int address) const {
    return address >= 0 && address < static_cast<int>(kTableSize) ? registers_[static_cast<std::size_t>(address)] : 0;
}

void ModbusSlave::setRegister(int address, std::uint16_t value) {
    if (address >= 0 && address < static_cast<int>(kTableSize)) registers_[static_cast<std::size_t>(address)] = value;
}

bool ModbusSlave::coil(int address) const {
    return address >= 0 && address < static_cast<int>(kTableSize) && coils_[static_cast<std::size_t>(address)];
}

void ModbusSlave::setCoil(int address, bool on) {
    if (address >= 0 && address < static_cast<int>(kTableSize)) coils_[static_cast<std::size_t>(address)] = on;
}

}  // namespace ravo_sim
