#include "TestCatalogue.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstring>
#include <limits>

using namespace kelvane;

namespace {

std::uint32_t bitsOf(float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

const ParamDef kInteger{1, kIntegerParam, 0};
const ParamDef kReal{1, kRealParam, 0};
const ParamDef kEnumeration{1, kEnumerationParam, 7};

TEST(CatalogueLookup, NamesAndCodes) {
    InstructionCatalogue catalogue = testing_catalogue::make();
    EXPECT_EQ(catalogue.FindGroupCode("Flow"), 2);
    EXPECT_EQ(catalogue.FindGroupCode("flow"), kNoInstruction);
    EXPECT_EQ(catalogue.FindInstructionCode("GotoIf"), 13);
    EXPECT_EQ(catalogue.FindInstructionCode(""), kNoInstruction);
    EXPECT_EQ(catalogue.GetInstructionNames(11), std::make_pair(std::string("Flow"), std::string("Goto")));
    EXPECT_EQ(catalogue.GetInstructionNames(99), std::make_pair(std::string(), std::string()));
    EXPECT_EQ(catalogue.GetJumpOffset(14), 11);
    EXPECT_EQ(catalogue.GetJumpOffset(10), 0);

    // The same name in two groups: the lower code, whatever the group.
    ReadCommandFormat("指令集合数目:2\n5 B 1\n30 Twin\n0 0 0\n0 0 0\n0 0 0\n"
                      "4 A 1\n20 Twin\n0 0 0\n0 0 0\n0 0 0\n",
                      catalogue);
    EXPECT_EQ(catalogue.FindInstructionCode("Twin"), 20);
}

TEST(ParamConversion, UnusedParameterIsZeroWhateverItsKind) {
    const InstructionCatalogue catalogue = testing_catalogue::make();
    for (std::int32_t kind : {kIntegerParam, kRealParam, kEnumerationParam}) {
        EXPECT_EQ(catalogue.ParamTextToValue("Fast", ParamDef{0, kind, 7}), 0u);
        EXPECT_EQ(catalogue.ParamTextToValue("42", ParamDef{0, kind, 7}), 0u);
        EXPECT_EQ(catalogue.ParamValueToText(5, ParamDef{0, kind, 7}), "0");
    }
}

TEST(ParamConversion, Integers) {
    const InstructionCatalogue catalogue = testing_catalogue::make();
    EXPECT_EQ(catalogue.ParamTextToValue("-1", kInteger), 0xFFFFFFFFu);
    EXPECT_EQ(catalogue.ParamTextToValue("  +17abc", kInteger), 17u);
    EXPECT_EQ(catalogue.ParamTextToValue("4294967295", kInteger), 0xFFFFFFFFu);
    EXPECT_EQ(catalogue.ParamTextToValue("abc", kInteger), 0u);
    EXPECT_EQ(catalogue.ParamTextToValue("", kInteger), 0u);
    EXPECT_EQ(catalogue.ParamValueToText(0xFFFFFF85u, kInteger), "-123");
    // "used" other than 0 and 1 still encodes and shows.
    EXPECT_EQ(catalogue.ParamTextToValue("8", ParamDef{2, kIntegerParam, 0}), 8u);
    EXPECT_EQ(catalogue.ParamValueToText(8, ParamDef{-1, kIntegerParam, 0}), "8");
}

TEST(ParamConversion, RealNumbersTravelAsTheirFloatBitPattern) {
    const InstructionCatalogue catalogue = testing_catalogue::make();
    EXPECT_EQ(catalogue.ParamTextToValue("1.5", kReal), 0x3FC00000u);
    EXPECT_EQ(catalogue.ParamValueToText(0x3FC00000u, kReal), "1.500");
    EXPECT_EQ(catalogue.ParamTextToValue("1.5", ParamDef{1, 9, 0}), 0x3FC00000u);  // any other kind
    EXPECT_EQ(catalogue.ParamTextToValue("-2.25mm", kReal), bitsOf(-2.25f));
    EXPECT_EQ(catalogue.ParamTextToValue("1e39", kReal), bitsOf(std::numeric_limits<float>::infinity()));
    EXPECT_EQ(catalogue.ParamTextToValue("x1", kReal), 0u);
    EXPECT_EQ(catalogue.ParamValueToText(bitsOf(-1234.5678f), kReal), "-1234.568");
    EXPECT_EQ(catalogue.ParamValueToText(bitsOf(std::numeric_limits<float>::max()), kReal),
              "340282346638528859811704183484516925440.000");

    // A locale with a decimal comma must change nothing.
    const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr) {
        EXPECT_EQ(catalogue.ParamTextToValue("1.5", kReal), 0x3FC00000u);
        EXPECT_EQ(catalogue.ParamValueToText(0x3FC00000u, kReal), "1.500");
    }
    std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(ParamConversion, EnumerationsByExactText) {
    const InstructionCatalogue catalogue = testing_catalogue::make();
    EXPECT_EQ(catalogue.ParamTextToValue("Fast", kEnumeration), 5u);
    EXPECT_EQ(catalogue.ParamTextToValue("fast", kEnumeration), 0u);
    EXPECT_EQ(catalogue.ParamTextToValue("5", kEnumeration), 0u);
    EXPECT_EQ(catalogue.ParamTextToValue("Fast", ParamDef{1, kEnumerationParam, 99}), 0u);
    EXPECT_EQ(catalogue.ParamValueToText(1, kEnumeration), "On");
    EXPECT_EQ(catalogue.ParamValueToText(2, kEnumeration), "0");
    EXPECT_EQ(catalogue.ParamValueToText(1, ParamDef{1, kEnumerationParam, 99}), "0");
}

}  // namespace
