// Modbus_OpenSerical and Modbus_CloseSerical: further ports, the slave address learnt through
// address 255, and the command route moved to the newest port.
//
// Ownership: a SerialPort object is one device, shared by every route that reaches it (the
// command route and the entries of both maps hold the same shared_ptr). Closing through any
// route closes that one object, so every other route to it finds a closed port whose writes
// fail; no route can reach a released device or a freed object.
//
// The map entries made here belong to their Modbus port for good. Every other entry was made
// by Ravo_OpenSericalPort for the command port, and follows the command route when it moves.
#include "Kelvane_Ravo_Q9T2.h"
#include "library_state.h"

#include <memory>
#include <set>

namespace ravo {
namespace {

constexpr int kOpened = 0;
constexpr int kNotOpened = 2;
constexpr std::uint8_t kBroadcastAddress = 255;
constexpr int kSlaveAddressRegister = 200;

struct ModbusEntries {
    std::set<int> numbers;
    std::set<std::uint8_t> addresses;
};

ModbusEntries& modbusEntries() {
    static ModbusEntries entries;
    return entries;
}

template <typename Map, typename Key>
void enterModbusRoute(Map& routes, std::set<Key>& owned, Key key,
                      const std::shared_ptr<SerialPort>& port) {
    if (routes.emplace(key, port).second) owned.insert(key);
}

// Moves the command port's entries from `from` to `to`. True when `from` also serves Modbus
// entries of its own.
template <typename Map, typename Key>
bool moveCommandEntries(Map& routes, const std::set<Key>& owned,
                        const std::shared_ptr<SerialPort>& from,
                        const std::shared_ptr<SerialPort>& to) {
    bool servesModbus = false;
    for (auto& entry : routes) {
        if (entry.second != from) continue;
        if (owned.count(entry.first))
            servesModbus = true;
        else
            entry.second = to;
    }
    return servesModbus;
}

// Points the command route, with the command port's entries, at `port`. The device the route
// leaves is closed unless a Modbus port still serves its own slaves through it.
void routeCommandsTo(const std::shared_ptr<SerialPort>& port) {
    LibraryState& state = libraryState();
    ModbusEntries& owned = modbusEntries();
    const std::shared_ptr<SerialPort> previous = state.commandPort;
    if (previous == port) return;
    const bool numberServes =
        moveCommandEntries(state.portsByNumber, owned.numbers, previous, port);
    const bool addressServes =
        moveCommandEntries(state.portsByAddress, owned.addresses, previous, port);
    if (!numberServes && !addressServes) previous->close();
    state.commandPort = port;
}

}  // namespace
}  // namespace ravo

using namespace ravo;

extern "C" {

int Modbus_OpenSerical(int port, unsigned char* slave) {
    LibraryState& state = libraryState();
    ModbusEntries& owned = modbusEntries();
    const int number = port & 0xFF;
    auto opened = std::make_shared<SerialPort>();
    if (!opened->open(number)) return kNotOpened;
    enterModbusRoute(state.portsByNumber, owned.numbers, number, opened);
    enterModbusRoute(state.portsByAddress, owned.addresses, kBroadcastAddress, opened);

    // Registers 200..201 of the device reached at 255 hold the slave address (0 if unread).
    int value = 0;
    Modbus_ReadLong(kBroadcastAddress, kSlaveAddressRegister, &value);
    const auto address = static_cast<std::uint8_t>(value);
    if (slave) *slave = address;
    enterModbusRoute(state.portsByAddress, owned.addresses, address, opened);

    routeCommandsTo(opened);
    return kOpened;
}

int Modbus_CloseSerical(int port) {
    auto& routes = libraryState().portsByNumber;
    const auto entry = routes.find(port & 0xFF);
    if (entry != routes.end()) {
        entry->second->close();
        modbusEntries().numbers.erase(entry->first);
        routes.erase(entry);
    }
    return 0;
}

}  // extern "C"
