// Process-wide state of the library: the recursive lock that serialises every exchange, the
// command port route, the two Modbus routing maps and the shared request/reply buffers.
#pragma once

#include "SerialPort.h"

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>

namespace ravo_lib {

using Frame = std::array<std::uint8_t, 16>;

struct LibraryState {
    // The device every Ravo_* command and the program download go through. A pointer, so that
    // Modbus_OpenSerical can route the commands to the port it opened; every holder shares the
    // object, so no route ever uses a port object that was freed. Changed only through
    // setCommandPort, so that Ravo_GetLinkState may read it from any thread at any time.
    std::shared_ptr<SerialPort> commandPort = std::make_shared<SerialPort>();
    std::map<int, std::shared_ptr<SerialPort>> portsByNumber;            // insert-if-absent
    std::map<std::uint8_t, std::shared_ptr<SerialPort>> portsByAddress;  // insert-if-absent
    Frame request{};
    Frame reply{};
};

LibraryState& libraryState();

// Moves the command route to `port` atomically, for the readers on other threads.
void setCommandPort(std::shared_ptr<SerialPort> port);
// The command route as it is now; safe on any thread while another moves it.
std::shared_ptr<SerialPort> currentCommandPort();

// The library lock: recursive, because the download sends work modes while holding it.
std::recursive_mutex& libraryLock();
using LibraryLockGuard = std::lock_guard<std::recursive_mutex>;

}  // namespace ravo_lib
