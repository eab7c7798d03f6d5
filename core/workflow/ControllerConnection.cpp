#include "ControllerConnection.h"

#include "core/machine/ControllerAxes.h"

#include <Kelvane_Ravo_Q9T2.h>

#include <algorithm>
#include <cstdio>

namespace kelvane {

namespace {
constexpr int kUnknownVersion = 0xFFFF;
}  // namespace

std::string PortOpenFailureMessage(int comNumber) {
    char text[64];
    std::snprintf(text, sizeof text, "COM%d:打开失败", comNumber);
    return text;
}

const char* LinkTroubleText(int linkState) {
    switch (linkState) {
        case RAVO_LINK_NO_REPLY:
            return kNoReplyText;
        case RAVO_LINK_LOST:
            return kLinkLostText;
        default:
            return nullptr;
    }
}

ConnectResult ConnectController(int comNumber) {
    if (Ravo_OpenSericalPort(comNumber) != RAVO_OK)
        return {false, false, PortOpenFailureMessage(comNumber), kNotConnectedText};
    Ravo_SetWorkMode(kControllerAddress, RAVO_WORK_MODE_MANUAL, 0);
    int version = -1;
    const bool queried = Ravo_GetControllerVersion(kControllerAddress, &version) == RAVO_OK;
    if (const char* trouble = LinkTroubleText(Ravo_GetLinkState())) return {true, false, "", trouble};
    if (!queried || version == kUnknownVersion) return {true, true, "", "控制器:未知版本"};
    char text[64];
    std::snprintf(text, sizeof text, "控制器:%d.%d版本", version >> 8, version & 0xFF);
    return {true, true, "", text};
}

PortProbe ProbePorts(std::optional<int> keep) {
    PortProbe probe;
    for (int com = 0; com < kPortsToProbe; ++com) {
        if (Ravo_OpenSericalPort(com) != RAVO_OK) continue;
        Ravo_CloseSericalPort();
        probe.coms.push_back(com);
    }
    probe.reopened = keep && std::find(probe.coms.begin(), probe.coms.end(), *keep) != probe.coms.end() &&
                     Ravo_OpenSericalPort(*keep) == RAVO_OK;
    return probe;
}

}  // namespace kelvane
