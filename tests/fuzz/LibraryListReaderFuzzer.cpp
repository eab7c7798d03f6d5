// Any bytes given as the library list file: every name read must be safe as a file name, and
// the list written from what was read must read back the same.
#include "core/application/LibraryListFile.h"
#include "core/application/ProgramName.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

using namespace kelvane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const LibraryListContents contents = ReadLibraryList(text);
    for (const std::string& name : contents.names) {
        if (CheckProgramNameGbk(name) != ProgramNameProblem::None) std::abort();
    }
    const int selected = SelectedLibraryPosition(contents, "");
    if (selected < -1 || selected >= static_cast<int>(contents.names.size())) std::abort();

    const LibraryNames names(contents.names.begin(), contents.names.end());
    const LibraryListContents again = ReadLibraryList(FormatLibraryList(contents.portIndex, names, selected));
    if (again.portIndex != contents.portIndex) std::abort();
    if (again.names != std::vector<std::string>(names.begin(), names.end())) std::abort();
    if (!names.empty() && again.activePosition != selected) std::abort();
    return 0;
}
