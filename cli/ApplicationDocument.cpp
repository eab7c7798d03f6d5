#include "ApplicationDocument.h"

#include "CliError.h"

#include "core/application/ApplicationProgramFile.h"
#include "core/application/WholeFile.h"

#include <cerrno>
#include <cstring>

namespace ravo {

using namespace kelvane;

ApplicationDocument LoadApplicationDocument(const std::string& path) {
    const std::optional<std::string> text = ReadWholeFile(path);
    if (!text) throw CliError("cannot open " + path + ": " + std::strerror(errno));

    ApplicationProgramBuffer buffer;
    ResetApplicationBuffer(buffer);
    ApplicationDocument document;
    const ReadSummary summary = ReadApplicationProgram(
        *text, buffer, [&](int, const ProgramImage& program) { document.programs.push_back(program); });
    if (!summary.recognised) throw CliError(path + ": not an application program file (no version line)");
    document.version = buffer.version;
    document.motor = buffer.motor;
    document.peripherals = buffer.peripherals;
    document.complete = summary.complete;
    return document;
}

void SaveApplicationDocument(const std::string& path, const ApplicationDocument& document) {
    ApplicationProgramBuffer buffer;
    ResetApplicationBuffer(buffer);
    buffer.motor = document.motor;
    buffer.peripherals = document.peripherals;
    const WriteStatus status =
        WriteApplicationProgramFile(path, buffer, static_cast<int>(document.programs.size()),
                                    [&](int index, ProgramImage& program) { program = document.programs[index]; });
    if (!status.ok) throw CliError(status.reason);
}

}  // namespace ravo
