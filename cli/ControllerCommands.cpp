#include "ControllerCommands.h"

#include "ControllerPort.h"

#include "core/workflow/ControllerConnection.h"
#include "core/workflow/FactoryData.h"

namespace ravo {

int RunInfo(int comNumber, std::ostream& out, std::ostream& err) {
    InitialiseLibrary();
    const kelvane::ConnectResult result = kelvane::ConnectController(comNumber);
    if (!result.opened) err << "ravo: " << result.failureMessage << "\n";
    out << result.statusText << "\n";
    return result.answered ? 0 : 1;
}

int RunFactoryCheck(int comNumber, std::ostream& out) {
    OpenControllerPort(comNumber);
    const kelvane::FactoryCheckResult result = kelvane::CheckFactoryData(kelvane::LocalDate());
    out << result.message << "\n";
    const bool failed =
        result.outcome == kelvane::FactoryCheckOutcome::CheckFailed || result.message == kelvane::kNoReplyText;
    return failed ? 1 : 0;
}

}  // namespace ravo
