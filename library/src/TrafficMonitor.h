// The caller's traffic monitor (Ravo_SetTrafficMonitor): each write and read of the frame
// exchange, the program download and the Modbus exchange is reported as it ends. Without a
// monitor a report is one relaxed atomic load.
#pragma once

#include "SerialPort.h"

#include <atomic>
#include <cstddef>
#include <cstdint>

namespace ravo_lib {

extern std::atomic<bool> trafficMonitorActive;

// Remembers the COM number a port was opened as, for the events of its frames.
void notePortNumber(const SerialPort& port, int number);

void deliverSent(const SerialPort& port, const std::uint8_t* bytes, std::size_t awaited, std::size_t sent);
void deliverReceived(const SerialPort& port, const std::uint8_t* buffer, std::size_t awaited, bool complete);

// A write of `awaited` bytes of which `sent` went out.
inline void reportSent(const SerialPort& port, const std::uint8_t* bytes, std::size_t awaited, std::size_t sent) {
    if (trafficMonitorActive.load(std::memory_order_relaxed)) deliverSent(port, bytes, awaited, sent);
}

// A read of `awaited` bytes into `buffer`, which was zero-filled before the read: a failed read
// leaves what came at its start, so its non-zero prefix is what is reported.
inline void reportReceived(const SerialPort& port, const std::uint8_t* buffer, std::size_t awaited, bool complete) {
    if (trafficMonitorActive.load(std::memory_order_relaxed)) deliverReceived(port, buffer, awaited, complete);
}

}  // namespace ravo_lib
