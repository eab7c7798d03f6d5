// Connecting to the controller on a COM port (连接控制器): open the port, switch the controller
// to work mode 2 and ask for its version, and the status text that results.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kelvane {

inline constexpr const char* kNotConnectedText = "控制器未连接";
inline constexpr const char* kNoReplyText = "控制器无应答";
inline constexpr const char* kLinkLostText = "控制器连接已断开";

struct ConnectResult {
    bool opened = false;
    bool answered = false;       // the version query got its whole reply
    std::string failureMessage;  // "COM%d:打开失败" when the port did not open
    // "控制器:%d.%d版本", "控制器:未知版本", kNoReplyText, kLinkLostText or kNotConnectedText
    std::string statusText;
};

// "COM%d:打开失败": what the user is told when a port does not open.
std::string PortOpenFailureMessage(int comNumber);

// The status text for a line state of Ravo_GetLinkState that names a trouble (no reply, lost
// port); nullptr for a line that answers or no open port.
const char* LinkTroubleText(int linkState);

// Opens COM `comNumber` (any port open before is closed by it). When it opened: work mode 2,
// then the version query; the version word shows as major (bits 8..15) and minor (bits 0..7).
// A controller that did not answer shows the line's trouble instead of a version.
ConnectResult ConnectController(int comNumber);

// The COM numbers a user may choose from: COM0..COM19.
inline constexpr int kPortsToProbe = 20;

struct PortProbe {
    std::vector<int> coms;  // the COM numbers that opened, in order
    bool reopened = false;  // the connection the probe closed is open again
};

// The COM numbers that open now. Opening a port closes the one that was open, so the probe
// opens `keep` again afterwards when it is still listed.
PortProbe ProbePorts(std::optional<int> keep);

}  // namespace kelvane
