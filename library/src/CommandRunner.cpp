#include "CommandRunner.h"

#include "FrameExchange.h"
#include "LibraryState.h"
#include "WireValues.h"

namespace ravo_lib {

namespace {

std::uint32_t packed(Param param, std::uint32_t bits) {
    switch (param) {
        case Param::Unused:
            return 0;
        case Param::Byte:
            return bits & 0xFFu;
        case Param::Bits16:
            return bits & 0xFFFFu;
        case Param::Int:
        case Param::Float:
            return bits;
    }
    return 0;
}

std::uint32_t reduced(Result result, std::uint32_t field) {
    switch (result) {
        case Result::None:
            return 0;
        case Result::Int:
        case Result::Float:
            return field;
        case Result::Flag:
            return field != 0 ? 1 : 0;
        case Result::Byte:
            return field & 0xFFu;
    }
    return 0;
}

}  // namespace

std::uint32_t runCommand(const CommandRow& row, int address, const std::array<std::uint32_t, 3>& arguments) {
    LibraryLockGuard guard(libraryLock());
    buildFrame(row.code, static_cast<std::uint8_t>(address), packed(row.params[0], arguments[0]),
               packed(row.params[1], arguments[1]), packed(row.params[2], arguments[2]));
    std::array<std::uint32_t, 3> fields{};  // stay 0 when the exchange fails
    exchangeFrame(fields[0], fields[1], fields[2]);
    return row.replyField == 0 ? 0 : reduced(row.result, fields[row.replyField - 1]);
}

std::uint32_t argumentBits(int value) { return static_cast<std::uint32_t>(value); }

std::uint32_t argumentBits(float value) { return floatBits(value); }

void storeResult(int* out, std::uint32_t value) {
    if (out) *out = static_cast<int>(value);
}

void storeResult(float* out, std::uint32_t value) {
    if (out) *out = floatFromBits(value);
}

void storeResult(unsigned char* out, std::uint32_t value) {
    if (out) *out = static_cast<unsigned char>(value);
}

}  // namespace ravo_lib
