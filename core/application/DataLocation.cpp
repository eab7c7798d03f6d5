#include "core/application/DataLocation.h"

#include "core/application/FileCalls.h"
#include "core/editor/CatalogueFile.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <cwchar>
#else
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace kelvane {

namespace {

bool IsFolder(const std::string& path) {
    std::error_code error;
    return fs::is_directory(fs::u8path(path), error);
}

#ifdef _WIN32
// Windows reports no write permission for a folder: a file is made and removed to find out.
bool IsWritableFolder(const std::string& path) {
    const std::string probe = path + "/.write-probe-" + std::to_string(file_calls::processId());
    const int fd = file_calls::createNew(probe);
    if (fd < 0) return false;
    file_calls::closeFile(fd);
    file_calls::removeFile(probe);
    return true;
}

// %APPDATA%, the user's roaming application data; empty when it is not set.
std::string ApplicationDataHome() {
    const wchar_t* appData = _wgetenv(L"APPDATA");
    return appData && appData[0] ? fs::path(appData).u8string() : std::string();
}
#else
bool IsWritableFolder(const std::string& path) { return IsFolder(path) && ::access(path.c_str(), W_OK) == 0; }
#endif

// Copies the files and folders of `from` into the new folder `to`. The copies get the
// usual rights of new files plus the owner's right to write, whatever the rights of the
// read-only originals: they are the user's to change.
bool CopyFolder(const fs::path& from, const fs::path& to) {
    std::error_code error;
    if (!fs::create_directory(to, error)) return false;
    for (fs::recursive_directory_iterator entry(from, error), end; !error && entry != end; entry.increment(error)) {
        const fs::path copy = to / entry->path().lexically_relative(from);
        if (entry->is_directory(error)) {
            fs::create_directory(copy, error);
        } else if (fs::copy_file(entry->path(), copy, error)) {
            fs::permissions(copy, fs::perms::owner_write, fs::perm_options::add, error);
        }
    }
    return !error;
}

// Makes `target` a copy of `demo` all at once: the copy is made in a folder of its own beside
// `target` and renamed into place, so a copy cut short, or a second program copying at the
// same time, never leaves a half-filled data folder; whichever rename comes first wins.
void CopyDemoData(const std::string& demo, const std::string& target) {
    std::error_code error;
    const fs::path targetPath = fs::u8path(target);
    fs::create_directories(targetPath.parent_path(), error);
    const fs::path partial = fs::u8path(target + ".partial-" + std::to_string(file_calls::processId()));
    fs::remove_all(partial, error);
    if (CopyFolder(fs::u8path(demo), partial)) fs::rename(partial, targetPath, error);
    fs::remove_all(partial, error);
}

}  // namespace

std::string UserDataHome(const char* xdgDataHome, const char* home) {
    if (xdgDataHome && xdgDataHome[0] == '/') return xdgDataHome;
    if (home && home[0] == '/') return std::string(home) + "/.local/share";
    return {};
}

DataLocations DataLocationsFor(const std::string& executableDirectory) {
#ifdef _WIN32
    const std::string userDataHome = ApplicationDataHome();
#else
    const std::string userDataHome = UserDataHome(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
#endif
    return {executableDirectory, userDataHome,
            (fs::u8path(executableDirectory) / RAVO_INSTALLED_DATA_FROM_BINDIR).lexically_normal().u8string()};
}

std::string PrepareDataRoot(const DataLocations& locations) {
    const std::string besideExecutable = DataFolderPath(locations.executableDirectory);
    if (IsWritableFolder(besideExecutable) || locations.userDataHome.empty()) return locations.executableDirectory;

    const std::string userData = DataFolderPath(locations.userDataHome);
    std::error_code error;
    if (!fs::exists(fs::u8path(userData), error) && !error) {
        const std::string& demo = IsFolder(besideExecutable) ? besideExecutable : locations.installedData;
        if (IsFolder(demo)) CopyDemoData(demo, userData);
    }
    return locations.userDataHome;
}

}  // namespace kelvane
