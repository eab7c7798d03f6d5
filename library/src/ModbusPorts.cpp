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
#include "ModbusPorts.h"
#include "Kelvane_Ravo_Q9T2.h"
#include "LibraryState.h"
#include "TrafficMonitor.h"

#include <memory>
#include <set>

namespace ravo_lib {
namespace {

constexpr std::uint8_t kAnyController = RAVO_ANY_CONTROLLER_ADDRESS;  // as a map key
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
void enterModbusRoute(Map& routes, std::set<Key>& owned, Key key, const std::shared_ptr<SerialPort>& port) {
    if (routes.emplace(key, port).second) owned.insert(key);
}

template <typename Map, typename Key>
bool anyOwnedEntry(const Map& routes, const std::set<Key>& owned, const std::shared_ptr<SerialPort>& port) {
    for (const auto& entry : routes)
        if (entry.second == port && owned.count(entry.first)) return true;
    return false;
}

template <typename Map, typename Key>
void moveUnownedEntries(Map& routes, const std::set<Key>& owned, const std::shared_ptr<SerialPort>& from,
                        const std::shared_ptr<SerialPort>& to) {
    for (auto& entry : routes)
        if (entry.second == from && !owned.count(entry.first)) entry.second = to;
}

// True when `port` serves slaves or a port number that Modbus_OpenSerical entered.
bool servesModbus(const std::shared_ptr<SerialPort>& port) {
    const LibraryState& state = libraryState();
    const ModbusEntries& owned = modbusEntries();
    return anyOwnedEntry(state.portsByNumber, owned.numbers, port) ||
           anyOwnedEntry(state.portsByAddress, owned.addresses, port);
}

// Points the command port's entries (those Modbus_OpenSerical did not make) at `to`.
void moveCommandEntries(const std::shared_ptr<SerialPort>& from, const std::shared_ptr<SerialPort>& to) {
    LibraryState& state = libraryState();
    const ModbusEntries& owned = modbusEntries();
    moveUnownedEntries(state.portsByNumber, owned.numbers, from, to);
    moveUnownedEntries(state.portsByAddress, owned.addresses, from, to);
}

// Points the command route, with the command port's entries, at `port`. The device the route
// leaves is closed unless a Modbus port still serves its own slaves through it.
void routeCommandsTo(const std::shared_ptr<SerialPort>& port) {
    LibraryState& state = libraryState();
    const std::shared_ptr<SerialPort> previous = state.commandPort;
    if (previous == port) return;
    moveCommandEntries(previous, port);
    if (!servesModbus(previous)) previous->close();
    setCommandPort(port);
}

}  // namespace

void detachCommandPortFromModbus() {
    LibraryState& state = libraryState();
    const std::shared_ptr<SerialPort> shared = state.commandPort;
    if (!servesModbus(shared)) return;
    shared->close();
    auto own = std::make_shared<SerialPort>();
    moveCommandEntries(shared, own);
    setCommandPort(own);
}

}  // namespace ravo_lib

using namespace ravo_lib;

extern "C" {

int Modbus_OpenSerical(int port, unsigned char* slave) {
    LibraryState& state = libraryState();
    ModbusEntries& owned = modbusEntries();
    const int number = port & 0xFF;
    auto opened = std::make_shared<SerialPort>();
    if (!opened->open(number)) return RAVO_PORT_NOT_OPENED;
    notePortNumber(*opened, number);
    enterModbusRoute(state.portsByNumber, owned.numbers, number, opened);
    enterModbusRoute(state.portsByAddress, owned.addresses, kAnyController, opened);

    // Registers 200..201 of the device reached at 255 hold the slave address (0 if unread).
    int value = 0;
    Modbus_ReadLong(RAVO_ANY_CONTROLLER_ADDRESS, kSlaveAddressRegister, &value);
    const auto address = static_cast<std::uint8_t>(value);
    if (slave) *slave = address;
    enterModbusRoute(state.portsByAddress, owned.addresses, address, opened);

    routeCommandsTo(opened);
    return RAVO_OK;
}

int Modbus_CloseSerical(int port) {
    auto& routes = libraryState().portsByNumber;
    const auto entry = routes.find(port & 0xFF);
    if (entry != routes.end()) {
        entry->second->close();
        modbusEntries().numbers.erase(entry->first);
        routes.erase(entry);
    }
    return RAVO_OK;
}

}  // extern "C"
