// bench/soak [--seconds N] [--seed S] [--rate R] [--library]: a day on a bad line in ten
// minutes. The tool's main window (or, with --library, the library on two threads) against a
// simulated controller at wire speed whose line loses, cuts, corrupts and delays replies,
// refuses records, goes silent and is unplugged at random (seeded), each action checked
// against the controller's own record. Prints the actions, the faults, the downloads'
// verdicts, the worst UI stall and the resident memory; the last line is the worst figure as a
// ratio to its limit (below 1: every limit held). Exit status 1 when a limit did not hold.
#include "LibrarySoak.h"
#include "SoakOptions.h"
#include "SoakReport.h"
#include "ToolSoak.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

bool ParseArguments(int argc, char** argv, SoakOptions& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        const bool hasValue = i + 1 < argc;
        char* end = nullptr;
        if (argument == "--library") {
            options.library = true;
        } else if (argument == "--seconds" && hasValue) {
            options.seconds = static_cast<int>(std::strtol(argv[++i], &end, 10));
            if (*end != '\0' || options.seconds <= 0) return false;
        } else if (argument == "--seed" && hasValue) {
            options.faults.seed = static_cast<std::uint32_t>(std::strtoul(argv[++i], &end, 10));
            if (*end != '\0') return false;
        } else if (argument == "--rate" && hasValue) {
            options.faults.rate = std::strtod(argv[++i], &end);
            if (*end != '\0' || !(options.faults.rate >= 0 && options.faults.rate <= 1)) return false;
        } else {
            return false;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    SoakOptions options;
    if (!ParseArguments(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: soak [--seconds N (600)] [--seed S (1)] [--rate FAULTS_PER_REQUEST (0.005)] "
                     "[--library]\n");
        return 2;
    }
    std::printf("soak of the %s for %d s, seed %u, %.4f faults per request\n", options.library ? "library" : "tool",
                options.seconds, options.faults.seed, options.faults.rate);
    std::fflush(stdout);

    SoakReport report;
    ravo_sim::RandomFaultCounts faults;
    if (options.library) {
        RunLibrarySoak(options, report, faults);
    } else {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        QApplication app(argc, argv);
        RunToolSoak(options, report, faults);
    }
    return report.print(faults) ? 0 : 1;
}
