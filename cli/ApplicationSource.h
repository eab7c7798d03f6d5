// Which application program a command means: a path to a .kelvane file, or the name of a
// program in the library of the data folder.
#pragma once

#include <string>

namespace ravo {

// `nameOrFile` is taken as a path when it contains '/' or ends in ".kelvane"; otherwise it is
// a library name (UTF-8), checked as the tool checks names, and stands for its file in the
// programs folder of `dataFolder`. Throws CliError for a name the library cannot hold.
std::string ApplicationProgramPath(const std::string& nameOrFile, const std::string& dataFolder);

}  // namespace ravo
