#include "core/traffic/LogTrace.h"

#include <cctype>
#include <cstdio>
#include <cstring>

namespace kelvane {

namespace {

constexpr const char* kSent = "SendData: ";
constexpr const char* kReceived = "ReceiveData: ";
constexpr const char* kBannerStart = "...........................";
constexpr std::size_t kFrameSize = 16;

struct Segment {
    bool sent = true;
    std::string hex;
    bool endsLine = true;  // false when another marker follows on the same line
};

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// "aa ff 02 " (lower-case, as the library writes it) as bytes; false when anything else is there.
bool parseHex(const std::string& text, FrameBytes& bytes) {
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] == ' ') {
            ++i;
            continue;
        }
        if (i + 1 >= text.size() || hexDigit(text[i]) < 0 || hexDigit(text[i + 1]) < 0) return false;
        if (i + 2 < text.size() && text[i + 2] != ' ') return false;
        bytes.push_back(static_cast<std::uint8_t>(hexDigit(text[i]) * 16 + hexDigit(text[i + 1])));
        i += 2;
    }
    return true;
}

// The next "SendData: " or "ReceiveData: " at or after `from`.
std::size_t nextMarker(const std::string& text, std::size_t from) {
    return std::min(text.find(kSent, from), text.find(kReceived, from));
}

// Splits a traffic line at its markers; false when the line has other text.
bool splitSegments(const std::string& text, std::size_t start, std::vector<Segment>& segments) {
    for (std::size_t at = start; at != std::string::npos;) {
        if (at != nextMarker(text, at)) return false;
        Segment segment;
        segment.sent = text.compare(at, std::strlen(kSent), kSent) == 0;
        const std::size_t body = at + std::strlen(segment.sent ? kSent : kReceived);
        const std::size_t next = nextMarker(text, body);
        segment.hex = text.substr(body, next == std::string::npos ? std::string::npos : next - body);
        segment.endsLine = next == std::string::npos;
        segments.push_back(segment);
        at = next;
    }
    return !segments.empty();
}

// "YYYY-MM-DD hh:mm:ss" from the numbers of the banner, whose date words are GBK.
std::string bannerDate(const std::string& text) {
    int numbers[6];
    int found = 0;
    for (std::size_t i = 0; i < text.size() && found < 6;) {
        if (!std::isdigit(static_cast<unsigned char>(text[i]))) {
            ++i;
            continue;
        }
        numbers[found++] = std::atoi(text.c_str() + i);
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i;
    }
    if (found < 6) return {};
    char date[64];
    std::snprintf(date, sizeof date, "%04d-%02d-%02d %02d:%02d:%02d", numbers[0], numbers[1], numbers[2], numbers[3],
                  numbers[4], numbers[5]);
    return date;
}

TraceEntry note(std::string text) {
    TraceEntry entry;
    entry.kind = TraceEntry::Kind::Note;
    entry.text = std::move(text);
    return entry;
}

}  // namespace

// The log keeps no failed read: a request still waiting when the next one goes out got nothing.
void LogTrace::closeWaitingRequest(std::vector<TraceEntry>& entries) {
    if (!decoder_.AwaitsReply()) return;
    TrafficTransfer missing;
    missing.sent = false;
    missing.outcome = RAVO_TRAFFIC_NOTHING;
    feed(missing, entries);
}

void LogTrace::feed(TrafficTransfer transfer, std::vector<TraceEntry>& entries) {
    if (transfer.sent) closeWaitingRequest(entries);
    TraceEntry entry;
    entry.line = decoder_.Decode(transfer);
    entries.push_back(std::move(entry));
}

std::vector<TraceEntry> LogTrace::ReadLine(const std::string& text) {
    std::vector<TraceEntry> entries;
    if (text.empty()) return entries;
    if (text.rfind(kBannerStart, 0) == 0 && !bannerDate(text).empty()) return {note("日志开始 " + bannerDate(text))};
    unsigned records = 0;
    char dots = 0;
    if (std::sscanf(text.c_str(), "[%u] Begin Download user program %c", &records, &dots) == 2) {
        decoder_.BeginDownload();
        return {note("开始下载 " + std::to_string(records) + " 条记录")};
    }

    // Ravo_Debug.log numbers its lines: "<n>   SendData: ...", "<n> ReceiveData: ...".
    std::size_t start = 0;
    while (start < text.size() && std::isdigit(static_cast<unsigned char>(text[start]))) ++start;
    const bool numbered = start > 0;
    while (numbered && start < text.size() && text[start] == ' ') ++start;

    std::vector<Segment> segments;
    std::vector<TrafficTransfer> transfers;
    bool parsed = splitSegments(text, start, segments);
    for (const Segment& segment : segments) {
        TrafficTransfer transfer;
        transfer.sent = segment.sent;
        parsed = parsed && parseHex(segment.hex, transfer.bytes);
        const bool nothing =
            transfer.bytes.empty() || (numbered && !segment.sent && transfer.bytes == FrameBytes(kFrameSize, 0));
        if (nothing) transfer.bytes.clear();
        // A write cut short leaves its line open; the download log shows a record's reply
        // buffer as zeros when nothing came.
        transfer.outcome = nothing                             ? RAVO_TRAFFIC_NOTHING
                           : segment.sent && !segment.endsLine ? RAVO_TRAFFIC_SHORT
                                                               : RAVO_TRAFFIC_COMPLETE;
        transfer.awaited = transfer.outcome == RAVO_TRAFFIC_COMPLETE ? static_cast<int>(transfer.bytes.size())
                           : transfer.bytes.empty() || transfer.bytes[0] == 0xAA ? static_cast<int>(kFrameSize)
                                                                                 : 0;
        transfers.push_back(std::move(transfer));
    }
    if (!parsed) {
        ++unparsed_;
        TraceEntry entry;
        entry.kind = TraceEntry::Kind::Unparsed;
        entry.text = text;
        return {entry};
    }
    for (TrafficTransfer& transfer : transfers) feed(std::move(transfer), entries);
    return entries;
}

std::vector<TraceEntry> LogTrace::Finish() {
    std::vector<TraceEntry> entries;
    closeWaitingRequest(entries);
    return entries;
}

}  // namespace kelvane
