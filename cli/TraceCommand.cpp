#include "TraceCommand.h"

#include "core/application/GbkText.h"
#include "core/traffic/LogTrace.h"

#include <chrono>
#include <csignal>
#include <string>
#include <thread>

namespace ravo {

namespace {

using kelvane::TraceEntry;

constexpr std::chrono::milliseconds kFollowPoll{200};

// Set by Ctrl+C while following: the trace ends with its count like a finished log.
volatile std::sig_atomic_t interrupted = 0;

void interrupt(int) { interrupted = 1; }

void print(const TraceEntry& entry, std::ostream& out) {
    switch (entry.kind) {
        case TraceEntry::Kind::Note:
            out << "== " << entry.text << "\n";
            break;
        case TraceEntry::Kind::Unparsed:
            out << "?? " << kelvane::gbkToUtf8(entry.text) << "\n";
            break;
        case TraceEntry::Kind::Traffic:
            out << (entry.line.sent ? "-> " : "<- ") << (entry.line.failed ? "!! " : "   ") << entry.line.text;
            if (!entry.line.bytes.empty()) out << "  [" << entry.line.bytes << "]";
            out << "\n";
            break;
    }
}

void printAll(const std::vector<TraceEntry>& entries, std::ostream& out) {
    for (const TraceEntry& entry : entries) print(entry, out);
}

// Waits until the log has grown past `position`: true when it did, false when it was truncated
// (a new start of the program) and is to be read again from its beginning. A log that cannot
// seek (a pipe) is simply read on.
bool waitForMore(std::istream& log, std::streamoff position) {
    while (!interrupted) {
        std::this_thread::sleep_for(kFollowPoll);
        log.clear();
        log.seekg(0, std::ios::end);
        const std::streamoff end = log.tellg();
        if (end < 0) {
            log.clear();
            return true;
        }
        if (end != position) {
            log.seekg(end < position ? 0 : position);
            return end > position;
        }
    }
    return true;
}

}  // namespace

int RunTrace(std::istream& log, bool follow, const kelvane::InstructionCatalogue* catalogue, std::ostream& out) {
    kelvane::LogTrace trace(catalogue);
    std::string pending;          // the start of a line whose end has not been written yet
    std::streamoff position = 0;  // bytes read so far
    if (follow) std::signal(SIGINT, interrupt);
    for (std::string line; std::getline(log, line) || follow;) {
        if (log.eof() || log.fail()) {  // no line end yet: wait for the rest
            pending += line;
            position += static_cast<std::streamoff>(line.size());
            if (!follow || interrupted) break;
            if (!waitForMore(log, position)) {
                pending.clear();
                position = 0;
            }
            continue;
        }
        position += static_cast<std::streamoff>(line.size()) + 1;
        line = pending + line;
        pending.clear();
        if (!line.empty() && line.back() == '\r') line.pop_back();
        printAll(trace.ReadLine(line), out);
        out.flush();
    }
    if (!pending.empty()) printAll(trace.ReadLine(pending), out);
    printAll(trace.Finish(), out);
    out << "无法解析的行: " << trace.UnparsedCount() << "\n";
    return 0;
}

}  // namespace ravo
