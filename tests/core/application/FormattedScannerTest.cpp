// The formatted reading and writing of the application files, with the C library's own as the
// reference for every conversion.
#include "core/application/FormattedPrinter.h"
#include "core/application/FormattedScanner.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstring>
#include <string>

namespace kelvane {
namespace {

// Reads `input` with the scanner (under a locale with a decimal comma, where installed, which must
// not change how files read) and with sscanf: the same count, the same bits and the same end.
template <typename Target, typename Reference>
void ExpectScansLikeTheCLibrary(const char* conversion, const char* input) {
    Reference expected{85};
    int consumed = 0;
    const int expectedStored = std::sscanf(input, (std::string(conversion) + "%n").c_str(), &expected, &consumed);
    Target value = static_cast<Target>(Reference{85});
    FormattedScanner scanner(input);
    std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    const int stored = scanner.scan(conversion, {value});
    std::setlocale(LC_NUMERIC, "C");
    EXPECT_EQ(stored, expectedStored == EOF ? 0 : expectedStored) << conversion << " " << input;
    const Target reference = static_cast<Target>(expected);
    EXPECT_EQ(std::memcmp(&value, &reference, sizeof value), 0) << conversion << " " << input;
    if (stored == 1) {
        EXPECT_EQ(scanner.position(), static_cast<std::size_t>(consumed)) << conversion << " " << input;
    }
}

TEST(FormattedScanner, NumbersReadAsTheCLibraryReadsThem) {
    for (const char* input : {"42", "  -17x", "+5", "-", "abc", "", "2147483648", "-2147483649", "99999999999999999999",
                              "0012", "4294967297", " \t\n 7"})
        ExpectScansLikeTheCLibrary<std::int32_t, int>("%d", input);
    // Hexadecimal bytes keep the low byte of the number read.
    for (const char* input : {"aa", "FF", "0x1f", "1ff", "-1", "  7", "g", "fffffffffffffffffffff"})
        ExpectScansLikeTheCLibrary<std::uint8_t, unsigned>("%x", input);
    for (const char* input : {"5.000000", "-0.5", "1e3", "1.5E-2x", ".25", "3.", "inf", "-INFINITY", "nan", "0x1.8p1",
                              "1e50", "1e-50", "340282356779733661637539395458142568448", "0.1", "16777217", "  +7"})
        ExpectScansLikeTheCLibrary<float, float>("%f", input);
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
    for (float real : {5.0f, -0.5f, 0.1f, 3.4028235e38f, 1e-7f, -0.0f, 123456.789f}) {
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
