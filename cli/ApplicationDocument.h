// A whole application program as ravo handles it: read from a .kelvane file with the tool's
// reading rules (starting from the start-up values) or written with the tool's writer.
#pragma once

#include "core/application/ApplicationProgramBuffer.h"

#include <string>
#include <vector>

namespace ravo {

struct ApplicationDocument {
    float version = 0;
    kelvane::MotorParameterRecord motor;
    std::vector<kelvane::ProgramImage> programs;
    kelvane::PeripheralParameterRecord peripherals;
    bool complete = true;  // every line of the file matched its format
};

// Throws CliError when the file cannot be opened or does not start with a version line.
ApplicationDocument LoadApplicationDocument(const std::string& path);
// Throws CliError when the file cannot be written; an earlier file is then left as it was.
void SaveApplicationDocument(const std::string& path, const ApplicationDocument& document);

}  // namespace ravo
