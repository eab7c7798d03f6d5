#include "core/application/GbkText.h"
#include "core/application/ProgramName.h"

#include <gtest/gtest.h>

namespace kelvane {
namespace {

using P = ProgramNameProblem;

TEST(ProgramName, AcceptsOrdinaryNamesAndRefusesUnsafeFileNames) {
    std::string long126;
    for (int i = 0; i < 63; ++i) long126 += "中";  // 189 UTF-8 bytes, 126 GBK bytes
    const std::pair<std::string, P> cases[] = {
        {"a1", P::None},
        {"机床程序", P::None},
        {"x.y", P::None},
        {"...", P::None},
        {"@#$%", P::None},
        {"乗俓", P::None},
        {long126 + "a", P::None},
        {"", P::Empty},
        {".", P::DotName},
        {"..", P::DotName},
        {"a b", P::WhiteSpace},
        {"a\tb", P::WhiteSpace},
        {"a\nb", P::WhiteSpace},
        {"a/b", P::PathSeparator},
        {"..\\b", P::PathSeparator},
        {"a\x01", P::ControlByte},
        {"a\x7f", P::ControlByte},
        {"smile\xF0\x9F\x98\x80", P::NotGbk},
        {"bad\xC3", P::NotGbk},  // no GBK form; not UTF-8
        {long126 + "ab", P::TooLong},
        {long126 + "中", P::TooLong},  // the length counts GBK bytes
    };
    for (const auto& [name, problem] : cases) EXPECT_EQ(CheckProgramName(name), problem) << name;
}

TEST(ProgramName, GbkSecondBytesAreNotSeparators) {
    // The second byte of 乗 in GBK is 0x5C, the code of '\'.
    const std::string gbkName = utf8ToGbk("乗俓");
    ASSERT_NE(gbkName.find('\\'), std::string::npos);
    EXPECT_EQ(CheckProgramNameGbk(gbkName), P::None);
    EXPECT_EQ(ProgramFileName(gbkName), "乗俓.kelvane");
    EXPECT_EQ(CheckProgramNameGbk("a\\b"), P::PathSeparator);
    EXPECT_EQ(CheckProgramNameGbk("\x81"), P::NotGbk);
}

}  // namespace
}  // namespace kelvane
