// The controller's port as ravo's --port option names it, and the library behind it.
#pragma once

#include <string>

namespace ravo {

// "COM3" (any case) or "3" as the COM number 3; throws CliError for anything else.
int ParseComPort(const std::string& text);

// Ravo_GlobalInit, once per run, before the first library call.
void InitialiseLibrary();

// Opens COM `comNumber` as the controller's port; throws CliError with the tool's message
// ("COM%d:打开失败") when it does not open.
void OpenControllerPort(int comNumber);

}  // namespace ravo
