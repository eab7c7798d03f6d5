#include "TestCatalogue.h"

#include "editor/JumpUpkeep.h"
#include "editor/RecordFields.h"

#include <gtest/gtest.h>

using namespace kelvane;

namespace {

// Jump 14 (Loop) keeps its line number in parameter 3; parameters 1 and 2 must not move.
LineRecord loopTo(std::uint32_t target) {
    LineRecord record;
    record.bytes[2] = 14;
    WriteBigEndian32(record, 3, 0x01020304);
    WriteBigEndian32(record, 7, 0x05060708);
    WriteBigEndian32(record, 11, target);
    return record;
}

std::uint32_t adjusted(std::uint32_t target, JumpEdit kind, int n, int r) {
    static const InstructionCatalogue catalogue = testing_catalogue::make();
    LineRecord record = loopTo(target);
    EXPECT_TRUE(AdjustJumpTarget(catalogue, record, kind, n, r));
    EXPECT_EQ(ReadBigEndian32(record, 3), 0x01020304u);
    EXPECT_EQ(ReadBigEndian32(record, 7), 0x05060708u);
    return ReadBigEndian32(record, 11);
}

TEST(JumpUpkeep, OnlyJumpInstructionsAreTouched) {
    const InstructionCatalogue catalogue = testing_catalogue::make();
    LineRecord move;
    move.bytes[2] = 10;
    WriteBigEndian32(move, 3, 5);
    const LineRecord before = move;
    EXPECT_FALSE(AdjustJumpTarget(catalogue, move, JumpEdit::LinesInserted, 3, 0));
    EXPECT_EQ(move.bytes, before.bytes);

    // Parameter 1 of Goto, parameter 2 of GotoIf.
    LineRecord jump;
    jump.bytes[2] = 11;
    WriteBigEndian32(jump, 3, 5);
    EXPECT_TRUE(AdjustJumpTarget(catalogue, jump, JumpEdit::LinesInserted, 1, 5));
    EXPECT_EQ(ReadBigEndian32(jump, 3), 6u);
    jump.bytes[2] = 13;
    WriteBigEndian32(jump, 7, 5);
    EXPECT_TRUE(AdjustJumpTarget(catalogue, jump, JumpEdit::LinesDeleted, 1, 2));
    EXPECT_EQ(ReadBigEndian32(jump, 7), 4u);
    EXPECT_EQ(ReadBigEndian32(jump, 3), 6u);
}

TEST(JumpUpkeep, NoneLeavesTheTarget) {
    EXPECT_EQ(adjusted(7, JumpEdit::None, 1, 7), 7u);
}

TEST(JumpUpkeep, InsertedLinesPushTargetsAtOrBelowThem) {
    EXPECT_EQ(adjusted(4, JumpEdit::LinesInserted, 3, 5), 4u);
    EXPECT_EQ(adjusted(5, JumpEdit::LinesInserted, 3, 5), 8u);
    EXPECT_EQ(adjusted(9, JumpEdit::LinesInserted, 3, 5), 12u);
}

TEST(JumpUpkeep, DeletedLinesPullTargetsBelowThem) {
    EXPECT_EQ(adjusted(2, JumpEdit::LinesDeleted, 1, 3), 2u);
    EXPECT_EQ(adjusted(5, JumpEdit::LinesDeleted, 1, 3), 4u);
    EXPECT_EQ(adjusted(9, JumpEdit::LinesDeleted, 3, 3), 6u);
    EXPECT_EQ(adjusted(6, JumpEdit::LinesDeleted, 3, 3), 3u);
}

TEST(JumpUpkeep, TargetsInsideADeletedBlockPointAtTheLineBeforeIt) {
    EXPECT_EQ(adjusted(3, JumpEdit::LinesDeleted, 1, 3), 2u);
    EXPECT_EQ(adjusted(3, JumpEdit::LinesDeleted, 3, 3), 2u);
    EXPECT_EQ(adjusted(5, JumpEdit::LinesDeleted, 3, 3), 2u);
    // Block at the top: the line that now comes first, never a line number below 0.
    EXPECT_EQ(adjusted(0, JumpEdit::LinesDeleted, 1, 0), 0u);
    EXPECT_EQ(adjusted(1, JumpEdit::LinesDeleted, 2, 0), 0u);
}

TEST(JumpUpkeep, MovingALineUpSwapsItsTwoNumbers) {
    // Line 4 moved up: r is 3.
    EXPECT_EQ(adjusted(4, JumpEdit::MovedUp, 1, 3), 3u);
    EXPECT_EQ(adjusted(3, JumpEdit::MovedUp, 1, 3), 4u);
    EXPECT_EQ(adjusted(5, JumpEdit::MovedUp, 1, 3), 5u);
    EXPECT_EQ(adjusted(2, JumpEdit::MovedUp, 1, 3), 2u);
}

TEST(JumpUpkeep, MovingALineDownSwapsItsTwoNumbers) {
    // Line 3 moved down: r is 4.
    EXPECT_EQ(adjusted(4, JumpEdit::MovedDown, 1, 4), 3u);
    EXPECT_EQ(adjusted(3, JumpEdit::MovedDown, 1, 4), 4u);
    EXPECT_EQ(adjusted(5, JumpEdit::MovedDown, 1, 4), 5u);
    EXPECT_EQ(adjusted(0, JumpEdit::MovedDown, 1, 0), 0u);
}

TEST(JumpUpkeep, TargetsThatNameNoLineStayAsTyped) {
    EXPECT_EQ(adjusted(0xFFFFFFFFu, JumpEdit::LinesInserted, 1, 0), 0xFFFFFFFFu);
    EXPECT_EQ(adjusted(0xFFFFFFFFu, JumpEdit::LinesDeleted, 1, 0), 0xFFFFFFFFu);
    EXPECT_EQ(adjusted(1000, JumpEdit::LinesDeleted, 1, 0), 1000u);
    EXPECT_EQ(adjusted(999, JumpEdit::LinesInserted, 1, 0), 999u);
}

TEST(JumpUpkeep, AnOffsetOutsideTheRecordIsNoJump) {
    InstructionCatalogue catalogue;
    catalogue.jumps[14] = 13;  // filled by hand, not by the reader
    LineRecord record = loopTo(5);
    EXPECT_FALSE(AdjustJumpTarget(catalogue, record, JumpEdit::LinesInserted, 1, 0));
}

}  // namespace
