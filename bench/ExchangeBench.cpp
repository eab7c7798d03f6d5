// Command exchanges (Ravo_GetMotorPosition) against the simulated controller, first answering
// at once, then paced at 19200 baud. Prints the mean cost of one exchange and its ratio to the
// floor: the 15 ms spacing after every exchange, plus, paced, the wire time of 16 bytes each
// way (32 bytes x 10 bits / 19200 baud = 16.7 ms).
#include "Kelvane_Ravo_Q9T2.h"
#include "TemporaryComFolder.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

using Clock = std::chrono::steady_clock;
using Milliseconds = std::chrono::duration<double, std::milli>;

constexpr double kSpacingMs = 15.0;
constexpr double kExchangeWireMs = 32 * 10 * 1000.0 / 19200.0;

// What a monitor does at the least: keep a copy of each event.
struct MonitorCopy {
    RavoTrafficEvent last{};
    unsigned char bytes[16]{};
    long events = 0;
};

void copyEvent(const RavoTrafficEvent* event, void* user) {
    auto* copy = static_cast<MonitorCopy*>(user);
    copy->last = *event;
    std::memcpy(copy->bytes, event->bytes, std::min<std::size_t>(sizeof copy->bytes, event->count));
    ++copy->events;
}

struct Figures {
    Milliseconds mean{};
    int failures = 0;
};

Figures measure(bool paced, int exchanges, MonitorCopy* monitor) {
    TemporaryComFolder folder;
    ravo_sim::Simulator sim({folder.path(), 1, paced});
    Figures figures;
    if (Ravo_OpenSericalPort(1) != RAVO_OK) {
        figures.failures = exchanges;
        return figures;
    }
    Ravo_MotorMove(255, 1, 2.5f);  // a position that a failed exchange (0.0) cannot fake
    Ravo_QuickStopMotor(RAVO_ANY_CONTROLLER_ADDRESS, 1);
    float expected = 0;
    Ravo_GetMotorPosition(RAVO_ANY_CONTROLLER_ADDRESS, 1, &expected);

    if (monitor) Ravo_SetTrafficMonitor(copyEvent, monitor);
    const auto start = Clock::now();
    for (int i = 0; i < exchanges; ++i) {
        float position = 0;
        Ravo_GetMotorPosition(RAVO_ANY_CONTROLLER_ADDRESS, 1, &position);
        if (position != expected || position == 0.0f) ++figures.failures;
    }
    figures.mean = (Clock::now() - start) / exchanges;
    Ravo_SetTrafficMonitor(nullptr, nullptr);
    if (monitor && monitor->events != 2L * exchanges) figures.failures = exchanges;
    Ravo_CloseSericalPort();
    return figures;
}

void report(const char* name, const Figures& figures, double floorMs) {
    std::printf("%-16s %.3f ms per exchange, floor %.3f ms, ratio %.4f, failed exchanges %d\n", name,
                figures.mean.count(), floorMs, figures.mean.count() / floorMs, figures.failures);
}

}  // namespace

int main(int argc, char** argv) {
    bool pacedOnly = false, unpacedOnly = false;
    int exchanges = 200;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--paced") == 0) {
            pacedOnly = true;
        } else if (std::strcmp(argv[i], "--unpaced") == 0) {
            unpacedOnly = true;
        } else if (std::atoi(argv[i]) > 0) {
            exchanges = std::atoi(argv[i]);
        } else {
            std::fprintf(stderr, "usage: exchange_bench [--paced | --unpaced] [exchanges]\n");
            return 2;
        }
    }
    Ravo_GlobalInit();
    int failures = 0;
    for (const bool paced : {false, true}) {
        if (paced ? unpacedOnly : pacedOnly) continue;
        const double floorMs = paced ? kSpacingMs + kExchangeWireMs : kSpacingMs;
        const Figures plain = measure(paced, exchanges, nullptr);
        report(paced ? "paced" : "unpaced", plain, floorMs);
        MonitorCopy monitor;
        const Figures monitored = measure(paced, exchanges, &monitor);
        report(paced ? "paced+monitor" : "unpaced+monitor", monitored, floorMs);
        failures += plain.failures + monitored.failures;
    }
    return failures == 0 ? 0 : 1;
}
