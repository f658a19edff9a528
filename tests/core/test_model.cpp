// The arrangement table and the three read functions the relations are written with.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "boxes/boxes.h"
#include "core/model.h"

namespace korvane {
namespace {

TEST(PermutationTable, KnownRowsAndEveryArrangementOnce) {
    const auto& t = PermutationTable();
    EXPECT_EQ(t[0], (Permutation{4, 3, 2, 1, 0}));
    EXPECT_EQ(t[1], (Permutation{3, 4, 2, 1, 0}));
    EXPECT_EQ(t[2], (Permutation{4, 2, 3, 1, 0}));
    EXPECT_EQ(t[5], (Permutation{2, 3, 4, 1, 0}));
    EXPECT_EQ(t[6], (Permutation{4, 3, 1, 2, 0}));
    EXPECT_EQ(t[24], (Permutation{4, 3, 2, 0, 1}));
    EXPECT_EQ(t[117], (Permutation{0, 2, 1, 3, 4}));
    EXPECT_EQ(t[118], (Permutation{1, 0, 2, 3, 4}));
    EXPECT_EQ(t[119], (Permutation{0, 1, 2, 3, 4}));
    std::set<Permutation> seen(t.begin(), t.end());
    EXPECT_EQ(seen.size(), 120u);
    for (std::size_t r = 0; r < t.size(); ++r) {
        Permutation sorted = t[r];
        std::sort(sorted.begin(), sorted.end());
        EXPECT_EQ(sorted, (Permutation{0, 1, 2, 3, 4})) << "row " << r;
        EXPECT_EQ(t[r][4], r / 24) << "byte 4 changes slowest";
    }
}

Assignment AllOnRow(int row) {
    Assignment a;
    for (int c = 1; c <= kCategories; ++c) a.row[static_cast<std::size_t>(c)] = static_cast<std::int16_t>(row);
    return a;
}

TEST(SlotOf, CategoryOneOnRowZeroHoldsChoiceFiveFirst) {
    const Assignment a = AllOnRow(0);
    EXPECT_EQ(SlotOf(a, 1, 5), 0);
    EXPECT_EQ(SlotOf(a, 1, 1), 4);
    for (int c = 1; c <= kCategories; ++c) {
        EXPECT_EQ(SlotOf(a, c, 0), std::nullopt);
        EXPECT_EQ(SlotOf(a, c, 6), std::nullopt);
    }
}

TEST(RankDifference, OutOfRangeOrderIsOneAndASlotWithItselfIsZero) {
    const Assignment a = AllOnRow(37);
    for (int s = 0; s < kChoices; ++s) {
        for (int u = 0; u < kChoices; ++u) {
            EXPECT_EQ(RankDifference(a, 0, s, u), 1);
            EXPECT_EQ(RankDifference(a, 7, s, u), 1);
        }
        for (int order = 1; order <= kCategories; ++order) EXPECT_EQ(RankDifference(a, order, s, s), 0);
    }
    const Assignment zero = AllOnRow(0); // rank of slot s is 4 - s
    EXPECT_EQ(RankDifference(zero, 1, 3, 4), 1);
    EXPECT_EQ(RankDifference(zero, 1, 4, 0), -4);
}

TEST(EffectiveSteps, OutsideOneToFourIsOne) {
    EXPECT_EQ(EffectiveSteps(0), 1);
    EXPECT_EQ(EffectiveSteps(5), 1);
    EXPECT_EQ(EffectiveSteps(-3), 1);
    EXPECT_EQ(EffectiveSteps(3), 3);
    EXPECT_EQ(EffectiveSteps(4), 4);
}

TEST(RuleTable, BoxValuesFollowTheBoxNumbers) {
    RuleTable t;
    for (int n = 1; n <= kBoxes; ++n) BoxValue(t, n) = n;
    EXPECT_EQ(t[1], (Rule{1, 2, 3, 4, 5, 81, 97}));
    EXPECT_EQ(t[16], (Rule{76, 77, 78, 79, 80, 96, 112}));
    EXPECT_EQ(t[7].steps, 87);
}

} // namespace
} // namespace korvane
