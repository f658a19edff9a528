// The network in pieces: random frames reached by placing categories of seeded random tables, each
// checked against the literal walk over its open categories. Narrowing never drops a row that leads to a
// solution, the count is the walk's, a solution exists exactly when the count is not zero, and collect()
// lists the walk's solutions; asked in either order on networks whose memo has seen other frames.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <iterator>
#include <string>

#include "core/check.h"
#include "engine/network.h"
#include "engine/plan.h"
#include "examples/hard_tables.h"
#include "examples/puzzle_generator.h"
#include "literal_walk.h"
#include "sanitized.h"

namespace korvane {
namespace {

using samples::PuzzleGenerator;
using samples::Style;
using testing::kSanitized;

constexpr std::uint8_t Bit(int category) { return static_cast<std::uint8_t>(1u << category); }

// One row of `rows`, drawn.
int AnyRow(PuzzleGenerator& draw, Rows rows) {
    for (int skip = draw.pick(0, rows.count() - 1); skip > 0; --skip) rows.removeFirst();
    return rows.first();
}

// 8-16 conditions, mostly true of `hidden`, the others true of `other`: no row fails on every
// assignment, so that every row stands in the network as a constraint.
RuleTable Table(PuzzleGenerator& draw, const Assignment& hidden, const Assignment& other) {
    constexpr Style kStyles[] = {Style::Wide, Style::Clue, Style::Positional, Style::Mixed};
    const Style style = kStyles[draw.pick(0, 3)];
    const int order = draw.pick(1, kCategories);
    RuleTable rules;
    const int rows = draw.pick(8, kRules);
    for (int k = 1; k <= rows; ++k) rules[k] = draw.trueRule(draw.pick(1, 4) == 1 ? other : hidden, style, order);
    return rules;
}

// The rows placed in `f`, the open categories on row 0.
Assignment Placed(const Frame& f) {
    Assignment a;
    a.row[1] = 0;
    for (int c = 2; c <= kCategories; ++c)
        a.row[static_cast<std::size_t>(c)] = static_cast<std::int16_t>(f.open & Bit(c) ? 0 : f.row[static_cast<std::size_t>(c)]);
    return a;
}

// Every solution the walk finds below `f` keeps its rows in the open categories' candidates.
void ExpectNoSolutionLost(const Frame& f, const std::vector<WalkIndex>& solutions) {
    for (const WalkIndex at : solutions) {
        const Position p = ToPosition(at);
        for (int c = 2; c <= kCategories; ++c)
            if (f.open & Bit(c)) {
                ASSERT_TRUE(f.domain[static_cast<std::size_t>(c)].test(p[static_cast<std::size_t>(c - 2)]))
                    << "category " << c << " lost row " << p[static_cast<std::size_t>(c - 2)] << " of solution " << at;
            }
    }
}

// The count, the existence and the list of the ways to place the open categories of `f`, which are
// `solutions`: one network counts first, the other asks first.
void ExpectSolutions(Network& counted, Network& asked, const Frame& f, const std::vector<WalkIndex>& solutions) {
    ASSERT_EQ(counted.count(f), solutions.size());
    ASSERT_EQ(counted.exists(f), !solutions.empty());
    ASSERT_EQ(asked.exists(f), !solutions.empty());
    ASSERT_EQ(asked.count(f), solutions.size());
    std::vector<WalkIndex> listed;
    ASSERT_TRUE(asked.collect(f, solutions.size(), listed));
    std::sort(listed.begin(), listed.end());
    ASSERT_EQ(listed, solutions);
    if (!solutions.empty()) {
        listed.clear();
        ASSERT_FALSE(counted.collect(f, solutions.size() - 1, listed)) << "collect() passed its limit";
    }
}

// `f` with a few candidates left to each open category, at least one: still a frame (every candidate
// allowed by the constraints with one open category), now often without a solution.
Frame Thinned(PuzzleGenerator& draw, Frame f) {
    for (int c = 2; c <= kCategories; ++c) {
        if (!(f.open & Bit(c))) continue;
        Rows& d = f.domain[static_cast<std::size_t>(c)];
        Rows kept;
        kept.set(AnyRow(draw, d));
        for (Rows left = d; !left.empty(); left.removeFirst())
            if (draw.pick(1, 40) == 1) kept.set(left.first());
        d = kept;
    }
    return f;
}

TEST(Network, RandomFramesAgainstTheLiteralWalk) {
    const int tables = kSanitized ? 10 : 80;
    int frames = 0, withSolutions = 0, deadEnds = 0;
    for (int seed = 1; seed <= tables; ++seed) {
        SCOPED_TRACE("replay: seed " + std::to_string(seed));
        PuzzleGenerator draw(static_cast<std::uint64_t>(seed) * 104723);
        const Assignment hidden = draw.matching(), other = draw.matching();
        const RuleTable rules = Table(draw, hidden, other);
        const Plan plan(rules);
        ASSERT_EQ(plan.errorRule(), 0);
        Network counted(plan.constraints()), asked(plan.constraints());
        const bool hiddenHolds = CheckAssignment(rules, hidden).verdict == Verdict::Holds;
        Frame root;
        if (!counted.root(root)) {
            ASSERT_FALSE(hiddenHolds) << "root() found no candidate, yet the hidden matching is a solution";
            continue;
        }
        for (int n = 0; n < 6; ++n) {
            // Categories placed in a drawn order, each mostly on the hidden matching's row; two or one
            // left open (three now and then in the release build).
            std::array<int, kLevels> order{2, 3, 4, 5, 6};
            std::shuffle(order.begin(), order.end(), draw.engine());
            const int placing = !kSanitized && n == 5 && seed % 4 == 0 ? 2 : draw.pick(3, 4);
            Frame f = root;
            bool onHidden = hiddenHolds, alive = true;
            for (int i = 0; i < placing && alive; ++i) {
                const int c = order[static_cast<std::size_t>(i)];
                for (int open = 2; open <= kCategories; ++open)
                    if (onHidden && (f.open & Bit(open))) {
                        ASSERT_TRUE(f.domain[static_cast<std::size_t>(open)].test(hidden.row[static_cast<std::size_t>(open)]))
                            << "category " << open << " lost the hidden matching's row, " << i << " categories placed";
                    }
                const Rows& domain = f.domain[static_cast<std::size_t>(c)];
                const int row = onHidden && draw.pick(1, 3) != 1 ? hidden.row[static_cast<std::size_t>(c)] : AnyRow(draw, domain);
                onHidden = onHidden && row == hidden.row[static_cast<std::size_t>(c)];
                Frame narrowed, filtered;
                const bool kept = counted.place(f, c, row, narrowed);
                const bool filteredKept = counted.place(f, c, row, filtered, false);
                if (filteredKept && kept) {
                    for (int open = 2; open <= kCategories; ++open)
                        if (narrowed.open & Bit(open)) {
                            const Rows d = narrowed.domain[static_cast<std::size_t>(open)];
                            ASSERT_TRUE((d & filtered.domain[static_cast<std::size_t>(open)]) == d) << "narrowing added rows";
                        }
                }
                ASSERT_TRUE(filteredKept || !kept) << "narrowing kept what filtering had emptied";
                if (!kept) {
                    ASSERT_FALSE(onHidden) << "place() emptied a category on the hidden matching's rows";
                    // Checked by the walk where that is cheap: no solution below.
                    if (filteredKept && std::popcount(static_cast<unsigned>(filtered.open)) <= 2) {
                        ASSERT_TRUE(testing::CheckOpen(rules, Placed(filtered), filtered.open).passing.empty());
                    }
                }
                // Now and then only filtered, so that constraints between two open categories are left to
                // the count; always so in every third frame.
                const bool onlyFiltered = n % 3 == 1 || draw.pick(1, 4) == 1;
                alive = onlyFiltered ? filteredKept : kept;
                deadEnds += !alive;
                f = onlyFiltered ? filtered : narrowed;
            }
            if (!alive) continue;
            const testing::RowVerdicts walk = testing::CheckOpen(rules, Placed(f), f.open);
            ASSERT_EQ(walk.malformed, 0);
            ExpectNoSolutionLost(f, walk.passing);
            ExpectSolutions(counted, asked, f, walk.passing);
            if (HasFatalFailure()) return;
            ++frames;
            withSolutions += !walk.passing.empty();
            const Frame thin = Thinned(draw, f);
            std::vector<WalkIndex> within;
            std::copy_if(walk.passing.begin(), walk.passing.end(), std::back_inserter(within), [&](WalkIndex at) {
                const Position p = ToPosition(at);
                for (int c = 2; c <= kCategories; ++c)
                    if ((thin.open & Bit(c)) && !thin.domain[static_cast<std::size_t>(c)].test(p[static_cast<std::size_t>(c - 2)])) return false;
                return true;
            });
            ExpectSolutions(counted, asked, thin, within);
            if (HasFatalFailure()) return;
            ++frames;
            withSolutions += !within.empty();
        }
    }
    // The frames are of every kind: with and without solutions.
    EXPECT_GT(frames, tables * 3);
    EXPECT_GT(withSolutions, frames / 4);
    EXPECT_LT(withSolutions, frames);
    EXPECT_GT(deadEnds, 0);
}

// Frames of the hard tables (weak conditions on three categories each, examples/hard_tables.h) with two
// categories placed: the three left open keep many rows each, so that their count goes through the
// bit-sliced sums of pairs and their cache, in each of its ways (no condition on all three, conditions on
// all three read by classes of a category's rows, or row by row: in every third table three conditions on
// the three open categories rank each by another), which the frames above, with few rows left, seldom
// reach. Three frames to a network, each counted twice (the second from the memo) and by a second network,
// against the literal walk over the three.
TEST(Network, HardTablesWithThreeOpenAgainstTheLiteralWalk) {
    const int tables = kSanitized ? 2 : 9;
    for (int seed = 1; seed <= tables; ++seed) {
        SCOPED_TRACE("replay: seed " + std::to_string(seed));
        PuzzleGenerator draw(static_cast<std::uint64_t>(seed) * 7919);
        std::array<int, kLevels> order{2, 3, 4, 5, 6};
        std::shuffle(order.begin(), order.end(), draw.engine());
        RuleTable rules = seed % 3 == 0   ? samples::MixedThreeTable(draw, 15)
                          : seed % 3 == 1 ? samples::WeakThreeTable(draw, draw.pick(9, 13))
                                          : samples::NegativeThreeTable(draw, 14, 3);
        if (seed % 3 == 1)
            for (int k = 0; k < 3; ++k) {
                const int a = order[static_cast<std::size_t>(2 + (k + 1) % 3)], b = order[static_cast<std::size_t>(2 + (k + 2) % 3)];
                rules[14 + k] = Rule{a, draw.pick(1, kChoices), static_cast<int>(RelationKind::NotContiguous), b, draw.pick(1, kChoices), 1,
                                     order[static_cast<std::size_t>(2 + k)]};
            }
        const Plan plan(rules);
        ASSERT_EQ(plan.errorRule(), 0);
        Network counted(plan.constraints()), asked(plan.constraints());
        Frame root;
        ASSERT_TRUE(counted.root(root));
        for (int n = 0; n < 3; ++n) {
            Frame f = root;
            for (int i = 0; i < 2; ++i) {
                const int c = order[static_cast<std::size_t>(i)];
                // A row drawn until one is kept; filtered only, now and then, so that the count meets rows
                // that narrowing would remove.
                Frame next;
                int tries = 0;
                while (!counted.place(f, c, AnyRow(draw, f.domain[static_cast<std::size_t>(c)]), next, (seed + n) % 2 == 0))
                    ASSERT_LT(++tries, 100);
                f = next;
            }
            const testing::RowVerdicts walk = testing::CheckOpen(rules, Placed(f), f.open);
            ASSERT_EQ(walk.malformed, 0);
            ExpectNoSolutionLost(f, walk.passing);
            EXPECT_GT(walk.passing.size(), 1000u) << "a frame with few solutions, not what this test is for";
            EXPECT_EQ(counted.count(f), walk.passing.size());
            EXPECT_EQ(counted.count(f), walk.passing.size()) << "from the memo";
            EXPECT_EQ(asked.exists(f), !walk.passing.empty());
            EXPECT_EQ(asked.count(f), walk.passing.size());
        }
        // With one category placed, four open: the count, which goes through many groups of three on one
        // network, is the sum over the rows of a second category of the counts below them, each by a
        // network of its own.
        Frame f;
        int tries = 0;
        while (!counted.place(root, order[0], AnyRow(draw, root.domain[static_cast<std::size_t>(order[0])]), f)) ASSERT_LT(++tries, 100);
        std::uint64_t sum = 0;
        for (Rows d = f.domain[static_cast<std::size_t>(order[1])]; !d.empty(); d.removeFirst()) {
            Network alone(plan.constraints());
            Frame below;
            if (alone.place(f, order[1], d.first(), below, false)) sum += alone.count(below);
        }
        EXPECT_EQ(counted.count(f), sum);
        EXPECT_GT(sum, 0u);
    }
}

} // namespace
} // namespace korvane
