#include "TestCatalogue.h"

#include <gtest/gtest.h>

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
const ParamDef kOtherKind{1, 9, 0};
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

    // An instruction whose group is not in the group table has no names.
    catalogue.instructions[40] = InstructionDef{77, 40, "Orphan", {}};
    EXPECT_EQ(catalogue.GetInstructionNames(40), std::make_pair(std::string(), std::string()));
}

TEST(CatalogueLookup, TheSameNameInTwoGroupsFindsTheLowerCode) {
    InstructionCatalogue catalogue;
    ReadCommandFormat("指令集合数目:2\n5 B 1\n30 Twin\n0 0 0\n0 0 0\n0 0 0\n"
                      "4 A 1\n20 Twin\n0 0 0\n0 0 0\n0 0 0\n"
                      "3 A 0\n",
                      catalogue);
    EXPECT_EQ(catalogue.FindInstructionCode("Twin"), 20);
    ReadCommandFormat("指令集合数目:1\n3 A 0\n", catalogue);
    EXPECT_EQ(catalogue.FindGroupCode("A"), 3);
}

TEST(ParamConversion, UnusedParameterIsZeroWhateverItsKind) {
    const InstructionCatalogue catalogue = testing_catalogue::make();
    for (std::int32_t kind : {kIntegerParam, kRealParam, kEnumerationParam}) {
        const ParamDef unused{0, kind, 7};
        EXPECT_EQ(catalogue.ParamTextToValue("Fast", unused), 0u);
        EXPECT_EQ(catalogue.ParamTextToValue("42", unused), 0u);
        EXPECT_EQ(catalogue.ParamValueToText(5, unused), "0");
    }
}

TEST(ParamConversion, Integers) {
    const InstructionCatalogue catalogue = testing_catalogue::make();
    EXPECT_EQ(catalogue.ParamTextToValue("1234", kInteger), 1234u);
    EXPECT_EQ(catalogue.ParamTextToValue("-1", kInteger), 0xFFFFFFFFu);
    EXPECT_EQ(catalogue.ParamTextToValue("  +17abc", kInteger), 17u);
    EXPECT_EQ(catalogue.ParamTextToValue("2147483647", kInteger), 0x7FFFFFFFu);
    EXPECT_EQ(catalogue.ParamTextToValue("4294967295", kInteger), 0xFFFFFFFFu);  // low 32 bits
    EXPECT_EQ(catalogue.ParamTextToValue("abc", kInteger), 0u);
    EXPECT_EQ(catalogue.ParamTextToValue("-", kInteger), 0u);
    EXPECT_EQ(catalogue.ParamTextToValue("", kInteger), 0u);
    EXPECT_EQ(catalogue.ParamTextToValue("3.9", kInteger), 3u);
    EXPECT_EQ(catalogue.ParamValueToText(0xFFFFFF85u, kInteger), "-123");
    EXPECT_EQ(catalogue.ParamValueToText(0x80000000u, kInteger), "-2147483648");
    // "used" other than 0 and 1 still encodes and shows.
    EXPECT_EQ(catalogue.ParamTextToValue("8", ParamDef{2, kIntegerParam, 0}), 8u);
    EXPECT_EQ(catalogue.ParamValueToText(8, ParamDef{-1, kIntegerParam, 0}), "8");
}

TEST(ParamConversion, RealNumbersTravelAsTheirFloatBitPattern) {
    const InstructionCatalogue catalogue = testing_catalogue::make();
    EXPECT_EQ(catalogue.ParamTextToValue("1.5", kReal), 0x3FC00000u);
    EXPECT_EQ(catalogue.ParamValueToText(0x3FC00000u, kReal), "1.500");
    EXPECT_EQ(catalogue.ParamTextToValue("1.5", kOtherKind), 0x3FC00000u);
    EXPECT_EQ(catalogue.ParamTextToValue("-2.25mm", kReal), bitsOf(-2.25f));
    EXPECT_EQ(catalogue.ParamTextToValue("1e3", kReal), bitsOf(1000.0f));
    EXPECT_EQ(catalogue.ParamTextToValue("0.1", kReal), bitsOf(0.1f));
    EXPECT_EQ(catalogue.ParamTextToValue("1e39", kReal), bitsOf(std::numeric_limits<float>::infinity()));
    EXPECT_EQ(catalogue.ParamTextToValue("x1", kReal), 0u);
    EXPECT_EQ(catalogue.ParamTextToValue("", kReal), 0u);
    EXPECT_EQ(catalogue.ParamValueToText(bitsOf(0.1f), kReal), "0.100");
    EXPECT_EQ(catalogue.ParamValueToText(bitsOf(-1234.5678f), kReal), "-1234.568");
    EXPECT_EQ(catalogue.ParamValueToText(bitsOf(std::numeric_limits<float>::max()), kReal),
              "340282346638528859811704183484516925440.000");
    EXPECT_EQ(catalogue.ParamValueToText(bitsOf(std::numeric_limits<float>::infinity()), kReal), "inf");
}

TEST(ParamConversion, RealNumbersIgnoreTheUserLocale) {
    const InstructionCatalogue catalogue = testing_catalogue::make();
    // A locale with a decimal comma, when the machine has one; the result must not change.
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = previous ? previous : "C";
    std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    EXPECT_EQ(catalogue.ParamTextToValue("1.5", kReal), 0x3FC00000u);
    EXPECT_EQ(catalogue.ParamValueToText(0x3FC00000u, kReal), "1.500");
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
