#include "TraceFormat.h"

#include <cstdio>

namespace ravo_sim {

const char* kindName(RequestKind kind) {
    switch (kind) {
        case RequestKind::Command:
            return "command";
        case RequestKind::Record:
            return "record";
        case RequestKind::EndFrame:
            return "end";
        case RequestKind::Modbus:
            return "modbus";
        case RequestKind::Unknown:
            break;
    }
    return "unknown";
}

std::string traceLine(const Request& request, std::chrono::steady_clock::time_point start) {
    const double ms = std::chrono::duration<double, std::milli>(request.receivedAt - start).count();
    char head[64];
    std::snprintf(head, sizeof head, "%10.3f %-8s", ms, kindName(request.kind));
    std::string line = head;
    if (request.code() >= 0) {
        std::snprintf(head, sizeof head, " code %3d ", request.code());
        line += head;
    } else {
        line += "          ";
    }
    for (std::uint8_t byte : request.bytes) {
        std::snprintf(head, sizeof head, " %02x", byte);
        line += head;
    }
    return line;
}

}  // namespace ravo_sim
