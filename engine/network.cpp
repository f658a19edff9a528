#include "engine/network.h"

#include <algorithm>
#include <bit>
#include <cassert>

#include "core/relations.h"

namespace korvane {

namespace {

// Row sets by the bytes of the permutations, the slot of each choice in each row, and which pairs of
// slots each row ranks at each set of rank differences.
struct Tables {
    std::array<std::array<Rows, 32>, kChoices> valueIn{};                      // [value][slot set]
    std::array<std::array<Rows, 32>, kChoices> valueAt{};                      // [slot][value set]
    std::array<std::array<std::array<Rows, 9>, kChoices>, kChoices> difference{}; // [sa][sb][d + 4]
    std::array<std::array<std::uint8_t, kChoices>, kRows> slotOf{};            // [row][value]
    // [row][accepted differences]: bit (sa * 5 + sb) when the row's ranks of slots sa and sb differ by an
    // accepted amount.
    std::array<std::array<std::uint32_t, 512>, kRows> pairs{};
    // [accepted differences][sa * 5 + sb]: the rows that rank slots sa and sb by an accepted difference.
    std::array<std::array<Rows, kChoices * kChoices>, 512> ranksApart{};

    constexpr Tables() {
        constexpr std::array<Permutation, kRows> table = BuildPermutationTable();
        for (int r = 0; r < kRows; ++r) {
            const Permutation& p = table[static_cast<std::size_t>(r)];
            for (int s = 0; s < kChoices; ++s) {
                slotOf[static_cast<std::size_t>(r)][p[s]] = static_cast<std::uint8_t>(s);
                for (int set = 0; set < 32; ++set) {
                    if (set >> s & 1) valueIn[p[s]][static_cast<std::size_t>(set)].set(r);
                    if (set >> p[s] & 1) valueAt[static_cast<std::size_t>(s)][static_cast<std::size_t>(set)].set(r);
                }
                for (int t = 0; t < kChoices; ++t) difference[s][t][p[s] - p[t] + 4].set(r);
            }
            // The pairs at each difference, then every set of differences from a smaller one.
            std::array<std::uint32_t, 9> at{};
            for (int sa = 0; sa < kChoices; ++sa)
                for (int sb = 0; sb < kChoices; ++sb)
                    at[static_cast<std::size_t>(p[static_cast<std::size_t>(sa)] - p[static_cast<std::size_t>(sb)] + 4)] |=
                        1u << (sa * kChoices + sb);
            auto& row = pairs[static_cast<std::size_t>(r)];
            for (unsigned accepted = 1; accepted < 512; ++accepted)
                row[accepted] = row[accepted & (accepted - 1)] | at[static_cast<std::size_t>(std::countr_zero(accepted))];
        }
        for (unsigned accepted = 1; accepted < 512; ++accepted)
            for (int pair = 0; pair < kChoices * kChoices; ++pair)
                ranksApart[accepted][static_cast<std::size_t>(pair)] =
                    ranksApart[accepted & (accepted - 1)][static_cast<std::size_t>(pair)] |
                    difference[static_cast<std::size_t>(pair / kChoices)][static_cast<std::size_t>(pair % kChoices)]
                              [static_cast<std::size_t>(std::countr_zero(accepted))];
    }
};

// Built by the compiler: the search reads them in its innermost loops, where a guard on each use would
// cost, and building them at each start would delay every program that links the engine.
constexpr Tables kTables;
const Tables& T() { return kTables; }

std::uint32_t PairsAt(int row, std::uint16_t accepted) {
    return row < kRows ? T().pairs[static_cast<std::size_t>(row)][accepted] : 0; // the guard keeps g++ sure of the bounds
}

std::uint32_t PairsOf(const Constraint& c, const RowArray& rows) {
    return PairsAt(rows[static_cast<std::size_t>(c.order)], c.accepted);
}

// The slots sa of item A that a matrix of accepted pairs allows with item B in slot sb, and the converse.
constexpr std::uint32_t kColumn = 1u | 1u << 5 | 1u << 10 | 1u << 15 | 1u << 20;
std::size_t SlotsOfA(std::uint32_t pairs, int sb) {
    const std::uint32_t column = pairs >> sb & kColumn; // bits 0, 5, 10, 15, 20
    return (column & 1u) | (column >> 4 & 2u) | (column >> 8 & 4u) | (column >> 12 & 8u) | (column >> 16 & 16u);
}
std::size_t SlotsOfB(std::uint32_t pairs, int sa) { return pairs >> (sa * kChoices) & 31u; }
// The accepted differences of B's rank less A's, from those of A's less B's (bit d + 4 to bit 4 - d).
constexpr std::uint16_t Mirrored(std::uint16_t accepted) {
    std::uint16_t out = 0;
    for (int bit = 0; bit < 9; ++bit)
        if (accepted >> bit & 1u) out = static_cast<std::uint16_t>(out | 1u << (8 - bit));
    return out;
}
// The rows of the order category that rank slot sa and slot sb as the constraint accepts.
Rows RanksApart(const Constraint& c, int sa, int sb) {
    return T().ranksApart[c.accepted & 511u][static_cast<std::size_t>(sa * kChoices + sb)];
}

// By set of accepted differences: for slot sa of one item and a set of slots of the other, the rows of
// the order category that rank sa and some slot of the set as accepted. Narrowing by a constraint whose
// order category is open asks it once per slot of one item rather than once per pair of slots. Made on
// first use, for the sets the relations make (which hold their mirrors).
class RanksFrom {
public:
    using BySlot = std::array<std::array<Rows, 32>, kChoices>; // [sa][set of slots]

    RanksFrom() {
        for (int kind = 1; kind <= 10; ++kind)
            for (int steps = 1; steps <= 4; ++steps) {
                const std::uint16_t accepted = AcceptedDifferences(static_cast<RelationKind>(kind), steps) & 511u;
                if (index_[accepted] != 0) continue;
                BySlot& sets = sets_.emplace_back();
                index_[accepted] = static_cast<std::uint8_t>(sets_.size());
                for (std::size_t sa = 0; sa < kChoices; ++sa)
                    for (unsigned set = 1; set < 32; ++set)
                        sets[sa][set] = sets[sa][set & (set - 1)] |
                                        T().ranksApart[accepted][sa * kChoices + static_cast<std::size_t>(std::countr_zero(set))];
            }
    }
    // Null for a set no relation makes.
    const BySlot* of(std::uint16_t accepted) const {
        const int n = index_[accepted & 511u];
        return n != 0 ? &sets_[static_cast<std::size_t>(n - 1)] : nullptr;
    }

private:
    std::array<std::uint8_t, 512> index_{}; // 1 + index in sets_; 0 when none
    std::vector<BySlot> sets_;
};

const RanksFrom& RanksFromTable() {
    static const RanksFrom table;
    return table;
}

// How many times narrowing goes over the constraints that read what it filtered: twice at the root, which
// every search starts from, once below, where a node costs more in narrowing than it saves. Measured on
// the benchmark set; going on to a fixed point costs more than the nodes it saves.
constexpr int kNarrowRounds = 1;
constexpr int kRootRounds = 2;
// Below this many rows in the category the search branches on first, placing them one by one costs less
// than trying slots of its items (see Network::probe): the two trials of an item cost about as much as
// placing twenty rows. Measured on the benchmark set.
constexpr int kProbeRows = 20;
constexpr std::uint32_t kAllPairs = (1u << 25) - 1;
constexpr std::uint32_t kSameSlot = 1u | 1u << 6 | 1u << 12 | 1u << 18 | 1u << 24; // sa == sb

int SlotIn(const RowArray& rows, int category, int choice) {
    return T().slotOf[static_cast<std::size_t>(rows[static_cast<std::size_t>(category)])]
                     [static_cast<std::size_t>(choice - 1)];
}

// Calls `visit` with each non-empty group of the rows of `domain` that put the first `read` of `items` in
// the same slots.
template <class Visit>
void ForEachSlotGroup(Rows domain, const std::array<int, kChoices>& items, int read, Visit&& visit, int i = 0) {
    if (domain.empty()) return;
    if (i >= read || i >= kChoices) { // the second test keeps g++ sure of the bounds
        visit(domain);
        return;
    }
    for (int slot = 0; slot < kChoices; ++slot)
        ForEachSlotGroup(domain & T().valueIn[static_cast<std::size_t>(items[static_cast<std::size_t>(i)] - 1)][1u << slot],
                         items, read, visit, i + 1);
}

constexpr std::uint8_t Bit(int category) { return static_cast<std::uint8_t>(1u << category); }
// Items 0..29, category by category.
constexpr std::size_t ItemOf(int category, int choice) { return static_cast<std::size_t>((category - 1) * kChoices + choice - 1); }
int Lowest(std::uint8_t set) { return std::countr_zero(static_cast<unsigned>(set)); }

} // namespace

WalkIndex IndexOf(const RowArray& rows) {
    WalkIndex index = 0;
    for (int c = 2; c <= kCategories; ++c) index = index * kRows + static_cast<WalkIndex>(rows[static_cast<std::size_t>(c)]);
    return index;
}

namespace {

// AllowedRows, inlined into the loops that place a category: its arguments are known there, and the call
// costs about as much as the lookups.
[[gnu::always_inline]] inline Rows Allowed(const Constraint& c, int target, const RowArray& rows) {
    const Tables& t = T();
    const bool isA = c.categoryA == target, isB = c.categoryB == target, isO = c.order == target;
    const int a = c.choiceA - 1, b = c.choiceB - 1;
    if (isA && isB) { // both items in the target, ranked by another category
        assert(!isO);
        Rows allowed;
        for (std::uint32_t pairs = PairsOf(c, rows); pairs != 0; pairs &= pairs - 1) {
            const int bit = std::countr_zero(pairs);
            allowed |= t.valueIn[static_cast<std::size_t>(a)][1u << (bit / kChoices)] &
                       t.valueIn[static_cast<std::size_t>(b)][1u << (bit % kChoices)];
        }
        return allowed;
    }
    if (isA && isO) { // item A ranks itself: its rank is its choice; the rank at item B's slot decides
        std::size_t ranks = 0;
        for (int r = 0; r < kChoices; ++r)
            if (Accepts(c.accepted, a - r)) ranks |= 1u << r;
        return t.valueAt[static_cast<std::size_t>(SlotIn(rows, c.categoryB, c.choiceB))][ranks];
    }
    if (isB && isO) {
        std::size_t ranks = 0;
        for (int r = 0; r < kChoices; ++r)
            if (Accepts(c.accepted, r - b)) ranks |= 1u << r;
        return t.valueAt[static_cast<std::size_t>(SlotIn(rows, c.categoryA, c.choiceA))][ranks];
    }
    if (isA) return t.valueIn[static_cast<std::size_t>(a)][SlotsOfA(PairsOf(c, rows), SlotIn(rows, c.categoryB, c.choiceB))];
    if (isB) return t.valueIn[static_cast<std::size_t>(b)][SlotsOfB(PairsOf(c, rows), SlotIn(rows, c.categoryA, c.choiceA))];
    assert(isO); // only the order category is open
    return RanksApart(c, SlotIn(rows, c.categoryA, c.choiceA), SlotIn(rows, c.categoryB, c.choiceB));
}

} // namespace

Rows AllowedRows(const Constraint& c, int target, const RowArray& rows) { return Allowed(c, target, rows); }

Network::Network(std::span<const Constraint> constraints) : size_(std::min(constraints.size(), constraints_.size())) {
    assert(constraints.size() <= constraints_.size());
    std::copy_n(constraints.begin(), size_, constraints_.begin());
    // By item: the constraints on it and an item of another category.
    std::array<ConstraintSet, kCategories * kChoices> byItem{};
    for (std::size_t n = 0; n < size_; ++n) {
        const Constraint& c = constraints_[n];
        for (int category = 2; category <= kCategories; ++category)
            if (c.scope & Bit(category)) touching_[static_cast<std::size_t>(category)] |= 1u << n;
        // Narrowing needs two of the categories read open.
        if (std::popcount(static_cast<unsigned>(c.scope)) >= 2) narrowable_ |= 1u << n;
        itemAIn_[static_cast<std::size_t>(c.categoryA)] |= 1u << n;
        itemBIn_[static_cast<std::size_t>(c.categoryB)] |= 1u << n;
        if (c.order >= 1 && c.order <= kCategories) orderIn_[static_cast<std::size_t>(c.order)] |= 1u << n;
        if (!c.bySlot && c.categoryA != c.categoryB && (c.scope & Bit(c.order))) {
            rankedInScope_ |= 1u << n;
            if (c.order == c.categoryA || c.order == c.categoryB) rankedByItem_ |= 1u << n;
            const RanksFrom& ranks = RanksFromTable();
            ranksFromA_[n] = ranks.of(c.accepted);
            ranksFromB_[n] = ranks.of(Mirrored(c.accepted));
        }
        if (c.categoryA == c.categoryB) continue;
        // The constraints before it that name both its items are on these two items.
        ConstraintSet& a = byItem[ItemOf(c.categoryA, c.choiceA)];
        ConstraintSet& b = byItem[ItemOf(c.categoryB, c.choiceB)];
        sameItems_[n] = a & b;
        for (int m : Members{a & b}) sameItems_[static_cast<std::size_t>(m)] |= 1u << n;
        a |= 1u << n, b |= 1u << n;
    }
}

bool Network::root(Frame& out) const {
    out = Frame{};
    out.open = static_cast<std::uint8_t>(0b1111100);
    for (int category = 2; category <= kCategories; ++category) out.domain[static_cast<std::size_t>(category)] = Rows::All();
    for (const Constraint& c : constraints()) {
        if (std::popcount(static_cast<unsigned>(c.scope)) != 1) continue;
        const int target = Lowest(c.scope);
        out.domain[static_cast<std::size_t>(target)] &= AllowedRows(c, target, out.row);
    }
    for (int category = 2; category <= kCategories; ++category)
        if (out.domain[static_cast<std::size_t>(category)].empty()) return false;
    return narrow(out, static_cast<std::uint8_t>(0b1111110), kRootRounds) && probe(out);
}

bool Network::probe(Frame& f) const {
    int most = 0; // cheaper than choosing the category, and most searches stop here
    for (int category = 2; category <= kCategories; ++category)
        most = std::max(most, f.domain[static_cast<std::size_t>(category)].count());
    if (most < kProbeRows) return true;
    const int category = branchCategory(f, f.open, Goal::Find);
    Rows& domain = f.domain[static_cast<std::size_t>(category)];
    for (int choice = 1; choice <= kChoices && domain.count() >= kProbeRows; ++choice) {
        const std::uint32_t slots = SlotsOf(domain, choice);
        if (std::popcount(slots) != 2) continue;
        const auto& in = T().valueIn[static_cast<std::size_t>(choice - 1)];
        const std::uint32_t low = slots & -slots, high = slots & (slots - 1);
        Frame first = f;
        first.domain[static_cast<std::size_t>(category)] &= in[low];
        if (!narrowAs<true>(first, Bit(category), kRootRounds)) {
            domain &= in[high];
            if (!narrow(f, Bit(category), kRootRounds)) return false;
            continue;
        }
        Frame second = f;
        second.domain[static_cast<std::size_t>(category)] &= in[high];
        if (!narrowAs<true>(second, Bit(category), kRootRounds)) f = first;
    }
    return true;
}

Network::Reading Network::reading(std::uint8_t categories) const {
    Reading r;
    for (std::uint8_t left = categories; left != 0; left = static_cast<std::uint8_t>(left & (left - 1))) {
        const ConstraintSet t = touching_[static_cast<std::size_t>(Lowest(left))];
        r.thrice |= r.twice & t, r.twice |= r.once & t, r.once |= t;
    }
    return r;
}

bool Network::place(const Frame& from, int category, int row, Frame& to, bool narrowing) const {
    to = from;
    to.row[static_cast<std::size_t>(category)] = row;
    to.open = static_cast<std::uint8_t>(to.open & ~Bit(category));
    std::uint8_t changed = Bit(category);
    const Reading open = reading(to.open);
    for (int n : Members{touching_[static_cast<std::size_t>(category)] & open.once & ~open.twice}) {
        const Constraint& c = constraints_[static_cast<std::size_t>(n)];
        const int target = Lowest(c.scope & to.open);
        Rows& d = to.domain[static_cast<std::size_t>(target)];
        const Rows before = d;
        d &= Allowed(c, target, to.row);
        if (d.empty()) return false;
        if (!(d == before)) changed |= Bit(target);
    }
    // Narrowing relates two open categories: with one left, the constraints above have said everything.
    return !narrowing || (to.open & (to.open - 1)) == 0 || narrow(to, changed, kNarrowRounds);
}

// The slots where some candidate row of a category puts `choice`.
std::uint32_t Network::SlotsOf(const Rows& domain, int choice) {
    std::uint32_t slots = 0;
    for (int s = 0; s < kChoices; ++s)
        if (!(domain & T().valueIn[static_cast<std::size_t>(choice - 1)][1u << s]).empty()) slots |= 1u << s;
    return slots;
}

[[gnu::always_inline]] inline bool Network::narrowOrderOf(Frame& f, const Constraint& c, std::uint8_t& changed) const {
    // With the order category open beside one item's category: the candidate rows of the order
    // category that rank the item's possible slots as the constraint wants, and the item's slots
    // that some such row answers.
    const Tables& t = T();
    const std::uint8_t open = c.scope & f.open;
    auto narrowOrder = [&](int item, int choice, auto&& orderRowsAt) {
        Rows& order = f.domain[static_cast<std::size_t>(c.order)];
        Rows& items = f.domain[static_cast<std::size_t>(item)];
        const std::uint32_t slots = SlotsOf(items, choice);
        std::uint32_t answered = 0;
        Rows kept;
        for (int s = 0; s < kChoices; ++s) {
            if (!(slots >> s & 1u)) continue;
            const Rows allowed = order & orderRowsAt(s);
            if (!allowed.empty()) answered |= 1u << s, kept |= allowed;
        }
        if (answered != slots) items &= t.valueIn[static_cast<std::size_t>(choice - 1)][answered], changed |= Bit(item);
        if (!(kept == order)) order = kept, changed |= Bit(c.order);
        return !kept.empty();
    };
    auto ranks = [&](auto&& accepts) {
        std::size_t set = 0;
        for (int r = 0; r < kChoices; ++r)
            if (accepts(r)) set |= 1u << r;
        return set;
    };
    bool alive = true;
    if (c.order == c.categoryA) { // item A ranks itself; the rank at item B's slot decides
        const std::size_t set = ranks([&](int r) { return Accepts(c.accepted, c.choiceA - 1 - r); });
        alive = narrowOrder(c.categoryB, c.choiceB, [&](int s) { return t.valueAt[static_cast<std::size_t>(s)][set]; });
    } else if (c.order == c.categoryB) {
        const std::size_t set = ranks([&](int r) { return Accepts(c.accepted, r - (c.choiceB - 1)); });
        alive = narrowOrder(c.categoryA, c.choiceA, [&](int s) { return t.valueAt[static_cast<std::size_t>(s)][set]; });
    } else if (open & Bit(c.categoryB)) { // item A placed
        const int sa = SlotIn(f.row, c.categoryA, c.choiceA);
        alive = narrowOrder(c.categoryB, c.choiceB, [&](int sb) { return RanksApart(c, sa, sb); });
    } else if (open & Bit(c.categoryA)) { // item B placed
        const int sb = SlotIn(f.row, c.categoryB, c.choiceB);
        alive = narrowOrder(c.categoryA, c.choiceA, [&](int sa) { return RanksApart(c, sa, sb); });
    }
    return alive;
}

[[gnu::always_inline]] inline bool Network::narrowItemsOf(Frame& f, int n, std::uint8_t& changed) const {
    const Constraint& c = constraints_[static_cast<std::size_t>(n)];
    const Tables& t = T();
    if (c.categoryA == c.categoryB) { // both items in one category, ranked by another
        if (c.bySlot || !(f.open & Bit(c.order))) return true; // decided by placing one of the two
        // The rows of each that put the two items, or rank their slots, as some row of the other
        // accepts.
        Rows& rows = f.domain[static_cast<std::size_t>(c.categoryA)];
        Rows& order = f.domain[static_cast<std::size_t>(c.order)];
        const auto& valueIn = t.valueIn;
        const std::uint32_t slotsA = SlotsOf(rows, c.choiceA), slotsB = SlotsOf(rows, c.choiceB);
        Rows keptRows, keptOrder;
        for (std::uint32_t a = slotsA; a != 0; a &= a - 1)
            // Two items of one category take two slots, unless they are one item.
            for (std::uint32_t b = c.choiceA == c.choiceB ? a & -a : slotsB & ~(a & -a); b != 0; b &= b - 1) {
                const int sa = std::countr_zero(a), sb = std::countr_zero(b);
                const Rows placed = rows & valueIn[static_cast<std::size_t>(c.choiceA - 1)][1u << sa] &
                                    valueIn[static_cast<std::size_t>(c.choiceB - 1)][1u << sb];
                const Rows ranked = order & RanksApart(c, sa, sb);
                if (placed.empty() || ranked.empty()) continue;
                keptRows |= placed, keptOrder |= ranked;
            }
        if (keptRows.empty()) return false;
        if (!(keptRows == rows)) rows = keptRows, changed |= Bit(c.categoryA);
        if (!(keptOrder == order)) order = keptOrder, changed |= Bit(c.order);
        return true;
    }
    std::uint32_t pairs = 0;
    if (c.bySlot) {
        pairs = Accepts(c.accepted, 0) ? kSameSlot : ~kSameSlot & kAllPairs;
    } else if (!(f.open & Bit(c.order))) {
        pairs = PairsOf(c, f.row);
    } else if (c.order == c.categoryA || c.order == c.categoryB) {
        return true; // ranked by one of the two: not a relation of slots alone
    } else {
        // Open as well: the pairs of slots the items can take that some candidate row of the
        // order ranks as accepted, and the candidate rows that rank such a pair.
        const RanksFrom::BySlot* fromA = ranksFromA_[static_cast<std::size_t>(n)];
        const RanksFrom::BySlot* fromB = ranksFromB_[static_cast<std::size_t>(n)];
        if (!fromA || !fromB) return true; // a set no relation makes: left to the placing
        Rows& order = f.domain[static_cast<std::size_t>(c.order)];
        Rows& da = f.domain[static_cast<std::size_t>(c.categoryA)];
        Rows& db = f.domain[static_cast<std::size_t>(c.categoryB)];
        const std::uint32_t slotsA = SlotsOf(da, c.choiceA), slotsB = SlotsOf(db, c.choiceB);
        std::uint32_t answeredA = 0, answeredB = 0;
        Rows kept;
        // By item A's slots, then item B's against the slots of A answered.
        for (std::uint32_t a = slotsA; a != 0; a &= a - 1) {
            const int sa = std::countr_zero(a);
            const Rows ranked = order & (*fromA)[static_cast<std::size_t>(sa)][slotsB];
            if (!ranked.empty()) answeredA |= 1u << sa, kept |= ranked;
        }
        if (kept.empty()) return false;
        for (std::uint32_t b = slotsB; b != 0; b &= b - 1) {
            const int sb = std::countr_zero(b);
            if (!(kept & (*fromB)[static_cast<std::size_t>(sb)][answeredA]).empty()) answeredB |= 1u << sb;
        }
        if (!(kept == order)) order = kept, changed |= Bit(c.order);
        if (answeredA != slotsA) da &= t.valueIn[static_cast<std::size_t>(c.choiceA - 1)][answeredA], changed |= Bit(c.categoryA);
        if (answeredB != slotsB) db &= t.valueIn[static_cast<std::size_t>(c.choiceB - 1)][answeredB], changed |= Bit(c.categoryB);
        return true;
    }
    // Other constraints on the same two items with their order known: only the pairs of slots they all
    // accept, which each alone can let pass.
    for (int m : Members{sameItems_[static_cast<std::size_t>(n)]}) {
        const Constraint& o = constraints_[static_cast<std::size_t>(m)];
        const bool mirrored = o.categoryA != c.categoryA || o.choiceA != c.choiceA;
        if (o.bySlot) pairs &= Accepts(o.accepted, 0) ? kSameSlot : ~kSameSlot & kAllPairs;
        else if (!(f.open & Bit(o.order))) pairs &= PairsAt(f.row[static_cast<std::size_t>(o.order)], mirrored ? Mirrored(o.accepted) : o.accepted);
    }
    Rows& da = f.domain[static_cast<std::size_t>(c.categoryA)];
    Rows& db = f.domain[static_cast<std::size_t>(c.categoryB)];
    const std::uint32_t slotsA = SlotsOf(da, c.choiceA), slotsB = SlotsOf(db, c.choiceB);
    std::uint32_t answeredA = 0, answeredB = 0;
    for (int sa = 0; sa < kChoices; ++sa)
        if (slotsA >> sa & 1u)
            if (const std::uint32_t partners = static_cast<std::uint32_t>(SlotsOfB(pairs, sa)) & slotsB) {
                answeredA |= 1u << sa;
                answeredB |= partners;
            }
    if (answeredA != slotsA) {
        da &= t.valueIn[static_cast<std::size_t>(c.choiceA - 1)][answeredA];
        if (da.empty()) return false;
        changed |= Bit(c.categoryA);
    }
    if (answeredB != slotsB) {
        db &= t.valueIn[static_cast<std::size_t>(c.choiceB - 1)][answeredB];
        if (db.empty()) return false;
        changed |= Bit(c.categoryB);
    }
    return true;
}

bool Network::narrow(Frame& f, std::uint8_t changed, int rounds) const { return narrowAs<false>(f, changed, rounds); }

template <bool kNewFirst>
bool Network::narrowAs(Frame& f, std::uint8_t changed, int rounds) const {
    // A constraint between items of two open categories whose order is known accepts some pairs of their
    // slots: a candidate row that puts its item where no candidate of the other category can answer it
    // goes. Cheap next to what it saves when the conditions tie open categories together.
    auto dueAfter = [&](std::uint8_t categories) {
        ConstraintSet due = 0;
        for (std::uint8_t left = categories; left != 0; left = static_cast<std::uint8_t>(left & (left - 1)))
            due |= touching_[static_cast<std::size_t>(Lowest(left))];
        return due & narrowable_;
    };
    auto failed = [&](int n) {
        lastFailed_ = 1u << n;
        return false;
    };
    // The constraints narrowItemsOf() can use: both items' categories open; and those narrowOrderOf() can:
    // the order category open beside one item's category (the other item's, when it ranks one of them).
    ConstraintSet orderOpen = 0, aOpen = 0, bOpen = 0;
    for (std::uint8_t left = f.open; left != 0; left = static_cast<std::uint8_t>(left & (left - 1))) {
        const auto c = static_cast<std::size_t>(Lowest(left));
        orderOpen |= orderIn_[c], aOpen |= itemAIn_[c], bOpen |= itemBIn_[c];
    }
    const ConstraintSet byItems = narrowable_ & aOpen & bOpen;
    const ConstraintSet byOrder =
        rankedInScope_ & orderOpen & ((rankedByItem_ & byItems) | (~rankedByItem_ & (aOpen ^ bOpen)));
    // Only what reads a category that changed can filter further; a few rounds catch most of it.
    ConstraintSet due = dueAfter(changed), before = 0;
    for (int round = 0; round < rounds && due != 0; ++round) {
        changed = 0;
        // The rows of a category tried one after another mostly fail on the same constraint: asked
        // first, it spares the others.
        if (due & lastFailed_) {
            const int n = std::countr_zero(lastFailed_);
            if (byOrder & lastFailed_ ? !narrowOrderOf(f, constraints_[static_cast<std::size_t>(n)], changed)
                                      : (byItems & lastFailed_) && !narrowItemsOf(f, n, changed))
                return false;
        }
        // Bit n, or n + 32 for those that ran in the round before: those come last (kNewFirst).
        auto ordered = [&](ConstraintSet set) {
            return kNewFirst ? static_cast<std::uint64_t>(set & before) << 32 | (set & ~before) : std::uint64_t{set};
        };
        for (std::uint64_t left = ordered(due & byOrder); left != 0; left &= left - 1) {
            const int n = std::countr_zero(left) & 31;
            if (!narrowOrderOf(f, constraints_[static_cast<std::size_t>(n)], changed)) return failed(n);
        }
        for (std::uint64_t left = ordered(due & byItems); left != 0; left &= left - 1) {
            const int n = std::countr_zero(left) & 31;
            if (!narrowItemsOf(f, n, changed)) return failed(n);
        }
        before = due;
        due = dueAfter(changed);
    }
    lastFailed_ = 0;
    return true;
}

int Network::components(std::uint8_t within, std::array<std::uint8_t, kLevels>& out) const {
    // Two open categories are joined when a constraint reads both (it then has two or more open). A group
    // takes in the categories that a constraint read by any of its own reads, until nothing new comes.
    // `within` is the open categories or a union of their groups, so what joins it to the rest is placed.
    int groups = 0;
    for (std::uint8_t left = within; left != 0;) {
        std::uint8_t group = static_cast<std::uint8_t>(left & -left), rest = static_cast<std::uint8_t>(left & ~group);
        ConstraintSet reach = touching_[static_cast<std::size_t>(Lowest(group))];
        for (std::uint8_t added = 1; added != 0 && rest != 0;) {
            added = 0;
            for (std::uint8_t r = rest; r != 0; r = static_cast<std::uint8_t>(r & (r - 1)))
                if (touching_[static_cast<std::size_t>(Lowest(r))] & reach) added = static_cast<std::uint8_t>(added | (r & -r));
            for (std::uint8_t r = added; r != 0; r = static_cast<std::uint8_t>(r & (r - 1)))
                reach |= touching_[static_cast<std::size_t>(Lowest(r))];
            group = static_cast<std::uint8_t>(group | added);
            rest = static_cast<std::uint8_t>(rest & ~added);
        }
        out[static_cast<std::size_t>(groups++)] = group;
        left = static_cast<std::uint8_t>(left & ~group);
    }
    return groups;
}

std::size_t Network::HashOf(const Key& k) {
    std::uint64_t h = 0x9E3779B97F4A7C15ull;
    for (std::size_t n = 0; n < k.size; ++n) h = (h ^ k.words[n]) * 0xBF58476D1CE4E5B9ull + (h >> 29);
    return static_cast<std::size_t>(h ^ (h >> 31));
}

const std::uint64_t* Network::Memo::find(const Key& key, std::size_t hash) const {
    if (tags_.empty()) return nullptr;
    const std::uint64_t tag = static_cast<std::uint64_t>(hash) | 1u;
    const std::size_t mask = tags_.size() - 1;
    for (std::size_t at = (tag >> 1) & mask;; at = (at + 1) & mask) {
        if (tags_[at] == 0) return nullptr;
        if (tags_[at] == tag && holds(entries_[at], key)) return &entries_[at].value;
    }
}

void Network::Memo::insert(std::uint64_t tag, const Entry& entry) {
    const std::size_t mask = tags_.size() - 1;
    std::size_t at = (tag >> 1) & mask; // where find() starts: the tag keeps every bit of the hash but the lowest
    while (tags_[at] != 0) at = (at + 1) & mask;
    tags_[at] = tag;
    entries_[at] = entry;
    ++used_;
}

void Network::Memo::store(const Key& key, std::size_t hash, std::uint64_t value) {
    if (4 * (used_ + 1) > 3 * tags_.size()) { // keep a quarter free, so that probes stay short
        if (tags_.size() >= kLimit) {
            std::fill(tags_.begin(), tags_.end(), 0); // full: start again empty, in place
            words_.clear();
            used_ = 0;
        } else {
            if (tags_.empty()) words_.reserve(16 * 8); // room for the first table's keys, of a few words each
            std::vector<std::uint64_t> oldTags(tags_.empty() ? 16 : 2 * tags_.size(), 0);
            std::vector<Entry> oldEntries(oldTags.size());
            oldTags.swap(tags_);
            oldEntries.swap(entries_);
            used_ = 0;
            for (std::size_t n = 0; n < oldTags.size(); ++n)
                if (oldTags[n] != 0) insert(oldTags[n], oldEntries[n]);
        }
    }
    // One probe: the key's place if it is known, else the first free one, which find() would reach.
    const std::uint64_t tag = static_cast<std::uint64_t>(hash) | 1u;
    const std::size_t mask = tags_.size() - 1;
    std::size_t at = (tag >> 1) & mask;
    for (; tags_[at] != 0; at = (at + 1) & mask)
        if (tags_[at] == tag && holds(entries_[at], key)) {
            entries_[at].value = value;
            return;
        }
    tags_[at] = tag;
    entries_[at] = Entry{static_cast<std::uint32_t>(words_.size()), static_cast<std::uint32_t>(key.size), value};
    words_.insert(words_.end(), key.words.begin(), key.words.begin() + static_cast<std::ptrdiff_t>(key.size));
    ++used_;
}

bool Network::keyOf(const Frame& f, std::uint8_t within, Key& key) const {
    key.size = 0;
    key.push(within);
    for (std::uint8_t left = within; left != 0; left = static_cast<std::uint8_t>(left & (left - 1))) {
        const Rows& d = f.domain[static_cast<std::size_t>(Lowest(left))];
        key.push(d.low());
        key.push(d.high());
    }
    // The categories of `within` form one group, so a constraint with two of them open has its third
    // category placed; what it reads there is the slot of its item, or, for the order category, which
    // pairs of slots it accepts. Which constraints these are follows from `within`, so the values alone,
    // two to a word, tell the keys apart.
    const Reading in = reading(within);
    const ConstraintSet outside = reading(static_cast<std::uint8_t>(0b1111100 & ~within)).once;
    std::size_t feature = 0;
    std::uint64_t half = 0;
    for (int n : Members{in.twice & ~in.thrice & outside}) {
        const Constraint& c = constraints_[static_cast<std::size_t>(n)];
        const std::uint8_t open = c.scope & within;
        if (feature == kFeatures) return false;
        std::uint32_t value;
        if (!(open & Bit(c.order))) value = PairsOf(c, f.row);
        else if (!(open & Bit(c.categoryA))) value = static_cast<std::uint32_t>(SlotIn(f.row, c.categoryA, c.choiceA));
        else value = static_cast<std::uint32_t>(SlotIn(f.row, c.categoryB, c.choiceB));
        if (feature++ % 2 == 0) half = value;
        else key.push(half | static_cast<std::uint64_t>(value) << 32);
    }
    if (feature % 2 != 0) key.push(half);
    return true;
}

int Network::itemsRead(const Frame& f, int category, std::array<int, kChoices>& items) const {
    int distinct = 0;
    for (int n : touching(category)) {
        const Constraint& c = constraints_[static_cast<std::size_t>(n)];
        if ((c.scope & f.open) == Bit(category)) continue; // decided by this category alone
        if (c.order == category && !c.bySlot) return kChoices + 1;
        for (const auto& [cat, choice] : {std::pair{c.categoryA, c.choiceA}, std::pair{c.categoryB, c.choiceB}})
            if (cat == category && std::find(items.begin(), items.begin() + distinct, choice) == items.begin() + distinct)
                items[static_cast<std::size_t>(distinct++)] = choice;
    }
    return distinct;
}

int Network::branchCategory(const Frame& f, std::uint8_t within, Goal goal) const {
    // The fewest candidates per constraint that reads the category and another open one: few candidates
    // keep the tree narrow, many constraints filter the most and split the rest soonest. Measured on the
    // benchmark set: candidates alone leave weak tables slow to count, constraints alone slow down others.
    // A search for solutions rather than a count weighs the constraints by their square: it gives up the
    // rows that fail sooner, while a count, which must go through every row, does better on the plain
    // weighing.
    const ConstraintSet linking = reading(f.open).twice;
    int best = 0, bestScore = -(1 << 30);
    for (std::uint8_t left = within; left != 0; left = static_cast<std::uint8_t>(left & (left - 1))) {
        const int c = Lowest(left);
        const int links = std::popcount(touching_[static_cast<std::size_t>(c)] & linking);
        const int weight = goal == Goal::Count ? links + 1 : (links + 1) * (links + 1);
        const int score = -(f.domain[static_cast<std::size_t>(c)].count() * 1024 / weight);
        if (score > bestScore) best = c, bestScore = score;
    }
    return best;
}

std::uint64_t Network::countWithin(const Frame& f, std::uint8_t within) {
    if (within == 0) return 1;
    if ((within & (within - 1)) == 0) return static_cast<std::uint64_t>(f.domain[static_cast<std::size_t>(Lowest(within))].count());
    std::array<std::uint8_t, kLevels> groups{};
    const int n = components(within, groups);
    std::uint64_t total = 1;
    for (int g = 0; g < n && total != 0; ++g) {
        const std::uint8_t group = groups[static_cast<std::size_t>(g)];
        total *= (group & (group - 1)) == 0 ? static_cast<std::uint64_t>(f.domain[static_cast<std::size_t>(Lowest(group))].count())
                                            : countConnected(f, group);
    }
    return total;
}

std::uint64_t Network::countConnected(const Frame& f, std::uint8_t within) {
    Key key;
    const bool keyed = keyOf(f, within, key);
    const std::size_t hash = keyed ? HashOf(key) : 0;
    if (keyed)
        if (const std::uint64_t* known = memo_.find(key, hash); known && *known != kSome) return *known;
    const int category = branchCategory(f, within, Goal::Count);
    const std::uint8_t rest = static_cast<std::uint8_t>(within & ~Bit(category));
    std::uint64_t total = 0;
    if ((rest & (rest - 1)) == 0) {
        // Two categories: each candidate of the first leaves the rows of the other that the constraints
        // between them allow, without a frame of its own.
        const int other = Lowest(rest);
        std::array<const Constraint*, 32> links{};
        std::size_t linked = 0;
        for (int n : touching(category))
            if ((constraints_[static_cast<std::size_t>(n)].scope & f.open) == within && linked < links.size())
                links[linked++] = &constraints_[static_cast<std::size_t>(n)];
        // Where one of the two holds only items for these constraints (it is no order of theirs), what
        // they allow depends on the slots of those few items alone: its rows fall into groups, one per
        // placing of the items, and each group is worked out once.
        std::array<int, kChoices> itemsX{}, itemsY{};
        const int readX = linked < links.size() ? itemsRead(f, category, itemsX) : kChoices + 1;
        const int readY = linked < links.size() ? itemsRead(f, other, itemsY) : kChoices + 1;
        if (std::min(readX, readY) <= 3) {
            const bool onX = readX <= readY;
            const int grouped = onX ? category : other, counted = onX ? other : category;
            const std::array<int, kChoices>& items = onX ? itemsX : itemsY;
            const int read = onX ? readX : readY;
            const Rows others = f.domain[static_cast<std::size_t>(counted)];
            RowArray rows = f.row;
            ForEachSlotGroup(f.domain[static_cast<std::size_t>(grouped)], items, read, [&](Rows group) {
                rows[static_cast<std::size_t>(grouped)] = group.first();
                Rows allowed = others;
                for (std::size_t n = 0; n < linked && !allowed.empty(); ++n) allowed &= Allowed(*links[n], counted, rows);
                total += static_cast<std::uint64_t>(group.count()) * static_cast<std::uint64_t>(allowed.count());
            });
            if (keyed) memo_.store(key, hash, total);
            return total;
        }
        if (linked < links.size()) {
            // Where the first category holds only items for a constraint (it is not its order), what the
            // constraint allows depends on their slots alone: at most 25 cases, each worked out once.
            if (!bySlots_) bySlots_ = std::make_unique<std::array<std::array<Rows, 25>, 32>>();
            std::array<std::uint32_t, 32> known{};
            RowArray rows = f.row;
            const Rows others = f.domain[static_cast<std::size_t>(other)];
            const auto& slotOf = T().slotOf;
            for (Rows d = f.domain[static_cast<std::size_t>(category)]; !d.empty(); d.removeFirst()) {
                const int row = d.first();
                rows[static_cast<std::size_t>(category)] = row;
                Rows allowed = others;
                for (std::size_t n = 0; n < linked && !allowed.empty(); ++n) {
                    const Constraint& c = *links[n];
                    if (c.order == category) {
                        allowed &= Allowed(c, other, rows);
                        continue;
                    }
                    const auto& slots = slotOf[static_cast<std::size_t>(row)];
                    const int at = (c.categoryA == category ? slots[static_cast<std::size_t>(c.choiceA - 1)] * 5 : 0) +
                                   (c.categoryB == category ? slots[static_cast<std::size_t>(c.choiceB - 1)] : 0);
                    Rows& cached = (*bySlots_)[n][static_cast<std::size_t>(at)];
                    if (!(known[n] >> at & 1u)) {
                        cached = Allowed(c, other, rows);
                        known[n] |= 1u << at;
                    }
                    allowed &= cached;
                }
                total += static_cast<std::uint64_t>(allowed.count());
            }
            if (keyed) memo_.store(key, hash, total);
            return total;
        }
    }
    // Two categories left below are counted pair by pair, which narrowing would not shorten.
    const bool narrowing = std::popcount(static_cast<unsigned>(rest)) > 2;
    Frame child;
    std::array<int, kChoices> items{};
    const int read = itemsRead(f, category, items);
    if (read <= 3) { // otherwise groups of one row or little more, not worth telling apart
        ForEachSlotGroup(f.domain[static_cast<std::size_t>(category)], items, read, [&](Rows group) {
            if (place(f, category, group.first(), child, narrowing))
                total += static_cast<std::uint64_t>(group.count()) * countWithin(child, rest);
        });
    } else {
        for (Rows d = f.domain[static_cast<std::size_t>(category)]; !d.empty(); d.removeFirst())
            if (place(f, category, d.first(), child, narrowing)) total += countWithin(child, rest);
    }
    if (keyed) memo_.store(key, hash, total);
    return total;
}

bool Network::existsWithin(const Frame& f, std::uint8_t within) {
    if (within == 0) return true;
    if ((within & (within - 1)) == 0) return !f.domain[static_cast<std::size_t>(Lowest(within))].empty();
    std::array<std::uint8_t, kLevels> groups{};
    const int n = components(within, groups);
    for (int g = 0; g < n; ++g) {
        const std::uint8_t group = groups[static_cast<std::size_t>(g)];
        const bool some = (group & (group - 1)) == 0 ? !f.domain[static_cast<std::size_t>(Lowest(group))].empty()
                                                     : existsConnected(f, group);
        if (!some) return false;
    }
    return true;
}

bool Network::existsConnected(const Frame& f, std::uint8_t within) {
    Key key;
    const bool keyed = keyOf(f, within, key);
    const std::size_t hash = keyed ? HashOf(key) : 0;
    if (keyed)
        if (const std::uint64_t* known = memo_.find(key, hash)) return *known != 0;
    const int category = branchCategory(f, within, Goal::Find);
    const std::uint8_t rest = static_cast<std::uint8_t>(within & ~Bit(category));
    Frame child;
    for (Rows d = f.domain[static_cast<std::size_t>(category)]; !d.empty(); d.removeFirst()) {
        if (place(f, category, d.first(), child) && existsWithin(child, rest)) {
            if (keyed) memo_.store(key, hash, kSome);
            return true;
        }
    }
    if (keyed) memo_.store(key, hash, 0);
    return false;
}

bool Network::collect(const Frame& f, std::size_t limit, std::vector<WalkIndex>& out) {
    bool found = false;
    return collectWithin(f, limit, out, found);
}

bool Network::collectWithin(const Frame& f, std::size_t limit, std::vector<WalkIndex>& out, bool& found) {
    if (f.open == 0) {
        if (out.size() >= limit) return false;
        out.push_back(IndexOf(f.row));
        found = true;
        return true;
    }
    if ((f.open & (f.open - 1)) == 0) { // the last open category: every candidate is a solution
        const int category = Lowest(f.open);
        RowArray rows = f.row;
        for (Rows d = f.domain[static_cast<std::size_t>(category)]; !d.empty(); d.removeFirst()) {
            if (out.size() >= limit) return false;
            rows[static_cast<std::size_t>(category)] = d.first();
            out.push_back(IndexOf(rows));
            found = true;
        }
        return true;
    }
    // Every way to place the whole is one of each group: the groups not branched on must have one (the
    // memo remembers), and the one branched on is walked once, what it finds written out as it comes.
    std::array<std::uint8_t, kLevels> groups{};
    const int n = components(f.open, groups);
    for (int g = 1; g < n; ++g) {
        const std::uint8_t group = groups[static_cast<std::size_t>(g)];
        if ((group & (group - 1)) != 0 && !existsConnected(f, group)) return true;
    }
    const std::uint8_t within = groups[0];
    // Only small groups are worth remembering: a search for solutions seldom meets a larger one twice,
    // and its key would cost at each node.
    Key key;
    const int categories = std::popcount(static_cast<unsigned>(within));
    const bool keyed = categories >= 2 && categories <= 3 && keyOf(f, within, key);
    const std::size_t hash = keyed ? HashOf(key) : 0;
    if (keyed)
        if (const std::uint64_t* known = memo_.find(key, hash); known && *known == 0) return true;
    const int category = branchCategory(f, within, Goal::Find);
    bool some = false;
    Frame child;
    for (Rows d = f.domain[static_cast<std::size_t>(category)]; !d.empty(); d.removeFirst())
        if (place(f, category, d.first(), child) && !collectWithin(child, limit, out, some)) return false;
    // Whether the group has a way: with the others, which have one, whether the whole has.
    if (keyed && !some) memo_.store(key, hash, 0);
    found |= some;
    return true;
}

} // namespace korvane
