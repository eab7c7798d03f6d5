// Reads the library's own logs, SericalComInfo.log ("SendData: aa ff ..." and
// "ReceiveData: ..." lines; a write cut short runs on into the next marker of the same line)
// and Ravo_Debug.log (a begin line per download, then numbered record and reply lines), line
// by line into the decoder's readable lines.
#pragma once

#include "core/traffic/TrafficDecoder.h"

#include <string>
#include <vector>

namespace kelvane {

struct TraceEntry {
    enum class Kind { Traffic, Note, Unparsed };
    Kind kind = Kind::Traffic;
    TrafficLine line;  // Traffic
    std::string text;  // Note: what the line says; Unparsed: the line as it is
};

class LogTrace {
public:
    explicit LogTrace(const InstructionCatalogue* catalogue = nullptr) : decoder_(catalogue) {}

    // One line of a log, without its line end (GBK bytes as in the file).
    std::vector<TraceEntry> ReadLine(const std::string& text);
    // The end of the log: a request still waiting there got no reply.
    std::vector<TraceEntry> Finish();
    int UnparsedCount() const { return unparsed_; }

private:
    void feed(TrafficTransfer transfer, std::vector<TraceEntry>& entries);
    void closeWaitingRequest(std::vector<TraceEntry>& entries);

    TrafficDecoder decoder_;
    int unparsed_ = 0;
};

}  // namespace kelvane
