// The Modbus RTU coil and register exports. Each takes the library lock, sends one request on
// the port registered for the slave address and reads the reply of the awaited length. Writes
// report only an unknown slave; reads also report a missing or short reply. No pause follows.
#include "Kelvane_Ravo_Q9T2.h"
#include "LibraryState.h"
#include "ModbusFrame.h"
#include "TrafficMonitor.h"
#include "WireValues.h"

#include <algorithm>

namespace ravo_lib {
namespace {

enum class Outcome { UnknownSlave, NoReply, Replied };

// The longest reply awaited: two registers (slave, function, byte count, four bytes, CRC).
constexpr std::size_t kLongestReply = 9;

Outcome exchange(const ModbusRequest& request, std::uint8_t* reply) {
    const auto& routes = libraryState().portsByAddress;
    const auto route = routes.find(request.bytes[0]);
    if (route == routes.end()) return Outcome::UnknownSlave;
    SerialPort& port = *route->second;
    const std::size_t sent = port.write(request.bytes, request.length);
    reportSent(port, request.bytes, request.length, sent);
    std::fill(reply, reply + request.replyLength, std::uint8_t{0});
    std::size_t received = request.replyLength;
    const bool complete = port.read(reply, received);
    reportReceived(port, reply, request.replyLength, complete);
    return sent == request.length && complete ? Outcome::Replied : Outcome::NoReply;
}

int writeResult(Outcome outcome) { return outcome == Outcome::UnknownSlave ? RAVO_MODBUS_FAILED : RAVO_OK; }

std::uint8_t slaveByte(int slave) { return static_cast<std::uint8_t>(slave); }
std::uint16_t field16(int value) { return static_cast<std::uint16_t>(value); }

}  // namespace
}  // namespace ravo_lib

using namespace ravo_lib;

// Null out-pointers are tolerated: the exchange still runs and its result is dropped.
extern "C" {

int Modbus_WriteCoil(int slave, int coil, int value) {
    LibraryLockGuard lock(libraryLock());
    std::uint8_t reply[kLongestReply];
    const auto request = writeCoilRequest(slaveByte(slave), field16(coil), static_cast<std::uint8_t>(value));
    return writeResult(exchange(request, reply));
}

int Modbus_ReadCoil(int slave, int coil, unsigned char* state) {
    LibraryLockGuard lock(libraryLock());
    std::uint8_t reply[kLongestReply];
    if (exchange(readCoilRequest(slaveByte(slave), field16(coil)), reply) != Outcome::Replied)
        return RAVO_MODBUS_FAILED;
    if (state) *state = coilStateFromReply(reply) ? 1 : 0;
    return RAVO_OK;
}

int Modbus_WriteShort(int slave, int reg, int value) {
    LibraryLockGuard lock(libraryLock());
    std::uint8_t reply[kLongestReply];
    return writeResult(exchange(writeShortRequest(slaveByte(slave), field16(reg), field16(value)), reply));
}

int Modbus_ReadShort(int slave, int reg, short* value) {
    LibraryLockGuard lock(libraryLock());
    std::uint8_t reply[kLongestReply];
    if (exchange(readRegistersRequest(slaveByte(slave), field16(reg), 1), reply) != Outcome::Replied)
        return RAVO_MODBUS_FAILED;
    if (value) *value = shortFromReply(reply);
    return RAVO_OK;
}

int Modbus_WriteLong(int slave, int reg, int value) {
    LibraryLockGuard lock(libraryLock());
    std::uint8_t reply[kLongestReply];
    return writeResult(
        exchange(writeLongRequest(slaveByte(slave), field16(reg), static_cast<std::uint32_t>(value)), reply));
}

int Modbus_ReadLong(int slave, int reg, int* value) {
    LibraryLockGuard lock(libraryLock());
    std::uint8_t reply[kLongestReply];
    const Outcome outcome = exchange(readRegistersRequest(slaveByte(slave), field16(reg), 2), reply);
    if (outcome == Outcome::UnknownSlave) return RAVO_MODBUS_FAILED;
    const bool replied = outcome == Outcome::Replied;
    if (value) *value = replied ? static_cast<int>(longFromReply(reply)) : 0;
    return replied ? RAVO_OK : RAVO_MODBUS_FAILED;
}

int Modbus_WriteFloat(int slave, int reg, float value) {
    LibraryLockGuard lock(libraryLock());
    std::uint8_t reply[kLongestReply];
    return writeResult(exchange(writeLongRequest(slaveByte(slave), field16(reg), floatBits(value)), reply));
}

int Modbus_ReadFloat(int slave, int reg, float* value) {
    LibraryLockGuard lock(libraryLock());
    std::uint8_t reply[kLongestReply];
    if (exchange(readRegistersRequest(slaveByte(slave), field16(reg), 2), reply) != Outcome::Replied)
        return RAVO_MODBUS_FAILED;
    if (value) *value = floatFromBits(longFromReply(reply));
    return RAVO_OK;
}

}  // extern "C"
