#include "ProgramName.h"

#include "FormattedScanner.h"
#include "GbkText.h"

namespace kelvane {
namespace {

// Byte checks on the UTF-8 form, where every ASCII byte is its own character (in GBK a
// second byte may look like '\').
ProgramNameProblem checkUtf8Bytes(const std::string& utf8Name) {
    if (utf8Name.empty()) return ProgramNameProblem::Empty;
    if (utf8Name == "." || utf8Name == "..") return ProgramNameProblem::DotName;
    for (unsigned char c : utf8Name) {
        if (IsWhiteSpaceByte(c)) return ProgramNameProblem::WhiteSpace;
        if (c < 0x20 || c == 0x7F) return ProgramNameProblem::ControlByte;
        if (c == '/' || c == '\\') return ProgramNameProblem::PathSeparator;
    }
    return ProgramNameProblem::None;
}

}  // namespace

ProgramNameProblem CheckProgramName(const std::string& utf8Name) {
    const ProgramNameProblem problem = checkUtf8Bytes(utf8Name);
    if (problem != ProgramNameProblem::None) return problem;
    const std::string gbk = utf8ToGbk(utf8Name);
    if (gbkToUtf8(gbk) != utf8Name) return ProgramNameProblem::NotGbk;
    if (gbk.size() > kMaxProgramNameBytes) return ProgramNameProblem::TooLong;
    return ProgramNameProblem::None;
}

ProgramNameProblem CheckProgramNameGbk(const std::string& gbkName) {
    const std::string utf8 = gbkToUtf8(gbkName);
    const ProgramNameProblem problem = checkUtf8Bytes(utf8);
    if (problem != ProgramNameProblem::None) return problem;
    if (utf8ToGbk(utf8) != gbkName) return ProgramNameProblem::NotGbk;
    if (gbkName.size() > kMaxProgramNameBytes) return ProgramNameProblem::TooLong;
    return ProgramNameProblem::None;
}

const char* DescribeProgramNameProblem(ProgramNameProblem problem) {
    switch (problem) {
        case ProgramNameProblem::None:
            return "valid name";
        case ProgramNameProblem::Empty:
            return "the name is empty";
        case ProgramNameProblem::TooLong:
            return "the name is longer than 127 bytes";
        case ProgramNameProblem::WhiteSpace:
            return "the name contains white space";
        case ProgramNameProblem::PathSeparator:
            return "the name contains '/' or '\\'";
        case ProgramNameProblem::ControlByte:
            return "the name contains a control character";
        case ProgramNameProblem::DotName:
            return "the name is \".\" or \"..\"";
        case ProgramNameProblem::NotGbk:
            return "the name has characters the GBK code page cannot hold";
    }
    return "invalid name";
}

std::string ProgramFileName(const std::string& gbkName) { return gbkToUtf8(gbkName) + ".kelvane"; }

}  // namespace kelvane
