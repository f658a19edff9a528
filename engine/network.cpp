#include "engine/network.h"

#include <algorithm>
#include <bit>
#include <cassert>

#include "engine/tables.h"

namespace korvane {

Rows AllowedRows(const Constraint& c, int target, const RowArray& rows) { return Allowed(c, target, rows); }

Network::Network(std::span<const Constraint> constraints) : size_(std::min(constraints.size(), constraints_.size())) {
    assert(constraints.size() <= constraints_.size());
    std::copy_n(constraints.begin(), size_, constraints_.begin());
    // By item: the constraints on it and an item of another category.
    std::array<ConstraintSet, kCategories * kChoices> byItem{};
    const RanksFrom* ranks = nullptr; // asked once, on first need
    for (std::size_t n = 0; n < size_; ++n) {
        const Constraint& c = constraints_[n];
        for (int category = 2; category <= kCategories; ++category)
            if (c.scope & Bit(category)) touching_[category] |= 1u << n;
        // Narrowing needs two of the categories read open.
        if (std::popcount(static_cast<unsigned>(c.scope)) >= 2) narrowable_ |= 1u << n;
        itemAIn_[c.categoryA] |= 1u << n;
        itemBIn_[c.categoryB] |= 1u << n;
        if (c.order >= 1 && c.order <= kCategories) orderIn_[c.order] |= 1u << n;
        if (!c.bySlot && c.categoryA != c.categoryB && (c.scope & Bit(c.order))) {
            rankedInScope_ |= 1u << n;
            if (c.order == c.categoryA || c.order == c.categoryB) rankedByItem_ |= 1u << n;
            if (!ranks) ranks = &RanksFromTable();
            ranksFromA_[n] = ranks->of(c.accepted);
            ranksFromB_[n] = ranks->of(Mirrored(c.accepted));
        }
        if (c.categoryA == c.categoryB) continue;
        // The constraints before it that name both its items are on these two items.
        ConstraintSet& a = byItem[ItemOf(c.categoryA, c.choiceA)];
        ConstraintSet& b = byItem[ItemOf(c.categoryB, c.choiceB)];
        sameItems_[n] = a & b;
        for (int m : Members{a & b}) sameItems_[m] |= 1u << n;
        a |= 1u << n, b |= 1u << n;
    }
}

bool Network::root(Frame& out) {
    out = Frame{};
    out.open = kPlacedCategories;
    for (int category = 2; category <= kCategories; ++category) out.domain[category] = Rows::All();
    for (const Constraint& c : constraints()) {
        if (std::popcount(static_cast<unsigned>(c.scope)) != 1) continue;
        const int target = Lowest(c.scope);
        out.domain[target] &= AllowedRows(c, target, out.row);
    }
    for (int category = 2; category <= kCategories; ++category)
        if (out.domain[category].empty()) return false;
    return narrow(out, kAllCategories, kRootRounds) && probe(out);
}

} // namespace korvane
