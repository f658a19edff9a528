#include "reasoning/explain.h"

#include <algorithm>
#include <bit>
#include <cmath>

#include "core/relations.h"
#include "engine/plan.h"

namespace korvane {

namespace {

// The categories a stated rule reads, bit c for category c.
unsigned ScopeOf(const Rule& r) {
    const RelationInfo* info = FindRelation(r.relation);
    unsigned scope = 0;
    for (const std::int32_t c : {r.categoryA, r.categoryB, info && info->usesOrder ? r.orderCategory : 0})
        if (IsCategory(c)) scope |= 1u << c;
    return scope;
}

// How strongly a rule binds its two items: minus the binary logarithm of the share of the 25 pairs of
// ranks it accepts.
double StrengthOf(const Rule& r) {
    const RelationInfo* info = FindRelation(r.relation);
    if (!info) return 0;
    const std::uint16_t accepted = AcceptedDifferences(info->kind, EffectiveSteps(r.steps));
    int pairs = 0;
    for (int ra = 0; ra < kChoices; ++ra)
        for (int rb = 0; rb < kChoices; ++rb) pairs += Accepts(accepted, ra - rb);
    return pairs == 0 ? 8.0 : std::log2(25.0 / pairs);
}

// A renumbering of the categories. Which matchings satisfy a set of rules does not depend on how the
// categories are numbered, but the engine's speed does, by orders of magnitude: it keeps category 1
// fixed and places categories 2 to 6 in turn, applying each rule once the categories it reads are placed.
// A rule between category 1 and one other narrows that other's rows from the start, and rules between
// early categories cut the walk short.
struct Labels {
    std::array<int, kCategories + 1> to{};   // to[c]: the new number of category c
    std::array<int, kCategories + 1> from{}; // from[l]: the category numbered l

    // Numbers for solving the rows in `rows`: `first` gets 1, 2, ... in the order given. Without `first`,
    // number 1 goes to the category with the strongest rules, a rule that reads n other categories
    // counting for 1/n: fixing it narrows the others most. Each following number goes to the category
    // whose rules among those reading only numbered categories and it are the strongest, then to the one
    // most strongly tied to the numbered ones: the walk then fails early where it must.
    static Labels For(const RuleTable& rules, RowMask rows, std::initializer_list<int> first = {}) {
        Labels labels;
        unsigned placed = 0;
        auto place = [&](int c) {
            const int l = std::popcount(placed) + 1;
            labels.to[static_cast<std::size_t>(c)] = l;
            labels.from[static_cast<std::size_t>(l)] = c;
            placed |= 1u << c;
        };
        for (const int c : first) place(c);
        const std::vector<int> list = RowsOf(rows);
        while (placed != kAllCategories) {
            int best = 0;
            std::pair<double, double> bestScore{-1, -1};
            for (int c = 1; c <= kCategories; ++c) {
                if (placed >> c & 1u) continue;
                std::pair<double, double> score{0, 0};
                for (const int k : list) {
                    const unsigned scope = ScopeOf(rules[k]);
                    if (!(scope >> c & 1u)) continue;
                    const unsigned rest = scope & ~(1u << c);
                    const double strength = StrengthOf(rules[k]);
                    if (placed == 0) score.first += strength / std::max(1, std::popcount(rest));
                    else if ((rest & ~placed) == 0) score.first += strength;
                    if (placed == 0 || (rest & placed) != 0) score.second += strength;
                }
                if (score > bestScore) best = c, bestScore = score;
            }
            place(best);
        }
        return labels;
    }

    // The categories numbered 1 to n.
    unsigned prefix(int n) const {
        unsigned categories = 0;
        for (int l = 1; l <= n; ++l) categories |= 1u << from[static_cast<std::size_t>(l)];
        return categories;
    }

    std::int32_t renumber(std::int32_t c) const { return IsCategory(c) ? to[static_cast<std::size_t>(c)] : c; }

    Rule renumber(Rule r) const {
        r.categoryA = renumber(r.categoryA);
        r.categoryB = renumber(r.categoryB);
        r.orderCategory = renumber(r.orderCategory);
        return r;
    }
};

// A matching, whatever the numbering it was found under: for each category and choice (0-based), the
// 0-based choice of category 1 in the same slot.
using Matching = std::array<std::array<std::uint8_t, kChoices>, kCategories>;

Matching MatchingOf(WalkIndex position, const Labels& labels) {
    const Assignment a = ToAssignment(ToPosition(position));
    const Permutation& first = a.permutation(labels.to[1]);
    Matching m{};
    for (int l = 1; l <= kCategories; ++l)
        for (std::size_t s = 0; s < kChoices; ++s)
            m[static_cast<std::size_t>(labels.from[static_cast<std::size_t>(l)] - 1)][a.permutation(l)[s]] = first[s];
    return m;
}

void MarkPartners(const Matching& m, PartnerTable& partners) {
    for (std::size_t c1 = 0; c1 < kCategories; ++c1)
        for (std::size_t c2 = 0; c2 < kCategories; ++c2)
            for (std::size_t a = 0; a < kChoices; ++a)
                for (std::size_t b = 0; b < kChoices; ++b)
                    if (m[c1][a] == m[c2][b])
                        partners.at(static_cast<int>(c1 + 1), static_cast<int>(a + 1), static_cast<int>(c2 + 1)) |=
                            static_cast<std::uint8_t>(1u << b);
}

// The sets of two to five categories that hold `base`, smaller sets first.
std::vector<unsigned> CategorySets(unsigned base) {
    std::vector<unsigned> sets;
    for (int size = 2; size < kCategories; ++size)
        for (unsigned set = 0; set < 1u << (kCategories + 1); set += 2)
            if (std::popcount(set) == size && (set & base) == base) sets.push_back(set);
    return sets;
}

// Solves sub-puzzles made of some of the rows, each under the numbering that suits it. It remembers which
// rows each solution found satisfies, so that a question about rows that a known solution satisfies needs
// no new solve.
class Solver {
public:
    Solver(const RuleTable& rules, RowMask universe) : rules_(rules), universe_(universe) {}

    const RuleTable& rules() const { return rules_; }
    int solves() const { return solves_; }

    // The rows of `rows` that read only categories in `categories`.
    RowMask within(RowMask rows, unsigned categories) const {
        RowMask inside = 0;
        for (int k : RowsOf(rows))
            if ((ScopeOf(rules_[k]) & ~categories) == 0) inside |= RowBit(k);
        return inside;
    }

    // The engine for the rows in `rows`, each in its own row, under `labels`.
    Plan plan(RowMask rows, const Labels& labels) const {
        RuleTable table;
        for (int k : RowsOf(rows)) table[k] = labels.renumber(rules_[k]);
        return Plan(table);
    }

    // Whether the rows in `rows` admit a solution: known when a solution seen so far satisfies them all.
    // Otherwise the rows among the first few categories are tried before all of them: conflicts are mostly
    // local, and when those rows admit no solution neither do all.
    bool satisfiable(RowMask rows) {
        if (seen(rows)) return true;
        const Labels labels = Labels::For(rules_, rows);
        for (int n = 2; n < kCategories; ++n) {
            const RowMask local = within(rows, labels.prefix(n));
            if (local == 0 || local == rows || seen(local)) continue;
            if (!solve(local, labels)) return false;
        }
        return solve(rows, labels);
    }

    // The rows of `rows` among the first set of two to five categories, smaller sets first, whose rows admit
    // no solution; 0 when there is none. Conflicts are mostly local, and far quicker to prove so on the rows
    // of their own categories than on all of them.
    RowMask localConflict(RowMask rows) {
        for (const unsigned categories : CategorySets(0)) {
            const RowMask local = within(rows, categories);
            if (local != 0 && local != rows && !satisfiable(local)) return local;
        }
        return 0;
    }

    // Whether `only` is the one solution of the rows in `rows`.
    bool onlySolution(RowMask rows, const Matching& only) {
        const Labels labels = Labels::For(rules_, rows);
        Plan plan = this->plan(rows, labels);
        const WalkIndex found = plan.search(0);
        solves_ += 2;
        return found < kWalkSize && MatchingOf(found, labels) == only && plan.search(found + 1) == kWalkSize;
    }

private:
    bool seen(RowMask rows) const {
        return std::any_of(satisfied_.begin(), satisfied_.end(), [&](RowMask s) { return (rows & ~s) == 0; });
    }

    // Solves and remembers the rows of the universe that the solution found satisfies.
    bool solve(RowMask rows, const Labels& labels) {
        ++solves_;
        const WalkIndex found = plan(rows, labels).search(0);
        if (found == kWalkSize) return false;
        const Assignment a = ToAssignment(ToPosition(found));
        RowMask holding = 0;
        for (int k : RowsOf(universe_))
            if (EvaluateRule(a, labels.renumber(rules_[k])) == Verdict::Holds) holding |= RowBit(k);
        satisfied_.push_back(holding);
        return true;
    }

    const RuleTable& rules_;
    const RowMask universe_;
    std::vector<RowMask> satisfied_;
    int solves_ = 0;
};

// Removes rows from `rows`, which admit no solution, until every remaining one is needed. The loop ends
// with a pass that removes nothing, so each remaining row has been checked against the final set.
RowMask Shrink(Solver& solver, RowMask rows) {
    for (bool changed = true; changed;) {
        changed = false;
        for (int k : RowsOf(rows)) {
            if (!solver.satisfiable(rows & ~RowBit(k))) {
                rows &= ~RowBit(k);
                changed = true;
            }
        }
    }
    return rows;
}

// Looking for a small conflict costs solves only for row sets that no solution seen so far satisfies;
// past this many solves the conflict found is shown without the claim that it is the smallest.
constexpr int kSmallestSearchSolves = 600;

// The first set of `smallest` to `largest` rows of `candidates` that admits no solution, smaller sets
// first; 0 when there is none or the solves ran out (`complete` tells which).
RowMask SmallConflict(Solver& solver, RowMask candidates, int smallest, int largest, int budget, bool& complete) {
    const std::vector<int> rows = RowsOf(candidates);
    const int n = static_cast<int>(rows.size());
    complete = false;
    for (int r = smallest; r <= std::min(largest, n); ++r) {
        // Every r-element subset of the n candidates, as bit patterns over their indices.
        for (std::uint32_t pick = (1u << r) - 1; pick < (1u << n);) {
            RowMask subset = 0;
            for (int i = 0; i < n; ++i)
                if (pick >> i & 1u) subset |= RowBit(rows[static_cast<std::size_t>(i)]);
            if (solver.solves() >= budget) return 0;
            if (!solver.satisfiable(subset)) return complete = true, subset;
            const std::uint32_t low = pick & -pick, ripple = pick + low;
            pick = (((ripple ^ pick) >> 2) / low) | ripple;
        }
    }
    complete = true;
    return 0;
}

void ExplainConflict(Solver& solver, RowMask candidates, Explanation& out) {
    // Conflicts of one or two rows are the common slips and the cheapest to look for; larger ones are
    // found by removing rows from the whole set, then looked for among the sizes below the one found.
    const int budget = solver.solves() + kSmallestSearchSolves;
    bool complete = false;
    RowMask conflict = SmallConflict(solver, candidates, 1, 2, budget, complete);
    if (conflict == 0) {
        const bool smallSizesDone = complete;
        // A conflict among the rows of a few categories is quicker to narrow down than the whole set.
        const RowMask local = solver.localConflict(candidates);
        conflict = Shrink(solver, local != 0 ? local : candidates);
        if (const RowMask smaller = SmallConflict(solver, candidates, 3, std::popcount(conflict) - 1, budget, complete))
            conflict = smaller;
        complete = complete && smallSizesDone;
    }
    conflict = Shrink(solver, conflict); // a pass over the final set confirms that each row is needed
    out.kind = ExplanationKind::Conflict;
    out.rows = RowsOf(conflict);
    out.smallest = complete;
    auto conflicting = [&](RowMask rows) { return solver.localConflict(rows) != 0 || !solver.satisfiable(rows); };
    if (conflicting(candidates & ~conflict)) {
        out.others = OtherConflicts::Disjoint;
        return;
    }
    // A row in every conflict is one without which the candidates admit a solution.
    out.others = OtherConflicts::None;
    for (int k : out.rows)
        if (conflicting(candidates & ~RowBit(k))) out.others = OtherConflicts::Sharing;
}

// How many solutions are listed before the partners left are looked for pair by pair.
constexpr int kListedSolutions = 32;

// Finds, for categories c1 and c2, every partner in c2 of each item of c1. Numbered 1 and 2, c1 stays on
// row 0 and the rows of c2 that some solution uses give those partners, so the rows of c2 are walked in
// order, from each row that would show a partner not yet seen. A row is first tried against the rows that
// read only c1, c2 and a few other categories: when those admit no solution with it, neither do all.
void FindPartners(Solver& solver, RowMask stated, int c1, int c2, PartnerTable& partners) {
    const Labels labels = Labels::For(solver.rules(), stated, {c1, c2});
    std::vector<Plan> cascade; // plans for row sets of few categories, the last one for all of `stated`
    std::vector<RowMask> tried;
    for (const unsigned categories : CategorySets(1u << c1 | 1u << c2)) {
        const RowMask rows = solver.within(stated, categories);
        if (rows == 0 || rows == stated || std::find(tried.begin(), tried.end(), rows) != tried.end()) continue;
        tried.push_back(rows);
        cascade.push_back(solver.plan(rows, labels));
    }
    cascade.push_back(solver.plan(stated, labels));
    // Category 1 is on row 0, so its choice a is in slot 5 - a.
    auto news = [&](int row) {
        const Permutation& p = PermutationTable()[static_cast<std::size_t>(row)];
        for (int a = 1; a <= kChoices; ++a)
            if (!(partners.at(c1, a, c2) >> p[static_cast<std::size_t>(kChoices - a)] & 1u)) return true;
        return false;
    };
    auto nextNews = [&](int row) {
        while (row < kRows && !news(row)) ++row;
        return row;
    };
    constexpr WalkIndex kRowSpan = kWalkSize / kRows; // the positions with one row of category 2
    std::size_t depth = 0; // the plans before this one have a solution with the row
    for (int row = nextNews(0); row < kRows;) {
        const WalkIndex found = cascade[depth].search(static_cast<WalkIndex>(row) * kRowSpan);
        if (found == kWalkSize) return; // no later row has a solution
        const int at = static_cast<int>(found / kRowSpan);
        if (at > row) { // the rows before `at` have none
            row = nextNews(at);
            depth = 0;
        } else if (depth + 1 < cascade.size()) {
            ++depth;
        } else {
            MarkPartners(MatchingOf(found, labels), partners);
            row = nextNews(row + 1);
            depth = 0;
        }
    }
}

void ExplainOpenCells(Solver& solver, RowMask stated, Plan& plan, const Labels& labels, WalkIndex first,
                      Explanation& out) {
    out.kind = ExplanationKind::OpenCells;
    WalkIndex at = first;
    for (int n = 0; n < kListedSolutions && at < kWalkSize; ++n) {
        MarkPartners(MatchingOf(at, labels), out.partners);
        at = plan.search(at + 1);
    }
    if (at == kWalkSize) return; // every solution was seen
    for (int c1 = 1; c1 < kCategories; ++c1)
        for (int c2 = c1 + 1; c2 <= kCategories; ++c2) FindPartners(solver, stated, c1, c2, out.partners);
}

void ExplainUnique(Solver& solver, RowMask stated, const Matching& solution, Explanation& out) {
    for (int k : RowsOf(stated))
        if (solver.onlySolution(stated & ~RowBit(k), solution)) out.rows.push_back(k);
    out.kind = out.rows.empty() ? ExplanationKind::Nothing : ExplanationKind::Redundant;
}

} // namespace

Explanation Explain(const RuleTable& rules) {
    Explanation out;
    // The search stops at a malformed row once it reaches it, and never reads the rows below.
    const RowsRead read = StatedRows(rules);
    const RowMask stated = read.stated;
    out.malformed = read.malformed;
    Solver solver(rules, stated);
    const bool solvable = solver.localConflict(stated) == 0 && solver.satisfiable(stated);
    if (out.malformed.row != 0 && solvable) {
        out.malformed.reached = true;
        out.kind = ExplanationKind::RuleError;
        return out;
    }
    const Labels labels = Labels::For(rules, stated);
    Plan plan = solver.plan(stated, labels);
    const WalkIndex first = solvable ? plan.search(0) : kWalkSize;
    if (first == kWalkSize)
        ExplainConflict(solver, stated, out);
    else if (plan.search(first + 1) < kWalkSize)
        ExplainOpenCells(solver, stated, plan, labels, first, out);
    else
        ExplainUnique(solver, stated, MatchingOf(first, labels), out);
    return out;
}

} // namespace korvane
