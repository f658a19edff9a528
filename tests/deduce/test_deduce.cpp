// The deduction trace against an independent brute force: every step's facts must follow from the rows
// it cites and the facts of the steps it uses, over every matching of the categories involved, with the
// relations written here plainly (slots and ranks found by scans), not with the solver's evaluators.
// Then the ends of the trace against the search: the whole solution, the open cells of --explain, or a
// contradiction; and the text and JSON the user reads.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <numeric>
#include <random>
#include <set>

#include "core/relations.h"
#include "editor/normalise.h"
#include "engine/search.h"
#include "examples/puzzle_generator.h"
#include "examples/sample_puzzles.h"
#include "reasoning/deduce.h"
#include "reasoning/explain.h"
#include "reasoning/report.h"
#include "texts/explain_text.h"
#include "texts/json_writer.h"
#include "texts/report_text.h"
#include "texts/step_text.h"

namespace korvane {
namespace {

// Some categories of a matching: at[c][s] is the choice (1..5) that category c puts in slot s, and
// slot[c][k] the slot of its choice k, found by a scan when the category is placed.
struct Slots {
    std::array<std::array<int, kChoices>, kCategories + 1> at{};
    std::array<std::array<int, kChoices + 1>, kCategories + 1> slot{};
    void place(int category, const std::array<int, kChoices>& arrangement) {
        const auto c = static_cast<std::size_t>(category);
        at[c] = arrangement;
        for (int k = 1; k <= kChoices; ++k)
            for (int s = 0; s < kChoices; ++s)
                if (arrangement[static_cast<std::size_t>(s)] == k) slot[c][static_cast<std::size_t>(k)] = s;
    }
};

int SlotOfChoice(const Slots& m, int category, int choice) {
    return m.slot[static_cast<std::size_t>(category)][static_cast<std::size_t>(choice)];
}

// The ten relations as the puzzle states them: the rank of a slot along category O is O's choice there.
bool PlainHolds(const Rule& r, const Slots& m) {
    const bool locatedA = r.choiceA >= 1 && r.choiceA <= 5, locatedB = r.choiceB >= 1 && r.choiceB <= 5;
    const int sa = locatedA ? SlotOfChoice(m, r.categoryA, r.choiceA) : -1;
    const int sb = locatedB ? SlotOfChoice(m, r.categoryB, r.choiceB) : -1;
    if (r.relation == 1) return !locatedA || (locatedB && sa == sb);
    if (!locatedA || !locatedB) return true;
    if (r.relation == 5) return sa != sb;
    const int n = r.steps >= 1 && r.steps <= 4 ? r.steps : 1;
    const bool ordered = r.orderCategory >= 1 && r.orderCategory <= 6;
    const int d = ordered ? m.at[static_cast<std::size_t>(r.orderCategory)][static_cast<std::size_t>(sa)] -
                                m.at[static_cast<std::size_t>(r.orderCategory)][static_cast<std::size_t>(sb)]
                          : 1;
    switch (r.relation) {
    case 2: return d == n || d == -n;
    case 3: return d == n;
    case 4: return d == -n;
    case 6: return d > 0;
    case 7: return d < 0;
    case 8: return d != n;
    case 9: return d != -n;
    case 10: return d != n && d != -n;
    }
    return true;
}

bool PlainHolds(const Fact& f, const Slots& m) {
    return (SlotOfChoice(m, f.a.category, f.a.choice) == SlotOfChoice(m, f.b.category, f.b.choice)) == f.same;
}

// What a step may rely on (a row or a fact of a step it uses), or the denial of its conclusions.
struct Premise {
    unsigned scope = 0; // bit c for each category read
    std::vector<Rule> rules;
    std::vector<Fact> facts;
    bool denied = false; // holds when not all of `facts` hold
    bool holds(const Slots& m) const {
        bool all = true;
        for (const Rule& r : rules) all = all && PlainHolds(r, m);
        for (const Fact& f : facts) all = all && PlainHolds(f, m);
        return all != denied;
    }
};

Premise RulePremise(const Rule& r) {
    Premise p;
    p.scope = 1u << r.categoryA | 1u << r.categoryB;
    if (r.relation != 1 && r.relation != 5 && r.orderCategory >= 1 && r.orderCategory <= 6) p.scope |= 1u << r.orderCategory;
    p.rules.push_back(r);
    return p;
}

Premise FactPremise(const Fact& f) {
    Premise p;
    p.scope = 1u << f.a.category | 1u << f.b.category;
    p.facts.push_back(f);
    return p;
}

const std::vector<std::array<int, kChoices>>& Arrangements() {
    static const std::vector<std::array<int, kChoices>> all = [] {
        std::vector<std::array<int, kChoices>> list;
        std::array<int, kChoices> p{1, 2, 3, 4, 5};
        do list.push_back(p);
        while (std::next_permutation(p.begin(), p.end()));
        return list;
    }();
    return all;
}

// Whether some matching of the categories of `scope` satisfies every premise: the first category is
// fixed (naming the slots), the others are tried in every arrangement, most-read first, and each premise
// is checked as soon as its categories are placed.
bool Satisfiable(unsigned scope, const std::vector<Premise>& premises) {
    std::vector<int> order;
    for (int c = 1; c <= kCategories; ++c)
        if (scope >> c & 1u) order.push_back(c);
    // The categories the denial reads first (it fails early), then the most read.
    auto reads = [&](int c) {
        long n = 0;
        for (const Premise& p : premises) n += (p.scope >> c & 1u) ? (p.denied ? 1000 : 1) : 0;
        return n;
    };
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return reads(a) > reads(b); });
    std::vector<std::vector<const Premise*>> due(order.size());
    unsigned placed = 0;
    for (std::size_t i = 0; i < order.size(); ++i) {
        placed |= 1u << order[i];
        for (const Premise& p : premises)
            if ((p.scope & ~placed) == 0 && (p.scope >> order[i] & 1u)) due[i].push_back(&p);
    }
    Slots m;
    auto place = [&](auto&& self, std::size_t level) -> bool {
        if (level == order.size()) return true;
        for (const auto& arrangement : Arrangements()) {
            m.place(order[level], arrangement);
            bool holds = true;
            for (std::size_t i = 0; i < due[level].size() && holds; ++i) holds = due[level][i]->holds(m);
            if (holds && self(self, level + 1)) return true;
            if (level == 0) break; // the first category names the slots
        }
        return false;
    };
    return place(place, 0);
}

// Whether `premises` admit no matching together with `denial` (when given). Fewer premises implying the
// same proves it for all, and a brute force over few categories is quick: the premises over the
// categories of the denial are tried first, then a category at a time is added, the one that brings in
// the most premises, until all are in.
bool Implied(const std::vector<Premise>& premises, const Premise* denial) {
    unsigned all = denial ? denial->scope : 0, scope = all;
    for (const Premise& p : premises) all |= p.scope;
    if (scope == 0 && !premises.empty()) scope = premises.front().scope;
    const auto refuted = [&](unsigned within) {
        std::vector<Premise> inside;
        for (const Premise& p : premises)
            if ((p.scope & ~within) == 0) inside.push_back(p);
        if (denial) inside.push_back(*denial);
        return !Satisfiable(within, inside);
    };
    // Most steps need one category beside the denial's (what two items sharing a slot know of a third
    // one): each is tried alone before the greedy widening below.
    if (refuted(scope)) return true;
    for (int c = 1; c <= kCategories; ++c)
        if ((all >> c & 1u) && !(scope >> c & 1u) && refuted(scope | 1u << c)) return true;
    for (;;) {
        if (refuted(scope)) return true;
        if (scope == all) return false;
        int best = 0;
        long bestCount = -1;
        for (int c = 1; c <= kCategories; ++c) {
            if (!(all >> c & 1u) || (scope >> c & 1u)) continue;
            const long n = std::count_if(premises.begin(), premises.end(),
                                         [&](const Premise& p) { return (p.scope & ~(scope | 1u << c)) == 0; });
            if (n > bestCount) best = c, bestCount = n;
        }
        scope |= 1u << best;
    }
}

// Whether step `i` of the trace follows from its rows and the facts of its uses: each of its facts, or
// for a contradiction step the absence of any matching.
::testing::AssertionResult StepIsSound(const RuleTable& rules, const Trace& trace, std::size_t i) {
    const Step& step = trace.steps[i];
    std::vector<Premise> premises;
    for (int k : step.rows) premises.push_back(RulePremise(rules[k]));
    for (int u : step.uses) {
        if (u < 1 || static_cast<std::size_t>(u) > i) return ::testing::AssertionFailure() << "uses step " << u;
        for (const Fact& f : trace.steps[static_cast<std::size_t>(u - 1)].facts) premises.push_back(FactPremise(f));
    }
    auto unsound = [&] {
        return ::testing::AssertionFailure() << "step " << i + 1 << " (" << TechniqueName(step.technique)
                                             << ") does not follow from its rows and uses";
    };
    if (step.contradiction) return Implied(premises, nullptr) ? ::testing::AssertionSuccess() : unsound();
    // Each fact proven joins the premises of the next: the cells a "same" fact closes in its row and
    // column then follow from it on two categories.
    for (const Fact& f : step.facts) {
        Premise denial = FactPremise(f);
        denial.denied = true;
        if (!Implied(premises, &denial)) return unsound() << ": " << f.a.category << "," << f.a.choice
                                                         << (f.same ? " same as " : " not ") << f.b.category << "," << f.b.choice;
        premises.insert(premises.begin(), FactPremise(f));
    }
    return ::testing::AssertionSuccess();
}

struct Solved {
    SearchResult result;
    Assignment first;
};

Solved Solve(const RuleTable& rules) {
    class First final : public SearchObserver {
    public:
        void solutionFound(const Assignment& a, std::uint64_t count) override {
            if (count == 1) first = a;
        }
        Assignment first;
    } observer;
    const SearchResult result = Search(rules, observer, SearchOptions{1});
    return {result, observer.first};
}

// Every step sound, cited as a reader can follow it, and the trace ending where the search says it must.
void ExpectTraceHolds(const RuleTable& rules, const Trace& trace) {
    const Solved solved = Solve(rules);
    if (solved.result.outcome == SearchOutcome::RuleError) {
        EXPECT_EQ(trace.outcome, TraceOutcome::RuleError);
        EXPECT_TRUE(trace.steps.empty());
        EXPECT_EQ(trace.malformed.row, solved.result.errorRule);
        EXPECT_EQ(trace.malformed.errorText, solved.result.errorText);
        return;
    }
    Technique hardest = Technique::Direct;
    for (std::size_t i = 0; i < trace.steps.size(); ++i) {
        const Step& step = trace.steps[i];
        hardest = std::max(hardest, step.technique);
        EXPECT_TRUE(std::is_sorted(step.rows.begin(), step.rows.end()));
        EXPECT_TRUE(std::is_sorted(step.uses.begin(), step.uses.end()));
        if (step.technique < Technique::WhatIf) {
            EXPECT_LE(step.rows.size(), 3u) << "step " << i + 1;
        }
        EXPECT_EQ(step.contradiction, step.facts.empty()) << "step " << i + 1;
        if (step.contradiction) {
            EXPECT_EQ(i + 1, trace.steps.size()) << "steps after a contradiction";
        }
        ASSERT_TRUE(StepIsSound(rules, trace, i));
    }
    EXPECT_EQ(trace.hardest, hardest);
    const std::uint64_t count = solved.result.count;
    if (count == 0) {
        EXPECT_EQ(trace.outcome, TraceOutcome::Contradiction);
        ASSERT_FALSE(trace.steps.empty());
        EXPECT_TRUE(trace.steps.back().contradiction);
        return;
    }
    ASSERT_EQ(trace.outcome, count == 1 ? TraceOutcome::Solved : TraceOutcome::Open);
    if (count > 1) {
        EXPECT_TRUE(trace.open == Explain(rules).partners) << "the cells left open differ from --explain's";
        return;
    }
    // The whole solution, item by item.
    std::set<std::array<int, 4>> same;
    for (const Step& step : trace.steps)
        for (const Fact& f : step.facts)
            if (f.same) same.insert({f.a.category, f.a.choice, f.b.category, f.b.choice}), same.insert({f.b.category, f.b.choice, f.a.category, f.a.choice});
    for (int c1 = 1; c1 <= kCategories; ++c1)
        for (int c2 = 1; c2 <= kCategories; ++c2)
            for (std::size_t s = 0; s < kChoices && c1 != c2; ++s)
                EXPECT_EQ(same.count({c1, solved.first.permutation(c1)[s] + 1, c2, solved.first.permutation(c2)[s] + 1}), 1u)
                    << "(" << c1 << "," << solved.first.permutation(c1)[s] + 1 << ") with category " << c2 << " is not found";
}

RuleTable Tidied(const Puzzle& puzzle) {
    RuleTable rules = puzzle.rules;
    ClearEmptyRuleFields(rules, puzzle.boxTexts);
    return rules;
}

Puzzle WithRow(Puzzle p, const Rule& rule) {
    int k = 1;
    while (k < kRules && IsRelation(p.rules[k].relation)) ++k;
    p.rules[k] = rule;
    // Boxes showing something, so that the tidying keeps the row.
    for (int n = 5 * k - 4; n <= 5 * k; ++n) p.boxTexts[static_cast<std::size_t>(n - 1)] = "x";
    p.boxTexts[static_cast<std::size_t>(80 + k - 1)] = "x";
    p.boxTexts[static_cast<std::size_t>(96 + k - 1)] = "x";
    return p;
}

struct Case {
    const char* name;
    Puzzle puzzle;
    TraceOutcome outcome;
    Technique hardest;
};
void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class DeducePuzzle : public ::testing::TestWithParam<Case> {};

TEST_P(DeducePuzzle, EveryStepFollowsAndTheTraceEndsAsTheSearchDoes) {
    const RuleTable rules = Tidied(GetParam().puzzle);
    const Trace trace = Deduce(rules);
    EXPECT_EQ(trace.outcome, GetParam().outcome);
    EXPECT_EQ(trace.hardest, GetParam().hardest);
    ExpectTraceHolds(rules, trace);
}

// The grid the explanation window draws after n steps: it starts all open, each step only closes cells
// (the ones it states, in both directions), and after the last step it is what the trace ends with: the
// solution the search finds, or the cells the trace leaves open.
TEST_P(DeducePuzzle, TheGridKnownAfterEachStepNarrowsToTheTracesEnd) {
    const RuleTable rules = Tidied(GetParam().puzzle);
    const Trace trace = Deduce(rules);
    auto count = [](const PartnerTable& t) {
        int bits = 0;
        for (int c1 = 1; c1 <= kCategories; ++c1)
            for (int a = 1; a <= kChoices; ++a)
                for (int c2 = 1; c2 <= kCategories; ++c2) bits += std::popcount(t.at(c1, a, c2));
        return bits;
    };
    PartnerTable before = KnownAfter(trace, 0);
    EXPECT_EQ(count(before), kCategories * kChoices * (kChoices * (kCategories - 1) + 1));
    for (std::size_t n = 1; n <= trace.steps.size(); ++n) {
        const PartnerTable after = KnownAfter(trace, n);
        for (int c1 = 1; c1 <= kCategories; ++c1)
            for (int a = 1; a <= kChoices; ++a)
                for (int c2 = 1; c2 <= kCategories; ++c2)
                    ASSERT_EQ(after.at(c1, a, c2) & ~before.at(c1, a, c2), 0) << "step " << n << " reopens a cell";
        for (const Fact& f : trace.steps[n - 1].facts) {
            const std::uint8_t ab = after.at(f.a.category, f.a.choice, f.b.category);
            const std::uint8_t ba = after.at(f.b.category, f.b.choice, f.a.category);
            EXPECT_EQ((ab >> (f.b.choice - 1) & 1) == 1, f.same) << "step " << n;
            EXPECT_EQ((ba >> (f.a.choice - 1) & 1) == 1, f.same) << "step " << n;
            if (f.same) {
                EXPECT_EQ(std::popcount(ab), 1) << "step " << n;
            }
        }
        before = after;
    }
    EXPECT_EQ(KnownAfter(trace, trace.steps.size() + 5), before);
    if (trace.outcome == TraceOutcome::Open) {
        EXPECT_EQ(before, trace.open);
    }
    if (trace.outcome == TraceOutcome::Solved) {
        const Assignment first = Solve(rules).first;
        for (int c1 = 1; c1 <= kCategories; ++c1)
            for (int c2 = 1; c2 <= kCategories; ++c2)
                for (std::size_t s = 0; s < kChoices; ++s)
                    EXPECT_EQ(before.at(c1, first.permutation(c1)[s] + 1, c2), 1u << first.permutation(c2)[s]);
    }
}

using enum RelationKind;
using O = TraceOutcome;
using T = Technique;
constexpr auto kRel = [](RelationKind k) { return static_cast<std::int32_t>(k); };

INSTANTIATE_TEST_SUITE_P(
    Puzzles, DeducePuzzle,
    ::testing::Values(
        Case{"Zebra", samples::Zebra(), O::Solved, T::Position},
        Case{"ZebraWithTheHousesLast", samples::MoveCategories(samples::Zebra(), {6, 1, 2, 3, 4, 5}), O::Solved, T::Position},
        Case{"SeatingHasTwoSolutions", samples::Seating(), O::Open, T::WhatIf},
        Case{"RelayContradictsItself", samples::Relay(), O::Contradiction, T::Position},
        Case{"NoConditionAtAll", Puzzle{}, O::Open, T::Direct},
        // Rows that hold or fail whatever the matching.
        Case{"TwoChoicesOfOneCategoryCorresponding", WithRow(samples::Zebra(), {2, 1, kRel(Corresponds), 2, 2, 0, 0}),
             O::Contradiction, T::Direct},
        Case{"CorrespondingToNoChoice", WithRow(samples::Zebra(), {2, 1, kRel(Corresponds), 3, 0, 0, 0}), O::Contradiction,
             T::Direct},
        Case{"ItemANowhereAlwaysHolds", WithRow(samples::Zebra(), {2, 6, kRel(Corresponds), 3, 1, 0, 0}), O::Solved, T::Position},
        Case{"LeftOfWithoutOrderNeverHolds", WithRow(samples::Zebra(), {2, 1, kRel(LeftOf), 3, 1, 0, 0}), O::Contradiction,
             T::Direct},
        Case{"RightOfWithoutOrderAlwaysHolds", WithRow(samples::Zebra(), {2, 1, kRel(RightOf), 3, 2, 0, 9}), O::Solved,
             T::Position},
        Case{"StepsZeroIsOneStep", WithRow(samples::Zebra(), {1, 3, kRel(RightNeighbour), 1, 2, 0, 1}), O::Solved, T::Position},
        Case{"HousesInTheWrongOrder", WithRow(samples::Zebra(), {1, 2, kRel(RightNeighbour), 1, 3, 1, 1}),
             O::Contradiction, T::Position},
        Case{"AnItemBesideItself", WithRow(samples::Zebra(), {3, 2, kRel(Contiguous), 3, 2, 1, 1}), O::Contradiction,
             T::Position},
        Case{"AnItemNotBesideItself", WithRow(samples::Zebra(), {3, 2, kRel(NotContiguous), 3, 2, 1, 4}), O::Solved,
             T::Position},
        Case{"OrderedByItsOwnCategory", WithRow(samples::Zebra(), {3, 5, kRel(RightOf), 1, 1, 0, 3}), O::Solved,
             T::Position},
        Case{"MisspelledCategoryStopsTheSolve", WithRow(samples::Zebra(), {2, 1, kRel(Corresponds), 0, 1, 0, 0}),
             O::RuleError, T::Direct},
        Case{"ConflictAboveAMisspelledRow", WithRow(samples::Relay(), {2, 1, kRel(Corresponds), 0, 1, 0, 0}),
             O::Contradiction, T::Position}),
    [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

// Seeded random puzzles: with one solution, with a row dropped (often several), with a row added (or put
// in place of another) that the solution breaks (mostly none), and with an odd row.
TEST(Deduce, SeededRandomPuzzles) {
    int outcomes[4] = {};
    std::array<int, kTechniques + 1> grades{};
    for (int seed = 1; seed <= KORVANE_RANDOM_PUZZLES; ++seed) {
        SCOPED_TRACE("replay: samples::RandomUniquePuzzle(" + std::to_string(seed) + "), variant " + std::to_string(seed % 4));
        const Puzzle unique = samples::RandomUniquePuzzle(static_cast<std::uint64_t>(seed));
        RuleTable rules = Tidied(unique);
        std::mt19937_64 rng(static_cast<std::uint64_t>(seed));
        auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
        int stated = 0;
        while (stated < kRules && IsRelation(rules[stated + 1].relation)) ++stated;
        if (seed % 4 == 1 && stated > 1) {
            rules[pick(1, stated)] = Rule{}; // a row dropped
        } else if (seed % 4 == 3) {
            // A row with fields out of their ranges, as files may hold them: choices, steps and order
            // category each now and then outside, whatever the row then says.
            auto odd = [&](int lo, int hi, std::initializer_list<int> others) {
                return pick(1, 3) == 1 ? *(others.begin() + pick(0, static_cast<int>(others.size()) - 1)) : pick(lo, hi);
            };
            rules[pick(1, std::min(stated + 1, kRules))] =
                Rule{pick(1, 6), odd(1, 5, {0, 6, -1}), pick(1, 10), pick(1, 6), odd(1, 5, {0, 6}), odd(1, 4, {0, 5, -3}),
                     odd(1, 6, {0, 7})};
        } else if (seed % 4 == 2) {
            const Assignment solution = Solve(rules).first;
            for (;;) { // a row the solution breaks
                const Rule r{pick(1, 6), pick(1, 5), pick(1, 10), pick(1, 6), pick(1, 5), pick(1, 4), pick(1, 6)};
                if (EvaluateRule(solution, r) == Verdict::Fails) {
                    rules[pick(1, std::min(stated + 1, kRules))] = r;
                    break;
                }
            }
        }
        const Trace trace = Deduce(rules);
        // Given the explanation (as MakeReport and korvane-solve --explain --steps give it), the deduction
        // reads it instead of working it out, and ends the same.
        EXPECT_EQ(StepsJsonMembers(Deduce(rules, Explain(rules)), unique), StepsJsonMembers(trace, unique));
        ++outcomes[static_cast<int>(trace.outcome)];
        ++grades[static_cast<std::size_t>(trace.hardest)];
        ExpectTraceHolds(rules, trace);
        if (::testing::Test::HasFatalFailure() || ::testing::Test::HasFailure()) return;
    }
    std::printf("outcomes solved/open/contradiction: %d/%d/%d; hardest move 1..6:", outcomes[0], outcomes[1], outcomes[2]);
    for (int t = 1; t <= kTechniques; ++t) std::printf(" %d", grades[static_cast<std::size_t>(t)]);
    std::printf("\n");
}

// The checker itself: it must reject a step that claims more than its rows say.
TEST(Deduce, CheckerRejectsAnUnfoundedStep) {
    RuleTable rules;
    rules[1] = Rule{2, 1, kRel(RightNeighbour), 3, 1, 1, 1};
    Trace trace;
    Step step;
    step.technique = Technique::Position;
    step.rows = {1};
    step.facts = {{{2, 1}, {1, 1}, false}}; // true: item A cannot be leftmost
    trace.steps.push_back(step);
    EXPECT_TRUE(StepIsSound(rules, trace, 0));
    trace.steps[0].facts = {{{2, 1}, {1, 5}, false}}; // not implied: A may be rightmost
    EXPECT_FALSE(StepIsSound(rules, trace, 0));
    trace.steps[0].facts.clear();
    trace.steps[0].contradiction = true;
    EXPECT_FALSE(StepIsSound(rules, trace, 0));
}

TEST(StepText, ReadsAsTheUserTypedIt) {
    const Puzzle relay = samples::Relay();
    const std::vector<std::string> lines = StepLines(Deduce(Tidied(relay)), relay);
    EXPECT_EQ(lines.front(), "Étape 1 (ligne 1) : Ville Lyon est Équipe Loups.");
    EXPECT_EQ(lines[lines.size() - 3],
              "Étape 11 (ligne 8, étapes 4 et 8) : « Temps 49 s — A droite de (catégorie d'ordre : 5) — Temps 48 s » "
              "ne laisse aucune place possible : contradiction.");
    EXPECT_EQ(lines[lines.size() - 2], "Aucune solution : la dernière étape aboutit à une contradiction.");
    EXPECT_EQ(lines.back(), "Difficulté : Moyen");
}

// What the explanation window shows and copies: the verdict, the explanation, then the steps.
TEST(ReportText, VerdictExplanationThenSteps) {
    struct Row {
        const char* name;
        Puzzle puzzle;
        const char* verdict;
    };
    const Row rows[] = {
        {"Relay", samples::Relay(), "Aucune solution"},
        {"Seating", samples::Seating(), "Plusieurs solutions"},
        {"Zebra", samples::Zebra(), "Solution unique"},
        {"Misspelled", WithRow(samples::Zebra(), {2, 1, kRel(Corresponds), 0, 1, 0, 0}), "Erreur 20"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const Report report = MakeReport(Tidied(row.puzzle));
        EXPECT_EQ(StepsJsonMembers(report.trace, row.puzzle), StepsJsonMembers(Deduce(Tidied(row.puzzle)), row.puzzle));
        const std::vector<std::string> lines = ReportLines(report, row.puzzle);
        EXPECT_TRUE(lines.front().starts_with(row.verdict)) << lines.front();
        const std::vector<std::string> explained = ExplanationLines(report.explanation, row.puzzle);
        const std::vector<std::string> steps =
            report.trace.outcome == TraceOutcome::RuleError ? std::vector<std::string>{} : StepLines(report.trace, row.puzzle);
        ASSERT_EQ(lines.size(), 1 + explained.size() + (steps.empty() ? 0 : 2) + steps.size());
        EXPECT_TRUE(std::equal(explained.begin(), explained.end(), lines.begin() + 1));
        EXPECT_TRUE(std::equal(steps.begin(), steps.end(), lines.end() - static_cast<std::ptrdiff_t>(steps.size())));
    }
}

TEST(StepText, JsonMembers) {
    const Puzzle relay = samples::Relay();
    const std::string json = StepsJsonMembers(Deduce(Tidied(relay)), relay);
    const std::string start = "\"steps\":[{\"step\":1,\"technique\":\"direct\",\"rows\":[1],\"uses\":[],\"facts\":"
                              "[{\"a\":[2,1],\"b\":[1,2],\"same\":true},{\"a\":[2,1],\"b\":[1,1],\"same\":false}";
    EXPECT_EQ(json.substr(0, start.size()), start);
    EXPECT_NE(json.find("{\"step\":11,\"technique\":\"position\",\"rows\":[8],\"uses\":[4,8],\"contradiction\":true,"
                        "\"summary\":\"« Temps 49 s — A droite de (catégorie d'ordre : 5) — Temps 48 s » ne laisse "
                        "aucune place possible : contradiction.\",\"text\":\"Étape 11 "),
              std::string::npos);
    const std::string end = "],\"outcome\":\"contradiction\",\"grade\":\"Moyen\"";
    EXPECT_EQ(json.substr(json.size() - end.size()), end);
}

} // namespace
} // namespace korvane
