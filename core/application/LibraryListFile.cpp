#include "LibraryListFile.h"

#include "FormattedPrinter.h"
#include "FormattedScanner.h"
#include "GbkText.h"
#include "ProgramName.h"
#include "WholeFile.h"

namespace kelvane {
namespace {

struct ListFormats {
    std::string portIndex = utf8ToGbk("串口编号:%d\n");
    std::string count = utf8ToGbk("应用程序个数:%d\n");
    std::string active = utf8ToGbk("激活程序编号:%d\n");
    std::string name = "%s\n";
};

const ListFormats& formats() {
    static const ListFormats instance;
    return instance;
}

}  // namespace

LibraryListContents ReadLibraryList(std::string_view text) {
    const ListFormats& f = formats();
    FormattedScanner in(text);
    LibraryListContents contents;
    in.scan(f.portIndex, {contents.portIndex});
    std::int32_t count = 0;
    in.scan(f.count, {count});
    in.scan(f.active, {contents.activePosition});
    // The active position counts the names of the file; a dropped name before it moves it
    // back, so that it still names the same entry (a dropped active name: none).
    const std::int32_t activeInFile = contents.activePosition;
    for (std::int32_t i = 0; i < count; ++i) {
        std::string name;
        if (in.scan(f.name, {name}) != 1) break;
        if (CheckProgramNameGbk(name) == ProgramNameProblem::None) {
            contents.names.push_back(std::move(name));
        } else if (i < activeInFile) {
            --contents.activePosition;
        } else if (i == activeInFile) {
            contents.activePosition = -1;
        }
    }
    return contents;
}

std::optional<LibraryListContents> LoadLibraryListFile(const std::string& path) {
    const std::optional<std::string> text = ReadWholeFile(path);
    if (!text) return std::nullopt;
    return ReadLibraryList(*text);
}

int SelectedLibraryPosition(const LibraryListContents& contents, const std::string& preferred) {
    const int count = static_cast<int>(contents.names.size());
    int active = contents.activePosition;
    for (int i = 0; i < count; ++i) {
        if (!preferred.empty() && contents.names[i] == preferred) active = i;
    }
    if (active >= 0 && active < count) return active;
    return count > 0 ? 0 : -1;
}

std::string FormatLibraryList(std::uint8_t portIndex, const LibraryNames& names, int selectedPosition) {
    const ListFormats& f = formats();
    std::vector<const std::string*> safe;
    for (const std::string& name : names) {
        if (CheckProgramNameGbk(name) == ProgramNameProblem::None) safe.push_back(&name);
    }
    std::string out;
    AppendFormatted(out, f.portIndex, {portIndex});
    AppendFormatted(out, f.count, {static_cast<std::int32_t>(safe.size())});
    if (!safe.empty()) AppendFormatted(out, f.active, {std::int32_t{selectedPosition}});
    for (const std::string* name : safe) AppendFormatted(out, f.name, {std::string_view(*name)});
    return out;
}

WriteStatus WriteLibraryListFile(const std::string& path, std::uint8_t portIndex, const LibraryNames& names,
                                 int selectedPosition) {
    return WriteFileAtomically(path, FormatLibraryList(portIndex, names, selectedPosition));
}

}  // namespace kelvane
