#include "ProgramLibrary.h"

#include "ApplicationProgramFile.h"
#include "FileCalls.h"
#include "GbkText.h"
#include "ProgramName.h"
#include "WholeFile.h"

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <system_error>

namespace kelvane {
namespace {

std::string ListFilePath(const std::string& dataFolder) { return dataFolder + kLibraryListFile; }

const char* ProblemText(ProgramNameProblem problem) {
    using P = ProgramNameProblem;
    switch (problem) {
        case P::Empty:
            return "名称为空";
        case P::TooLong:
            return "名称超过127字节";
        case P::WhiteSpace:
            return "名称含有空白字符";
        case P::PathSeparator:
            return "名称含有“/”或“\\”";
        case P::ControlByte:
            return "名称含有控制字符";
        case P::DotName:
            return "名称不能是“.”或“..”";
        case P::NotGbk:
            return "名称含有GBK编码以外的字符";
        case P::None:
            break;
    }
    return "";
}

bool FileExists(const std::string& path) {
    std::error_code error;
    return std::filesystem::exists(std::filesystem::u8path(path), error);
}

}  // namespace

ProgramLibrary::ProgramLibrary(std::string dataFolder) : dataFolder_(std::move(dataFolder)) {}

int ProgramLibrary::Read(const std::string& preferred) {
    portIndex_ = 1;
    gbkNames_.clear();
    const auto contents = LoadLibraryListFile(ListFilePath(dataFolder_));
    if (!contents) return -1;
    portIndex_ = contents->portIndex;
    gbkNames_.insert(contents->names.begin(), contents->names.end());
    return SelectedLibraryPosition(*contents, utf8ToGbk(preferred));
}

void ProgramLibrary::Write(int activePosition) const {
    WriteLibraryListFile(ListFilePath(dataFolder_), portIndex_, gbkNames_, activePosition);
}

std::vector<std::string> ProgramLibrary::Names() const {
    std::vector<std::string> names;
    for (const std::string& name : gbkNames_) names.push_back(gbkToUtf8(name));
    return names;
}

std::string ProgramLibrary::FilePath(const std::string& name) const {
    return dataFolder_ + kProgramsFolder + "/" + ProgramFileName(utf8ToGbk(name));
}

bool ProgramLibrary::WouldReplace(const std::string& name, bool replacesFile) const {
    return gbkNames_.count(utf8ToGbk(name)) != 0 || (replacesFile && FileExists(FilePath(name)));
}

void ProgramLibrary::Add(const std::string& name) {
    const auto added = gbkNames_.insert(utf8ToGbk(name)).first;
    Write(static_cast<int>(std::distance(gbkNames_.begin(), added)));
}

void ProgramLibrary::Remove(const std::string& name) {
    gbkNames_.erase(utf8ToGbk(name));
    file_calls::removeFile(FilePath(name));
}

std::optional<std::string> NameRefusal(const std::string& name) {
    const ProgramNameProblem problem = CheckProgramName(name);
    if (problem == ProgramNameProblem::None) return std::nullopt;
    return "“" + name + "”不能作为应用程序名称:" + ProblemText(problem);
}

std::string ImportedName(const std::string& path) {
    const std::size_t folderEnd = path.find_last_of("/\\");
    const std::string file = folderEnd == std::string::npos ? path : path.substr(folderEnd + 1);
    return file.substr(0, file.rfind('.'));
}

ImportSource ReadImportSource(const std::string& path) {
    ImportSource source;
    source.contents = ReadWholeFile(path);
    if (!source.contents)
        source.refusal = "cannot read " + path;
    else if (!ReadsAsApplicationProgram(*source.contents)) {
        source.contents.reset();
        source.refusal = path + "不是应用程序文件";
    }
    return source;
}

}  // namespace kelvane
