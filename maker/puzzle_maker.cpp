#include "maker/puzzle_maker.h"

#include <algorithm>
#include <array>
#include <span>
#include <utility>
#include <vector>

#include "boxes/boxes.h"
#include "reasoning/deduce.h"
#include "engine/plan.h"
#include "core/relations.h"
#include "maker/suggest.h"

namespace korvane::maker {

int Draws::below(int n) {
    // The largest multiple of n that the engine's range holds: draws at or above it are drawn again, so
    // that every value is as likely.
    const std::uint64_t range = static_cast<std::uint64_t>(n);
    const std::uint64_t limit = std::mt19937_64::max() - (std::mt19937_64::max() % range + 1) % range;
    for (;;)
        if (const std::uint64_t x = engine_(); x <= limit) return static_cast<int>(x % range);
}

namespace {

// The three kinds of row a published puzzle mixes: two items go together, they do not, or they stand
// in some way along the order category.
enum RowClass { kSame, kNotSame, kPositional };

// How the rows of a grade are drawn: the weights of the three kinds of row, and how many candidates
// of the kind drawn are compared for each row.
struct Mix {
    std::array<int, 3> classes;
    int candidates;
};

// Chosen by measure (bench/bench_maker.cpp) for few draws per puzzle of each grade.
constexpr std::array<Mix, kGrades> kMixes{{
    {{6, 2, 2}, 8}, // Facile
    {{4, 2, 4}, 8}, // Moyen
    {{3, 2, 5}, 8}, // Difficile
    {{2, 2, 6}, 8}, // Très difficile
}};

// The positional relations and how often each is drawn: the ones a published puzzle uses most
// ("next to", "just right of", "somewhere left of", "not next to") more than the rest.
constexpr std::array<std::pair<RelationKind, int>, 8> kPositionalKinds{{
    {RelationKind::Contiguous, 6},
    {RelationKind::RightNeighbour, 4},
    {RelationKind::LeftNeighbour, 4},
    {RelationKind::RightOf, 4},
    {RelationKind::LeftOf, 4},
    {RelationKind::NotContiguous, 3},
    {RelationKind::NotRightNeighbour, 1},
    {RelationKind::NotLeftNeighbour, 1},
}};

RowClass ClassOf(const Rule& r) {
    const auto kind = static_cast<RelationKind>(r.relation);
    return kind == RelationKind::Corresponds ? kSame : kind == RelationKind::NotCorresponds ? kNotSame : kPositional;
}

// The same statement with its two items swapped.
Rule Mirrored(const Rule& r) {
    Rule m = r;
    std::swap(m.categoryA, m.categoryB);
    std::swap(m.choiceA, m.choiceB);
    using enum RelationKind;
    switch (static_cast<RelationKind>(r.relation)) {
    case RightNeighbour: m.relation = static_cast<std::int32_t>(LeftNeighbour); break;
    case LeftNeighbour: m.relation = static_cast<std::int32_t>(RightNeighbour); break;
    case RightOf: m.relation = static_cast<std::int32_t>(LeftOf); break;
    case LeftOf: m.relation = static_cast<std::int32_t>(RightOf); break;
    case NotRightNeighbour: m.relation = static_cast<std::int32_t>(NotLeftNeighbour); break;
    case NotLeftNeighbour: m.relation = static_cast<std::int32_t>(NotRightNeighbour); break;
    default: break; // the others say the same both ways
    }
    return m;
}

bool SameItems(const Rule& a, const Rule& b) {
    const bool sameWay = a.categoryA == b.categoryA && a.choiceA == b.choiceA && a.categoryB == b.categoryB && a.choiceB == b.choiceB;
    const bool crossed = a.categoryA == b.categoryB && a.choiceA == b.choiceB && a.categoryB == b.categoryA && a.choiceB == b.choiceA;
    return sameWay || crossed;
}

// The rows as the search takes them: past the sixteenth they go in as extra rules.
Plan PlanOf(const std::vector<Rule>& rows) {
    RuleTable table;
    const std::size_t first = std::min<std::size_t>(rows.size(), kRules);
    for (std::size_t i = 0; i < first; ++i) table[static_cast<int>(i + 1)] = rows[i];
    return Plan(table, std::span<const Rule>(rows).subspan(first));
}

bool Unique(const std::vector<Rule>& rows) { return PlanOf(rows).unique(); }

// One puzzle drawn, with its positional rows along category 1. The search keeps category 1 in place,
// so that a positional row reads the categories of its two items only, and counts several times faster
// than along another category; the rows are moved to the grid's order category once drawn.
class Attempt {
public:
    Attempt(Draws& draws, const Mix& mix) : draws_(draws), mix_(mix) {
        hidden_.row[1] = 0;
        for (int c = 2; c <= kCategories; ++c) hidden_.row[static_cast<std::size_t>(c)] = static_cast<std::int16_t>(draws_.below(kRows));
    }

    // The rows of a puzzle whose one solution is the hidden matching, every row needed; none when that
    // took more than sixteen rows.
    std::optional<std::vector<Rule>> rows() {
        // Given up at 32 rows, what the search takes at a time, or after 64 rounds (a round whose
        // candidates narrow nothing adds no row, and such rounds are rare).
        std::uint64_t count = PlanOf(rows_).countAll();
        for (int round = 0; count > 1; ++round) {
            if (rows_.size() == 2 * kRules || round == 64) return std::nullopt;
            const auto kind = static_cast<RowClass>(draws_.weighted(mix_.classes));
            Rule best;
            std::uint64_t left = count;
            for (int n = 0; n < mix_.candidates; ++n) {
                rows_.push_back(trueRow(kind));
                if (const std::uint64_t c = PlanOf(rows_).countAll(); c < left) best = rows_.back(), left = c;
                rows_.pop_back();
            }
            if (left < count) rows_.push_back(best), count = left;
        }
        // Every row the others make useless goes, in an order drawn.
        std::vector<Rule> order = rows_;
        shuffle(order);
        for (const Rule& r : order) {
            std::vector<Rule> fewer;
            for (const Rule& kept : rows_)
                if (!(kept == r)) fewer.push_back(kept);
            if (Unique(fewer)) rows_ = std::move(fewer);
        }
        if (rows_.size() > kRules) return std::nullopt;
        // A published puzzle mixes the three kinds.
        std::array<bool, 3> seen{};
        for (const Rule& r : rows_) seen[static_cast<std::size_t>(ClassOf(r))] = true;
        if (!seen[kSame] || !seen[kNotSame] || !seen[kPositional]) return std::nullopt;
        shuffle(rows_);
        return rows_;
    }

private:
    Item item() { return {draws_.below(kCategories) + 1, draws_.below(kChoices) + 1}; }

    // A row of that kind, true of the hidden matching, about two items no row is about yet.
    Rule trueRow(RowClass kind) {
        constexpr int order = 1;
        for (;;) {
            const Item a = item(), b = item();
            Rule r{a.category, a.choice, 0, b.category, b.choice, 0, 0};
            if (kind == kPositional) {
                std::array<int, kPositionalKinds.size()> weights{};
                for (std::size_t i = 0; i < weights.size(); ++i) weights[i] = kPositionalKinds[i].second;
                r.relation = static_cast<std::int32_t>(kPositionalKinds[static_cast<std::size_t>(draws_.weighted(weights))].first);
                const RelationInfo& info = *FindRelation(r.relation);
                r.steps = info.usesSteps ? (draws_.below(5) == 0 ? 2 : 1) : 0;
                r.orderCategory = order;
                // Two places compared with each other, or an item with itself, state nothing.
                if ((a.category == order && b.category == order) || a == b) continue;
            } else {
                r.relation = static_cast<std::int32_t>(kind == kSame ? RelationKind::Corresponds : RelationKind::NotCorresponds);
                if (a.category == b.category) continue;
            }
            if (EvaluateRule(hidden_, r) != Verdict::Holds) continue;
            if (std::any_of(rows_.begin(), rows_.end(), [&](const Rule& kept) { return SameItems(kept, r); })) continue;
            // A place reads best last: "Martin — Correspond à — Maison 3".
            return a.category == order ? Mirrored(r) : r;
        }
    }

    void shuffle(std::vector<Rule>& rows) {
        for (std::size_t i = rows.size(); i > 1; --i)
            std::swap(rows[i - 1], rows[static_cast<std::size_t>(draws_.below(static_cast<int>(i)))]);
    }

    Draws& draws_;
    const Mix& mix_;
    Assignment hidden_;
    std::vector<Rule> rows_;
};

// The puzzle as the window shows and saves it: the grid's names, every box showing its list's text. The
// rows, drawn along category 1, are moved to grid.order: that category and category 1 trade places, which
// changes neither the solutions' number nor which rows they need.
Puzzle PuzzleOf(const Grid& grid, const std::vector<Rule>& rows) {
    const auto moved = [&](std::int32_t c) { return c == 1 ? grid.order : c == grid.order ? 1 : c; };
    Puzzle p;
    p.names = grid.names;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const int k = static_cast<int>(i + 1);
        Rule r = rows[i];
        r.categoryA = moved(r.categoryA);
        r.categoryB = moved(r.categoryB);
        if (r.orderCategory != 0) r.orderCategory = moved(r.orderCategory);
        SetRow(p, k, r);
    }
    return p;
}

} // namespace

std::optional<MadePuzzle> MakeGradedPuzzle(const Grid& grid, Grade grade, std::uint64_t seed) {
    Draws draws(seed);
    MadePuzzle made;
    made.grade = grade;
    const Mix& mix = kMixes[static_cast<std::size_t>(grade) - 1];
    while (made.tries < 100'000) {
        ++made.tries;
        const std::optional<std::vector<Rule>> rows = Attempt(draws, mix).rows();
        if (!rows) continue;
        ++made.graded;
        made.puzzle = PuzzleOf(grid, *rows);
        const Trace trace = Deduce(made.puzzle.rules);
        const Grade got = GradeOf(trace);
        ++made.byGrade[static_cast<std::size_t>(got) - 1];
        ++made.byHardest[static_cast<std::size_t>(trace.hardest) - 1];
        if (got == grade) return made;
    }
    return std::nullopt;
}

const Theme& ThemeFor(std::uint64_t seed) {
    Draws pick(seed ^ 0x9E3779B97F4A7C15ull); // the golden ratio's bits: any constant other than 0 would do
    const std::span<const Theme> themes = Themes();
    return themes[static_cast<std::size_t>(pick.below(static_cast<int>(themes.size())))];
}

std::optional<MadePuzzle> MakeGradedPuzzle(Grade grade, std::uint64_t seed) {
    return MakeGradedPuzzle(GridOf(ThemeFor(seed)), grade, seed);
}

} // namespace korvane::maker
