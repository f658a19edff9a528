// The seeded puzzle generator: each style draws what its comment says, the unique puzzles have one
// solution and need every row, a chosen row keeps the hidden matching a solution, and the seeds that
// test sets and benchmark figures depend on still give the same puzzles (fingerprints pinned here; a
// change to the draws must change them knowingly).
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "core/check.h"
#include "engine/search.h"
#include "examples/puzzle_generator.h"
#include "sanitized.h"

namespace korvane {
namespace {

using samples::Candidates;
using samples::PuzzleGenerator;
using samples::Style;
using testing::kSanitized;

constexpr Style kStyles[] = {Style::Clue,       Style::Positional, Style::PositionalLate, Style::Stated, Style::Loose,
                             Style::AlongFirst, Style::Mixed,      Style::Wide,           Style::OddFields};

// FNV-1a over every field of the sixteen rows.
std::uint64_t Fingerprint(const RuleTable& t) {
    std::uint64_t h = 14695981039346656037ull;
    for (int k = 1; k <= kRules; ++k) {
        const Rule& r = t[k];
        for (std::int32_t v : {r.categoryA, r.choiceA, r.relation, r.categoryB, r.choiceB, r.steps, r.orderCategory}) {
            h ^= static_cast<std::uint32_t>(v);
            h *= 1099511628211ull;
        }
    }
    return h;
}

std::uint64_t Count(const RuleTable& t) { return CountSolutions(t).count; }

TEST(PuzzleGenerator, EachStyleDrawsAsItAlwaysHas) {
    const std::uint64_t pinned[] = {
        0xfc36cc758b268979ull, 0x45d7c555b08d70e5ull, 0x34e6468675eb0539ull,
        0x04f50e6a27c5cf9cull, 0xfefe09fb5e5ffb84ull, 0xf027ecdb1fbae065ull,
        0x221137206a72fbf3ull, 0x034f81508292fcb7ull, 0x42747ea965db886cull,
    };
    for (std::size_t s = 0; s < std::size(kStyles); ++s) {
        SCOPED_TRACE("style " + std::to_string(s));
        PuzzleGenerator draw(7);
        RuleTable t;
        for (int k = 1; k <= kRules; ++k) t[k] = draw.rule(kStyles[s], 3);
        EXPECT_EQ(Fingerprint(t), pinned[s]);
    }
    PuzzleGenerator draw(7);
    const Assignment hidden = draw.matching();
    EXPECT_EQ(hidden.row, (std::array<std::int16_t, kCategories + 1>{-1, 0, 90, 113, 14, 107, 16}));
}

// Whether a condition drawn as `style`, with order category 3, has its fields where the style's comment
// puts them (every field in its range, unless the style leaves it now and then).
bool AsItsStyleSays(Style style, const Rule& r) {
    const bool inRange = IsCategory(r.categoryA) && IsCategory(r.categoryB) && IsChoice(r.choiceA) && IsChoice(r.choiceB) &&
                         IsRelation(r.relation) && r.steps >= 0 && r.steps <= 4 && r.orderCategory >= 0 && r.orderCategory <= 6;
    const bool steps12 = r.steps == 1 || r.steps == 2;
    switch (style) {
    case Style::Clue: return inRange && (r.orderCategory != 0) == (r.relation != 1 && r.relation != 5);
    case Style::Positional: return inRange && steps12 && r.orderCategory == 3;
    case Style::PositionalLate: return inRange && steps12 && r.orderCategory == 3;
    case Style::Loose: return inRange && r.steps >= 1 && r.steps <= 3 && r.orderCategory >= 1;
    case Style::Wide: return inRange && r.steps >= 1 && r.orderCategory >= 1;
    case Style::AlongFirst: return inRange && steps12 && r.orderCategory == 1;
    case Style::Mixed: return inRange && steps12 && r.categoryA >= 2 && r.categoryB >= 2 && r.orderCategory >= 1;
    case Style::Stated:
    case Style::OddFields: return !inRange;
    }
    return false;
}

TEST(PuzzleGenerator, StylesKeepTheirFieldsInTheirRanges) {
    for (std::size_t s = 0; s < std::size(kStyles); ++s) {
        SCOPED_TRACE("style " + std::to_string(s));
        const Style style = kStyles[s];
        PuzzleGenerator draw(s + 1);
        int as = 0, correspondences = 0, late = 0;
        constexpr int kDraws = 2000;
        for (int n = 0; n < kDraws; ++n) {
            const Rule r = draw.rule(style, 3);
            as += AsItsStyleSays(style, r);
            correspondences += r.relation == 1;
            late += r.categoryA >= 5;
        }
        if (style == Style::Stated || style == Style::OddFields) { // some out of range, most not
            EXPECT_GT(as, 0);
            EXPECT_LT(as, kDraws / 2);
        } else {
            EXPECT_EQ(as, kDraws);
        }
        // Half, and three quarters, plus a tenth of the rest; two thirds of the items in categories 5-6.
        const double expected = style == Style::Clue ? 0.55 : style == Style::Stated ? 0.775 : -1;
        if (expected > 0) {
            EXPECT_NEAR(correspondences, kDraws * expected, kDraws * 0.05);
        }
        EXPECT_EQ(late > kDraws * 6 / 10, style == Style::PositionalLate) << late;
    }
}

TEST(PuzzleGenerator, AChosenRowKeepsTheHiddenMatchingASolution) {
    const Candidates ways[] = {{.draws = 6, .falseDrawsCount = true}, {.draws = 6}, {.draws = 6, .firstKept = true},
                               {.draws = 6, .firstKept = true, .untilOne = true}};
    for (std::size_t w = 0; w < std::size(ways); ++w) {
        SCOPED_TRACE("way " + std::to_string(w));
        PuzzleGenerator draw(w + 11);
        const Assignment hidden = draw.matching();
        RuleTable rules;
        std::uint64_t count = Count(rules);
        for (int row = 1; row <= (kSanitized ? 4 : 8); ++row) {
            const std::uint64_t before = count;
            count = draw.bestRow(rules, row, count, hidden, Style::Loose, 2, ways[w]);
            ASSERT_EQ(count, Count(rules));
            ASSERT_GE(count, 1u);
            if (rules[row].relation == 0) {
                ASSERT_FALSE(ways[w].firstKept);
                ASSERT_EQ(count, before);
                continue;
            }
            ASSERT_EQ(EvaluateRule(hidden, rules[row]), Verdict::Holds);
            if (!ways[w].firstKept) {
                ASSERT_LT(count, before);
            }
        }
    }
}

// Every row needed: without any one of them, more than one solution.
void ExpectUniqueAndMinimal(const RuleTable& rules) {
    ASSERT_EQ(Count(rules), 1u);
    for (int k = 1; k <= kRules; ++k) {
        if (rules[k].relation == 0) continue;
        RuleTable fewer = rules;
        fewer[k] = Rule{};
        EXPECT_GT(Count(fewer), 1u) << "row " << k << " is not needed";
    }
}

// The seeds of test_deduce and bench_deduce (RandomUniquePuzzle), of the search benchmarks' generated
// sets (BestOfEighty, seed 977 + order) and of the benchmark set (MinimalUnique).
TEST(PuzzleGenerator, UniquePuzzlesOfTheSeedsTestsAndBenchmarksUse) {
    const Puzzle random = samples::RandomUniquePuzzle(1);
    ExpectUniqueAndMinimal(random.rules);
    EXPECT_EQ(Fingerprint(random.rules), 0x5e5b0591c46242daull);
    EXPECT_EQ(random.name(1, 2), "Alice"); // the seating puzzle's names
    EXPECT_EQ(random.boxTexts[0], random.name(0, random.rules[1].categoryA));

    const auto best = samples::BestOfEighty(977 + 1, 1, false);
    ASSERT_TRUE(best);
    EXPECT_EQ(Count(*best), 1u);
    EXPECT_EQ(Fingerprint(*best), 0xbb2de97e45662d6full);
    if (kSanitized) return;
    EXPECT_FALSE(samples::BestOfEighty(4 * 977 + 6, 6, true)); // sixteen rows not enough: the set goes on
    const auto late = samples::BestOfEighty(5 * 977 + 6, 6, true);
    ASSERT_TRUE(late);
    EXPECT_EQ(Count(*late), 1u);
    EXPECT_EQ(Fingerprint(*late), 0x1fbe9ba644f8c766ull);
    EXPECT_FALSE(samples::MinimalUnique(Style::Mixed, 1));
    const std::tuple<Style, std::uint64_t, std::uint64_t> minimal[] = {
        {Style::AlongFirst, 1, 0x7bce3ca9521aa9d0ull}, {Style::Mixed, 2, 0xd09a530ffa83b1d1ull}, {Style::Wide, 1, 0xfd4580d5d54b0e13ull}};
    for (const auto& [style, seed, pinned] : minimal) {
        const auto rules = samples::MinimalUnique(style, seed);
        ASSERT_TRUE(rules);
        ExpectUniqueAndMinimal(*rules);
        EXPECT_EQ(Fingerprint(*rules), pinned);
    }
}

TEST(PuzzleGenerator, TablesAroundAMatchingMostlyHoldOnIt) {
    int rows = 0, failing = 0;
    for (std::uint64_t seed = 1; seed <= 200; ++seed) {
        PuzzleGenerator draw(seed);
        const Assignment hidden = draw.matching();
        const RuleTable t = draw.around(hidden, Style::OddFields, seed % 2 == 0 ? 0.6 : 0);
        for (int k = 1; k <= kRules; ++k) {
            if (t[k] == Rule{}) continue;
            ++rows;
            failing += EvaluateRule(hidden, t[k]) == Verdict::Fails;
        }
    }
    EXPECT_GT(rows, 200 * 4);
    EXPECT_LT(failing, rows / 10);
}

} // namespace
} // namespace korvane
