// `ravo download`: the tool's 程序下载 for an application program file, over a COM port.
#pragma once

#include "ApplicationDocument.h"

#include <ostream>

namespace ravo {

// Opens COM `comNumber`, then motor parameters with read-back, peripherals, every user program
// and work mode 1. Progress goes to `err` (a bar when `errIsTerminal`). On success the last
// line of `out` is "用户应用程序下载成功" and the result 0; on a failure the failing step's
// message and the download's message go to `err` and the result is 1. Throws CliError when
// the port does not open.
int RunDownload(const ApplicationDocument& document, int comNumber, std::ostream& out, std::ostream& err,
                bool errIsTerminal);

}  // namespace ravo
