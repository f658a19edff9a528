// Suggestions against the search: every count a suggestion claims is the count of the puzzle completed
// with it, read back from its box texts as the window and korvane-solve read them; the order and the
// place they go in; and for a unique puzzle, the fewest rows that keep it unique.
#include <gtest/gtest.h>

#include <algorithm>
#include <stop_token>
#include <string>

#include "core/relations.h"
#include "editor/row_reading.h"
#include "engine/search.h"
#include "examples/sample_puzzles.h"
#include "maker/puzzle_maker.h"
#include "maker/suggest.h"
#include "maker/suggest_text.h"
#include "reasoning/deduce.h"

namespace korvane {
namespace {

using maker::Completion;
using samples::Relay;
using samples::Seating;
using samples::Zebra;

// The count and grade of what the screen shows, read as the window reads it.
std::uint64_t CountShown(const Puzzle& screen) { return CountSolutions(ReadRows(screen).stated).count; }
Grade GradeShown(const Puzzle& screen) { return GradeOf(Deduce(ReadRows(screen).stated)); }

// The order the suggestions promise among rows that leave one solution: items together, not together,
// the neighbours, next to, right or left of, not next to, not neighbours; two steps after one.
int KindRank(const Rule& r) {
    constexpr int kRank[] = {0, 0, 3, 2, 2, 1, 4, 4, 6, 6, 5};
    return kRank[r.relation] + (r.steps == 2 ? 7 : 0);
}

// Every promise of a completion of a puzzle of several solutions.
void CheckSuggestions(const Puzzle& screen, const Completion& done) {
    ASSERT_EQ(done.kind, Completion::Kind::Several);
    ASSERT_EQ(done.count, CountShown(screen));
    if (done.emptyRow == 0) {
        EXPECT_TRUE(done.suggestions.empty());
        return;
    }
    const RowsReading reading = ReadRows(screen);
    const int row = done.emptyRow;
    switch (done.place) {
    case Completion::Place::Empty:
        EXPECT_EQ(reading.row(row).status, RowStatus::Empty);
        for (int k = 1; k < row; ++k) EXPECT_NE(reading.row(k).status, RowStatus::Empty) << "row " << k;
        break;
    case Completion::Place::Implied:
    case Completion::Place::Needed: {
        for (int k = 1; k <= kRules; ++k) EXPECT_NE(reading.row(k).status, RowStatus::Empty) << "row " << k;
        RuleTable without = reading.stated;
        without[row] = Rule{};
        EXPECT_EQ(CountSolutions(without).count == done.count, done.place == Completion::Place::Implied);
        break;
    }
    }
    ASSERT_LE(done.suggestions.size(), maker::kSuggestions);
    const bool toOne = !done.suggestions.empty() && done.suggestions.front().count == 1;
    for (const maker::Suggestion& s : done.suggestions) {
        SCOPED_TRACE(maker::SuggestionLine(s, done, screen));
        const Puzzle completed = maker::WithRow(screen, row, s.rule);
        const RowsReading again = ReadRows(completed);
        ASSERT_EQ(again.row(row).status, RowStatus::Stated);
        EXPECT_EQ(again.values[row], s.rule) << "the texts name the values";
        EXPECT_EQ(CountShown(completed), s.count);
        EXPECT_EQ(GradeShown(completed), s.grade);
        EXPECT_GE(s.count, 1u);
        EXPECT_LT(s.count, done.count);
        if (toOne) {
            EXPECT_EQ(s.count, 1u) << "only rows that leave one, when some do";
        }
        EXPECT_TRUE(IsRelation(s.rule.relation));
        EXPECT_FALSE(s.rule.categoryA == s.rule.categoryB && s.rule.choiceA == s.rule.choiceB);
    }
    // No two alike, and the fewest solutions first when none leaves one.
    for (std::size_t i = 1; i < done.suggestions.size(); ++i) {
        EXPECT_FALSE(done.suggestions[i].rule == done.suggestions[i - 1].rule);
        const maker::Suggestion &before = done.suggestions[i - 1], &now = done.suggestions[i];
        if (!toOne) {
            EXPECT_LE(before.count, now.count);
        } else {
            EXPECT_LE(KindRank(before.rule), KindRank(now.rule)) << "the simplest kind first";
            if (KindRank(before.rule) == KindRank(now.rule)) {
                EXPECT_LE(before.grade, now.grade) << "then the easiest";
            }
        }
    }
}

// A unique puzzle of the maker with `drop` rows emptied: several solutions, room for a row.
Puzzle Loosened(std::uint64_t seed, int drop) {
    const auto made = maker::MakeGradedPuzzle(Grade::Medium, seed);
    Puzzle p = made->puzzle;
    for (int k = 1; k <= drop; ++k) maker::SetRow(p, 1 + static_cast<int>((seed * 7 + static_cast<std::uint64_t>(k) * 5) % 8), Rule{});
    return p;
}

TEST(Suggest, EveryClaimedCountIsTheCompletedPuzzlesOverSeeds) {
    int toOne = 0, fewest = 0;
    for (std::uint64_t seed = 1; seed <= KORVANE_SUGGEST_SEEDS; ++seed)
        for (int drop : {1, 2, 4}) {
            SCOPED_TRACE("seed " + std::to_string(seed) + ", " + std::to_string(drop) + " rows dropped");
            const Puzzle p = Loosened(seed, drop);
            const Completion done = maker::Complete(p);
            if (done.kind != Completion::Kind::Several) continue; // a dropped row was not needed alone
            CheckSuggestions(p, done);
            EXPECT_FALSE(done.suggestions.empty());
            (!done.suggestions.empty() && done.suggestions[0].count == 1 ? toOne : fewest) += 1;
            // The row that was dropped leaves one solution again: some row does.
            if (drop == 1) {
                EXPECT_EQ(done.suggestions.at(0).count, 1u);
            }
        }
    EXPECT_GT(toOne, 0);
}

// When the list says no row leaves one solution, none of the simplest kind does either, by the search.
TEST(Suggest, FewestOnlyWhenNoCorrespondenceLeavesOne) {
    const Puzzle p = Loosened(3, 4);
    const Completion done = maker::Complete(p);
    ASSERT_EQ(done.kind, Completion::Kind::Several);
    if (done.suggestions.empty() || done.suggestions[0].count == 1) GTEST_SKIP() << "some row leaves one";
    const RuleTable stated = ReadRows(p).stated;
    for (int ca = 1; ca <= kCategories; ++ca)
        for (int cb = ca + 1; cb <= kCategories; ++cb)
            for (int a = 1; a <= kChoices; ++a)
                for (int b = 1; b <= kChoices; ++b) {
                    RuleTable t = stated;
                    t[done.emptyRow] = {ca, a, 1, cb, b, 0, 0};
                    EXPECT_NE(CountSolutions(t).count, 1u);
                }
}

// A full table: the suggestion takes the place of an implied row, or of a needed one, and still leaves
// the count it claims.
TEST(Suggest, FullTablesReplaceARow) {
    const Puzzle seating = Seating();
    const Completion done = maker::Complete(seating);
    CheckSuggestions(seating, done);
    ASSERT_NE(done.emptyRow, 0);
    EXPECT_EQ(done.place, Completion::Place::Needed);
    EXPECT_EQ(done.suggestions.at(0).count, 1u);

    // Seating with row 2 replaced by a copy of row 3: row 2 is then implied by row 3.
    Puzzle doubled = seating;
    maker::SetRow(doubled, 2, ReadRows(seating).values[3]);
    ASSERT_GT(CountShown(doubled), 2u);
    const Completion implied = maker::Complete(doubled);
    CheckSuggestions(doubled, implied);
    EXPECT_EQ(implied.place, Completion::Place::Implied);
    EXPECT_LE(implied.emptyRow, 2);
}

// Past the listing bound, rows are ranked on a sample, and each count shown is still exact.
TEST(Suggest, ManySolutionsAreCountedExactly) {
    Puzzle p = Zebra();
    for (int k = 4; k <= kRules; ++k) maker::SetRow(p, k, Rule{});
    ASSERT_GT(CountShown(p), maker::kExactSolutions);
    const Completion done = maker::Complete(p);
    EXPECT_TRUE(done.sampled);
    EXPECT_EQ(done.emptyRow, 4);
    EXPECT_FALSE(done.suggestions.empty());
    CheckSuggestions(p, done);
}

// One solution: the rows kept keep it unique and none of them can go; a copy of a row is not kept. No solution and a malformed row: nothing to suggest.
TEST(Suggest, SmallestRowsThatKeepOneSolution) {
    for (std::uint64_t seed = 1, tried = 0; tried < 3; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        const auto made = maker::MakeGradedPuzzle(Grade::Medium, seed);
        Puzzle p = made->puzzle;
        const RowsReading reading = ReadRows(p);
        int rows = 0;
        while (rows < kRules && reading.row(rows + 1).status == RowStatus::Stated) ++rows;
        if (rows == kRules) continue;
        ++tried;
        // A row more that the others imply: a copy of row 1.
        maker::SetRow(p, rows + 1, reading.values[1]);
        const Completion done = maker::Complete(p);
        ASSERT_EQ(done.kind, Completion::Kind::Unique);
        EXPECT_TRUE(done.smallestProved);
        EXPECT_EQ(static_cast<int>(done.smallest.size()), rows) << "every row of the made puzzle is needed";
        Puzzle kept = p;
        for (int k = 1; k <= kRules; ++k)
            if (std::find(done.smallest.begin(), done.smallest.end(), k) == done.smallest.end()) maker::SetRow(kept, k, Rule{});
        EXPECT_EQ(CountShown(kept), 1u);
        for (int k : done.smallest) {
            Puzzle fewer = kept;
            maker::SetRow(fewer, k, Rule{});
            EXPECT_GT(CountShown(fewer), 1u) << "row " << k << " could go too";
        }
        EXPECT_NE(maker::SmallestLine(done).find(std::to_string(rows) + " lignes"), std::string::npos) << maker::SmallestLine(done);
    }
    EXPECT_EQ(maker::Complete(Relay()).kind, Completion::Kind::None);
    // A category box naming nothing: the search stops there with its error message.
    Puzzle broken = Zebra();
    broken.boxTexts[static_cast<std::size_t>(BoxNumber(BoxRole::CategoryB, 3) - 1)] = "Coleur";
    EXPECT_EQ(maker::Complete(broken).kind, Completion::Kind::RuleError);
}

// A stop requested ends the work with nothing suggested, whatever the table; one never requested
// changes nothing.
TEST(Suggest, AStopEndsItWithNothing) {
    Puzzle p = Zebra();
    for (int k = 2; k <= kRules; ++k) maker::SetRow(p, k, Rule{});
    std::stop_source stopped;
    stopped.request_stop();
    EXPECT_TRUE(maker::Complete(p, stopped.get_token()).suggestions.empty());
    const Puzzle seating = Seating();
    std::stop_source unused;
    const Completion done = maker::Complete(seating, unused.get_token());
    EXPECT_EQ(done.count, 2u);
    EXPECT_EQ(done.suggestions.size(), maker::Complete(seating).suggestions.size());
}

} // namespace
} // namespace korvane
