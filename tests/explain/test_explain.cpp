// Explanations against the search: every claim an explanation makes is solved again with the engine in
// the puzzle's own numbering of categories, on the sample puzzles, on hand-made ones and on seeded random
// rule tables; then the French lines and the JSON the user reads.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <random>

#include "core/check.h"
#include "core/relations.h"
#include "editor/normalise.h"
#include "engine/plan.h"
#include "engine/search.h"
#include "examples/puzzle_generator.h"
#include "examples/sample_puzzles.h"
#include "reasoning/explain.h"
#include "texts/explain_text.h"
#include "texts/names.h"

namespace korvane {
namespace {

using Rows = std::vector<int>;

// The first row that states a condition with a category outside 1..6, 0 when none.
int FirstMalformed(const RuleTable& rules) {
    for (int k = 1; k <= kRules; ++k)
        if (IsRelation(rules[k].relation) && !(IsCategory(rules[k].categoryA) && IsCategory(rules[k].categoryB)))
            return k;
    return 0;
}

// The rows the search reads: those stating a condition, above the first malformed one.
Rows Candidates(const RuleTable& rules) {
    const int malformed = FirstMalformed(rules);
    Rows rows;
    for (int k = 1; k <= kRules && (malformed == 0 || k < malformed); ++k)
        if (IsRelation(rules[k].relation)) rows.push_back(k);
    return rows;
}

RuleTable Only(const RuleTable& rules, const Rows& rows) {
    RuleTable table;
    for (int k : rows) table[k] = rules[k];
    return table;
}

Rows Minus(Rows rows, int k) {
    rows.erase(std::remove(rows.begin(), rows.end(), k), rows.end());
    return rows;
}

std::uint64_t Count(const RuleTable& rules) {
    const SearchResult result = CountSolutions(rules);
    EXPECT_EQ(result.outcome, SearchOutcome::Completed);
    return result.count;
}

// The partners seen across all solutions as the search lists them, or none past `limit` solutions.
std::optional<PartnerTable> PartnersOfAll(const RuleTable& rules, std::uint64_t limit) {
    class Collect final : public SearchObserver {
    public:
        void solutionFound(const Assignment& a, std::uint64_t) override {
            for (int c1 = 1; c1 <= kCategories; ++c1)
                for (int c2 = 1; c2 <= kCategories; ++c2)
                    for (std::size_t s = 0; s < kChoices; ++s)
                        partners.at(c1, a.permutation(c1)[s] + 1, c2) |= static_cast<std::uint8_t>(1u << a.permutation(c2)[s]);
        }
        PartnerTable partners;
    } collect;
    if (Search(rules, collect, SearchOptions{limit}).count > limit) return std::nullopt;
    return collect.partners;
}

// Checks every claim of `e` about `rules` by solving again; `rng` picks the pairs checked one by one when
// there are too many solutions to list.
void ExpectClaimsHold(const RuleTable& rules, const Explanation& e, std::mt19937_64& rng) {
    const Rows candidates = Candidates(rules);
    const int malformed = FirstMalformed(rules);
    const SearchResult whole = CountSolutions(rules);
    if (e.kind == ExplanationKind::RuleError) {
        ASSERT_EQ(whole.outcome, SearchOutcome::RuleError);
        EXPECT_EQ(e.malformed.row, whole.errorRule);
        EXPECT_EQ(e.malformed.errorText, whole.errorText);
        EXPECT_TRUE(e.malformed.reached);
        EXPECT_EQ(e.malformed.categoryA, !IsCategory(rules[e.malformed.row].categoryA));
        EXPECT_EQ(e.malformed.categoryB, !IsCategory(rules[e.malformed.row].categoryB));
        return;
    }
    ASSERT_EQ(whole.outcome, SearchOutcome::Completed);
    EXPECT_EQ(e.malformed.row, malformed);
    EXPECT_FALSE(e.malformed.reached);
    switch (e.kind) {
    case ExplanationKind::Conflict: {
        ASSERT_EQ(whole.count, 0u);
        ASSERT_FALSE(e.rows.empty());
        for (int k : e.rows) ASSERT_NE(std::find(candidates.begin(), candidates.end(), k), candidates.end()) << k;
        EXPECT_EQ(Count(Only(rules, e.rows)), 0u) << "the rows shown admit a solution";
        for (int k : e.rows) EXPECT_GT(Count(Only(rules, Minus(e.rows, k))), 0u) << "row " << k << " is not needed";
        if (e.smallest && e.rows.size() <= 3) { // every smaller set of rows admits a solution
            for (std::size_t i = 0; i < candidates.size() && e.rows.size() >= 2; ++i) {
                EXPECT_GT(Count(Only(rules, {candidates[i]})), 0u) << candidates[i];
                for (std::size_t j = i + 1; j < candidates.size() && e.rows.size() == 3; ++j)
                    EXPECT_GT(Count(Only(rules, {candidates[i], candidates[j]})), 0u) << candidates[i] << "," << candidates[j];
            }
        }
        Rows rest = candidates;
        for (int k : e.rows) rest = Minus(rest, k);
        bool everyRowInEveryConflict = true;
        for (int k : e.rows) everyRowInEveryConflict = everyRowInEveryConflict && Count(Only(rules, Minus(candidates, k))) > 0;
        const OtherConflicts others = Count(Only(rules, rest)) == 0 ? OtherConflicts::Disjoint
                                      : everyRowInEveryConflict    ? OtherConflicts::None
                                                                   : OtherConflicts::Sharing;
        EXPECT_EQ(e.others, others);
        break;
    }
    case ExplanationKind::OpenCells: {
        ASSERT_GE(whole.count, 2u);
        if (const std::optional<PartnerTable> all = PartnersOfAll(rules, 3000)) {
            EXPECT_TRUE(e.partners == *all) << "partners differ from those of the " << whole.count << " solutions";
            break;
        }
        std::uniform_int_distribution<int> category(1, kCategories), choice(1, kChoices);
        for (int n = 0; n < 25; ++n) {
            const int c1 = category(rng), a = choice(rng), c2 = category(rng), b = choice(rng);
            const Rule together{c1, a, static_cast<std::int32_t>(RelationKind::Corresponds), c2, b, 0, 0};
            const bool possible = Plan(rules, std::span<const Rule>(&together, 1)).search(0) < kWalkSize;
            EXPECT_EQ((e.partners.at(c1, a, c2) >> (b - 1) & 1u) != 0, possible)
                << "(" << c1 << "," << a << ") with (" << c2 << "," << b << ")";
        }
        break;
    }
    case ExplanationKind::Redundant:
    case ExplanationKind::Nothing: {
        ASSERT_EQ(whole.count, 1u);
        EXPECT_EQ(e.kind == ExplanationKind::Nothing, e.rows.empty());
        for (int k : candidates) {
            const bool shown = std::find(e.rows.begin(), e.rows.end(), k) != e.rows.end();
            EXPECT_EQ(Count(Only(rules, Minus(candidates, k))) == 1, shown) << "row " << k;
        }
        break;
    }
    case ExplanationKind::RuleError: break; // handled above
    }
}

// The rules the search reads for a puzzle as the window holds it.
RuleTable Tidied(const Puzzle& puzzle) {
    RuleTable rules = puzzle.rules;
    ClearEmptyRuleFields(rules, puzzle.boxTexts);
    return rules;
}

struct Case {
    const char* name;
    Puzzle puzzle;
    ExplanationKind kind;
    std::optional<Rows> rows = std::nullopt; // when only one answer is right
};

std::string CaseName(const ::testing::TestParamInfo<Case>& info) { return info.param.name; }
void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class ExplainPuzzle : public ::testing::TestWithParam<Case> {};

TEST_P(ExplainPuzzle, EveryClaimHoldsWhenSolvedAgain) {
    const RuleTable rules = Tidied(GetParam().puzzle);
    const Explanation e = Explain(rules);
    EXPECT_EQ(e.kind, GetParam().kind);
    if (GetParam().rows) {
        EXPECT_EQ(e.rows, *GetParam().rows);
    }
    std::mt19937_64 rng(1);
    ExpectClaimsHold(rules, e, rng);
}

// Renumbering the categories renumbers the solutions and nothing else: what is redundant or open, and
// the conflicts, stay the same.
TEST_P(ExplainPuzzle, SameAnswerWhateverTheOrderOfCategories) {
    const Explanation e = Explain(Tidied(GetParam().puzzle));
    // With several conflicts, which one is shown may change.
    const bool oneAnswer = e.kind != ExplanationKind::Conflict || e.others == OtherConflicts::None;
    for (const std::array<int, kCategories>& order : {std::array{6, 1, 2, 3, 4, 5}, std::array{4, 5, 1, 2, 3, 6}}) {
        const Explanation moved = Explain(Tidied(samples::MoveCategories(GetParam().puzzle, order)));
        EXPECT_EQ(moved.kind, e.kind);
        EXPECT_EQ(moved.others, e.others);
        if (oneAnswer) {
            EXPECT_EQ(moved.rows, e.rows);
        }
        for (int c1 = 1; c1 <= kCategories; ++c1)
            for (int c2 = 1; c2 <= kCategories; ++c2)
                for (int a = 1; a <= kChoices; ++a)
                    ASSERT_EQ(moved.partners.at(order[static_cast<std::size_t>(c1 - 1)], a,
                                                order[static_cast<std::size_t>(c2 - 1)]),
                              e.partners.at(c1, a, c2));
    }
}

std::string& Box(Puzzle& p, int n) { return p.boxTexts[static_cast<std::size_t>(n - 1)]; }

// Row `to` made a copy of row `from`, boxes included.
Puzzle CopyRow(Puzzle p, int from, int to) {
    p.rules[to] = p.rules[from];
    for (int i = 0; i < 5; ++i) Box(p, 5 * to - i) = Box(p, 5 * from - i);
    Box(p, 80 + to) = Box(p, 80 + from);
    Box(p, 96 + to) = Box(p, 96 + from);
    return p;
}

// Row `k` copied from row 1, but its category box B shows a name that is no category, so its value is 0.
Puzzle MisspelledRow(Puzzle p, int k) {
    p = CopyRow(p, 1, k);
    p.rules[k].categoryB = 0;
    Box(p, 5 * k - 1) = "Natoin";
    return p;
}

Puzzle WithoutRelation(Puzzle p, int k) {
    Box(p, 5 * k - 2).clear();
    return p;
}

// The names of the seating puzzle's grid, for puzzles made here.
samples::Grid SeatingGrid() {
    const Puzzle seating = samples::Seating();
    samples::Grid grid;
    for (int c = 1; c <= kCategories; ++c) {
        grid.categories[static_cast<std::size_t>(c - 1)] = seating.name(0, c);
        for (int k = 1; k <= kChoices; ++k)
            grid.choices[static_cast<std::size_t>(c - 1)][static_cast<std::size_t>(k - 1)] = seating.name(k, c);
    }
    return grid;
}
const samples::Grid kGrid = SeatingGrid();

using enum RelationKind;
using K = ExplanationKind;

INSTANTIATE_TEST_SUITE_P(
    Puzzles, ExplainPuzzle,
    ::testing::Values(
        Case{"ZebraNeedsEveryClue", samples::Zebra(), K::Nothing},
        Case{"SeatingHasTwoSolutions", samples::Seating(), K::OpenCells},
        Case{"RelayTimesContradictTheThirdLeg", samples::Relay(), K::Conflict, Rows{4, 6, 7, 8}},
        Case{"ZebraWithAClueTypedTwice", CopyRow(samples::Zebra(), 1, 15), K::Redundant, Rows{1, 15}},
        Case{"ZebraWithoutItsLastClue", WithoutRelation(samples::Zebra(), 14), K::OpenCells},
        Case{"NoConditionAtAll", Puzzle{}, K::OpenCells},
        Case{"ZebraStoppedByAMisspelledCategory", MisspelledRow(samples::Zebra(), 15), K::RuleError},
        Case{"RelayStoppedOnceTheConflictIsMisspelled", MisspelledRow(samples::Relay(), 8), K::RuleError},
        Case{"RelayConflictKeepsTheSearchFromAMisspelledRow", MisspelledRow(samples::Relay(), 9), K::Conflict,
             Rows{4, 6, 7, 8}},
        Case{"ClueContradictingItself", samples::MakePuzzle(kGrid, {{3, 1, Corresponds, 4, 1}, {2, 1, Corresponds, 2, 2}}),
             K::Conflict, Rows{2}},
        Case{"NeighbourPastTheEndOfTheRow",
             samples::MakePuzzle(kGrid, {{4, 4, Corresponds, 2, 1}, {2, 1, RightNeighbour, 1, 5, 1, 1}}), K::Conflict,
             Rows{2}},
        Case{"TwoSeparateSlips",
             samples::MakePuzzle(kGrid, {{2, 1, Corresponds, 3, 1}, {4, 1, Corresponds, 5, 1},
                                         {2, 1, NotCorresponds, 3, 1}, {4, 1, NotCorresponds, 5, 1}}),
             K::Conflict},
        Case{"TwoConflictsSharingAClue",
             samples::MakePuzzle(kGrid, {{2, 1, Corresponds, 3, 1}, {2, 1, NotCorresponds, 3, 1}, {2, 1, Corresponds, 3, 2}}),
             K::Conflict}),
    CaseName);

TEST(Explain, MisspelledBoxesAreNamed) {
    Puzzle p = MisspelledRow(samples::Zebra(), 15);
    p.rules[15].categoryA = 7; // a value no list gives, as a damaged file may hold
    const Explanation e = Explain(Tidied(p));
    EXPECT_EQ(e.malformed.row, 15);
    EXPECT_TRUE(e.malformed.categoryA);
    EXPECT_TRUE(e.malformed.categoryB);
    EXPECT_EQ(e.malformed.errorText, "Erreur 201");
    EXPECT_EQ(ExplanationLines(e, p).front(),
              "« Erreur 201 » à la ligne 15 : la case de catégorie de gauche (« Nation », valeur 7) et la case de "
              "catégorie de droite (« Natoin ») ne désignent aucune des six catégories.");
}

TEST(Explain, NoConditionLeavesEveryPartnerOpen) {
    const Explanation e = Explain(RuleTable{});
    for (int c1 = 1; c1 <= kCategories; ++c1)
        for (int c2 = 1; c2 <= kCategories; ++c2)
            for (int a = 1; a <= kChoices; ++a) EXPECT_EQ(e.partners.at(c1, a, c2), c1 == c2 ? 1u << (a - 1) : 0x1Fu);
}

// Rows true of a hidden matching, each chosen among a few conditions as puzzles state them
// (samples::Style::Stated) as the one leaving the fewest solutions, until one solution is left; then, by
// `seed`, a row replaced by a random one, the puzzle padded with rows true of the hidden matching, or
// left be.
RuleTable RandomTable(std::uint64_t seed) {
    using samples::Style;
    samples::PuzzleGenerator draw(seed);
    const Assignment hidden = draw.matching();
    const int order = draw.pick(1, kCategories);
    RuleTable rules;
    int used = 0;
    for (std::uint64_t count = ~0ull; used < kRules && count > 1; ++used)
        count = draw.bestRow(rules, used + 1, count, hidden, Style::Stated, order, {.draws = 12, .firstKept = true});
    switch (seed % 3) {
    case 0: rules[draw.pick(0, used - 1) + 1] = draw.rule(Style::Stated, order); break; // a slip
    case 1: // padded with rows that the hidden matching satisfies
        while (used < kRules)
            if (const Rule r = draw.rule(Style::Stated, order); EvaluateRule(hidden, r) == Verdict::Holds) rules[++used] = r;
        break;
    default: break;
    }
    std::array<Rule, kRules> rows{};
    for (int k = 1; k <= kRules; ++k) rows[static_cast<std::size_t>(k - 1)] = rules[k];
    std::shuffle(rows.begin(), rows.end(), draw.engine());
    for (int k = 1; k <= kRules; ++k) rules[k] = rows[static_cast<std::size_t>(k - 1)];
    return rules;
}

TEST(Explain, SeededRandomPuzzles) {
    const int seeds = KORVANE_RANDOM_PUZZLES;
    int kinds[5] = {};
    for (int seed = 1; seed <= seeds; ++seed) {
        SCOPED_TRACE("replay: RandomTable(" + std::to_string(seed) + ")");
        const RuleTable rules = RandomTable(static_cast<std::uint64_t>(seed));
        const Explanation e = Explain(rules);
        ++kinds[static_cast<int>(e.kind)];
        std::mt19937_64 rng(static_cast<std::uint64_t>(seed));
        ExpectClaimsHold(rules, e, rng);
        if (::testing::Test::HasFatalFailure()) return;
    }
    for (int kind = 0; kind < 5 && seeds >= 100; ++kind) EXPECT_GT(kinds[kind], 0) << "no random puzzle of kind " << kind;
}

std::vector<std::string> Lines(const Puzzle& puzzle) { return ExplanationLines(Explain(Tidied(puzzle)), puzzle); }

TEST(ExplanationText, ConflictAsTheUserReadsIt) {
    EXPECT_EQ(Lines(samples::Relay()),
              (std::vector<std::string>{
                  "Aucune solution : ces 4 lignes ne peuvent être satisfaites ensemble, mais sans l'une quelconque "
                  "d'entre elles les autres le peuvent.",
                  "Ligne 4 : Temps 48 s — Correspond à — Relais 3e",
                  "Ligne 6 : Temps 51 s — A droite de (catégorie d'ordre : 5) — Temps 50 s",
                  "Ligne 7 : Temps 50 s — A droite de (catégorie d'ordre : 5) — Temps 49 s",
                  "Ligne 8 : Temps 49 s — A droite de (catégorie d'ordre : 5) — Temps 48 s",
                  "Aucun conflit ne compte moins de lignes.",
                  "C'est le seul conflit entre les conditions.",
              }));
    const std::vector<std::string> hidden = Lines(MisspelledRow(samples::Relay(), 9));
    EXPECT_EQ(hidden.back(), "La ligne 9 porte aussi une erreur : la case de catégorie de droite (« Natoin ») ne désigne "
                             "aucune des six catégories (« Erreur 201 ») ; la recherche ne l'atteint pas tant que "
                             "les conditions au-dessus n'ont pas de solution.");
}

TEST(ExplanationText, RuleErrorNamesTheRowAndTheBox) {
    EXPECT_EQ(Lines(MisspelledRow(samples::Zebra(), 15)),
              (std::vector<std::string>{"« Erreur 201 » à la ligne 15 : la case de catégorie de droite (« Natoin ») ne "
                                        "désigne aucune des six catégories.",
                                        "Ligne 15 : Nation Anglais — Correspond à — Natoin Rouge"}));
    // The window's message for a stopped solve reads the same lines from the row alone, without explaining.
    const Puzzle p = MisspelledRow(samples::Zebra(), 15);
    EXPECT_EQ(MalformedRowLines(StatedRows(Tidied(p)).malformed, p), Lines(p));
}

TEST(ExplanationText, RowsShowStepsAndOrderWhereTheirRelationUsesThem) {
    Puzzle p = samples::MakePuzzle(kGrid, {{4, 2, Corresponds, 6, 2},
                                           {2, 2, RightNeighbour, 2, 1, 1, 1},
                                           {2, 3, RightOf, 2, 2, 0, 1},
                                           {3, 2, Contiguous, 3, 1, 2, 1}});
    Box(p, 96 + 1) = "3"; // a stale order box behind a relation that does not use it
    Box(p, 80 + 4).clear();
    EXPECT_EQ(RowText(p, 1), "Vin Chablis — Correspond à — Métier Pilote");
    EXPECT_EQ(RowText(p, 2), "Invité Bruno — Voisin droit de (crans : 1, catégorie d'ordre : 1) — Invité Alice");
    EXPECT_EQ(RowText(p, 3), "Invité Chloé — A droite de (catégorie d'ordre : 1) — Invité Bruno");
    EXPECT_EQ(RowText(p, 4), "Plat Poisson — Contigu de (crans : (vide), catégorie d'ordre : 1) — Plat Soupe");
}

// An explanation made by hand: items (2, 1) and (2, 2) may each go with (6, 4) or (6, 5).
Explanation TwoOpenItems() {
    Explanation e;
    e.kind = ExplanationKind::OpenCells;
    for (int a = 1; a <= 2; ++a) {
        e.partners.at(2, a, 6) = 0b11000;
        e.partners.at(6, a + 3, 2) = 0b00011;
    }
    e.partners.at(2, 3, 6) = 0b00001;
    return e;
}

TEST(ExplanationText, OpenCellsListEachUnsettledItemWithItsPartners) {
    Puzzle p = samples::MakePuzzle(kGrid, {});
    p.name(0, 6).clear(); // a category without a name is called by its number
    EXPECT_EQ(ExplanationLines(TwoOpenItems(), p),
              (std::vector<std::string>{"Plusieurs solutions : ces choix ont plus d'un partenaire possible d'une "
                                        "solution à l'autre, une condition manque pour les fixer.",
                                        "Invité / Catégorie 6 : Alice (Notaire ou Peintre), Bruno (Notaire ou Peintre)"}));
}

TEST(ExplanationJson, CarriesTheSameInformation) {
    EXPECT_EQ(ExplanationJson(TwoOpenItems(), samples::MakePuzzle(kGrid, {})),
              R"({"kind":"open-cells","rows":[],"openCells":[{"categoryA":2,"categoryB":6,"items":[)"
              R"({"choice":1,"partners":[4,5]},{"choice":2,"partners":[4,5]}]}]})");
    const Puzzle relay = samples::Relay();
    EXPECT_EQ(ExplanationJson(Explain(Tidied(relay)), relay),
              R"({"kind":"conflict","rows":[{"row":4,"text":"Temps 48 s — Correspond à — Relais 3e"},)"
              R"({"row":6,"text":"Temps 51 s — A droite de (catégorie d'ordre : 5) — Temps 50 s"},)"
              R"({"row":7,"text":"Temps 50 s — A droite de (catégorie d'ordre : 5) — Temps 49 s"},)"
              R"({"row":8,"text":"Temps 49 s — A droite de (catégorie d'ordre : 5) — Temps 48 s"}],)"
              R"("smallest":true,"otherConflicts":"none"})");
    Puzzle quoted = MisspelledRow(samples::Zebra(), 15);
    Box(quoted, 74) = "Na\"t\\oin\t";
    EXPECT_EQ(ExplanationJson(Explain(Tidied(quoted)), quoted),
              R"({"kind":"rule-error","rows":[],"malformedRow":{"row":15,)"
              R"("text":"Nation Anglais — Correspond à — Na\"t\\oin\t Rouge","boxes":[74],)"
              R"("error":"Erreur 201","reached":true}})");
}

} // namespace
} // namespace korvane
