// Runs the rows of the command table. The exports are one-line calls of sendCommand or
// queryCommand; the compiler checks each export's argument and result types against its row.
#pragma once

#include "CommandTable.h"
#include "Kelvane_Ravo_Q9T2.h"

#include <array>
#include <cstdint>
#include <type_traits>
#include <utility>

namespace ravo_lib {

// Under the library lock: builds the frame from the address (its low 8 bits) and the three
// argument bit patterns packed as the row says, exchanges it and returns the row's reply field
// reduced as the row says. A failed exchange returns 0.
std::uint32_t runCommand(const CommandRow& row, int address, const std::array<std::uint32_t, 3>& arguments);

// The caller's argument as 32 bits: an int's two's complement, a float's IEEE-754 pattern.
std::uint32_t argumentBits(int value);
std::uint32_t argumentBits(float value);

// Stores a reduced result through the caller's out-pointer; a null pointer stores nothing.
void storeResult(int* out, std::uint32_t value);
void storeResult(float* out, std::uint32_t value);
void storeResult(unsigned char* out, std::uint32_t value);

namespace detail {

template <typename T>
constexpr bool argumentFits(Param param) {
    if constexpr (std::is_same_v<T, float>)
        return param == Param::Float;
    else if constexpr (std::is_same_v<T, int>)
        return param == Param::Byte || param == Param::Bits16 || param == Param::Int;
    else
        return false;
}

template <typename... Args, std::size_t... I>
constexpr bool argumentsFit(const CommandRow& row, std::index_sequence<I...>) {
    return (true && ... && argumentFits<Args>(row.params[I]));
}

// The export passes one argument of the right type per used parameter, and no more.
template <typename... Args>
constexpr bool signatureFits(const CommandRow& row) {
    constexpr std::size_t count = sizeof...(Args);
    if constexpr (count > 3) {
        return false;
    } else {
        for (std::size_t i = count; i < 3; ++i)
            if (row.params[i] != Param::Unused) return false;
        return argumentsFit<Args...>(row, std::make_index_sequence<count>{});
    }
}

template <typename Out>
constexpr bool resultFits(Result result) {
    if constexpr (std::is_same_v<Out, int>)
        return result == Result::Int;
    else if constexpr (std::is_same_v<Out, float>)
        return result == Result::Float;
    else if constexpr (std::is_same_v<Out, unsigned char>)
        return result == Result::Flag || result == Result::Byte;
    else
        return false;
}

}  // namespace detail

// A command that returns nothing to the caller. Always RAVO_OK.
template <Command command, typename... Args>
int sendCommand(int address, Args... args) {
    constexpr CommandRow row = commandRow(command);
    static_assert(row.result == Result::None, "this command returns a value");
    static_assert(detail::signatureFits<Args...>(row), "arguments do not match the row");
    runCommand(row, address, {argumentBits(args)...});
    return RAVO_OK;
}

// A command whose reply field goes to `*out`, 0 when the exchange failed. Always RAVO_OK.
template <Command command, typename Out, typename... Args>
int queryCommand(int address, Out* out, Args... args) {
    constexpr CommandRow row = commandRow(command);
    static_assert(row.replyField >= 1 && row.replyField <= 3, "this command returns nothing");
    static_assert(detail::resultFits<Out>(row.result), "out-parameter does not match the row");
    static_assert(detail::signatureFits<Args...>(row), "arguments do not match the row");
    storeResult(out, runCommand(row, address, {argumentBits(args)...}));
    return RAVO_OK;
}

}  // namespace ravo_lib
