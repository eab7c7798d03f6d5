#include "shell/GbkText.h"
#include "shell/ProgramName.h"

#include <gtest/gtest.h>

namespace kelvane {
namespace {

using P = ProgramNameProblem;

TEST(ProgramName, AcceptsOrdinaryNames) {
    for (const char* name : {"a1", "plant", "机床程序", "x.y", "...", "@#$%", "乗俓"})
        EXPECT_EQ(CheckProgramName(name), P::None) << name;
}

TEST(ProgramName, RefusesNamesThatAreNotSafeFileNames) {
    EXPECT_EQ(CheckProgramName(""), P::Empty);
    EXPECT_EQ(CheckProgramName("."), P::DotName);
    EXPECT_EQ(CheckProgramName(".."), P::DotName);
    EXPECT_EQ(CheckProgramName("a b"), P::WhiteSpace);
    EXPECT_EQ(CheckProgramName("a\tb"), P::WhiteSpace);
    EXPECT_EQ(CheckProgramName("a\nb"), P::WhiteSpace);
    EXPECT_EQ(CheckProgramName("a/b"), P::PathSeparator);
    EXPECT_EQ(CheckProgramName("..\\b"), P::PathSeparator);
    EXPECT_EQ(CheckProgramName("a\x01"), P::ControlByte);
    EXPECT_EQ(CheckProgramName("a\x7f"), P::ControlByte);
    EXPECT_EQ(CheckProgramName("smile\xF0\x9F\x98\x80"), P::NotGbk);  // no GBK form
    EXPECT_EQ(CheckProgramName("bad\xC3"), P::NotGbk);                // not UTF-8
}

TEST(ProgramName, LengthCountsGbkBytes) {
    std::string name;
    for (int i = 0; i < 63; ++i) name += "中";  // 189 UTF-8 bytes, 126 GBK bytes
    EXPECT_EQ(CheckProgramName(name + "a"), P::None);
    EXPECT_EQ(CheckProgramName(name + "ab"), P::TooLong);
    EXPECT_EQ(CheckProgramName(name + "中"), P::TooLong);
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
