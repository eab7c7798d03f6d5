// The catalogue that ships in the data folder must be complete and consistent.
#include "core/application/GbkText.h"
#include "core/editor/CatalogueFile.h"
#include "core/editor/CatalogueReaders.h"

#include <gtest/gtest.h>

using namespace kelvane;

namespace {

TEST(DemoCatalogue, IsCompleteAndConsistent) {
    InstructionCatalogue catalogue;
    catalogue.LoadCatalogue(RAVO_DEMO_DATA_FOLDER);
    DescriptionTable help;
    std::string text;
    ASSERT_TRUE(ReadGbkTextFile(DataFilePath(RAVO_DEMO_DATA_FOLDER, kDescriptionFile), text));
    ReadDescriptions(text, help);

    EXPECT_EQ(catalogue.groups.size(), 3u);
    EXPECT_GE(catalogue.instructions.size(), 12u);
    EXPECT_EQ(help.size(), catalogue.instructions.size());
    std::set<std::int32_t> kinds;
    for (const auto& [code, def] : catalogue.instructions) {
        EXPECT_EQ(catalogue.FindInstructionCode(def.name), code) << def.name;  // unique names
        EXPECT_EQ(catalogue.groupMembers.at(static_cast<std::uint8_t>(def.group)).count(code), 1u);
        EXPECT_LE(utf8ToGbk(DescriptionText(help, code)).size(), 255u);
        EXPECT_FALSE(DescriptionText(help, code).empty()) << def.name;

        for (const ParamDef& param : def.params) {
            if (param.used != 0) kinds.insert(param.kind);
            if (param.used != 0 && param.kind == kEnumerationParam) {
                EXPECT_EQ(catalogue.paramTypes.count(param.enumType), 1u) << def.name;
            }
        }
    }
    EXPECT_EQ(kinds, (std::set<std::int32_t>{kIntegerParam, kRealParam, kEnumerationParam}));

    // Jumps keep their line number in an integer parameter in use.
    ASSERT_FALSE(catalogue.jumps.empty());
    for (const auto& [code, offset] : catalogue.jumps) {
        const ParamDef& target = catalogue.instructions.at(code).params[(offset - 3) / 4];
        EXPECT_EQ(std::make_pair(target.used, target.kind), std::make_pair(1, kIntegerParam)) << int(code);
    }
}

}  // namespace
