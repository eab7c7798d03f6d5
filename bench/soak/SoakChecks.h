// The soak's checks of what an action reported against the simulated controller's own record.
#pragma once

#include "ApplicationDocument.h"

#include "core/machine/ProgramsDownload.h"
#include "core/workflow/FactoryData.h"

#include <ravo_sim/Simulator.h>

#include <string>
#include <vector>

// The demo application program 搬运演示 as its file holds it.
struct DemoApplication {
    explicit DemoApplication(const std::string& dataFolder);
    std::vector<kelvane::ProgramRecords> records() const;

    ravo::ApplicationDocument document;
};

struct Verdict {
    enum Kind { Succeeded, Failed, Wrong } kind = Wrong;
    std::string why;  // what was wrong
};

// Before a download: the controller forgets what a download brings, so that a successful one
// has to have brought all of it.
void ForgetDownloadedSettings(ravo_sim::Simulator& controller, const DemoApplication& demo);

// A download's messages in the order shown: the success message alone, or the failing step's
// own message and then the download's failure message. A success must have left exactly the
// application in the controller.
Verdict JudgeDownload(const ravo_sim::Simulator& controller, const DemoApplication& demo,
                      const std::vector<std::string>& messages);

// The message of 出厂设置: a check that passed must match the controller's date and speeds; a
// store reported done must have left today's date and the factory defaults.
Verdict JudgeFactoryCheck(const ravo_sim::Simulator& controller, const std::string& message,
                          const kelvane::CalendarDate& today);
