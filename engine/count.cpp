// The searches of the network: counting, deciding whether a solution exists and collecting the solutions,
// branching on the open category that looks cheapest, splitting the open categories into independent
// groups and remembering what each subproblem holds in the memo.
#include "engine/network.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "engine/tables.h"

namespace korvane {

namespace {

// Built with KORVANE_CHECK_MEMO: every memo hit is worked out again, without the memo at that node (below
// it the memo is trusted, so that a check costs the work of one node), and must give the value stored.
#ifdef KORVANE_CHECK_MEMO
constexpr bool kCheckMemo = true;
#else
constexpr bool kCheckMemo = false;
#endif

[[noreturn, maybe_unused]] void MemoMismatch(const char* what, std::uint64_t stored, std::uint64_t again) {
    std::fprintf(stderr, "korvane: memo hit (%s) holds %llu, worked out again %llu\n", what,
                 static_cast<unsigned long long>(stored), static_cast<unsigned long long>(again));
    std::abort();
}

} // namespace

// A memo hit's value, `stored`; with kCheckMemo worked out again by `again` (a search of the same
// subproblem, whose own lookup is skipped) and compared, unless a check is running already.
template <class Value, class Again>
Value Network::checked(Value stored, const char* what, Again&& again) {
    if constexpr (kCheckMemo) {
        if (!checkingMemo_) {
            checkingMemo_ = true;
            skipLookup_ = true;
            const Value value = again();
            checkingMemo_ = false;
            if (value != stored) MemoMismatch(what, stored, value);
        }
    }
    return stored;
}

// Whether this lookup is skipped: the first one of a check (kCheckMemo).
bool Network::skipsLookup() {
    if constexpr (kCheckMemo) return std::exchange(skipLookup_, false);
    return false;
}

int Network::components(std::uint8_t within, std::array<std::uint8_t, kLevels>& out) const {
    // Two open categories are joined when a constraint reads both (it then has two or more open). A group
    // takes in the categories that a constraint read by any of its own reads, until nothing new comes.
    // `within` is the open categories or a union of their groups, so what joins it to the rest is placed.
    int groups = 0;
    for (std::uint8_t left = within; left != 0;) {
        std::uint8_t group = static_cast<std::uint8_t>(left & -left), rest = static_cast<std::uint8_t>(left & ~group);
        ConstraintSet reach = touching_[Lowest(group)];
        for (std::uint8_t added = 1; added != 0 && rest != 0;) {
            added = 0;
            for (std::uint8_t r = rest; r != 0; r = static_cast<std::uint8_t>(r & (r - 1)))
                if (touching_[Lowest(r)] & reach) added = static_cast<std::uint8_t>(added | (r & -r));
            for (std::uint8_t r = added; r != 0; r = static_cast<std::uint8_t>(r & (r - 1)))
                reach |= touching_[Lowest(r)];
            group = static_cast<std::uint8_t>(group | added);
            rest = static_cast<std::uint8_t>(rest & ~added);
        }
        out[groups++] = group;
        left = static_cast<std::uint8_t>(left & ~group);
    }
    return groups;
}

bool Network::keyOf(const Frame& f, std::uint8_t within, Key& key) const {
    key.size = 0;
    key.push(within);
    for (std::uint8_t left = within; left != 0; left = static_cast<std::uint8_t>(left & (left - 1))) {
        const Rows& d = f.domain[Lowest(left)];
        key.push(d.low());
        key.push(d.high());
    }
    // The categories of `within` form one group, so a constraint with two of them open has its third
    // category placed; what it reads there is the slot of its item, or, for the order category, which
    // pairs of slots it accepts. Which constraints these are follows from `within`, so the values alone,
    // two to a word, tell the keys apart.
    const Reading in = reading(within);
    const ConstraintSet outside = reading(static_cast<std::uint8_t>(kPlacedCategories & ~within)).once;
    std::size_t feature = 0;
    std::uint64_t half = 0;
    for (int n : Members{in.twice & ~in.thrice & outside}) {
        const Constraint& c = constraints_[n];
        const std::uint8_t open = c.scope & within;
        if (feature == Memo::kFeatures) return false;
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
        const Constraint& c = constraints_[n];
        if ((c.scope & f.open) == Bit(category)) continue; // decided by this category alone
        if (c.order == category && !c.bySlot) return kChoices + 1;
        for (const auto& [cat, choice] : {std::pair{c.categoryA, c.choiceA}, std::pair{c.categoryB, c.choiceB}})
            if (cat == category && std::find(items.begin(), items.begin() + distinct, choice) == items.begin() + distinct)
                items[distinct++] = choice;
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
        const int links = std::popcount(touching_[c] & linking);
        const int weight = goal == Goal::Count ? links + 1 : (links + 1) * (links + 1);
        const int score = -(f.domain[c].count() * 1024 / weight);
        if (score > bestScore) best = c, bestScore = score;
    }
    return best;
}

std::uint64_t Network::countWithin(const Frame& f, std::uint8_t within) {
    if (within == 0) return 1;
    if ((within & (within - 1)) == 0) return static_cast<std::uint64_t>(f.domain[Lowest(within)].count());
    std::array<std::uint8_t, kLevels> groups{};
    const int n = components(within, groups);
    std::uint64_t total = 1;
    for (int g = 0; g < n && total != 0; ++g) {
        const std::uint8_t group = groups[g];
        total *= (group & (group - 1)) == 0 ? static_cast<std::uint64_t>(f.domain[Lowest(group)].count())
                                            : countConnected(f, group);
    }
    return total;
}

std::uint64_t Network::countConnected(const Frame& f, std::uint8_t within) {
    Key key;
    const bool keyed = keyOf(f, within, key);
    const std::size_t hash = keyed ? Memo::HashOf(key) : 0;
    if (keyed && !skipsLookup())
        if (const std::uint64_t* known = memo_.find(key, hash); known && *known != kSome)
            return checked(*known, "count", [&] { return countConnected(f, within); });
    const int category = branchCategory(f, within, Goal::Count);
    const std::uint8_t rest = static_cast<std::uint8_t>(within & ~Bit(category));
    std::uint64_t total = 0;
    if (std::popcount(static_cast<unsigned>(rest)) == 2) {
        // Gone through the category whose rows fall into the fewest groups that put the items read in
        // the same slots (each group is worked out once), the fewest rows when none does.
        int through = category, fewest = 1 << 30;
        for (std::uint8_t left = within; left != 0; left = static_cast<std::uint8_t>(left & (left - 1))) {
            const int c = Lowest(left);
            std::array<int, kChoices> items{};
            const int read = itemsRead(f, c, items);
            constexpr std::array kGroups{1, 5, 20, 60};
            const int rows = f.domain[c].count();
            const int groups = read <= 3 ? std::min(rows, kGroups[static_cast<std::size_t>(read)]) : rows;
            if (groups < fewest || (groups == fewest && c == category)) through = c, fewest = groups;
        }
        total = countThree(f, within, through);
        if (keyed) memo_.store(key, hash, total);
        return total;
    }
    if ((rest & (rest - 1)) == 0) {
        // Two categories: each candidate of the first leaves the rows of the other that the constraints
        // between them allow, without a frame of its own.
        const int other = Lowest(rest);
        std::array<const Constraint*, 32> links{};
        std::size_t linked = 0;
        for (int n : touching(category))
            if ((constraints_[n].scope & f.open) == within && linked < links.size())
                links[linked++] = &constraints_[n];
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
            const Rows others = f.domain[counted];
            RowArray rows = f.row;
            ForEachSlotGroup(f.domain[grouped], items, read, [&](Rows group) {
                rows[grouped] = group.first();
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
            const Rows others = f.domain[other];
            const auto& slotOf = T().slotOf;
            for (Rows d = f.domain[category]; !d.empty(); d.removeFirst()) {
                const int row = d.first();
                rows[category] = row;
                Rows allowed = others;
                for (std::size_t n = 0; n < linked && !allowed.empty(); ++n) {
                    const Constraint& c = *links[n];
                    if (c.order == category) {
                        allowed &= Allowed(c, other, rows);
                        continue;
                    }
                    const auto& slots = slotOf[row];
                    const int at = (c.categoryA == category ? slots[c.choiceA - 1] * 5 : 0) +
                                   (c.categoryB == category ? slots[c.choiceB - 1] : 0);
                    Rows& cached = (*bySlots_)[n][at];
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
        ForEachSlotGroup(f.domain[category], items, read, [&](Rows group) {
            if (place(f, category, group.first(), child, narrowing))
                total += static_cast<std::uint64_t>(group.count()) * countWithin(child, rest);
        });
    } else {
        for (Rows d = f.domain[category]; !d.empty(); d.removeFirst())
            if (place(f, category, d.first(), child, narrowing)) total += countWithin(child, rest);
    }
    if (keyed) memo_.store(key, hash, total);
    return total;
}

std::uint64_t Network::countThree(const Frame& f, std::uint8_t within, int w) {
    const std::uint8_t rest = static_cast<std::uint8_t>(within & ~Bit(w));
    // The constraints with two or three of the categories open, by which: none reads another open
    // category, as `within` is a group.
    auto byOpen = [&](std::uint8_t open) {
        ConstraintSet set = 0;
        for (int n : Members{touching_[w] | touching_[Lowest(rest)]})
            if ((constraints_[n].scope & f.open) == open) set |= 1u << n;
        return set;
    };
    const ConstraintSet uvw = byOpen(within);
    // u: a category whose rows are gone through in classes, by the slots of its items that the
    // constraints on all three read; it must hold only items for them, not be their order. The one with
    // fewer rows when both can.
    std::uint8_t orders = 0;
    for (int n : Members{uvw}) orders = static_cast<std::uint8_t>(orders | Bit(constraints_[n].order));
    int u = Lowest(rest), v = Lowest(static_cast<std::uint8_t>(rest & ~Bit(u)));
    if ((orders & Bit(u)) || (!(orders & Bit(v)) && f.domain[u].count() > f.domain[v].count())) std::swap(u, v);
    const bool classed = !(orders & Bit(u));
    std::array<int, 2> classItems{};
    int classItemCount = 0;
    for (int n : Members{uvw}) {
        const Constraint& c = constraints_[n];
        const int choice = c.categoryA == u ? c.choiceA : c.choiceB;
        if (classItemCount < 2 && (classItemCount == 0 || classItems[0] != choice)) classItems[static_cast<std::size_t>(classItemCount++)] = choice;
        else if (classItems[0] != choice && classItems[1] != choice) classItemCount = 3;
    }
    const ConstraintSet uv = byOpen(static_cast<std::uint8_t>(Bit(u) | Bit(v)));
    const ConstraintSet uw = byOpen(static_cast<std::uint8_t>(Bit(u) | Bit(w)));
    const ConstraintSet vw = byOpen(static_cast<std::uint8_t>(Bit(v) | Bit(w)));
    // What the constraints between u and v alone allow of v, for each row of u: the same for every row
    // of w. Rows of u that allow none are dropped.
    std::array<Rows, kRows> byU;
    RowArray rows = f.row;
    Rows du = f.domain[u];
    const Rows dv = f.domain[v];
    for (Rows d = du; !d.empty(); d.removeFirst()) {
        const int row = d.first();
        rows[u] = row;
        Rows allowed = dv;
        for (int n : Members{uv}) allowed &= Allowed(constraints_[n], v, rows);
        if (allowed.empty()) du = du & ~(Rows::From(row) & Rows::Below(row + 1));
        byU[static_cast<std::size_t>(row)] = allowed;
    }
    // The pairs of rows of `fu` and of `fv` that the constraints between u and v allow, `fu` within one
    // class of u. A set of rows of u met before has its planes made, and is summed by them; with few
    // rows of w, sets seldom come back, and the cache is not worth making. Where the planes made are
    // seldom used again (fewer than kPlaneReuse times each, once kPlaneBuilds are made), the count makes
    // no more and sums the new sets row by row.
    const bool caching = f.domain[w].count() >= kPlaneRows;
    if (caching && !planeCache_) planeCache_ = std::make_unique<PlaneCache>();
    PlaneCache* const cache = caching ? planeCache_.get() : nullptr;
    if (cache && ++cache->stamp == 0) { // after 2^32 calls every entry would look current: empty them
        for (PlaneCache::Entry& e : cache->entries) e.stamp = 0;
        cache->stamp = 1;
    }
    if (cache) cache->used = 0;
    auto direct = [&](Rows fu, Rows fv) {
        std::uint64_t pairs = 0;
        ForEachRow(fu, [&](int row) { pairs += static_cast<std::uint64_t>((fv & byU[static_cast<std::size_t>(row)]).count()); });
        return pairs;
    };
    std::uint32_t built = 0, reused = 0;
    auto pairsOf = [&](Rows fu, Rows fv) -> std::uint64_t {
        if (!cache || fu.count() < kPlaneRows / 2) return direct(fu, fv);
        const std::uint64_t h = (fu.low() * 0x9E3779B97F4A7C15ull) ^ (fu.high() * 0xC2B2AE3D27D4EB4Full);
        for (std::size_t at = static_cast<std::size_t>(h >> 55) & (PlaneCache::kSize - 1);; at = (at + 1) & (PlaneCache::kSize - 1)) {
            PlaneCache::Entry& e = cache->entries[at];
            if (e.stamp != cache->stamp) { // not met before: remembered, while the table has room
                if (4 * cache->used < 3 * PlaneCache::kSize) e.key = fu, e.stamp = cache->stamp, e.built = false, ++cache->used;
                return direct(fu, fv);
            }
            if (!(e.key == fu)) continue;
            if (e.built) ++reused;
            if (!e.built) {
                if (built >= kPlaneBuilds && built * kPlaneReuse > reused) return direct(fu, fv);
                ++built;
                if (fu.count() >= kAdderRows) {
                    PlaneAdder adder;
                    ForEachRow(fu, [&](int row) { adder.add(byU[static_cast<std::size_t>(row)]); });
                    e.planes = adder.done();
                } else {
                    e.planes = PairPlanes{};
                    ForEachRow(fu, [&](int row) { e.planes.add(byU[static_cast<std::size_t>(row)]); });
                }
                e.built = true;
            }
            return e.planes.sumOver(fv);
        }
    };
    std::uint64_t total = 0;
    const auto& valueIn = T().valueIn;
    // A row of w, standing for `group`: it filters u and v by the constraints it leaves with one of them
    // open, and the pairs of rows left that the constraints between them allow are counted.
    auto countAt = [&](Rows group) {
        rows[w] = group.first();
        Rows fu = du, fv = dv;
        for (int n : Members{uw})
            if ((fu &= Allowed(constraints_[n], u, rows)).empty()) return;
        for (int n : Members{vw})
            if ((fv &= Allowed(constraints_[n], v, rows)).empty()) return;
        std::uint64_t pairs = 0;
        if (uvw == 0) {
            pairs = pairsOf(fu, fv);
        } else if (classed && classItemCount <= 2) {
            // The rows of u by the slots of the items these constraints read: within a class, what they
            // allow of v is the same, worked out from any row of it.
            const int second = classItemCount == 2 ? kChoices : 1;
            for (int s0 = 0; s0 < kChoices; ++s0) {
                const Rows first = fu & valueIn[classItems[0] - 1][1u << s0];
                if (first.empty()) continue;
                for (int s1 = 0; s1 < second; ++s1) {
                    const Rows fuk = classItemCount == 2 ? first & valueIn[classItems[1] - 1][1u << s1] : first;
                    if (fuk.empty()) continue;
                    rows[u] = fuk.first();
                    Rows allowed = fv;
                    for (ConstraintSet left = uvw; left != 0 && !allowed.empty(); left &= left - 1)
                        allowed &= Allowed(constraints_[std::countr_zero(left)], v, rows);
                    if (!allowed.empty()) pairs += pairsOf(fuk, allowed);
                }
            }
        } else {
            ForEachRow(fu, [&](int row) {
                rows[u] = row;
                Rows allowed = fv & byU[static_cast<std::size_t>(row)];
                for (ConstraintSet left = uvw; left != 0 && !allowed.empty(); left &= left - 1)
                    allowed &= Allowed(constraints_[std::countr_zero(left)], v, rows);
                pairs += static_cast<std::uint64_t>(allowed.count());
            });
        }
        total += static_cast<std::uint64_t>(group.count()) * pairs;
    };
    std::array<int, kChoices> items{};
    const int read = itemsRead(f, w, items);
    if (read <= 3) {
        ForEachSlotGroup(f.domain[w], items, read, countAt);
    } else {
        for (Rows d = f.domain[w]; !d.empty(); d.removeFirst()) countAt(Rows::From(d.first()) & Rows::Below(d.first() + 1));
    }
    return total;
}

bool Network::existsWithin(const Frame& f, std::uint8_t within) {
    if (within == 0) return true;
    if ((within & (within - 1)) == 0) return !f.domain[Lowest(within)].empty();
    std::array<std::uint8_t, kLevels> groups{};
    const int n = components(within, groups);
    for (int g = 0; g < n; ++g) {
        const std::uint8_t group = groups[g];
        const bool some = (group & (group - 1)) == 0 ? !f.domain[Lowest(group)].empty()
                                                     : existsConnected(f, group);
        if (!some) return false;
    }
    return true;
}

bool Network::existsConnected(const Frame& f, std::uint8_t within) {
    Key key;
    const bool keyed = keyOf(f, within, key);
    const std::size_t hash = keyed ? Memo::HashOf(key) : 0;
    if (keyed && !skipsLookup())
        if (const std::uint64_t* known = memo_.find(key, hash))
            return checked(*known != 0, "exists", [&] { return existsConnected(f, within); });
    const int category = branchCategory(f, within, Goal::Find);
    const std::uint8_t rest = static_cast<std::uint8_t>(within & ~Bit(category));
    Frame child;
    for (Rows d = f.domain[category]; !d.empty(); d.removeFirst()) {
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
        out.push_back(ToIndex(Levels(f.row)));
        found = true;
        return true;
    }
    if ((f.open & (f.open - 1)) == 0) { // the last open category: every candidate is a solution
        const int category = Lowest(f.open);
        RowArray rows = f.row;
        for (Rows d = f.domain[category]; !d.empty(); d.removeFirst()) {
            if (out.size() >= limit) return false;
            rows[category] = d.first();
            out.push_back(ToIndex(Levels(rows)));
            found = true;
        }
        return true;
    }
    // Every way to place the whole is one of each group: the groups not branched on must have one (the
    // memo remembers), and the one branched on is walked once, what it finds written out as it comes.
    std::array<std::uint8_t, kLevels> groups{};
    const int n = components(f.open, groups);
    for (int g = 1; g < n; ++g) {
        const std::uint8_t group = groups[g];
        if ((group & (group - 1)) != 0 && !existsConnected(f, group)) return true;
    }
    const std::uint8_t within = groups[0];
    // Only small groups are worth remembering: a search for solutions seldom meets a larger one twice,
    // and its key would cost at each node.
    Key key;
    const int categories = std::popcount(static_cast<unsigned>(within));
    const bool keyed = categories >= 2 && categories <= 3 && keyOf(f, within, key);
    const std::size_t hash = keyed ? Memo::HashOf(key) : 0;
    if (keyed)
        if (const std::uint64_t* known = memo_.find(key, hash); known && *known == 0)
            return checked(true, "no solution", [&] { return !existsConnected(f, within); });
    const int category = branchCategory(f, within, Goal::Find);
    bool some = false;
    Frame child;
    for (Rows d = f.domain[category]; !d.empty(); d.removeFirst())
        if (place(f, category, d.first(), child) && !collectWithin(child, limit, out, some)) return false;
    // Whether the group has a way: with the others, which have one, whether the whole has.
    if (keyed && !some) memo_.store(key, hash, 0);
    found |= some;
    return true;
}

} // namespace korvane
