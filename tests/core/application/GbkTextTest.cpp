#include "core/application/GbkText.h"

#include <gtest/gtest.h>

namespace kelvane {
namespace {

TEST(GbkText, ConvertsBothWaysAndMarksEachUnrepresentableCharacterOnce) {
    const std::string gbk = utf8ToGbk("应用程序版本:5");
    EXPECT_EQ(gbk, "\xD3\xA6\xD3\xC3\xB3\xCC\xD0\xF2\xB0\xE6\xB1\xBE:5");
    EXPECT_EQ(gbkToUtf8(gbk), "应用程序版本:5");

    EXPECT_EQ(utf8ToGbk("a\xF0\x9F\x98\x80"
                        "b"),
              "a?b");  // an emoji GBK has not
    EXPECT_EQ(utf8ToGbk("a\xE4\xB8"
                        "b"),
              "a?b");  // a character cut short
    EXPECT_EQ(utf8ToGbk("a\xE4\xB8"), "a?");
    EXPECT_EQ(utf8ToGbk("\x80\x80"), "??");  // stray continuation bytes
    EXPECT_EQ(gbkToUtf8("a\x81"), "a?");     // a lead byte without its partner
}

}  // namespace
}  // namespace kelvane
