// The application program file, <name>.kelvane: GBK text holding the motor parameters, up to
// ten user programs and the peripheral settings. Everything passes through an
// ApplicationProgramBuffer; the programs pass one at a time.
#pragma once

#include "ApplicationProgramBuffer.h"
#include "AtomicFile.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace kelvane {

constexpr int kMaxPrograms = 10;
constexpr float kWrittenFileVersion = 5.0f;

// Fills `program` with user program `index` just before it is written.
using ProgramSource = std::function<void(int index, ProgramImage& program)>;
// Receives user program `index` as soon as it has been read.
using ProgramSink = std::function<void(int index, const ProgramImage& program)>;

// The file text for the motor and peripheral records of `buffer` and `programCount` programs
// (at most ten) fetched one by one into buffer.program. Version 5.0. Remarks are UTF-8 in memory
// and GBK in the file; white space in a remark is written as '@' so that it stays one token.
std::string FormatApplicationProgram(ApplicationProgramBuffer& buffer, int programCount, const ProgramSource& source);

// Writes the file atomically. When the file cannot be created, no program is fetched.
WriteStatus WriteApplicationProgramFile(const std::string& path, ApplicationProgramBuffer& buffer, int programCount,
                                        const ProgramSource& source);

struct ReadSummary {
    int programCount = 0;     // programs handed to the sink
    bool recognised = false;  // the version line was read
    bool complete = false;    // every read matched its whole format
};

// Reads file text into `buffer`, starting from what it holds: the axes are cleared first;
// fields whose text does not match keep their values; the reading goes on after a mismatch.
// Each program is handed to `sink` as soon as it has been read.
ReadSummary ReadApplicationProgram(std::string_view text, ApplicationProgramBuffer& buffer, const ProgramSink& sink);

// Whether the text is an application program file: its version line reads.
bool ReadsAsApplicationProgram(std::string_view text);

// Reads the file at `path`; nothing when it cannot be opened (the buffer is left untouched).
std::optional<ReadSummary> LoadApplicationProgramFile(const std::string& path, ApplicationProgramBuffer& buffer,
                                                      const ProgramSink& sink);

}  // namespace kelvane
