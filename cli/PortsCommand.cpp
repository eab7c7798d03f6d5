#include "PortsCommand.h"

namespace ravo {

namespace {

// `text` and blanks up to `width`, at least two.
std::string PaddedTo(std::string text, std::size_t width) {
    text.append(text.size() + 2 < width ? width - text.size() : 2, ' ');
    return text;
}

}  // namespace

std::string FormatPortReport(const PortReport& report) {
    std::string line = PaddedTo("COM" + std::to_string(report.comNumber), 7) +
                       PaddedTo(report.device.empty() ? "-" : report.device, 16) +
                       (report.opens ? "opens" : report.problem);
    if (!report.byIdName.empty()) line += "  " + report.byIdName;
    return line;
}

int RunPorts(std::ostream& out) {
    for (const PortReport& report : InspectPorts()) out << FormatPortReport(report) << "\n";
    return 0;
}

}  // namespace ravo
