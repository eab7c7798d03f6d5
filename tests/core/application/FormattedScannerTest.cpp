#include "core/application/FormattedPrinter.h"
#include "core/application/FormattedScanner.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstring>
#include <string>

namespace kelvane {
namespace {

// The C library's own reading is the reference for the conversions.
TEST(FormattedScanner, DecimalMatchesTheCLibrary) {
    const char* inputs[] = {
        "42",   "  -17x",     "+5",     "-", "abc", "", "2147483648", "-2147483649", "99999999999999999999",
        "0012", "4294967297", " \t\n 7"};
    for (const char* input : inputs) {
        int expected = -123;
        int consumed = 0;
        const int expectedStored = std::sscanf(input, "%d%n", &expected, &consumed);
        std::int32_t value = -123;
        FormattedScanner scanner(input);
        const int stored = scanner.scan("%d", {value});
        EXPECT_EQ(stored, expectedStored == EOF ? 0 : expectedStored) << input;
        EXPECT_EQ(value, expected) << input;
        if (stored == 1) {
            EXPECT_EQ(scanner.position(), static_cast<std::size_t>(consumed)) << input;
        }
    }
}

TEST(FormattedScanner, HexadecimalKeepsTheLowByte) {
    const char* inputs[] = {"aa", "FF", "0x1f", "1ff", "-1", "  7", "g", "fffffffffffffffffffff"};
    for (const char* input : inputs) {
        unsigned expected = 0x55;
        const int expectedStored = std::sscanf(input, "%x", &expected);
        std::uint8_t value = 0x55;
        const int stored = FormattedScanner(input).scan("%x", {value});
        EXPECT_EQ(stored, expectedStored == EOF ? 0 : expectedStored) << input;
        EXPECT_EQ(value, static_cast<std::uint8_t>(expected)) << input;
    }
}

TEST(FormattedScanner, RealMatchesTheCLibraryWhateverTheLocale) {
    // A locale with a decimal comma (where installed) must not change how files read.
    std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    const char* inputs[] = {"5.000000",
                            "-0.5",
                            "1e3",
                            "1.5E-2x",
                            ".25",
                            "3.",
                            "inf",
                            "-INFINITY",
                            "nan",
                            "0x1.8p1",
                            "1e50",
                            "1e-50",
                            "340282356779733661637539395458142568448",
                            "0.1",
                            "16777217",
                            "  +7"};
    std::setlocale(LC_NUMERIC, "C");
    for (const char* input : inputs) {
        float expected = -9;
        int consumed = 0;
        const int expectedStored = std::sscanf(input, "%f%n", &expected, &consumed);
        std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
        float value = -9;
        FormattedScanner scanner(input);
        const int stored = scanner.scan("%f", {value});
        std::setlocale(LC_NUMERIC, "C");
        ASSERT_EQ(stored, expectedStored) << input;
        EXPECT_EQ(std::memcmp(&value, &expected, sizeof value), 0) << input << " " << value << " " << expected;
        EXPECT_EQ(scanner.position(), static_cast<std::size_t>(consumed)) << input;
    }
}

TEST(FormattedScanner, MatchingLabelsWhiteSpaceAndTokens) {
    // White space in the format matches any run, also none; a mismatch stops the scan there.
    std::int32_t a = 7, b = 8;
    FormattedScanner scanner("1,\r\n\t 2X3:4,b=5");
    EXPECT_EQ(scanner.scan("%d, %d", {a, b}), 2);
    EXPECT_EQ(b, 2);
    EXPECT_EQ(scanner.scan(" X", {}), 0);
    EXPECT_TRUE(scanner.allMatched());
    EXPECT_EQ(scanner.scan("%d:%d,b:%d", {a, b, a}), 2);  // later targets keep their values
    EXPECT_FALSE(scanner.allMatched());
    EXPECT_EQ(std::make_pair(a, b), std::make_pair(3, 4));
    EXPECT_EQ(scanner.scan("=%d", {b}), 1);  // the offending '=' was not consumed
    EXPECT_EQ(b, 5);

    // Labels do not skip leading white space.
    EXPECT_EQ(FormattedScanner(" a:1").scan("a:%d", {a}), 0);
    EXPECT_EQ(a, 3);

    std::string token = "old";
    FormattedScanner tokens("  ab\x01\xff;c\tnext");
    EXPECT_EQ(tokens.scan("%s", {token}), 1);
    EXPECT_EQ(token, "ab\x01\xff;c");
    EXPECT_EQ(tokens.scan("%s", {token}), 1);
    EXPECT_EQ(token, "next");
    EXPECT_EQ(tokens.scan("%s", {token}), 0);
    EXPECT_EQ(token, "next");
}

TEST(FormattedPrinter, MatchesTheCLibrary) {
    const float reals[] = {5.0f, -0.5f, 0.1f, 3.4028235e38f, 1e-7f, -0.0f, 123456.789f};
    for (float real : reals) {
        char expected[128];
        std::snprintf(expected, sizeof expected, "<%f>", static_cast<double>(real));
        std::string out;
        AppendFormatted(out, "<%f>", {real});
        EXPECT_EQ(out, expected);
    }
    std::string out;
    AppendFormatted(out, "%d %d %.2x %.2x %s|",
                    {std::int32_t{-2147483647 - 1}, std::uint8_t{255}, std::uint8_t{0x0a}, std::uint8_t{0xAB},
                     std::string_view("a\0b", 3)});
    EXPECT_EQ(out, "-2147483648 255 0a ab a|");
}

}  // namespace
}  // namespace kelvane
