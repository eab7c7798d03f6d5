#include "DownloadCommand.h"

#include "ControllerPort.h"
#include "DownloadProgressDisplay.h"

namespace ravo {

int RunDownload(const ApplicationDocument& document, int comNumber, std::ostream& out, std::ostream& err,
                bool errIsTerminal) {
    OpenControllerPort(comNumber);

    std::vector<kelvane::ProgramRecords> programs;
    for (const kelvane::ProgramImage& program : document.programs)
        programs.push_back({program.records.data(), program.lineCount});

    kelvane::ApplicationDownloadResult result;
    {
        DownloadProgressDisplay display(err, errIsTerminal);
        result = kelvane::DownloadApplication(document.motor, document.peripherals, programs,
                                              [&](const kelvane::DownloadProgress& p) { display.show(p); });
    }
    if (!result.succeeded) {
        err << "ravo: " << result.stepMessage << "\n"
            << "ravo: " << result.message << "\n";
        return 1;
    }
    out << result.message << "\n";
    return 0;
}

}  // namespace ravo
