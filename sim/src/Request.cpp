#include <ravo_sim/Simulator.h>

#include "Wire.h"

namespace ravo_sim {

int Request::code() const {
    switch (kind) {
        case RequestKind::Command:
        case RequestKind::Record:
        case RequestKind::EndFrame:
            return bytes.size() > 2 ? bytes[2] : -1;
        case RequestKind::Modbus:
            return bytes.size() > 1 ? bytes[1] : -1;
        case RequestKind::Unknown:
            break;
    }
    return -1;
}

std::uint32_t Request::param(int n) const {
    if (n < 1 || n > 3) return 0;
    const std::size_t offset = 3 + 4 * static_cast<std::size_t>(n - 1);
    if (bytes.size() < offset + 4) return 0;
    return readBigEndian32(bytes.data() + offset);
}

float Request::paramAsFloat(int n) const { return bitsToFloat(param(n)); }

}  // namespace ravo_sim
