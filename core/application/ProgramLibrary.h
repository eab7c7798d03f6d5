// The program library: the application programs of the data folder's programs folder, listed
// by name in the list file, and the rules of its actions (which names it takes, what a save or
// an import would replace, which entry becomes active). Names are UTF-8 here; the list file
// keeps them as GBK. The caller asks the user and shows the texts.
#pragma once

#include "LibraryListFile.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kelvane {

class ProgramLibrary {
public:
    // `dataFolder` ends with a folder separator.
    explicit ProgramLibrary(std::string dataFolder);

    // Takes the names and the remembered port position from the list file (none and 1 when it
    // cannot be read). The position to select: the last one holding `preferred` when that is not
    // empty, else the active one when it lies in the list, else 0; -1 for an empty library.
    int Read(const std::string& preferred);
    // Writes the list file with `activePosition` as the active entry. A list file that cannot
    // be written keeps its old contents; the library in memory stays.
    void Write(int activePosition) const;

    // The names in list order (byte order of their GBK form).
    std::vector<std::string> Names() const;
    std::uint8_t portIndex() const { return portIndex_; }
    void setPortIndex(std::uint8_t position) { portIndex_ = position; }

    // The application program file of `name`.
    std::string FilePath(const std::string& name) const;
    // Whether storing `name` replaces something, so that the user must agree first: a listed
    // name, or (when `replacesFile`) a file of that name that the list does not name.
    bool WouldReplace(const std::string& name, bool replacesFile = true) const;
    // Adds `name` and writes the list file naming it active, so that the next start loads it.
    void Add(const std::string& name);
    // Takes `name` out of the list and deletes its file; the list file is written by the caller.
    void Remove(const std::string& name);

private:
    std::string dataFolder_;
    std::uint8_t portIndex_ = 1;
    LibraryNames gbkNames_;
};

// "“<name>”不能作为应用程序名称:<reason>" for a name that cannot be an application program
// name; none when it can.
std::optional<std::string> NameRefusal(const std::string& name);
// The name an imported file is offered under: its file name without the folder and the last
// extension; a '\' ends a folder as '/' does.
std::string ImportedName(const std::string& path);
// Why the file at `path` cannot be imported ("cannot read <path>", "<path>不是应用程序文件");
// its contents when it can.
struct ImportSource {
    std::optional<std::string> contents;
    std::string refusal;
};
ImportSource ReadImportSource(const std::string& path);

}  // namespace kelvane
