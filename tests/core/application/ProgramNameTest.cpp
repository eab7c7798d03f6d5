// GBK text both ways, and which names a program of the library may have: its file name must be
// safe and have a GBK form.
#include "core/application/GbkText.h"
#include "core/application/ProgramName.h"

#include <gtest/gtest.h>

#include <vector>

namespace kelvane {
namespace {

using P = ProgramNameProblem;

TEST(GbkText, ConvertsBothWaysAndMarksEachUnrepresentableCharacterOnce) {
    const std::string gbk = utf8ToGbk("应用程序版本:5");
    EXPECT_EQ(gbk, "\xD3\xA6\xD3\xC3\xB3\xCC\xD0\xF2\xB0\xE6\xB1\xBE:5");
    EXPECT_EQ(gbkToUtf8(gbk), "应用程序版本:5");
    EXPECT_EQ(utf8ToGbk(std::string("a\xF0\x9F\x98\x80") + "b"), "a?b");  // an emoji GBK has not
    EXPECT_EQ(utf8ToGbk(std::string("a\xE4\xB8") + "b"), "a?b");          // a character cut short
    EXPECT_EQ(utf8ToGbk("a\xE4\xB8"), "a?");
    EXPECT_EQ(utf8ToGbk("\x80\x80"), "??");  // stray continuation bytes
    EXPECT_EQ(gbkToUtf8("a\x81"), "a?");     // a lead byte without its partner
}

TEST(ProgramName, AcceptsOrdinaryNamesAndRefusesUnsafeFileNames) {
    std::string long126;
    for (int i = 0; i < 63; ++i) long126 += "中";  // 189 UTF-8 bytes, 126 GBK bytes
    for (const std::string& name :
         std::vector<std::string>{"a1", "机床程序", "x.y", "...", "@#$%", "乗俓", long126 + "a"})
        EXPECT_EQ(CheckProgramName(name), P::None) << name;
    // Not GBK: an emoji, and a byte that is not UTF-8; the length counts GBK bytes.
    const struct {
        P problem;
        std::vector<std::string> names;
    } refused[] = {{P::Empty, {""}},
                   {P::DotName, {".", ".."}},
                   {P::WhiteSpace, {"a b", "a\tb", "a\nb"}},
                   {P::PathSeparator, {"a/b", "..\\b"}},
                   {P::ControlByte, {"a\x01", "a\x7f"}},
                   {P::NotGbk, {"smile\xF0\x9F\x98\x80", "bad\xC3"}},
                   {P::TooLong, {long126 + "ab", long126 + "中"}}};
    for (const auto& c : refused)
        for (const std::string& name : c.names) EXPECT_EQ(CheckProgramName(name), c.problem) << name;
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
