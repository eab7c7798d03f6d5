// Edit-box parsing and formatting as the views read and show their members.
#include "views/FieldParsing.h"

#include <gtest/gtest.h>

using kelvane::FormatBoxNumber;
using kelvane::ParseBoxInteger;
using kelvane::ParseBoxNumber;

TEST(FieldParsing, IntegersAcceptDecimalsWithBlanksAround) {
    EXPECT_EQ(ParseBoxInteger("1600"), 1600);
    EXPECT_EQ(ParseBoxInteger(" \t-25 \t"), -25);
    EXPECT_EQ(ParseBoxInteger("+7"), 7);
    EXPECT_EQ(ParseBoxInteger("0"), 0);
    EXPECT_EQ(ParseBoxInteger("-2147483648"), INT32_MIN);
    EXPECT_EQ(ParseBoxInteger("2147483647"), INT32_MAX);
}

TEST(FieldParsing, IntegersRefuseAnythingElse) {
    for (const char* text : {"", "   ", "abc", "12a", "1 2", "1.5", "0x10", "--1", "+-1", "-0",
                             "2147483648", "-2147483649", "99999999999999999999"})
        EXPECT_FALSE(ParseBoxInteger(text).has_value()) << '"' << text << '"';
}

TEST(FieldParsing, NumbersAcceptDecimalAndExponentForms) {
    EXPECT_EQ(ParseBoxNumber("5"), 5.0f);
    EXPECT_EQ(ParseBoxNumber(" 5.01 "), 5.01f);
    EXPECT_EQ(ParseBoxNumber("-12.5"), -12.5f);
    EXPECT_EQ(ParseBoxNumber("+.5"), 0.5f);
    EXPECT_EQ(ParseBoxNumber("1e3"), 1000.0f);
    EXPECT_EQ(ParseBoxNumber("0.0"), 0.0f);
}

TEST(FieldParsing, NumbersRefuseTextNonFiniteAndOutOfRange) {
    for (const char* text :
         {"", "abc", "1,5", "5.0x", "1e", "inf", "nan", "-inf", "1e39", ".0", "-0", "0x1p3"})
        EXPECT_FALSE(ParseBoxNumber(text).has_value()) << '"' << text << '"';
}

TEST(FieldParsing, NumbersShowSixSignificantDigits) {
    EXPECT_EQ(FormatBoxNumber(5.0f), "5");
    EXPECT_EQ(FormatBoxNumber(0.1f), "0.1");
    EXPECT_EQ(FormatBoxNumber(5.01f), "5.01");
    EXPECT_EQ(FormatBoxNumber(1.2345678f), "1.23457");
    EXPECT_EQ(FormatBoxNumber(-12.5f), "-12.5");
    EXPECT_EQ(FormatBoxNumber(1e7f), "1e+07");
    // What is shown reads back as the same float for six-digit values.
    EXPECT_EQ(ParseBoxNumber(FormatBoxNumber(123.456f)), 123.456f);
}
