// Connecting to the controller on a COM port (连接控制器): open the port, switch the controller
// to work mode 2 and ask for its version, and the status text that results.
#pragma once

#include <string>

namespace kelvane {

inline constexpr const char* kNotConnectedText = "控制器未连接";

struct ConnectResult {
    bool opened = false;
    std::string failureMessage;  // "COM%d:打开失败" when the port did not open
    std::string statusText;      // "控制器:%d.%d版本", "控制器:未知版本" or kNotConnectedText
};

// "COM%d:打开失败": what the user is told when a port does not open.
std::string PortOpenFailureMessage(int comNumber);

// Opens COM `comNumber` (any port open before is closed by it). When it opened: work mode 2,
// then the version query; the version word shows as major (bits 8..15) and minor (bits 0..7).
ConnectResult ConnectController(int comNumber);

}  // namespace kelvane
