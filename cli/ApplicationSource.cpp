#include "ApplicationSource.h"

#include "CliError.h"

#include "core/application/GbkText.h"
#include "core/application/LibraryListFile.h"
#include "core/application/ProgramName.h"

namespace ravo {

namespace {

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

std::string ApplicationProgramPath(const std::string& nameOrFile, const std::string& dataFolder) {
    if (nameOrFile.find('/') != std::string::npos || EndsWith(nameOrFile, ".kelvane")) return nameOrFile;
    const kelvane::ProgramNameProblem problem = kelvane::CheckProgramName(nameOrFile);
    if (problem != kelvane::ProgramNameProblem::None)
        throw CliError("'" + nameOrFile + "' is not a program name: " + kelvane::DescribeProgramNameProblem(problem));
    return dataFolder + "/" + kelvane::kProgramsFolder + "/" + kelvane::ProgramFileName(kelvane::utf8ToGbk(nameOrFile));
}

}  // namespace ravo
