// Modbus_OpenSerical and Modbus_CloseSerical: further ports, the slave address learnt from the
// device, and the command route moved to the newest port.
//
// Ownership: a SerialPort object is one device, shared by every route that reaches it (the
// command route and the entries of both maps hold the same shared_ptr). Closing through any
// route closes that one object, so every other route to it finds a closed port whose writes
// fail; no route can reach a released device or a freed object.
#include "Kelvane_Ravo_Q9T2.h"
#include "library_state.h"

#include <memory>

namespace ravo {
namespace {

constexpr int kOpened = 0;
constexpr int kNotOpened = 2;
constexpr std::uint8_t kBroadcastAddress = 255;
constexpr int kSlaveAddressRegister = 200;

template <typename Map>
void replaceRoutes(Map& routes, const std::shared_ptr<SerialPort>& from,
                   const std::shared_ptr<SerialPort>& to) {
    for (auto& entry : routes)
        if (entry.second == from) entry.second = to;
}

// Moves the command route, and every map entry that followed it, to `port`. The device the
// command route leaves is closed: nothing reaches it any more.
void routeCommandsTo(const std::shared_ptr<SerialPort>& port) {
    LibraryState& state = libraryState();
    const std::shared_ptr<SerialPort> previous = state.commandPort;
    if (previous == port) return;
    replaceRoutes(state.portsByNumber, previous, port);
    replaceRoutes(state.portsByAddress, previous, port);
    previous->close();
    state.commandPort = port;
}

}  // namespace
}  // namespace ravo

using namespace ravo;

extern "C" {

int Modbus_OpenSerical(int port, unsigned char* slave) {
    LibraryState& state = libraryState();
    const int number = port & 0xFF;
    auto opened = std::make_shared<SerialPort>();
    if (!opened->open(number)) return kNotOpened;
    state.portsByNumber.emplace(number, opened);
    state.portsByAddress.emplace(kBroadcastAddress, opened);

    // Registers 200..201 of the device reached at 255 hold the slave address (0 if unread).
    int value = 0;
    Modbus_ReadLong(kBroadcastAddress, kSlaveAddressRegister, &value);
    const auto address = static_cast<std::uint8_t>(value);
    if (slave) *slave = address;
    state.portsByAddress.emplace(address, opened);

    routeCommandsTo(opened);
    return kOpened;
}

int Modbus_CloseSerical(int port) {
    auto& routes = libraryState().portsByNumber;
    const auto entry = routes.find(port & 0xFF);
    if (entry != routes.end()) {
        entry->second->close();
        routes.erase(entry);
    }
    return 0;
}

}  // extern "C"
