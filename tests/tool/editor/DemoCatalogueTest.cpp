// The catalogue that ships in the data folder must be complete and consistent.
#include "editor/CatalogueFile.h"
#include "editor/CatalogueReaders.h"
#include "editor/LineCodec.h"
#include "shell/GbkText.h"

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

        // A row with a value in every parameter in use encodes and renders back unchanged.
        RowCells cells{"0", catalogue.groups.at(static_cast<std::uint8_t>(def.group)), def.name, "", "", "", "x"};
        for (std::size_t k = 0; k < 3; ++k) {
            const ParamDef& param = def.params[k];
            if (param.used != 0) kinds.insert(param.kind);
            std::string& cell = cells[kParam1Column + k];
            if (param.used == 0) cell = "0";
            else if (param.kind == kEnumerationParam) cell = catalogue.paramTypes.at(param.enumType).rbegin()->second;
            else cell = param.kind == kIntegerParam ? "-42" : "12.250";
        }
        LineRecord record;
        std::optional<std::string> remark;
        ASSERT_TRUE(CommitCells(catalogue, cells, record, remark));
        EXPECT_EQ(RenderCells(catalogue, 0, record, &*remark), cells) << def.name;
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
