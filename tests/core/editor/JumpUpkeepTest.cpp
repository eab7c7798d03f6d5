#include "TestCatalogue.h"

#include "core/editor/JumpUpkeep.h"
#include "core/editor/RecordFields.h"

#include <gtest/gtest.h>

using namespace kelvane;

namespace {

TEST(JumpUpkeep, EveryKindOfEdit) {
    const InstructionCatalogue catalogue = testing_catalogue::make();
    const struct {
        std::uint32_t target;
        JumpEdit kind;
        int n;
        int r;
        std::uint32_t expected;
    } cases[] = {
        {7, JumpEdit::None, 1, 7, 7},
        {4, JumpEdit::LinesInserted, 3, 5, 4},
        {5, JumpEdit::LinesInserted, 3, 5, 8},
        {2, JumpEdit::LinesDeleted, 1, 3, 2},
        {5, JumpEdit::LinesDeleted, 1, 3, 4},
        {9, JumpEdit::LinesDeleted, 3, 3, 6},
        // Inside a deleted block: the line before it, or line 0 for a block at the top.
        {3, JumpEdit::LinesDeleted, 1, 3, 2},
        {5, JumpEdit::LinesDeleted, 3, 3, 2},
        {1, JumpEdit::LinesDeleted, 2, 0, 0},
        // Line 4 moved up (r = 3) and line 3 moved down (r = 4) swap the two numbers.
        {4, JumpEdit::MovedUp, 1, 3, 3},
        {3, JumpEdit::MovedUp, 1, 3, 4},
        {5, JumpEdit::MovedUp, 1, 3, 5},
        {4, JumpEdit::MovedDown, 1, 4, 3},
        {3, JumpEdit::MovedDown, 1, 4, 4},
        {2, JumpEdit::MovedDown, 1, 4, 2},
        // Targets that name no line stay as typed.
        {0xFFFFFFFF, JumpEdit::LinesDeleted, 1, 0, 0xFFFFFFFF},
        {999, JumpEdit::LinesInserted, 1, 0, 999},
    };
    for (const auto& c : cases) {
        // Loop (14) keeps its line number in parameter 3; the other parameters must not move.
        LineRecord record;
        record.bytes[2] = 14;
        WriteBigEndian32(record, 3, 0x01020304);
        WriteBigEndian32(record, 7, 0x05060708);
        WriteBigEndian32(record, 11, c.target);
        EXPECT_TRUE(AdjustJumpTarget(catalogue, record, c.kind, c.n, c.r));
        EXPECT_EQ(ReadBigEndian32(record, 11), c.expected)
            << c.target << " kind " << static_cast<int>(c.kind) << " n " << c.n << " r " << c.r;
        EXPECT_EQ(ReadBigEndian32(record, 3), 0x01020304u);
        EXPECT_EQ(ReadBigEndian32(record, 7), 0x05060708u);
    }

    // Only the listed parameter of a jump moves; a line without a jump keeps its values.
    LineRecord record;
    record.bytes[2] = 10;  // Move
    WriteBigEndian32(record, 3, 5);
    EXPECT_FALSE(AdjustJumpTarget(catalogue, record, JumpEdit::LinesInserted, 3, 0));
    EXPECT_EQ(ReadBigEndian32(record, 3), 5u);
    record.bytes[2] = 13;  // GotoIf: line number in parameter 2
    WriteBigEndian32(record, 7, 5);
    EXPECT_TRUE(AdjustJumpTarget(catalogue, record, JumpEdit::LinesInserted, 1, 5));
    EXPECT_EQ(ReadBigEndian32(record, 7), 6u);
    EXPECT_EQ(ReadBigEndian32(record, 3), 5u);
    InstructionCatalogue broken = catalogue;
    broken.jumps[13] = 13;  // filled by hand: would reach past the record
    EXPECT_FALSE(AdjustJumpTarget(broken, record, JumpEdit::LinesInserted, 1, 0));
}

}  // namespace
