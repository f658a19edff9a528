#include "examples/puzzle_generator.h"

#include <vector>

#include "core/check.h"
#include "engine/plan.h"
#include "core/relations.h"
#include "engine/search.h"
#include "examples/sample_puzzles.h"

namespace korvane::samples {

Assignment PuzzleGenerator::matching() {
    Assignment a;
    a.row[1] = 0;
    for (int c = 2; c <= kCategories; ++c) a.row[static_cast<std::size_t>(c)] = static_cast<std::int16_t>(pick(0, kRows - 1));
    return a;
}

// The fields are drawn in the order written (braced lists are evaluated left to right): changing it
// changes every puzzle drawn.
Rule PuzzleGenerator::rule(Style style, int order) {
    auto percent = [&](int p) { return pick(1, 100) <= p; };
    switch (style) {
    case Style::Clue: {
        const int relation = percent(50) ? 1 : pick(1, 10);
        const RelationInfo& info = *FindRelation(relation);
        const int categoryA = pick(1, kCategories);
        const int categoryB = percent(5) ? categoryA : pick(1, kCategories);
        return Rule{categoryA, pick(1, kChoices), relation, categoryB, pick(1, kChoices),
                    info.usesSteps ? (pick(1, 3) == 1 ? pick(1, 4) : 1) : 0,
                    info.usesOrder ? (pick(1, 5) == 1 ? pick(1, kCategories) : order) : 0};
    }
    case Style::Positional:
    case Style::PositionalLate: {
        const int relation = pick(0, 2) == 0 ? 1 : pick(2, 10);
        auto category = [&] { return style == Style::PositionalLate && pick(0, 1) != 0 ? pick(5, 6) : pick(1, 6); };
        return Rule{category(), pick(1, 5), relation, category(), pick(1, 5), pick(1, 2), order};
    }
    case Style::Stated: {
        auto odd = [&](int usual, std::initializer_list<int> others, int p) { return percent(p) ? oneOf(others) : usual; };
        return Rule{odd(pick(1, 6), {0, 7}, 1),           odd(pick(1, 5), {0, 6}, 2),
                    percent(75) ? 1 : pick(1, 10),        odd(pick(1, 6), {0, 7}, 1),
                    odd(pick(1, 5), {0, 6}, 2),           odd(pick(1, 4), {0, 5}, 5),
                    odd(pick(1, 5) == 1 ? pick(1, 6) : order, {0, 7}, 3)};
    }
    case Style::Loose:
        return Rule{pick(1, 6), pick(1, 5), percent(70) ? 1 : pick(1, 10), pick(1, 6), pick(1, 5), pick(1, 3),
                    pick(1, 5) == 1 ? pick(1, 6) : order};
    case Style::AlongFirst:
    case Style::Mixed:
    case Style::Wide: {
        const int lowest = style == Style::Mixed ? 2 : 1;
        Rule r;
        r.categoryA = pick(lowest, kCategories);
        r.choiceA = pick(1, kChoices);
        r.relation = pick(1, 10);
        r.categoryB = pick(lowest, kCategories);
        r.choiceB = pick(1, kChoices);
        r.steps = pick(1, style == Style::Wide ? 4 : 2);
        r.orderCategory = style == Style::AlongFirst ? 1 : pick(1, kCategories);
        return r;
    }
    case Style::OddFields: {
        Rule r;
        r.relation = chance(0.9) ? pick(1, 10) : oneOf({0, 11, -1});
        r.categoryA = chance(0.985) ? pick(1, 6) : oneOf({0, 7});
        r.categoryB = chance(0.985) ? pick(1, 6) : oneOf({0, 7});
        r.choiceA = chance(0.95) ? pick(1, 5) : oneOf({0, 6});
        r.choiceB = chance(0.95) ? pick(1, 5) : oneOf({0, 6});
        r.steps = chance(0.75) ? pick(1, 4) : oneOf({0, 5, -3, 7});
        r.orderCategory = chance(0.85) ? pick(1, 6) : oneOf({0, 7});
        return r;
    }
    }
    return Rule{};
}

Rule PuzzleGenerator::trueRule(const Assignment& hidden, Style style, int order) {
    for (;;)
        if (const Rule r = rule(style, order); EvaluateRule(hidden, r) == Verdict::Holds) return r;
}

std::uint64_t PuzzleGenerator::bestRow(RuleTable& rules, int row, std::uint64_t count, const Assignment& hidden, Style style,
                                       int order, const Candidates& candidates) {
    Rule best;
    for (int n = 0; n < candidates.draws && (n == 0 || !candidates.untilOne || count > 1); ++n) {
        Rule r = rule(style, order);
        if (EvaluateRule(hidden, r) != Verdict::Holds) {
            if (candidates.falseDrawsCount) continue;
            r = trueRule(hidden, style, order);
        }
        rules[row] = r;
        const std::uint64_t left = CountSolutions(rules).count;
        if (left < count || (n == 0 && candidates.firstKept)) best = r, count = left;
    }
    rules[row] = best;
    return count;
}

RuleTable PuzzleGenerator::around(const Assignment& hidden, Style style, double twins) {
    RuleTable t;
    const int rows = pick(1, kRules);
    Rule last;
    for (int n = 0; n < rows; ++n) {
        const bool twin = n > 0 && chance(twins), crossed = chance(0.5);
        auto next = [&] {
            Rule r = rule(style);
            if (twin) {
                r.categoryA = crossed ? last.categoryB : last.categoryA, r.choiceA = crossed ? last.choiceB : last.choiceA;
                r.categoryB = crossed ? last.categoryA : last.categoryB, r.choiceB = crossed ? last.choiceA : last.choiceB;
            }
            return r;
        };
        Rule r = next();
        for (int tries = 0; tries < 20 && IsRelation(r.relation) && EvaluateRule(hidden, r) == Verdict::Fails && !chance(0.05);
             ++tries)
            r = next();
        t[pick(1, kRules)] = last = r;
    }
    return t;
}

void DropUnneeded(RuleTable& rules, std::uint64_t count) {
    for (int k = 1; k <= kRules; ++k) {
        if (rules[k].relation == 0) continue;
        const Rule kept = rules[k];
        rules[k] = Rule{};
        if (CountSolutions(rules).count != count) rules[k] = kept;
    }
    RuleTable compacted;
    int row = 0;
    for (int k = 1; k <= kRules; ++k)
        if (rules[k].relation != 0) compacted[++row] = rules[k];
    rules = compacted;
}

namespace {

Rule RuleOf(const Clue& c) {
    return Rule{c.categoryA, c.choiceA, static_cast<std::int32_t>(c.relation), c.categoryB, c.choiceB, c.steps, c.order};
}

Clue ClueOf(const Rule& r) {
    return Clue{r.categoryA, r.choiceA, static_cast<RelationKind>(r.relation), r.categoryB, r.choiceB, r.steps, r.orderCategory};
}

// The search plan of the clues: past the sixteenth row they go in as extra rules.
Plan PlanOf(const std::vector<Clue>& clues) {
    RuleTable rules;
    std::vector<Rule> extra;
    for (std::size_t i = 0; i < clues.size(); ++i) {
        if (i < kRules) rules[static_cast<int>(i + 1)] = RuleOf(clues[i]);
        else extra.push_back(RuleOf(clues[i]));
    }
    return Plan(rules, extra);
}

// Whether the clues admit exactly one matching.
bool Unique(const std::vector<Clue>& clues) {
    Plan plan = PlanOf(clues);
    const WalkIndex first = plan.search(0);
    return first < kWalkSize && plan.search(first + 1) == kWalkSize;
}

// Drops, last first, each clue without which `stillSo(fewer clues)` holds.
template <class StillSo>
void DropClues(std::vector<Clue>& clues, StillSo&& stillSo) {
    for (std::size_t i = clues.size(); i-- > 0;) {
        std::vector<Clue> fewer = clues;
        fewer.erase(fewer.begin() + static_cast<std::ptrdiff_t>(i));
        if (stillSo(fewer)) clues = std::move(fewer);
    }
}

} // namespace

Puzzle RandomUniquePuzzle(std::uint64_t seed) {
    PuzzleGenerator draw(seed);
    const Assignment hidden = draw.matching();
    const int order = draw.pick(1, kCategories);
    std::vector<Clue> clues;
    do {
        clues.clear();
        while (clues.size() < 4 || !Unique(clues)) { // the hidden matching is always a solution
            // The search takes the sixteen rows and at most sixteen more at a time.
            // Fewer clues admit at least as many matchings, so the same count means the same matchings.
            if (clues.size() == 2 * kRules) {
                const std::uint64_t count = PlanOf(clues).countAll();
                DropClues(clues, [&](const std::vector<Clue>& fewer) { return PlanOf(fewer).countAll() == count; });
            }
            if (clues.size() == 2 * kRules) clues.clear(); // every one of them needed, and not enough
            if (const Rule r = draw.rule(Style::Clue, order); EvaluateRule(hidden, r) == Verdict::Holds) clues.push_back(ClueOf(r));
        }
        DropClues(clues, Unique);
    } while (clues.size() > kRules);
    const Puzzle seating = Seating();
    Grid grid;
    for (int c = 1; c <= kCategories; ++c) {
        grid.categories[static_cast<std::size_t>(c - 1)] = seating.name(0, c);
        for (int k = 1; k <= kChoices; ++k)
            grid.choices[static_cast<std::size_t>(c - 1)][static_cast<std::size_t>(k - 1)] = seating.name(k, c);
    }
    return MakePuzzle(grid, clues);
}

std::optional<RuleTable> BestOfEighty(std::uint64_t seed, int order, bool late) {
    PuzzleGenerator draw(seed);
    const Assignment hidden = draw.matching();
    const Style style = late ? Style::PositionalLate : Style::Positional;
    RuleTable rules;
    std::uint64_t count = CountSolutions(rules).count;
    for (int row = 1; row <= kRules && count > 1; ++row)
        count = draw.bestRow(rules, row, count, hidden, style, order, {.draws = 80, .falseDrawsCount = true});
    if (count != 1) return std::nullopt;
    return rules;
}

std::optional<RuleTable> MinimalUnique(Style style, std::uint64_t seed) {
    PuzzleGenerator draw(seed);
    const Assignment hidden = draw.matching();
    RuleTable rules;
    std::uint64_t count = CountSolutions(rules).count;
    for (int rounds = 0; rounds < 4 && count > 1; ++rounds) {
        int row = 1;
        while (row <= kRules && rules[row].relation != 0) ++row;
        for (; row <= kRules && count > 1; ++row) count = draw.bestRow(rules, row, count, hidden, style, 0, {.draws = 24});
        if (count > 1) DropUnneeded(rules, count);
    }
    if (count != 1) return std::nullopt;
    DropUnneeded(rules, 1);
    return rules;
}

} // namespace korvane::samples
