// Ravo_Debug.log: every record frame of a program download and its reply, numbered. The file
// is created (with its banner) by the first download, stays open across failed downloads so
// that their attempts follow one another in it, and is closed by a successful download.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace ravo_lib {

class DownloadLog {
public:
    // Opens the file beside the executable unless it is open already, then writes the begin
    // line with the record count. A file that cannot be created leaves logging off.
    void beginDownload(unsigned recordCount);
    // "<n>   SendData: ..." with the bytes that went out (none when the write failed at once),
    // numbered with the line counter, which then advances.
    void logSent(const std::uint8_t* frame, std::size_t count);
    // "<n> ReceiveData: ..." numbered with the (already advanced) line counter.
    void logReceived(const std::uint8_t* frame, std::size_t count);
    // Closes the file; the next download starts a new one.
    void close();
    void resetLineCounter() { lineCounter_ = 0; }

private:
    void writeLine(const char* prefix, const std::uint8_t* frame, std::size_t count);

    std::FILE* file_ = nullptr;
    std::uint32_t lineCounter_ = 0;
};

}  // namespace ravo_lib
