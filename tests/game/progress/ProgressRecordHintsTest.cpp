// ProgressRecordHintsTest.cpp: the record's seven hint slots: ids added once
// each at the front, removal closing the gaps, and a full record refusing an
// eighth id.
#include "game/progress/ProgressRecord.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<int> slots(const ProgressRecord& r)
{
    return std::vector<int>(r.hint, r.hint + ProgressRecord::HINT_COUNT);
}

TEST(ProgressRecordHintsTest, AddAndRemoveKeepTheIdsAtTheFrontInOrder)
{
    ProgressRecord r;
    EXPECT_TRUE(r.addHint(4));
    EXPECT_TRUE(r.addHint(9));
    EXPECT_TRUE(r.addHint(4)) << "an id held already";
    EXPECT_TRUE(r.addHint(2));
    EXPECT_EQ((std::vector<int>{4, 9, 2, -1, -1, -1, -1}), slots(r));
    EXPECT_EQ(3, r.hintCount());
    r.removeHint(9);
    EXPECT_EQ((std::vector<int>{4, 2, -1, -1, -1, -1, -1}), slots(r));
    r.removeHint(7);
    EXPECT_EQ(2, r.hintCount()) << "an id not held changes nothing";
    EXPECT_TRUE(r.addHint(-1)) << "the empty mark is no id";
    EXPECT_EQ(2, r.hintCount());
    r.clearHints();
    EXPECT_EQ(0, r.hintCount());
}

TEST(ProgressRecordHintsTest, AnEighthIdNeverWritesPastTheSlots)
{
    ProgressRecord r;
    for (int id = 1; id <= 7; ++id)
        EXPECT_TRUE(r.addHint(id));
    const int after = r.reserved;
    EXPECT_FALSE(r.addHint(8));
    EXPECT_EQ((std::vector<int>{1, 2, 3, 4, 5, 6, 7}), slots(r));
    EXPECT_EQ(after, r.reserved) << "the field behind the slots is untouched";
    EXPECT_EQ(7, r.hintCount());
}

TEST(ProgressRecordHintsTest, ALoadedRecordWithGapsTakesNewIdsInItsFreeSlots)
{
    // A damaged image may hold ids behind an empty slot.
    ProgressRecord r;
    r.hint[2] = 5;
    EXPECT_TRUE(r.addHint(6));
    EXPECT_EQ(6, r.hint[0]);
    EXPECT_EQ(5, r.hint[2]);
    r.removeHint(6);
    EXPECT_EQ((std::vector<int>{5, -1, -1, -1, -1, -1, -1}), slots(r));
}

} // namespace
