#include "LibraryState.h"

namespace ravo_lib {

// Both live from the first call (at the latest the first export) to the end of the process, so
// an export called before Ravo_GlobalInit still finds a working lock.
LibraryState& libraryState() {
    static LibraryState state;
    return state;
}

void setCommandPort(std::shared_ptr<SerialPort> port) {
    std::atomic_store(&libraryState().commandPort, std::move(port));
}

std::shared_ptr<SerialPort> currentCommandPort() { return std::atomic_load(&libraryState().commandPort); }

std::recursive_mutex& libraryLock() {
    static std::recursive_mutex lock;
    return lock;
}

}  // namespace ravo_lib
