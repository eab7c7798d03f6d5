// Parameter texts to 32-bit values and back, for every kind of parameter.
#include "TestCatalogue.h"
#include "WireVocabulary.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstring>
#include <limits>

using namespace kelvane;

namespace {

TEST(ParamConversion, BothWaysForEveryKind) {
    const InstructionCatalogue catalogue = testing_catalogue::make();
    const ParamDef integer{1, kIntegerParam, 0}, real{1, kRealParam, 0}, enumeration{1, kEnumerationParam, 7},
        unknownEnumeration{1, kEnumerationParam, 99};
    const struct {
        const char* text;
        ParamDef def;
        std::uint32_t value;
    } toValue[] = {
        {"-1", integer, 0xFFFFFFFF},
        {"  +17abc", integer, 17},
        {"4294967295", integer, 0xFFFFFFFF},
        {"abc", integer, 0},
        {"", integer, 0},
        {"8", {2, kIntegerParam, 0}, 8},  // "used" 2 still encodes
        {"1.5", real, 0x3FC00000},
        {"1.5", {1, 9, 0}, 0x3FC00000},  // any other kind is real
        {"-2.25mm", real, FloatBits(-2.25f)},
        {"1e39", real, FloatBits(std::numeric_limits<float>::infinity())},
        {"x1", real, 0},
        {"Fast", enumeration, 5},
        {"fast", enumeration, 0},
        {"5", enumeration, 0},
        {"Fast", unknownEnumeration, 0},
        {"Fast", {0, kEnumerationParam, 7}, 0},
        {"42", {0, kIntegerParam, 0}, 0},
        {"1.5", {0, kRealParam, 0}, 0},
    };
    const struct {
        std::uint32_t value;
        ParamDef def;
        const char* text;
    } toText[] = {
        {0xFFFFFF85u, integer, "-123"},
        {8, {-1, kIntegerParam, 0}, "8"},
        {0x3FC00000u, real, "1.500"},
        {FloatBits(-1234.5678f), real, "-1234.568"},
        {FloatBits(std::numeric_limits<float>::max()), real, "340282346638528859811704183484516925440.000"},
        {1, enumeration, "On"},
        {2, enumeration, "0"},
        {1, unknownEnumeration, "0"},
        {5, {0, kIntegerParam, 0}, "0"},
        {5, {0, kRealParam, 0}, "0"},
        {5, {0, kEnumerationParam, 7}, "0"},
    };
    // A locale with a decimal comma (where installed) must change nothing.
    const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
    std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    for (const auto& c : toValue)
        EXPECT_EQ(catalogue.ParamTextToValue(c.text, c.def), c.value) << c.text << " kind " << c.def.kind;
    for (const auto& c : toText)
        EXPECT_EQ(catalogue.ParamValueToText(c.value, c.def), c.text) << c.value << " kind " << c.def.kind;
    std::setlocale(LC_NUMERIC, saved.c_str());
}

}  // namespace
