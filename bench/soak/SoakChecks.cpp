#include "SoakChecks.h"

#include "support/ApplicationMismatches.h"

#include "core/workflow/ApplicationDownload.h"
#include "core/workflow/ControllerConnection.h"
#include "core/workflow/FactoryData.h"

#include <cstdio>

namespace {

constexpr const char* kDemoFile = "ApplicationProgram/搬运演示.kelvane";
constexpr const char* kDateText = "出厂时间:%d年%d月%d日, 外部存储校验%s";
constexpr const char* kPassed = "通过!";
constexpr const char* kCheckFailed = "外部存储校验错误!";
constexpr int kLimitLevelCoil = 110;

std::string Joined(const std::vector<std::string>& messages) {
    std::string text;
    for (const std::string& message : messages) text += (text.empty() ? "\"" : ", \"") + message + "\"";
    return text.empty() ? "no message" : text;
}

// The factory defaults and `today` in the controller; otherwise what differs.
std::string StoreMismatch(const ravo_sim::Simulator& controller, const kelvane::CalendarDate& today) {
    const auto date = controller.factoryDate();
    if (date[0] != today.year || date[1] != today.month || date[2] != today.day)
        return "factory date " + std::to_string(date[0]) + "-" + std::to_string(date[1]) + "-" +
               std::to_string(date[2]) + " not stored";
    for (int axis = 1; axis <= 6; ++axis) {
        const ravo_sim::AxisState held = controller.axis(axis);
        const std::pair<const char*, bool> parameters[] = {{"acceleration", held.acceleration == 10},
                                                           {"deceleration", held.deceleration == 10},
                                                           {"maximum speed", held.maxSpeed == 10.0f},
                                                           {"pitch", held.pitch == 5.0f},
                                                           {"subdivision", held.subdivision == 1600}};
        for (const auto& [name, stored] : parameters)
            if (!stored) return std::string("factory ") + name + " of axis " + std::to_string(axis) + " not stored";
    }
    return {};
}

}  // namespace

DemoApplication::DemoApplication(const std::string& dataFolder)
    : document(ravo::LoadApplicationDocument(dataFolder + "/" + kDemoFile)) {}

std::vector<kelvane::ProgramRecords> DemoApplication::records() const {
    std::vector<kelvane::ProgramRecords> programs;
    for (const kelvane::ProgramImage& program : document.programs)
        programs.push_back({program.records.data(), program.lineCount});
    return programs;
}

void ForgetDownloadedSettings(ravo_sim::Simulator& controller, const DemoApplication& demo) {
    controller.forgetSettings();
    controller.setCoil(kLimitLevelCoil, demo.document.peripherals.limitTriggerLevel == 0);
}

Verdict JudgeDownload(const ravo_sim::Simulator& controller, const DemoApplication& demo,
                      const std::vector<std::string>& messages) {
    if (messages == std::vector<std::string>{kelvane::kApplicationDownloaded}) {
        const ApplicationMismatches mismatches(controller, demo.document.motor, demo.document.peripherals,
                                               demo.document.programs);
        if (mismatches.texts().empty()) return {Verdict::Succeeded, {}};
        return {Verdict::Wrong, "download reported successful, but " + mismatches.texts().front() + " (" +
                                    std::to_string(mismatches.texts().size()) + " differences)"};
    }
    if (messages.size() == 2 && !messages[0].empty() &&
        (messages[1] == kelvane::kMotorParametersFailed || messages[1] == kelvane::kUserProgramsFailed))
        return {Verdict::Failed, {}};
    return {Verdict::Wrong, "download said " + Joined(messages)};
}

Verdict JudgeFactoryCheck(const ravo_sim::Simulator& controller, const std::string& message,
                          const kelvane::CalendarDate& today) {
    const auto endsWith = [&](const std::string& end) {
        return message.size() >= end.size() && message.compare(message.size() - end.size(), end.size(), end) == 0;
    };
    // A failed check and a store that went unanswered say so; neither claims anything stored.
    if (message == kelvane::kNoReplyText || endsWith(kCheckFailed)) return {Verdict::Failed, {}};
    if (message == kelvane::kFactoryStoredText) {
        const std::string mismatch = StoreMismatch(controller, today);
        if (mismatch.empty()) return {Verdict::Succeeded, {}};
        return {Verdict::Wrong, "出厂设置 said \"" + message + "\", but the " + mismatch};
    }
    if (endsWith(kPassed)) {
        const auto date = controller.factoryDate();
        char held[128];
        std::snprintf(held, sizeof held, kDateText, date[0], date[1], date[2], kPassed);
        if (message != held) return {Verdict::Wrong, "出厂设置 said \"" + message + "\" of another date"};
        for (int axis = 1; axis <= 6; ++axis)
            if (controller.axis(axis).maxSpeed != 10.0f)
                return {Verdict::Wrong, "出厂设置 said \"" + message + "\", but axis " + std::to_string(axis) +
                                            " has another maximum speed"};
        return {Verdict::Succeeded, {}};
    }
    return {Verdict::Wrong, "出厂设置 said \"" + message + "\""};
}
