// Which device file is COM<n> on this system.
#pragma once

#include <string>

namespace ravo_lib {

// With RAVO_COM_DIR set, COM n is exactly $RAVO_COM_DIR/COM<n> (simulated controllers and test
// rigs link their pseudo-terminals there). Otherwise COM1..COM9 are the on-board ports
// /dev/ttyS0..8 and COM10..COM19 the USB adapters /dev/ttyUSB0..9. Returns an empty string for
// a number that names no device.
std::string comDevicePath(int portNumber);

}  // namespace ravo_lib
