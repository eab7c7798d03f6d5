// Where the tool and ravo keep the data folder KelvaneRavoTools/ (catalogue files, program
// library). A build tree or a portable copy keeps it writable beside the executable; an
// installed program finds none there and uses the user's data folder instead, which it fills
// once from the demo data that come with the installation.
#pragma once

#include <string>

namespace kelvane {

struct DataLocations {
    std::string executableDirectory;  // folder of the running executable
    std::string userDataHome;         // $XDG_DATA_HOME, else $HOME/.local/share (Windows: %APPDATA%); empty: none
    std::string installedData;        // the installation's demo KelvaneRavoTools/ (read-only)
};

// $XDG_DATA_HOME when it is an absolute path, else $HOME/.local/share when $HOME is absolute,
// else empty.
std::string UserDataHome(const char* xdgDataHome, const char* home);

// The locations of the running program from its executable folder and the environment.
DataLocations DataLocationsFor(const std::string& executableDirectory);

// The folder that holds the data folder to use:
// - `executableDirectory` when its KelvaneRavoTools/ exists and is writable;
// - otherwise `userDataHome`. When its KelvaneRavoTools/ does not exist yet, it is made as a
//   copy of the demo data: the read-only KelvaneRavoTools/ beside the executable if there is
//   one, else `installedData`. An existing folder is never changed, so nothing the user
//   changed or deleted is overwritten or brought back;
// - `executableDirectory` when there is no user data home.
std::string PrepareDataRoot(const DataLocations& locations);

}  // namespace kelvane
