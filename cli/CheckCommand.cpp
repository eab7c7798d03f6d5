#include "CheckCommand.h"

#include "core/editor/ProgramCheck.h"

namespace ravo {

int RunCheck(const ApplicationDocument& document, const kelvane::InstructionCatalogue& catalogue, std::ostream& out) {
    bool found = false;
    for (std::size_t p = 0; p < document.programs.size(); ++p) {
        for (const kelvane::ProgramProblem& problem : kelvane::CheckProgram(catalogue, document.programs[p])) {
            out << "program " << p << " line " << problem.line << ": " << problem.description << "\n";
            found = true;
        }
    }
    return found ? 1 : 0;
}

}  // namespace ravo
