#include "ControllerPort.h"

#include "CliError.h"

#include "core/workflow/ControllerConnection.h"

#include <Kelvane_Ravo_Q9T2.h>

#include <cctype>
#include <cstdlib>

namespace ravo {

int ParseComPort(const std::string& text) {
    std::string digits = text;
    if (digits.size() > 3 && std::toupper(static_cast<unsigned char>(digits[0])) == 'C' &&
        std::toupper(static_cast<unsigned char>(digits[1])) == 'O' &&
        std::toupper(static_cast<unsigned char>(digits[2])) == 'M')
        digits = digits.substr(3);
    const bool allDigits =
        !digits.empty() && digits.size() <= 3 && digits.find_first_not_of("0123456789") == std::string::npos;
    if (!allDigits) throw CliError("--port takes a port such as COM3, not '" + text + "'");
    return std::atoi(digits.c_str());
}

void InitialiseLibrary() {
    static const bool initialised = (Ravo_GlobalInit(), true);
    (void)initialised;
}

void OpenControllerPort(int comNumber) {
    InitialiseLibrary();
    if (Ravo_OpenSericalPort(comNumber) != RAVO_OK) throw CliError(kelvane::PortOpenFailureMessage(comNumber));
}

}  // namespace ravo
