// Edit-box parsing and formatting as the views read and show their members.
#include "core/machine/FieldParsing.h"

#include <gtest/gtest.h>

using kelvane::FormatBoxNumber;
using kelvane::ParseBoxInteger;
using kelvane::ParseBoxNumber;

TEST(FieldParsing, IntegersAreDecimalsWithBlanksAroundAndNothingElse) {
    const std::pair<const char*, int> good[] = {{"1600", 1600}, {" \t-25 \t", -25},         {"+7", 7},
                                                {"0", 0},       {"-2147483648", INT32_MIN}, {"2147483647", INT32_MAX}};
    for (const auto& [text, value] : good) EXPECT_EQ(ParseBoxInteger(text), value) << text;
    for (const char* text : {"", "   ", "abc", "12a", "1 2", "1.5", "0x10", "--1", "+-1", "-0", "2147483648",
                             "-2147483649", "99999999999999999999"})
        EXPECT_FALSE(ParseBoxInteger(text).has_value()) << '"' << text << '"';
}

TEST(FieldParsing, NumbersAreFiniteDecimalOrExponentFormsShownWithSixDigits) {
    const std::pair<const char*, float> good[] = {{"5", 5.0f},   {" 5.01 ", 5.01f}, {"-12.5", -12.5f},
                                                  {"+.5", 0.5f}, {"1e3", 1000.0f},  {"0.0", 0.0f}};
    for (const auto& [text, value] : good) EXPECT_EQ(ParseBoxNumber(text), value) << text;
    for (const char* text : {"", "abc", "1,5", "5.0x", "1e", "inf", "nan", "-inf", "1e39", ".0", "-0", "0x1p3"})
        EXPECT_FALSE(ParseBoxNumber(text).has_value()) << '"' << text << '"';

    const std::pair<float, const char*> shown[] = {
        {5.0f, "5"}, {0.1f, "0.1"}, {5.01f, "5.01"}, {1.2345678f, "1.23457"}, {-12.5f, "-12.5"}, {1e7f, "1e+07"}};
    for (const auto& [value, text] : shown) EXPECT_EQ(FormatBoxNumber(value), text);
    EXPECT_EQ(ParseBoxNumber(FormatBoxNumber(123.456f)), 123.456f);  // six-digit values read back the same
}
