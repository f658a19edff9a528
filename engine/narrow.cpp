// Filtering the open categories of a frame: placing a category (the constraints it leaves with one open
// category), narrowing by the constraints between two open ones, and probing the slots of items at the
// root.
#include "engine/network.h"

#include <algorithm>
#include <bit>

#include "engine/tables.h"

namespace korvane {

bool Network::probe(Frame& f) {
    int most = 0; // cheaper than choosing the category, and most searches stop here
    for (int category = 2; category <= kCategories; ++category)
        most = std::max(most, f.domain[category].count());
    if (most < kProbeRows) return true;
    const int category = branchCategory(f, f.open, Goal::Find);
    Rows& domain = f.domain[category];
    for (int choice = 1; choice <= kChoices && domain.count() >= kProbeRows; ++choice) {
        const std::uint32_t slots = SlotsOf(domain, choice);
        if (std::popcount(slots) != 2) continue;
        const auto& in = T().valueIn[choice - 1];
        const std::uint32_t low = slots & -slots, high = slots & (slots - 1);
        Frame first = f;
        first.domain[category] &= in[low];
        if (!narrowAs<true>(first, Bit(category), kRootRounds)) {
            domain &= in[high];
            if (!narrow(f, Bit(category), kRootRounds)) return false;
            continue;
        }
        Frame second = f;
        second.domain[category] &= in[high];
        if (!narrowAs<true>(second, Bit(category), kRootRounds)) f = first;
    }
    return true;
}

bool Network::place(const Frame& from, int category, int row, Frame& to, bool narrowing) {
    to = from;
    to.row[category] = row;
    to.open = static_cast<std::uint8_t>(to.open & ~Bit(category));
    std::uint8_t changed = Bit(category);
    const Reading open = reading(to.open);
    for (int n : Members{touching_[category] & open.once & ~open.twice}) {
        const Constraint& c = constraints_[n];
        const int target = Lowest(c.scope & to.open);
        Rows& d = to.domain[target];
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
        if (!(domain & T().valueIn[choice - 1][1u << s]).empty()) slots |= 1u << s;
    return slots;
}

[[gnu::always_inline]] inline bool Network::narrowOrderOf(Frame& f, const Constraint& c, std::uint8_t& changed) {
    // With the order category open beside one item's category: the candidate rows of the order
    // category that rank the item's possible slots as the constraint wants, and the item's slots
    // that some such row answers.
    const Tables& t = T();
    const std::uint8_t open = c.scope & f.open;
    auto narrowOrder = [&](int item, int choice, auto&& orderRowsAt) {
        Rows& order = f.domain[c.order];
        Rows& items = f.domain[item];
        const std::uint32_t slots = SlotsOf(items, choice);
        std::uint32_t answered = 0;
        Rows kept;
        for (int s = 0; s < kChoices; ++s) {
            if (!(slots >> s & 1u)) continue;
            const Rows allowed = order & orderRowsAt(s);
            if (!allowed.empty()) answered |= 1u << s, kept |= allowed;
        }
        if (answered != slots) items &= t.valueIn[choice - 1][answered], changed |= Bit(item);
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
        alive = narrowOrder(c.categoryB, c.choiceB, [&](int s) { return t.valueAt[s][set]; });
    } else if (c.order == c.categoryB) {
        const std::size_t set = ranks([&](int r) { return Accepts(c.accepted, r - (c.choiceB - 1)); });
        alive = narrowOrder(c.categoryA, c.choiceA, [&](int s) { return t.valueAt[s][set]; });
    } else if (open & Bit(c.categoryB)) { // item A placed
        const int sa = SlotIn(f.row, c.categoryA, c.choiceA);
        alive = narrowOrder(c.categoryB, c.choiceB, [&](int sb) { return RanksApart(c, sa, sb); });
    } else if (open & Bit(c.categoryA)) { // item B placed
        const int sb = SlotIn(f.row, c.categoryB, c.choiceB);
        alive = narrowOrder(c.categoryA, c.choiceA, [&](int sa) { return RanksApart(c, sa, sb); });
    }
    return alive;
}

[[gnu::always_inline]] inline bool Network::narrowItemsOf(Frame& f, int n, std::uint8_t& changed) {
    const Constraint& c = constraints_[n];
    const Tables& t = T();
    if (c.categoryA == c.categoryB) { // both items in one category, ranked by another
        if (c.bySlot || !(f.open & Bit(c.order))) return true; // decided by placing one of the two
        // The rows of each that put the two items, or rank their slots, as some row of the other
        // accepts.
        Rows& rows = f.domain[c.categoryA];
        Rows& order = f.domain[c.order];
        const auto& valueIn = t.valueIn;
        const std::uint32_t slotsA = SlotsOf(rows, c.choiceA), slotsB = SlotsOf(rows, c.choiceB);
        Rows keptRows, keptOrder;
        for (std::uint32_t a = slotsA; a != 0; a &= a - 1)
            // Two items of one category take two slots, unless they are one item.
            for (std::uint32_t b = c.choiceA == c.choiceB ? a & -a : slotsB & ~(a & -a); b != 0; b &= b - 1) {
                const int sa = std::countr_zero(a), sb = std::countr_zero(b);
                const Rows placed = rows & valueIn[c.choiceA - 1][1u << sa] &
                                    valueIn[c.choiceB - 1][1u << sb];
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
        const RanksFrom::BySlot* fromA = ranksFromA_[n];
        const RanksFrom::BySlot* fromB = ranksFromB_[n];
        if (!fromA || !fromB) return true; // a set no relation makes: left to the placing
        Rows& order = f.domain[c.order];
        Rows& da = f.domain[c.categoryA];
        Rows& db = f.domain[c.categoryB];
        const std::uint32_t slotsA = SlotsOf(da, c.choiceA), slotsB = SlotsOf(db, c.choiceB);
        std::uint32_t answeredA = 0, answeredB = 0;
        Rows kept;
        // By item A's slots, then item B's against the slots of A answered.
        for (std::uint32_t a = slotsA; a != 0; a &= a - 1) {
            const int sa = std::countr_zero(a);
            const Rows ranked = order & (*fromA)[sa][slotsB];
            if (!ranked.empty()) answeredA |= 1u << sa, kept |= ranked;
        }
        if (kept.empty()) return false;
        for (std::uint32_t b = slotsB; b != 0; b &= b - 1) {
            const int sb = std::countr_zero(b);
            if (!(kept & (*fromB)[sb][answeredA]).empty()) answeredB |= 1u << sb;
        }
        if (!(kept == order)) order = kept, changed |= Bit(c.order);
        if (answeredA != slotsA) da &= t.valueIn[c.choiceA - 1][answeredA], changed |= Bit(c.categoryA);
        if (answeredB != slotsB) db &= t.valueIn[c.choiceB - 1][answeredB], changed |= Bit(c.categoryB);
        return true;
    }
    // Other constraints on the same two items with their order known: only the pairs of slots they all
    // accept, which each alone can let pass.
    for (int m : Members{sameItems_[n]}) {
        const Constraint& o = constraints_[m];
        const bool mirrored = o.categoryA != c.categoryA || o.choiceA != c.choiceA;
        if (o.bySlot) pairs &= Accepts(o.accepted, 0) ? kSameSlot : ~kSameSlot & kAllPairs;
        else if (!(f.open & Bit(o.order))) pairs &= PairsAt(f.row[o.order], mirrored ? Mirrored(o.accepted) : o.accepted);
    }
    Rows& da = f.domain[c.categoryA];
    Rows& db = f.domain[c.categoryB];
    const std::uint32_t slotsA = SlotsOf(da, c.choiceA), slotsB = SlotsOf(db, c.choiceB);
    std::uint32_t answeredA = 0, answeredB = 0;
    for (int sa = 0; sa < kChoices; ++sa)
        if (slotsA >> sa & 1u)
            if (const std::uint32_t partners = static_cast<std::uint32_t>(SlotsOfB(pairs, sa)) & slotsB) {
                answeredA |= 1u << sa;
                answeredB |= partners;
            }
    if (answeredA != slotsA) {
        da &= t.valueIn[c.choiceA - 1][answeredA];
        if (da.empty()) return false;
        changed |= Bit(c.categoryA);
    }
    if (answeredB != slotsB) {
        db &= t.valueIn[c.choiceB - 1][answeredB];
        if (db.empty()) return false;
        changed |= Bit(c.categoryB);
    }
    return true;
}

bool Network::narrow(Frame& f, std::uint8_t changed, int rounds) { return narrowAs<false>(f, changed, rounds); }

template <bool kNewFirst>
bool Network::narrowAs(Frame& f, std::uint8_t changed, int rounds) {
    // A constraint between items of two open categories whose order is known accepts some pairs of their
    // slots: a candidate row that puts its item where no candidate of the other category can answer it
    // goes. Cheap next to what it saves when the conditions tie open categories together.
    auto dueAfter = [&](std::uint8_t categories) {
        ConstraintSet due = 0;
        for (std::uint8_t left = categories; left != 0; left = static_cast<std::uint8_t>(left & (left - 1)))
            due |= touching_[Lowest(left)];
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
        const int c = Lowest(left);
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
            if (byOrder & lastFailed_ ? !narrowOrderOf(f, constraints_[n], changed)
                                      : (byItems & lastFailed_) && !narrowItemsOf(f, n, changed))
                return false;
        }
        // Bit n, or n + 32 for those that ran in the round before: those come last (kNewFirst).
        auto ordered = [&](ConstraintSet set) {
            return kNewFirst ? static_cast<std::uint64_t>(set & before) << 32 | (set & ~before) : std::uint64_t{set};
        };
        for (std::uint64_t left = ordered(due & byOrder); left != 0; left &= left - 1) {
            const int n = std::countr_zero(left) & 31;
            if (!narrowOrderOf(f, constraints_[n], changed)) return failed(n);
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

} // namespace korvane
