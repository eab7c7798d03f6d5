#include "ControllerConnection.h"

#include "core/machine/ControllerAxes.h"

#include <Kelvane_Ravo_Q9T2.h>

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

ConnectResult ConnectController(int comNumber) {
    if (Ravo_OpenSericalPort(comNumber) != RAVO_OK) return {false, PortOpenFailureMessage(comNumber), kNotConnectedText};
    Ravo_SetWorkMode(kControllerAddress, RAVO_WORK_MODE_MANUAL, 0);
    int version = -1;
    if (Ravo_GetControllerVersion(kControllerAddress, &version) != RAVO_OK) version = kUnknownVersion;
    if (version == kUnknownVersion) return {true, "", "控制器:未知版本"};
    char text[64];
    std::snprintf(text, sizeof text, "控制器:%d.%d版本", version >> 8, version & 0xFF);
    return {true, "", text};
}

}  // namespace kelvane
