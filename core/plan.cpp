#include "core/plan.h"

#include <algorithm>
#include <cassert>

#include "core/relations.h"

namespace korvane {

namespace {

using RowArray = std::array<int, kCategories + 1>;

// Row sets by the bytes of the permutations, and the slot of each choice in each row.
struct Tables {
    std::array<std::array<Rows, kChoices>, kChoices> byteIs{};                  // [slot][value]
    std::array<std::array<std::array<Rows, 9>, kChoices>, kChoices> difference{}; // [sa][sb][d + 4]
    std::array<std::array<std::uint8_t, kChoices>, kRows> slotOf{};            // [row][value]

    Tables() {
        const auto& table = PermutationTable();
        for (int r = 0; r < kRows; ++r) {
            const Permutation& p = table[static_cast<std::size_t>(r)];
            for (int s = 0; s < kChoices; ++s) {
                byteIs[s][p[s]].set(r);
                slotOf[static_cast<std::size_t>(r)][p[s]] = static_cast<std::uint8_t>(s);
                for (int t = 0; t < kChoices; ++t) difference[s][t][p[s] - p[t] + 4].set(r);
            }
        }
    }
};

const Tables& T() {
    static const Tables tables;
    return tables;
}

constexpr std::uint8_t Bit(int category) { return category >= 2 ? static_cast<std::uint8_t>(1u << category) : 0; }

int SlotIn(const RowArray& rows, int category, int choice) {
    return T().slotOf[static_cast<std::size_t>(rows[static_cast<std::size_t>(category)])]
                     [static_cast<std::size_t>(choice - 1)];
}

int RankIn(const RowArray& rows, int category, int slot) {
    return PermutationTable()[static_cast<std::size_t>(rows[static_cast<std::size_t>(category)])]
                             [static_cast<std::size_t>(slot)];
}

} // namespace

Position ToPosition(WalkIndex index) {
    Position p{};
    for (int i = kLevels - 1; i >= 0; --i) {
        p[static_cast<std::size_t>(i)] = static_cast<int>(index % kRows);
        index /= kRows;
    }
    return p;
}

WalkIndex ToIndex(const Position& position) {
    WalkIndex index = 0;
    for (int r : position) index = index * kRows + static_cast<WalkIndex>(r);
    return index;
}

Assignment ToAssignment(const Position& position) {
    Assignment a;
    a.row[1] = 0;
    for (int i = 0; i < kLevels; ++i)
        a.row[static_cast<std::size_t>(i + 2)] = static_cast<std::int16_t>(position[static_cast<std::size_t>(i)]);
    return a;
}

Rows AllowedRows(const Constraint& c, int target, const RowArray& rows) {
    const Tables& t = T();
    const bool isA = c.categoryA == target, isB = c.categoryB == target, isO = c.order == target;
    const int a = c.choiceA - 1, b = c.choiceB - 1;
    Rows allowed;
    if (isA && isB) { // both items in the target, ranked by another category
        assert(!isO);
        for (int s = 0; s < kChoices; ++s)
            for (int u = 0; u < kChoices; ++u)
                if (Accepts(c.accepted, RankIn(rows, c.order, s) - RankIn(rows, c.order, u)))
                    allowed |= t.byteIs[s][a] & t.byteIs[u][b];
    } else if (isA && isO) { // item A ranks itself: its rank is its choice
        const int sb = SlotIn(rows, c.categoryB, c.choiceB);
        for (int r = 0; r < kChoices; ++r)
            if (Accepts(c.accepted, a - r)) allowed |= t.byteIs[sb][r];
    } else if (isB && isO) {
        const int sa = SlotIn(rows, c.categoryA, c.choiceA);
        for (int r = 0; r < kChoices; ++r)
            if (Accepts(c.accepted, r - b)) allowed |= t.byteIs[sa][r];
    } else if (isA) {
        const int sb = SlotIn(rows, c.categoryB, c.choiceB);
        const int rankB = RankIn(rows, c.order, sb);
        for (int s = 0; s < kChoices; ++s)
            if (Accepts(c.accepted, RankIn(rows, c.order, s) - rankB)) allowed |= t.byteIs[s][a];
    } else if (isB) {
        const int sa = SlotIn(rows, c.categoryA, c.choiceA);
        const int rankA = RankIn(rows, c.order, sa);
        for (int s = 0; s < kChoices; ++s)
            if (Accepts(c.accepted, rankA - RankIn(rows, c.order, s))) allowed |= t.byteIs[s][b];
    } else { // only the order category is open
        assert(isO);
        const int sa = SlotIn(rows, c.categoryA, c.choiceA), sb = SlotIn(rows, c.categoryB, c.choiceB);
        for (int d = -4; d <= 4; ++d)
            if (Accepts(c.accepted, d)) allowed |= t.difference[sa][sb][d + 4];
    }
    return allowed;
}

Plan::Plan(const RuleTable& rules, std::span<const Rule> extra) {
    const int stated = kRules + static_cast<int>(extra.size());
    for (int k = 1; k <= stated; ++k) {
        const Rule& r = k <= kRules ? rules[k] : extra[static_cast<std::size_t>(k - kRules - 1)];
        const RelationInfo* info = FindRelation(r.relation);
        if (!info) continue;
        if (!IsCategory(r.categoryA) || !IsCategory(r.categoryB)) {
            // Reached on the first assignment that passes every rule above it; nothing below matters.
            errorRule_ = k;
            errorText_ = info->errorText;
            break;
        }
        const bool located = IsChoice(r.choiceA) && IsChoice(r.choiceB);
        Constraint c{k, r.categoryA, r.choiceA, r.categoryB, r.choiceB, r.categoryA, 0, 0, 0};
        // Holds or fails on every assignment: nothing to filter.
        std::optional<bool> constant;
        switch (info->kind) {
        case RelationKind::Corresponds:
            // Item A is always located when its choice is 1..5; item B then must be in its slot.
            if (!IsChoice(r.choiceA)) constant = true;
            else if (!IsChoice(r.choiceB)) constant = false;
            c.accepted = AcceptedDifferences(info->kind, 1); // same slot: rank difference 0 in any order
            break;
        case RelationKind::NotCorresponds:
            if (!located) constant = true;
            c.accepted = AcceptedDifferences(info->kind, 1);
            break;
        default:
            c.accepted = AcceptedDifferences(info->kind, EffectiveSteps(r.steps));
            if (!located) constant = true;
            else if (!IsCategory(r.orderCategory)) constant = Accepts(c.accepted, 1);
            else c.order = r.orderCategory;
            break;
        }
        if (!constant && c.categoryA == c.categoryB && c.categoryB == c.order)
            constant = Accepts(c.accepted, c.choiceA - c.choiceB); // one category ranks both items
        if (constant) {
            if (*constant) continue;
            impossible_ = true; // no assignment passes this rule, so none reaches a later one
            break;
        }
        c.scope = static_cast<std::uint8_t>(Bit(c.categoryA) | Bit(c.categoryB) | Bit(c.order));
        if (c.scope == 0) { // everything in category 1, which never moves
            RowArray rows{};
            if (AllowedRows(c, 1, rows).test(0)) continue;
            impossible_ = true;
            break;
        }
        c.last = 31 - std::countl_zero(static_cast<std::uint32_t>(c.scope));
        constraints_.push_back(c);
    }
    prepare();
}

Plan::Plan(std::vector<Constraint> constraints, bool impossible)
    : constraints_(std::move(constraints)), impossible_(impossible) {
    prepare();
}

void Plan::prepare() {
    Domains& root = frames_[0];
    root.fill(Rows::All());
    RowArray rows{};
    for (std::size_t n = 0; n < constraints_.size(); ++n) {
        const Constraint& c = constraints_[n];
        const std::uint8_t rest = static_cast<std::uint8_t>(c.scope & ~(1u << c.last));
        if (rest == 0) {
            root[static_cast<std::size_t>(c.last - 2)] &= AllowedRows(c, c.last, rows);
        } else {
            const int trigger = 31 - std::countl_zero(static_cast<std::uint32_t>(rest));
            triggered_[static_cast<std::size_t>(trigger - 2)].push_back(static_cast<int>(n));
        }
    }
    for (int level = 0; level < kLevels; ++level) {
        const int category = level + 2;
        bool independent = true;
        for (const Constraint& c : constraints_)
            if ((c.scope >> category & 1u) && c.last > category) independent = false;
        independent_[static_cast<std::size_t>(level)] = independent;
    }
    // Constraints applied at level t or later read, from the rows chosen above level `level`, only the
    // slot of their item or, for their order category, the whole row.
    for (int t = 0; t < kLevels; ++t) {
        for (int n : triggered_[static_cast<std::size_t>(t)]) {
            const Constraint& c = constraints_[static_cast<std::size_t>(n)];
            for (int level = 1; level <= t; ++level) {
                for (int d = 2; d < level + 2; ++d) {
                    if (!(c.scope >> d & 1u)) continue;
                    const int choice = d == c.order ? 0 : d == c.categoryA ? c.choiceA : c.choiceB;
                    pending_[static_cast<std::size_t>(level)].push_back({d, choice});
                }
            }
        }
    }
    // A pending constraint has at most one category above the level (its trigger is at or below it), so
    // this holds unless many extra rules were added; without room, that level keeps no counts.
    for (int level = 0; level < kLevels; ++level)
        memoized_[static_cast<std::size_t>(level)] =
            level > 0 && pending_[static_cast<std::size_t>(level)].size() <= 8 * kFeatureWords;
    for (const Rows& d : root)
        if (d.empty()) impossible_ = true;
    chosen_.fill(-1);
}

bool Plan::descend(int level, int row) {
    const auto l = static_cast<std::size_t>(level);
    if (chosen_[l] == row) return alive_[l];
    for (std::size_t j = l + 1; j < kLevels; ++j) chosen_[j] = -1;
    chosen_[l] = row;

    RowArray rows{};
    for (std::size_t j = 0; j <= l; ++j) rows[j + 2] = chosen_[j];
    Domains& next = frames_[l + 1];
    next = frames_[l];
    bool alive = true;
    for (int n : triggered_[l]) {
        const Constraint& c = constraints_[static_cast<std::size_t>(n)];
        Rows& d = next[static_cast<std::size_t>(c.last - 2)];
        d &= AllowedRows(c, c.last, rows);
        if (d.empty()) {
            alive = false;
            break;
        }
    }
    alive_[l] = alive;
    return alive;
}

std::size_t Plan::StateHash::operator()(const State& s) const {
    std::uint64_t h = 0x9E3779B97F4A7C15ull;
    for (std::uint64_t w : s.words) h = (h ^ w) * 0xBF58476D1CE4E5B9ull + (h >> 29);
    return static_cast<std::size_t>(h ^ (h >> 31));
}

Plan::State Plan::stateOf(int level) const {
    const auto l = static_cast<std::size_t>(level);
    State s;
    for (std::size_t j = l; j < kLevels; ++j) {
        s.words[2 * j] = frames_[l][j].low();
        s.words[2 * j + 1] = frames_[l][j].high();
    }
    std::size_t byte = 0;
    for (const Feature& f : pending_[l]) {
        const int row = chosen_[static_cast<std::size_t>(f.category - 2)];
        const std::uint64_t value = f.choice == 0 ? static_cast<std::uint64_t>(row)
                                                  : T().slotOf[static_cast<std::size_t>(row)]
                                                              [static_cast<std::size_t>(f.choice - 1)];
        s.words[2 * kLevels + byte / 8] |= value << (8 * (byte % 8));
        ++byte;
    }
    return s;
}

void Plan::remember(int level, const State& state, std::uint64_t count) {
    auto& memo = counted_[static_cast<std::size_t>(level)];
    if (memo.size() >= kMemoLimit) memo.clear(); // bounded memory; forgetting only costs time
    memo.emplace(state, count);
}

bool Plan::find(int level, bool tight, const Position& lo, Position& out) {
    const auto l = static_cast<std::size_t>(level);
    Rows candidates = frames_[l][l];
    if (tight) candidates &= Rows::From(lo[l]);
    if (level == kLevels - 1) {
        if (candidates.empty()) return false;
        out[l] = candidates.first();
        return true;
    }
    State state;
    if (!tight && memoized_[l]) { // a subtree known to be empty in this state
        state = stateOf(level);
        const auto it = counted_[l].find(state);
        if (it != counted_[l].end() && it->second == 0) return false;
    }
    for (; !candidates.empty(); candidates.removeFirst()) {
        const int row = candidates.first();
        if (!descend(level, row)) continue;
        out[l] = row;
        if (find(level + 1, tight && row == lo[l], lo, out)) return true;
        // Not tight: the rows below were tried in full, and with no tie to this row none will do better.
        if (!tight && independent_[l]) break;
    }
    if (!tight && memoized_[l]) remember(level, state, 0);
    return false;
}

std::uint64_t Plan::countAll(int level) {
    const auto l = static_cast<std::size_t>(level);
    Rows d = frames_[l][l];
    if (level == kLevels - 1) return static_cast<std::uint64_t>(d.count());
    if (d.empty()) return 0;
    State state;
    if (memoized_[l]) {
        state = stateOf(level);
        if (const auto it = counted_[l].find(state); it != counted_[l].end()) return it->second;
    }
    std::uint64_t total = 0;
    if (independent_[l]) { // every row leaves the same domains below
        if (descend(level, d.first())) total = static_cast<std::uint64_t>(d.count()) * countAll(level + 1);
    } else {
        for (; !d.empty(); d.removeFirst())
            if (descend(level, d.first())) total += countAll(level + 1);
    }
    if (memoized_[l]) remember(level, state, total);
    return total;
}

std::uint64_t Plan::countRange(int level, bool tightLo, bool tightHi, const Position& lo, const Position& hi) {
    if (!tightLo && !tightHi) return countAll(level);
    const auto l = static_cast<std::size_t>(level);
    Rows d = frames_[l][l];
    if (tightLo) d &= Rows::From(lo[l]);
    if (level == kLevels - 1) {
        if (tightHi) d &= Rows::Below(hi[l]);
        return static_cast<std::uint64_t>(d.count());
    }
    if (tightHi) d &= Rows::Below(hi[l] + 1);
    std::uint64_t total = 0;
    for (; !d.empty(); d.removeFirst()) {
        const int row = d.first();
        if (descend(level, row))
            total += countRange(level + 1, tightLo && row == lo[l], tightHi && row == hi[l], lo, hi);
    }
    return total;
}

Plan& Plan::reordered() {
    if (!reordered_) {
        // Which category is walked first changes neither the count nor whether a solution exists: walk
        // first the categories that the most constraints tie to what is already placed, so that
        // constraints apply early.
        std::array<int, kCategories + 1> placeAt{0, 1, 0, 0, 0, 0, 0};
        std::uint8_t placed = 0;
        for (int level = 0; level < kLevels; ++level) {
            int best = 0, bestTies = -1, bestDegree = -1;
            for (int c = 2; c <= kCategories; ++c) {
                if (placed >> c & 1u) continue;
                int ties = 0, degree = 0;
                for (const Constraint& k : constraints_) {
                    if (!(k.scope >> c & 1u)) continue;
                    ++degree;
                    if (k.scope & placed) ++ties;
                }
                if (ties > bestTies || (ties == bestTies && degree > bestDegree)) {
                    best = c;
                    bestTies = ties;
                    bestDegree = degree;
                }
            }
            placed = static_cast<std::uint8_t>(placed | 1u << best);
            placeAt[static_cast<std::size_t>(best)] = level + 2;
        }
        auto moved = [&](int c) { return placeAt[static_cast<std::size_t>(c)]; };
        std::vector<Constraint> constraints = constraints_;
        for (Constraint& k : constraints) {
            k.categoryA = moved(k.categoryA);
            k.categoryB = moved(k.categoryB);
            k.order = moved(k.order);
            k.scope = static_cast<std::uint8_t>(Bit(k.categoryA) | Bit(k.categoryB) | Bit(k.order));
            k.last = 31 - std::countl_zero(static_cast<std::uint32_t>(k.scope));
        }
        reordered_.reset(new Plan(std::move(constraints), impossible_));
        reordered_->isReordered_ = true;
        for (int c = 1; c <= kCategories; ++c) originalOf_[static_cast<std::size_t>(moved(c))] = c;
    }
    return *reordered_;
}

std::uint64_t Plan::countAll() {
    if (impossible_) return 0;
    if (total_) return *total_;
    if (isReordered_) return *(total_ = countAll(0));
    Plan& quick = reordered();
    total_ = quick.impossible_ ? 0 : quick.countAll(0);
    return *total_;
}

bool Plan::satisfiable() {
    if (impossible_) return false;
    if (total_) return *total_ > 0;
    if (isReordered_) return search(0) < kWalkSize;
    return reordered().search(0) < kWalkSize;
}

const std::vector<WalkIndex>* Plan::sorted() {
    if (isReordered_ || impossible_) return nullptr;
    if (!sortedKnown_) {
        sortedKnown_ = true;
        if (countAll() <= kSortedLimit) {
            // Found in the quick order, put back in visit order.
            for (WalkIndex at = reordered_->search(0); at < kWalkSize; at = reordered_->search(at + 1)) {
                const Position found = ToPosition(at);
                Position p{};
                for (int level = 0; level < kLevels; ++level)
                    p[static_cast<std::size_t>(originalOf_[static_cast<std::size_t>(level + 2)] - 2)] =
                        found[static_cast<std::size_t>(level)];
                sorted_.push_back(ToIndex(p));
            }
            std::sort(sorted_.begin(), sorted_.end());
            hasSorted_ = true;
        }
    }
    return hasSorted_ ? &sorted_ : nullptr;
}

WalkIndex Plan::search(WalkIndex from) {
    if (impossible_ || from >= kWalkSize) return kWalkSize;
    Position out{};
    return find(0, true, ToPosition(from), out) ? ToIndex(out) : kWalkSize;
}

WalkIndex Plan::findFirst(WalkIndex from) {
    if (const std::vector<WalkIndex>* all = sorted()) {
        const auto it = std::lower_bound(all->begin(), all->end(), from);
        return it == all->end() ? kWalkSize : *it;
    }
    return search(from);
}

std::uint64_t Plan::count(WalkIndex from, WalkIndex to) {
    if (impossible_ || from >= to) return 0;
    if (const std::vector<WalkIndex>* all = sorted())
        return static_cast<std::uint64_t>(std::lower_bound(all->begin(), all->end(), to) -
                                          std::lower_bound(all->begin(), all->end(), from));
    const bool tightHi = to < kWalkSize;
    return countRange(0, from > 0, tightHi, ToPosition(from), ToPosition(tightHi ? to : 0));
}

} // namespace korvane
