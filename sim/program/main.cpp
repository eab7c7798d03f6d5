// ravo-sim: serves a simulated controller on a pseudo-terminal linked as <folder>/COM<n> until
// interrupted. SIGUSR1 pulls the line and plugs it in again after a while, as a USB adapter;
// SIGUSR2 makes the controller go silent or answer again.
#include <ravo_sim/RandomFaults.h>
#include <ravo_sim/Simulator.h>

#include <sys/stat.h>
#include <unistd.h>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <string>

namespace {

struct ProgramOptions {
    ravo_sim::Simulator::Options simulator;
    std::chrono::milliseconds replugAfter{3000};
    ravo_sim::RandomFaultSettings faults;
    bool help = false;
};

void printUsage(std::FILE* to) {
    std::fprintf(to,
                 "usage: ravo-sim [--com N] [--dir FOLDER] [--paced] [--trace] [--used-line]\n"
                 "                [--replug-after MS] [--faults SEED:RATE]\n"
                 "  --com N            link the line as COM<N> (default 1)\n"
                 "  --dir FOLDER       folder for the link (default $RAVO_COM_DIR, else /tmp/ravo-com)\n"
                 "  --paced            answer at 19200-baud wire time\n"
                 "  --trace            print each request received on stderr\n"
                 "  --used-line        leave the line cooked, with XON/XOFF and RTS/CTS flow control\n"
                 "  --replug-after MS  how long the line stays unplugged after SIGUSR1 (default 3000)\n"
                 "  --faults SEED:RATE a bad line: each request meets a random fault (lost, cut\n"
                 "                     short, corrupted or late reply, refused record, silence or\n"
                 "                     unplugged line for a while) with probability RATE (0..1)\n"
                 "  --help             print this and exit\n"
                 "While it runs:\n"
                 "  kill -USR1 PID     pull the line (the link goes, the client's end hangs up) and\n"
                 "                     plug it in again at the same COM<N> after --replug-after\n"
                 "  kill -USR2 PID     go silent (requests get no reply), or answer again\n"
                 "  Ctrl+C, kill PID   stop\n");
}

bool parseNumber(const char* text, long lowest, long highest, long& number) {
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || value < lowest || value > highest) return false;
    number = value;
    return true;
}

bool parseArguments(int argc, char** argv, ProgramOptions& options) {
    ravo_sim::Simulator::Options& simulator = options.simulator;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        const bool hasValue = i + 1 < argc;
        long number = 0;
        if (argument == "--com" && hasValue) {
            if (!parseNumber(argv[++i], 0, 255, number)) return false;
            simulator.comNumber = static_cast<int>(number);
        } else if (argument == "--dir" && hasValue) {
            simulator.comDir = argv[++i];
        } else if (argument == "--paced") {
            simulator.paced = true;
        } else if (argument == "--trace") {
            simulator.trace = true;
        } else if (argument == "--used-line") {
            simulator.usedLine = true;
        } else if (argument == "--faults" && hasValue) {
            const auto faults = ravo_sim::ParseRandomFaultSettings(argv[++i]);
            if (!faults) return false;
            options.faults = *faults;
        } else if (argument == "--help") {
            options.help = true;
        } else if (argument == "--replug-after" && hasValue) {
            if (!parseNumber(argv[++i], 0, 3600000, number)) return false;
            options.replugAfter = std::chrono::milliseconds(number);
        } else {
            return false;
        }
    }
    if (simulator.comDir.empty()) {
        const char* fromEnvironment = std::getenv("RAVO_COM_DIR");
        simulator.comDir = fromEnvironment && *fromEnvironment ? fromEnvironment : "/tmp/ravo-com";
    }
    return true;
}

// Serves until a stop signal; the line signals change the simulator meanwhile.
void serveUntilStopped(ravo_sim::Simulator& simulator, const sigset_t& signals, std::chrono::milliseconds replugAfter) {
    bool silent = false;
    for (;;) {
        int received = 0;
        sigwait(&signals, &received);
        if (received == SIGUSR1) {
            simulator.unplugFor(replugAfter);
            std::printf("ravo-sim: line unplugged for %lld ms\n", static_cast<long long>(replugAfter.count()));
        } else if (received == SIGUSR2) {
            silent = !silent;
            simulator.setSilent(silent);
            std::printf("ravo-sim: %s\n", silent ? "silent" : "answering again");
        } else {
            return;
        }
        std::fflush(stdout);
    }
}

}  // namespace

int main(int argc, char** argv) {
    ProgramOptions options;
    if (!parseArguments(argc, argv, options)) {
        printUsage(stderr);
        return 2;
    }
    if (options.help) {
        printUsage(stdout);
        return 0;
    }
    mkdir(options.simulator.comDir.c_str(), 0755);  // an existing folder is fine

    // Block the signals before the serving thread starts, so that only sigwait sees them.
    sigset_t signals;
    sigemptyset(&signals);
    for (int signal : {SIGINT, SIGTERM, SIGUSR1, SIGUSR2}) sigaddset(&signals, signal);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    try {
        ravo_sim::Simulator simulator(options.simulator);
        simulator.setRandomFaults(options.faults);
        std::printf("ravo-sim serving on %s%s (pid %d; kill -USR1 unplugs, -USR2 silences)\n",
                    simulator.devicePath().c_str(), options.simulator.paced ? " (paced at 19200 baud)" : "",
                    static_cast<int>(getpid()));
        std::fflush(stdout);
        serveUntilStopped(simulator, signals, options.replugAfter);
        if (options.faults.rate > 0) {
            const ravo_sim::RandomFaultCounts counts = simulator.randomFaultCounts();
            for (int kind = 0; kind < ravo_sim::kRandomFaultKinds; ++kind)
                std::printf("ravo-sim: %s: %llu\n", ravo_sim::RandomFaultName(static_cast<ravo_sim::RandomFault>(kind)),
                            static_cast<unsigned long long>(counts.byKind[static_cast<std::size_t>(kind)]));
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "ravo-sim: %s\n", error.what());
        return 1;
    }
    return 0;
}
