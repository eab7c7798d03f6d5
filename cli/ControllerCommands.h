// `ravo info` and `ravo factory-check`: the tool's connect sequence and its 出厂设置.
#pragma once

#include <ostream>

namespace ravo {

// Opens COM `comNumber`, work mode 2 and the version query; prints the status text the tool
// shows ("控制器:3.0版本"). When the port does not open: the tool's message on `err`,
// "控制器未连接" on `out`, result 1.
int RunInfo(int comNumber, std::ostream& out, std::ostream& err);

// Opens COM `comNumber` (CliError when it does not open) and checks the factory data, storing
// today's date and the factory defaults when there is no factory date or the check fails.
// Prints the message; the result is 1 when the check failed, else 0.
int RunFactoryCheck(int comNumber, std::ostream& out);

}  // namespace ravo
