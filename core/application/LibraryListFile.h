// The program library's list file, ApplicationProgramMgr.ini: the remembered COM port
// position, the names of the library in byte order (GBK) and the active position.
#pragma once

#include "AtomicFile.h"

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace kelvane {

// The list file and the programs folder, inside the data folder.
inline constexpr const char* kLibraryListFile = "ApplicationProgramMgr.ini";
inline constexpr const char* kProgramsFolder = "ApplicationProgram";

// Names in unsigned byte order, the shorter first when one is a prefix of the other.
using LibraryNames = std::set<std::string>;

struct LibraryListContents {
    std::uint8_t portIndex = 1;
    std::int32_t activePosition = 0;
    std::vector<std::string> names;  // GBK, in file order
};

// Reads list file text. A name is one white-space-delimited token; names that are not safe as
// file names (see CheckProgramNameGbk) are dropped, the active position still naming the same
// entry, and reading stops when the names end before the count says.
LibraryListContents ReadLibraryList(std::string_view text);
// Reads the list file; nothing when it cannot be opened.
std::optional<LibraryListContents> LoadLibraryListFile(const std::string& path);

// The position to select after reading: the last position holding `preferred` when it is not
// empty, else the active position when it lies in the list, else 0; -1 for an empty list.
int SelectedLibraryPosition(const LibraryListContents& contents, const std::string& preferred);

// The list file text: port position, number of names, the selected position (only when there
// are names) and the names in order. Names that are not safe as file names are left out.
std::string FormatLibraryList(std::uint8_t portIndex, const LibraryNames& names, int selectedPosition);
WriteStatus WriteLibraryListFile(const std::string& path, std::uint8_t portIndex, const LibraryNames& names,
                                 int selectedPosition);

}  // namespace kelvane
