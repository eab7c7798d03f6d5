#include "PortsCommand.h"

#include "ControllerPort.h"
#include "core/workflow/ControllerConnection.h"

#include <Kelvane_Ravo_Q9T2.h>

#include <fcntl.h>
#include <grp.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace ravo {

namespace {

namespace fs = std::filesystem;

constexpr const char* kSerialByIdFolder = "/dev/serial/by-id";

std::string GroupName(gid_t group) {
    const struct group* entry = ::getgrgid(group);
    return entry ? entry->gr_name : "";
}

// The device opens for this user but not for the library: find out which of its steps fails.
std::string WhyTheLibraryFailed(int fd) {
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) return "in use by another program";
    termios settings{};
    if (::tcgetattr(fd, &settings) != 0) return std::string("not a serial port (") + std::strerror(errno) + ")";
    return "the library did not open it";
}

std::string WhyNotOpened(const std::string& device) {
    if (device.empty()) return "no device for this number";
    struct stat status {};
    if (::stat(device.c_str(), &status) != 0) return errno == ENOENT ? "does not exist" : std::strerror(errno);
    const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return "exists, cannot be opened: " + DescribeOpenFailure(errno, GroupName(status.st_gid));
    const std::string reason = "exists, cannot be opened: " + WhyTheLibraryFailed(fd);
    ::close(fd);
    return reason;
}

std::string ByIdName(const std::string& device, const std::string& byIdFolder) {
    std::error_code error;
    const fs::path target = fs::canonical(device, error);
    if (error) return {};
    for (const fs::directory_entry& entry : fs::directory_iterator(byIdFolder, error)) {
        std::error_code linkError;
        if (fs::canonical(entry.path(), linkError) == target && !linkError) return entry.path().string();
    }
    return {};
}

}  // namespace

std::string ComDevicePath(int comNumber) {
    if (const char* comDir = std::getenv("RAVO_COM_DIR"))
        return std::string(comDir) + "/COM" + std::to_string(comNumber);
    if (comNumber >= 1 && comNumber <= 9) return "/dev/ttyS" + std::to_string(comNumber - 1);
    if (comNumber >= 10 && comNumber <= 19) return "/dev/ttyUSB" + std::to_string(comNumber - 10);
    return {};
}

std::string DescribeOpenFailure(int error, const std::string& deviceGroup) {
    if (error == EACCES || error == EPERM) {
        const std::string group = deviceGroup.empty() || deviceGroup == "root" ? "dialout" : deviceGroup;
        return std::string(std::strerror(error)) + "; add this user to the group " + group + " (sudo usermod -aG " +
               group + " $USER) and log in again";
    }
    if (error == EBUSY) return "in use by another program";
    return std::strerror(error);
}

PortReport InspectPort(int comNumber, const std::string& byIdFolder) {
    InitialiseLibrary();
    PortReport report;
    report.comNumber = comNumber;
    report.device = ComDevicePath(comNumber);
    report.opens = Ravo_OpenSericalPort(comNumber) == RAVO_OK;
    if (report.opens) {
        Ravo_CloseSericalPort();
    } else {
        report.problem = WhyNotOpened(report.device);
    }
    if (!report.device.empty()) report.byIdName = ByIdName(report.device, byIdFolder);
    return report;
}

std::vector<PortReport> InspectPorts() {
    std::vector<PortReport> reports;
    for (int com = 0; com < kelvane::kPortsToProbe; ++com) reports.push_back(InspectPort(com, kSerialByIdFolder));
    return reports;
}

}  // namespace ravo
