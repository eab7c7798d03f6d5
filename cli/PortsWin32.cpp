#include "PortsCommand.h"

#include "ControllerPort.h"

#include <Kelvane_Ravo_Q9T2.h>

#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <filesystem>

namespace ravo {

namespace {

std::string Utf8(const std::wstring& wide) { return std::filesystem::path(wide).u8string(); }

// The ports Windows knows: the values of the SERIALCOMM map, device name -> "COMn".
std::vector<PortReport> KnownPorts() {
    std::vector<PortReport> ports;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) != ERROR_SUCCESS)
        return ports;
    for (DWORD index = 0;; ++index) {
        wchar_t device[256];
        wchar_t port[64];
        DWORD deviceLength = 256;
        DWORD portBytes = sizeof port - sizeof(wchar_t);
        DWORD type = 0;
        const LONG result =
            RegEnumValueW(key, index, device, &deviceLength, nullptr, &type, reinterpret_cast<BYTE*>(port), &portBytes);
        if (result == ERROR_NO_MORE_ITEMS) break;
        if (result != ERROR_SUCCESS || type != REG_SZ) continue;
        port[portBytes / sizeof(wchar_t)] = L'\0';
        if (std::wcsncmp(port, L"COM", 3) != 0) continue;
        PortReport report;
        report.comNumber = static_cast<int>(std::wcstol(port + 3, nullptr, 10));
        report.device = Utf8(device);
        ports.push_back(report);
    }
    RegCloseKey(key);
    std::sort(ports.begin(), ports.end(),
              [](const PortReport& a, const PortReport& b) { return a.comNumber < b.comNumber; });
    return ports;
}

// The port does not open for the library: open it directly to learn why.
std::string WhyNotOpened(int comNumber) {
    const std::wstring name = L"\\\\.\\COM" + std::to_wstring(comNumber);
    const HANDLE handle =
        CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
        CloseHandle(handle);
        return "the library did not open it";
    }
    switch (const DWORD error = GetLastError()) {
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
            return "in use by another program";
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
            return "does not exist";
        default:
            return "cannot be opened: Windows error " + std::to_string(error);
    }
}

}  // namespace

std::vector<PortReport> InspectPorts() {
    InitialiseLibrary();
    std::vector<PortReport> reports = KnownPorts();
    for (PortReport& report : reports) {
        report.opens = Ravo_OpenSericalPort(report.comNumber) == RAVO_OK;
        if (report.opens) {
            Ravo_CloseSericalPort();
        } else {
            report.problem = WhyNotOpened(report.comNumber);
        }
    }
    return reports;
}

}  // namespace ravo
