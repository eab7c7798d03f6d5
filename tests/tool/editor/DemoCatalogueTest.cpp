// The catalogue that ships in the data folder must be complete and consistent.
#include "editor/CatalogueFile.h"
#include "editor/CatalogueReaders.h"
#include "editor/InstructionCatalogue.h"
#include "editor/LineCodec.h"
#include "shell/GbkText.h"

#include <gtest/gtest.h>

#include <set>

using namespace kelvane;

namespace {

class DemoCatalogue : public ::testing::Test {
protected:
    void SetUp() override {
        catalogue.LoadCatalogue(RAVO_DEMO_DATA_FOLDER);
        std::string text;
        ASSERT_TRUE(ReadGbkTextFile(DataFilePath(RAVO_DEMO_DATA_FOLDER, kDescriptionFile), text));
        ReadDescriptions(text, help);
    }

    InstructionCatalogue catalogue;
    DescriptionTable help;
};

TEST_F(DemoCatalogue, GroupsInstructionsAndHelpAgree) {
    EXPECT_EQ(catalogue.groups.size(), 3u);
    std::size_t members = 0;
    for (const auto& [group, codes] : catalogue.groupMembers) {
        ASSERT_EQ(catalogue.groups.count(group), 1u);
        for (std::uint8_t code : codes) EXPECT_EQ(catalogue.instructions.at(code).group, group);
        members += codes.size();
    }
    EXPECT_EQ(members, catalogue.instructions.size());
    EXPECT_GE(catalogue.instructions.size(), 12u);

    std::set<std::string> names;
    for (const auto& [code, def] : catalogue.instructions) {
        EXPECT_TRUE(names.insert(def.name).second) << def.name;
        EXPECT_LE(utf8ToGbk(def.name).size(), 127u);
        const std::string text = help.count(code) ? help.at(code) : std::string();
        EXPECT_FALSE(text.empty()) << "no help for " << int(code);
        EXPECT_LE(utf8ToGbk(text).size(), 255u) << int(code);
    }
    EXPECT_EQ(help.size(), catalogue.instructions.size());
}

TEST_F(DemoCatalogue, ParametersUseKnownKindsAndTypes) {
    std::set<std::int32_t> kinds;
    for (const auto& [code, def] : catalogue.instructions) {
        for (const ParamDef& param : def.params) {
            if (param.used == 0) continue;
            kinds.insert(param.kind);
            if (param.kind == kEnumerationParam) {
                EXPECT_EQ(catalogue.paramTypes.count(param.enumType), 1u) << int(code);
            }
        }
    }
    EXPECT_EQ(kinds, (std::set<std::int32_t>{kIntegerParam, kRealParam, kEnumerationParam}));
}

TEST_F(DemoCatalogue, JumpsKeepTheirLineNumberInAnIntegerParameter) {
    ASSERT_FALSE(catalogue.jumps.empty());
    for (const auto& [code, offset] : catalogue.jumps) {
        const InstructionDef* def = catalogue.instruction(code);
        ASSERT_NE(def, nullptr) << int(code);
        const ParamDef& target = def->params[(offset - 3) / 4];
        EXPECT_EQ(target.used, 1) << def->name;
        EXPECT_EQ(target.kind, kIntegerParam) << def->name;
    }
}

TEST_F(DemoCatalogue, EveryInstructionRoundTripsThroughItsRow) {
    for (const auto& [code, def] : catalogue.instructions) {
        RowCells cells{"0", catalogue.groups.at(static_cast<std::uint8_t>(def.group)), def.name, "", "", "", "x"};
        for (std::size_t k = 0; k < 3; ++k) {
            const ParamDef& param = def.params[k];
            if (param.used == 0) cells[kParam1Column + k] = "0";
            else if (param.kind == kEnumerationParam) cells[kParam1Column + k] = catalogue.paramTypes.at(param.enumType).rbegin()->second;
            else if (param.kind == kIntegerParam) cells[kParam1Column + k] = "-42";
            else cells[kParam1Column + k] = "12.250";
        }
        LineRecord record;
        std::optional<std::string> remark;
        ASSERT_TRUE(CommitCells(catalogue, cells, record, remark));
        EXPECT_EQ(record.bytes[2], code);
        EXPECT_EQ(RenderCells(catalogue, 0, record, &*remark), cells) << def.name;
    }
}

}  // namespace
