#include "reasoning/deduce.h"

#include <algorithm>
#include <array>
#include <bit>
#include <optional>

#include "core/relations.h"
#include "engine/plan.h"
#include "reasoning/explain.h"

namespace korvane {

namespace {

using Mask = std::uint8_t; // a set of choices, bit k - 1 for choice k
constexpr Mask kAllChoices = 0x1F;
constexpr Mask Bit(int choice) { return static_cast<Mask>(1u << (choice - 1)); }

constexpr std::size_t Index(int n) { return static_cast<std::size_t>(n - 1); }

enum class Cell : std::uint8_t { Unknown, Same, Not };

// The logic grid: for every two categories, which choices share a slot and which do not, with the step
// that set each known cell. Both orders of a pair of categories are kept, so that a column of one table
// is a row of the other.
class Grid {
public:
    Grid() {
        for (auto& table : reason_)
            for (auto& pair : table)
                for (auto& row : pair) row.fill(-1);
    }

    Cell at(Item x, Item y) const {
        if (same(x, y.category) & Bit(y.choice)) return Cell::Same;
        if (notSame(x, y.category) & Bit(y.choice)) return Cell::Not;
        return Cell::Unknown;
    }
    // The step that set a known cell.
    int reason(Item x, Item y) const {
        return reason_[Index(x.category)][Index(y.category)][Index(x.choice)][Index(y.choice)];
    }
    void set(Item x, Item y, bool isSame, int step) {
        for (const auto& [p, q] : {std::pair{x, y}, std::pair{y, x}}) {
            auto& masks = isSame ? same_ : not_;
            masks[Index(p.category)][Index(q.category)][Index(p.choice)] |= Bit(q.choice);
            reason_[Index(p.category)][Index(q.category)][Index(p.choice)][Index(q.choice)] =
                static_cast<std::int16_t>(step);
        }
    }
    // The choices of `category` that x shares a slot with, and those it may still share one with.
    Mask same(Item x, int category) const { return same_[Index(x.category)][Index(category)][Index(x.choice)]; }
    Mask notSame(Item x, int category) const { return not_[Index(x.category)][Index(category)][Index(x.choice)]; }
    Mask candidates(Item x, int category) const { return static_cast<Mask>(~notSame(x, category) & kAllChoices); }

    bool complete() const {
        for (int c1 = 1; c1 < kCategories; ++c1)
            for (int a = 1; a <= kChoices; ++a)
                for (int c2 = c1 + 1; c2 <= kCategories; ++c2)
                    if (same({c1, a}, c2) == 0) return false;
        return true;
    }

private:
    using Masks = std::array<std::array<std::array<Mask, kChoices>, kCategories>, kCategories>;
    Masks same_{}, not_{};
    std::array<std::array<std::array<std::array<std::int16_t, kChoices>, kChoices>, kCategories>, kCategories> reason_;
};

// A move before it is recorded: what it concludes and what it read. `uses` are 0-based step indices.
struct Move {
    Move() = default;
    Move(Technique t, RowMask r, std::vector<Fact> f = {}) : technique(t), rows(r), facts(std::move(f)) {}
    Move& supposing(Fact f) { return supposed = f, *this; }
    Move& along(int c) { return category = c, *this; }

    Technique technique = Technique::Direct;
    RowMask rows = 0;
    std::vector<int> uses;
    std::vector<Fact> facts;
    bool never = false;
    int category = 0;
    Fact supposed;
    Fact link;
};

RowMask RowMaskOf(const Step& step) {
    RowMask rows = 0;
    for (int k : step.rows) rows |= RowBit(k);
    return rows;
}

// What a positional row leaves of the ranks of its two items along the order category.
struct Ranks {
    Mask a = 0, b = 0;      // bit r for rank r (choice r + 1 of the order category)
    bool canShare = false;  // some accepted pair puts both items in one slot
    bool canDiffer = false; // some accepted pair puts them in two slots
};

// The pairs of ranks (i, j) that item A and item B may take: i in `a`, j in `b`, i - j accepted, and
// i == j exactly when the two share a slot, as far as `ab` and their categories allow.
Ranks Narrow(std::uint16_t accepted, Mask a, Mask b, Cell ab, bool sameCategory, bool sameItem) {
    Ranks out;
    for (int i = 0; i < kChoices; ++i) {
        if (!(a >> i & 1u)) continue;
        for (int j = 0; j < kChoices; ++j) {
            if (!(b >> j & 1u) || !Accepts(accepted, i - j)) continue;
            if (i == j ? (sameCategory && !sameItem) || ab == Cell::Not : sameItem || ab == Cell::Same) continue;
            out.a = static_cast<Mask>(out.a | 1u << i);
            out.b = static_cast<Mask>(out.b | 1u << j);
            (i == j ? out.canShare : out.canDiffer) = true;
        }
    }
    return out;
}

class Engine {
public:
    Engine(const RuleTable& rules, const Explanation* explanation) : rules_(rules), given_(explanation) {}

    Trace run();

private:
    enum class Recorded { Nothing, Facts, Contradiction };

    Recorded record(Move move);
    bool contradict(Move move) {
        move.facts.clear();
        return record(std::move(move)) == Recorded::Contradiction;
    }

    bool tryDirect();
    bool tryGrid(bool all);
    bool tryThreeCategories(bool all);
    bool tryPosition(bool all);
    bool positionMove(int k, Move& move) const;
    bool tryWhatIf();
    bool tryDeepWhatIf();

    // The explanation of the rules: the one given, or worked out on first need.
    const Explanation& explanation() {
        if (!given_) given_ = &own_.emplace(Explain(rules_));
        return *given_;
    }

    const RuleTable& rules_;
    const Explanation* given_;
    std::optional<Explanation> own_;
    RowMask stated_ = 0;
    Grid grid_;
    std::vector<Step> steps_;
    bool contradiction_ = false;
    std::array<bool, kRules + 1> directDone_{};
    // What the search engine found, for the last resort: no solution (0), one (1), or more (2).
    std::uint64_t count_ = 0;
    // For each item, the choices of each category it goes with in some solution: a cell the search finds
    // open or true can never be refuted, which spares the what-ifs that would fail.
    PartnerTable possible_;
};

Engine::Recorded Engine::record(Move move) {
    const int index = static_cast<int>(steps_.size());
    const bool claimed = move.facts.empty(); // a move without facts claims a contradiction
    Grid next = grid_;
    std::vector<Fact> set;
    bool clash = false;
    // Sets one cell; false when it is known the other way.
    auto apply = [&](Fact f) {
        const Cell cell = next.at(f.a, f.b);
        if (cell == Cell::Unknown) {
            next.set(f.a, f.b, f.same, index);
            set.push_back(f);
            return true;
        }
        if ((cell == Cell::Same) == f.same) return true;
        if (const int r = next.reason(f.a, f.b); r >= 0 && r < index) move.uses.push_back(r);
        return false;
    };
    // A fact, and for a "same" fact the cells it closes: sharing a slot with f.b, item f.a shares none
    // with the other choices of b's category, and so on. False on a clash.
    auto applyClosing = [&](const Fact& f) {
        if (!apply(f)) return false;
        for (int k = 1; k <= kChoices && f.same; ++k) {
            if (k != f.b.choice && !apply({f.a, {f.b.category, k}, false})) return false;
            if (k != f.a.choice && !apply({{f.a.category, k}, f.b, false})) return false;
        }
        return true;
    };
    for (const Fact& f : move.facts)
        if ((clash = !applyClosing(f))) break;
    const std::size_t own = set.size();
    // What two items sharing a slot know of a third category holds for both: carried over in the same
    // step, so that the reader is not shown it as a step of its own.
    for (bool grew = !claimed && !clash; grew && !clash;) {
        grew = false;
        for (int c1 = 1; c1 < kCategories && !clash; ++c1)
            for (int c2 = c1 + 1; c2 <= kCategories && !clash; ++c2)
                for (int a = 1; a <= kChoices && !clash; ++a) {
                    const Item x{c1, a};
                    if (next.same(x, c2) == 0) continue;
                    const Item y{c2, std::countr_zero(next.same(x, c2)) + 1};
                    for (int c3 = 1; c3 <= kCategories && !clash; ++c3)
                        for (int d = 1; d <= kChoices && c3 != c1 && c3 != c2 && !clash; ++d) {
                            const Item z{c3, d};
                            const Cell cx = next.at(x, z), cy = next.at(y, z);
                            if (cx == cy || (cx != Cell::Unknown && cy != Cell::Unknown)) continue;
                            const Item known = cx != Cell::Unknown ? x : y, other = cx != Cell::Unknown ? y : x;
                            for (const int r : {next.reason(x, y), next.reason(known, z)})
                                if (r >= 0 && r < index) move.uses.push_back(r);
                            clash = !applyClosing({other, z, (cx != Cell::Unknown ? cx : cy) == Cell::Same});
                            grew = true;
                        }
                }
    }
    if (!clash && !claimed && set.empty()) return Recorded::Nothing;
    Step step;
    step.technique = move.technique;
    step.rows = RowsOf(move.rows);
    std::sort(move.uses.begin(), move.uses.end());
    move.uses.erase(std::unique(move.uses.begin(), move.uses.end()), move.uses.end());
    step.uses = std::move(move.uses);
    step.never = move.never;
    step.category = move.category;
    step.supposed = move.supposed;
    step.link = move.link;
    step.contradiction = clash || claimed;
    if (!step.contradiction) {
        step.own = own;
        step.facts = std::move(set);
        grid_ = next;
    }
    contradiction_ = step.contradiction;
    steps_.push_back(std::move(step));
    return contradiction_ ? Recorded::Contradiction : Recorded::Facts;
}

// Move 1: a correspondence row read as it stands, and rows that can never hold whatever the matching.
bool Engine::tryDirect() {
    for (int k = 1; k <= kRules; ++k) {
        if (!(stated_ & RowBit(k)) || directDone_[static_cast<std::size_t>(k)]) continue;
        directDone_[static_cast<std::size_t>(k)] = true;
        const Rule& r = rules_[k];
        const auto kind = static_cast<RelationKind>(r.relation);
        const Item a{r.categoryA, r.choiceA}, b{r.categoryB, r.choiceB};
        Move never(Technique::Direct, RowBit(k));
        never.never = true;
        if (!IsChoice(a.choice)) continue; // item A is nowhere: the row always holds
        if (kind == RelationKind::Corresponds) {
            if (!IsChoice(b.choice) || (a.category == b.category && a.choice != b.choice)) return contradict(never);
            if (a.category == b.category) continue;
            if (record(Move(Technique::Direct, RowBit(k), {{a, b, true}})) != Recorded::Nothing)
                return true;
        } else if (!IsChoice(b.choice)) {
            continue; // item B is nowhere: every other kind holds
        } else if (kind == RelationKind::NotCorresponds) {
            if (a.category == b.category) {
                if (a.choice == b.choice) return contradict(never);
                continue;
            }
            if (record(Move(Technique::Direct, RowBit(k), {{a, b, false}})) != Recorded::Nothing)
                return true;
        } else if (!IsCategory(r.orderCategory)) {
            // Without an order category every pair of slots differs by 1.
            if (!Accepts(AcceptedDifferences(kind, EffectiveSteps(r.steps)), 1)) return contradict(never);
        }
    }
    return false;
}

// Move 2: the last choice left in a row of a table; no choice left is a contradiction.
bool Engine::tryGrid(bool all) {
    bool found = false;
    for (int c1 = 1; c1 <= kCategories; ++c1)
        for (int a = 1; a <= kChoices; ++a)
            for (int c2 = 1; c2 <= kCategories; ++c2) {
                const Item x{c1, a};
                if (c1 == c2 || grid_.same(x, c2) != 0) continue;
                const Mask left = grid_.candidates(x, c2);
                if (std::popcount(left) > 1) continue;
                Move move(Technique::Grid, 0);
                for (int k = 1; k <= kChoices; ++k)
                    if (!(left & Bit(k))) move.uses.push_back(grid_.reason(x, {c2, k}));
                if (left == 0) return contradict(std::move(move));
                move.facts.push_back({x, {c2, std::countr_zero(left) + 1}, true});
                if (record(std::move(move)) == Recorded::Nothing) continue;
                found = true;
                if (!all || contradiction_) return true;
            }
    return found;
}

// Move 3. Two items that share a slot share all they know: what is known of one against a third
// category holds for the other (one step carries over everything). And x and z do not share a slot when
// no choice of a third category is left to both.
bool Engine::tryThreeCategories(bool all) {
    bool found = false;
    for (int c1 = 1; c1 < kCategories; ++c1)
        for (int c2 = c1 + 1; c2 <= kCategories; ++c2)
            for (int a = 1; a <= kChoices; ++a) {
                const Item x{c1, a};
                if (grid_.same(x, c2) == 0) continue;
                const Item y{c2, std::countr_zero(grid_.same(x, c2)) + 1};
                Move move = Move(Technique::ThreeCategories, 0).along(c2);
                move.link = {x, y, true};
                move.uses.push_back(grid_.reason(x, y));
                for (int c3 = 1; c3 <= kCategories; ++c3)
                    for (int d = 1; d <= kChoices && c3 != c1 && c3 != c2; ++d) {
                        const Item z{c3, d};
                        const Cell cx = grid_.at(x, z), cy = grid_.at(y, z);
                        if (cx == cy) continue;
                        const Item known = cx != Cell::Unknown ? x : y, other = cx != Cell::Unknown ? y : x;
                        move.uses.push_back(grid_.reason(known, z));
                        // Known both ways and differing: the move's facts clash with the grid.
                        move.facts.push_back({other, z, (cx != Cell::Unknown ? cx : cy) == Cell::Same});
                    }
                if (move.facts.empty() || record(std::move(move)) == Recorded::Nothing) continue;
                found = true;
                if (!all || contradiction_) return true;
            }
    for (int c1 = 1; c1 < kCategories; ++c1)
        for (int c3 = c1 + 1; c3 <= kCategories; ++c3)
            for (int a = 1; a <= kChoices; ++a)
                for (int d = 1; d <= kChoices; ++d) {
                    const Item x{c1, a}, z{c3, d};
                    for (int c2 = 1; c2 <= kCategories && grid_.at(x, z) == Cell::Unknown; ++c2) {
                        if (c2 == c1 || c2 == c3 || (grid_.candidates(x, c2) & grid_.candidates(z, c2)) != 0) continue;
                        Move move = Move(Technique::ThreeCategories, 0, {{x, z, false}}).along(c2);
                        for (int k = 1; k <= kChoices; ++k)
                            move.uses.push_back(grid_.at(x, {c2, k}) == Cell::Not ? grid_.reason(x, {c2, k})
                                                                                  : grid_.reason(z, {c2, k}));
                        if (record(std::move(move)) == Recorded::Nothing) continue;
                        found = true;
                        if (!all || contradiction_) return true;
                    }
                }
    return found;
}

// Move 4 for row k: the ranks along the order category that its two items can still take, given the
// cells known of each against that category and of the two against each other. Fills `move` with the
// cells this closes (or a contradiction) and the steps it needed; false when it closes nothing new.
bool Engine::positionMove(int k, Move& move) const {
    const Rule& r = rules_[k];
    const RelationInfo* info = FindRelation(r.relation);
    if (!info || !info->usesOrder || !IsChoice(r.choiceA) || !IsChoice(r.choiceB) || !IsCategory(r.orderCategory)) return false;
    const RelationKind kind = info->kind;
    const int order = r.orderCategory;
    const Item a{r.categoryA, r.choiceA}, b{r.categoryB, r.choiceB};
    const bool sameCategory = a.category == b.category, sameItem = sameCategory && a.choice == b.choice;
    const std::uint16_t accepted = AcceptedDifferences(kind, EffectiveSteps(r.steps));
    auto ranksOf = [&](Item x) { return x.category == order ? Bit(x.choice) : grid_.candidates(x, order); };

    // What was read: the ranks excluded for A and for B, and the cell of A against B.
    const Mask ra = ranksOf(a), rb = ranksOf(b);
    const Cell ab = sameCategory ? Cell::Unknown : grid_.at(a, b);
    const Ranks out = Narrow(accepted, ra, rb, ab, sameCategory, sameItem);

    std::vector<Fact> facts;
    auto side = [&](Item x, Mask before, Mask after) {
        if (x.category == order) return;
        if (std::popcount(before) > 1 && std::popcount(after) == 1 && grid_.same(x, order) == 0)
            facts.push_back({x, {order, std::countr_zero(after) + 1}, true});
        else
            for (int i = 0; i < kChoices; ++i)
                if ((before & ~after) >> i & 1u) facts.push_back({x, {order, i + 1}, false});
    };
    const bool clash = out.a == 0 || out.b == 0;
    if (!clash) {
        side(a, ra, out.a);
        side(b, rb, out.b);
        if (!sameCategory && ab == Cell::Unknown && (!out.canShare || !out.canDiffer))
            facts.push_back({a, b, !out.canDiffer});
    }
    if (!clash && facts.empty()) return false;

    // Forget, one by one, each cell read that the conclusions do not need.
    Mask keepA = static_cast<Mask>(~ra & kAllChoices), keepB = static_cast<Mask>(~rb & kAllChoices);
    if (a.category == order) keepA = 0;
    if (b.category == order) keepB = 0;
    bool keepAb = ab != Cell::Unknown;
    auto stillFollows = [&](Mask ka, Mask kb, bool kab) {
        const Mask relaxedA = a.category == order ? ra : static_cast<Mask>(~ka & kAllChoices);
        const Mask relaxedB = b.category == order ? rb : static_cast<Mask>(~kb & kAllChoices);
        const Ranks o = Narrow(accepted, relaxedA, relaxedB, kab ? ab : Cell::Unknown, sameCategory, sameItem);
        if (clash) return o.a == 0 || o.b == 0;
        if (o.a == 0 || o.b == 0) return true;
        for (const Fact& f : facts) {
            if (f.b == b && f.a == a) {
                if (f.same ? o.canDiffer : o.canShare) return false;
                continue;
            }
            const Mask ranks = f.a == a ? o.a : o.b;
            const Mask bit = static_cast<Mask>(1u << (f.b.choice - 1));
            if (f.same ? ranks != bit : (ranks & bit) != 0) return false;
        }
        return true;
    };
    for (int i = 0; i < kChoices; ++i) {
        const Mask bit = static_cast<Mask>(1u << i);
        if ((keepA & bit) && stillFollows(static_cast<Mask>(keepA & ~bit), keepB, keepAb)) keepA = static_cast<Mask>(keepA & ~bit);
        if ((keepB & bit) && stillFollows(keepA, static_cast<Mask>(keepB & ~bit), keepAb)) keepB = static_cast<Mask>(keepB & ~bit);
    }
    if (keepAb && stillFollows(keepA, keepB, false)) keepAb = false;

    move = Move(Technique::Position, RowBit(k)).along(order);
    for (int i = 0; i < kChoices; ++i) {
        if (keepA >> i & 1u) move.uses.push_back(grid_.reason(a, {order, i + 1}));
        if (keepB >> i & 1u) move.uses.push_back(grid_.reason(b, {order, i + 1}));
    }
    if (keepAb) move.uses.push_back(grid_.reason(a, b));
    if (!clash) move.facts = std::move(facts);
    return true;
}

bool Engine::tryPosition(bool all) {
    bool found = false;
    for (int k = 1; k <= kRules; ++k) {
        Move move;
        if (!(stated_ & RowBit(k)) || !positionMove(k, move)) continue;
        if (record(std::move(move)) == Recorded::Nothing) continue;
        found = true;
        if (!all || contradiction_) return true;
    }
    return found;
}

// Move 5: supposing that two items share a slot, moves 2 to 4 reach a contradiction, so they do not.
// The cells tried first are those of the rows with the fewest choices left.
bool Engine::tryWhatIf() {
    struct Trial {
        int left;
        Item x, y;
    };
    std::vector<Trial> trials;
    for (int c1 = 1; c1 < kCategories; ++c1)
        for (int c2 = c1 + 1; c2 <= kCategories; ++c2)
            for (int a = 1; a <= kChoices; ++a)
                for (int b = 1; b <= kChoices; ++b) {
                    const Item x{c1, a}, y{c2, b};
                    if (grid_.at(x, y) != Cell::Unknown || (count_ > 0 && (possible_.at(c1, a, c2) & Bit(b)))) continue;
                    const int left = std::min(std::popcount(grid_.candidates(x, c2)), std::popcount(grid_.candidates(y, c1)));
                    trials.push_back({left, x, y});
                }
    std::stable_sort(trials.begin(), trials.end(), [](const Trial& p, const Trial& q) { return p.left < q.left; });
    const std::size_t base = steps_.size();
    for (const Trial& trial : trials) {
        const Grid saved = grid_;
        const Fact supposed{trial.x, trial.y, true};
        record(Move(Technique::WhatIf, 0, {supposed}));
        while (!contradiction_ && (tryGrid(true) || tryThreeCategories(true) || tryPosition(true))) {
        }
        if (!contradiction_) {
            steps_.resize(base);
            grid_ = saved;
            continue;
        }
        // The rows and the steps before the supposition that the contradiction rests on.
        Move move = Move(Technique::WhatIf, 0, {{trial.x, trial.y, false}}).supposing(supposed);
        std::vector<bool> seen(steps_.size() - base);
        std::vector<int> stack{static_cast<int>(steps_.size()) - 1};
        while (!stack.empty()) {
            const int i = stack.back();
            stack.pop_back();
            if (i < static_cast<int>(base)) {
                move.uses.push_back(i);
                continue;
            }
            if (seen[static_cast<std::size_t>(i) - base]) continue;
            seen[static_cast<std::size_t>(i) - base] = true;
            move.rows |= RowMaskOf(steps_[static_cast<std::size_t>(i)]);
            for (int u : steps_[static_cast<std::size_t>(i)].uses) stack.push_back(u);
        }
        steps_.resize(base);
        grid_ = saved;
        contradiction_ = false;
        record(std::move(move));
        return true;
    }
    return false;
}

// Move 6, the last resort: a cell that the search engine finds to be the same in every matching of the
// rows, in the open row with the fewest choices left, citing the rows without which it would not be (or,
// with no matching at all, the rows in conflict).
bool Engine::tryDeepWhatIf() {
    if (count_ == 0) {
        const Explanation& conflict = explanation();
        RowMask rows = 0;
        for (int k : conflict.rows) rows |= RowBit(k);
        return contradict(Move(Technique::DeepWhatIf, conflict.kind == ExplanationKind::Conflict ? rows : stated_));
    }
    int best = kChoices + 1;
    Fact fact;
    for (int c1 = 1; c1 <= kCategories; ++c1)
        for (int a = 1; a <= kChoices; ++a)
            for (int c2 = 1; c2 <= kCategories; ++c2) {
                const Item x{c1, a};
                if (c1 == c2 || grid_.same(x, c2) != 0) continue;
                const Mask left = grid_.candidates(x, c2), partners = possible_.at(c1, a, c2);
                if (std::popcount(left) >= best || (std::popcount(partners) > 1 && (left & ~partners) == 0)) continue;
                best = std::popcount(left);
                if (std::popcount(partners) == 1)
                    fact = {x, {c2, std::countr_zero(partners) + 1}, true};
                else
                    fact = {x, {c2, std::countr_zero(static_cast<Mask>(left & ~partners)) + 1}, false};
            }
    if (best > kChoices) return false;
    // The rows it needs: without each in turn, is the supposition still impossible?
    const Rule supposed{fact.a.category, fact.a.choice,
                        static_cast<std::int32_t>(fact.same ? RelationKind::NotCorresponds : RelationKind::Corresponds),
                        fact.b.category, fact.b.choice, 0, 0};
    RowMask rows = stated_;
    for (int k = 1; k <= kRules; ++k) {
        if (!(rows & RowBit(k))) continue;
        RuleTable fewer;
        for (int j = 1; j <= kRules; ++j)
            if ((rows & ~RowBit(k)) & RowBit(j)) fewer[j] = rules_[j];
        if (!Plan(fewer, std::span<const Rule>(&supposed, 1)).satisfiable()) rows &= ~RowBit(k);
    }
    return record(Move(Technique::DeepWhatIf, rows, {fact}).supposing({fact.a, fact.b, !fact.same})) != Recorded::Nothing;
}

Trace Engine::run() {
    Trace trace;
    // Whether the search finds no solution, one, or more, and the first: the first two in visit order are
    // enough, and a table with billions of solutions is not counted for it.
    Plan plan(rules_);
    if (plan.errorRule() != 0) {
        // The search stops at the malformed row once an assignment passes the rows above it.
        if (plan.satisfiable()) {
            trace.outcome = TraceOutcome::RuleError;
            trace.malformed = MalformedRowOf(rules_[plan.errorRule()], plan.errorRule());
            trace.malformed.reached = true;
            return trace;
        }
        count_ = 0;
    } else {
        const WalkIndex first = plan.findFirst(0);
        count_ = first == kWalkSize ? 0 : plan.findFirst(first + 1) == kWalkSize ? 1 : 2;
        if (count_ == 1) {
            const Assignment only = ToAssignment(ToPosition(first));
            for (int c1 = 1; c1 <= kCategories; ++c1)
                for (int c2 = 1; c2 <= kCategories; ++c2)
                    for (std::size_t s = 0; s < kChoices; ++s)
                        possible_.at(c1, only.permutation(c1)[s] + 1, c2) = Bit(only.permutation(c2)[s] + 1);
        }
    }
    if (count_ > 1) possible_ = explanation().partners;
    stated_ = StatedRows(rules_).stated; // the rows the search reads
    while (!contradiction_ && (tryDirect() || tryGrid(false) || tryThreeCategories(false) || tryPosition(false) ||
                               tryWhatIf() || tryDeepWhatIf())) {
    }
    trace.outcome = contradiction_ ? TraceOutcome::Contradiction : count_ == 1 ? TraceOutcome::Solved : TraceOutcome::Open;
    for (int c1 = 1; c1 <= kCategories; ++c1)
        for (int a = 1; a <= kChoices; ++a)
            for (int c2 = 1; c2 <= kCategories; ++c2)
                trace.open.at(c1, a, c2) = c1 == c2 ? Bit(a) : grid_.candidates({c1, a}, c2);
    for (Step& step : steps_) {
        for (int& use : step.uses) ++use; // numbered from 1 for the reader
        trace.hardest = std::max(trace.hardest, step.technique);
    }
    trace.steps = std::move(steps_);
    return trace;
}

} // namespace

Trace Deduce(const RuleTable& rules) { return Engine(rules, nullptr).run(); }
Trace Deduce(const RuleTable& rules, const Explanation& explanation) { return Engine(rules, &explanation).run(); }

} // namespace korvane
