// How the command route and the ports of Modbus_OpenSerical share port objects.
#pragma once

namespace ravo_lib {

// Gives the command route a port object of its own again when Modbus_OpenSerical made it share
// a Modbus port's object: that device is closed (closing the command port always closes the
// device it uses), the Modbus port's slaves are left with the closed port, and the command
// port's map entries move to a fresh, closed object. Called before the command port re-opens,
// so the re-opened device never serves another port's slaves.
void detachCommandPortFromModbus();

}  // namespace ravo_lib
