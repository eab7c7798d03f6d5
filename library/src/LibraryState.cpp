#include "LibraryState.h"

namespace ravo_lib {

// Both live from the first call (at the latest the first export) to the end of the process, so
// an export called before Ravo_GlobalInit still finds a working lock.
LibraryState& libraryState() {
    static LibraryState state;
    return state;
}

std::recursive_mutex& libraryLock() {
    static std::recursive_mutex lock;
    return lock;
}

}  // namespace ravo_lib
