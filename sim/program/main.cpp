// ravo-sim: serves a simulated controller on a pseudo-terminal linked as <folder>/COM<n> until
// interrupted.
#include <ravo_sim/Simulator.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <string>
#include <sys/stat.h>

namespace {

void printUsage() {
    std::fprintf(stderr,
                 "usage: ravo-sim [--com N] [--dir FOLDER] [--paced] [--trace]\n"
                 "  --com N       link the line as COM<N> (default 1)\n"
                 "  --dir FOLDER  folder for the link (default $RAVO_COM_DIR, else /tmp/ravo-com)\n"
                 "  --paced       answer at 19200-baud wire time\n"
                 "  --trace       print each request received on stderr\n");
}

bool parseComNumber(const char* text, int& number) {
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || value < 0 || value > 255) return false;
    number = static_cast<int>(value);
    return true;
}

bool parseArguments(int argc, char** argv, ravo_sim::Simulator::Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        const bool hasValue = i + 1 < argc;
        if (argument == "--com" && hasValue) {
            if (!parseComNumber(argv[++i], options.comNumber)) return false;
        } else if (argument == "--dir" && hasValue) {
            options.comDir = argv[++i];
        } else if (argument == "--paced") {
            options.paced = true;
        } else if (argument == "--trace") {
            options.trace = true;
        } else {
            return false;
        }
    }
    if (options.comDir.empty()) {
        const char* fromEnvironment = std::getenv("RAVO_COM_DIR");
        options.comDir = fromEnvironment && *fromEnvironment ? fromEnvironment : "/tmp/ravo-com";
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    ravo_sim::Simulator::Options options;
    if (!parseArguments(argc, argv, options)) {
        printUsage();
        return 2;
    }
    mkdir(options.comDir.c_str(), 0755);  // an existing folder is fine

    // Block the stop signals before the serving thread starts, so that only sigwait sees them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    try {
        ravo_sim::Simulator simulator(options);
        std::printf("ravo-sim serving on %s%s\n", simulator.devicePath().c_str(),
                    options.paced ? " (paced at 19200 baud)" : "");
        std::fflush(stdout);
        int received = 0;
        sigwait(&stopSignals, &received);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "ravo-sim: %s\n", error.what());
        return 1;
    }
    return 0;
}
