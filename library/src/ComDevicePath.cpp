#include "ComDevicePath.h"

#include <cstdlib>

namespace ravo_lib {

std::string comDevicePath(int portNumber) {
    if (const char* comDir = std::getenv("RAVO_COM_DIR"))
        return std::string(comDir) + "/COM" + std::to_string(portNumber);
    if (portNumber >= 1 && portNumber <= 9) return "/dev/ttyS" + std::to_string(portNumber - 1);
    if (portNumber >= 10 && portNumber <= 19) return "/dev/ttyUSB" + std::to_string(portNumber - 10);
    return {};
}

}  // namespace ravo_lib
