#include "maker/suggest.h"

#include <algorithm>
#include <array>
#include <optional>
#include <tuple>
#include <utility>

#include "boxes/boxes.h"
#include "core/relations.h"
#include "editor/row_reading.h"
#include "engine/plan.h"
#include "engine/search.h"
#include "engine/walk.h"
#include "maker/puzzle_maker.h"
#include "maker/themes.h"
#include "reasoning/deduce.h"

namespace korvane::maker {

void SetRow(Puzzle& puzzle, int row, const Rule& rule) {
    puzzle.rules[row] = rule;
    const RelationInfo* info = FindRelation(rule.relation);
    const auto box = [&](BoxRole role) -> std::string& { return puzzle.boxTexts[static_cast<std::size_t>(BoxNumber(role, row) - 1)]; };
    const auto category = [&](std::int32_t c) { return IsCategory(c) ? puzzle.name(0, c) : std::string(); };
    const auto choice = [&](std::int32_t c, std::int32_t k) {
        return IsCategory(c) && IsChoice(k) ? puzzle.name(k, c) : std::string();
    };
    box(BoxRole::CategoryA) = category(rule.categoryA);
    box(BoxRole::ChoiceA) = choice(rule.categoryA, rule.choiceA);
    box(BoxRole::Relation) = info ? std::string(info->listText) : std::string();
    box(BoxRole::CategoryB) = category(rule.categoryB);
    box(BoxRole::ChoiceB) = choice(rule.categoryB, rule.choiceB);
    box(BoxRole::Steps) = info && info->usesSteps ? std::to_string(rule.steps) : std::string();
    box(BoxRole::Order) = info && info->usesOrder ? std::to_string(rule.orderCategory) : std::string();
}

Puzzle WithRow(const Puzzle& screen, int row, const Rule& rule) {
    Puzzle p = screen;
    SetRow(p, row, rule);
    return p;
}

namespace {

using enum RelationKind;

// How simple a row reads: the two kinds about sharing a slot, then the neighbours, "next to", "right
// of", then the negative positional kinds; two steps after any one step.
int Simplicity(const Rule& r) {
    int rank = 0;
    switch (static_cast<RelationKind>(r.relation)) {
    case Corresponds: rank = 0; break;
    case NotCorresponds: rank = 1; break;
    case RightNeighbour:
    case LeftNeighbour: rank = 2; break;
    case Contiguous: rank = 3; break;
    case RightOf:
    case LeftOf: rank = 4; break;
    case NotContiguous: rank = 5; break;
    case NotRightNeighbour:
    case NotLeftNeighbour: rank = 6; break;
    }
    return r.steps == 2 ? rank + 7 : rank;
}

// Every row worth suggesting, each statement once: two items of different categories together or not,
// and the positional kinds along `order` between two different items not both places, a place always
// second ("Martin — Voisin droit de — Maison 3").
std::vector<Rule> Candidates(int order) {
    std::vector<Rule> rows;
    const auto index = [](int c, int k) { return (c - 1) * kChoices + (k - 1); };
    for (int ca = 1; ca <= kCategories; ++ca)
        for (int ka = 1; ka <= kChoices; ++ka)
            for (int cb = 1; cb <= kCategories; ++cb)
                for (int kb = 1; kb <= kChoices; ++kb) {
                    const bool aPlace = ca == order, bPlace = cb == order;
                    if (index(ca, ka) == index(cb, kb) || aPlace) continue; // a place is never first
                    const bool ordered = index(ca, ka) < index(cb, kb);
                    if (ordered && ca != cb) {
                        rows.push_back({ca, ka, static_cast<std::int32_t>(Corresponds), cb, kb, 0, 0});
                        rows.push_back({ca, ka, static_cast<std::int32_t>(NotCorresponds), cb, kb, 0, 0});
                    }
                    // Between two items that are not places, one way round is enough for every kind:
                    // "right of" one way is "left of" the other.
                    if (!ordered && !bPlace) continue;
                    for (const RelationInfo& info : Relations()) {
                        if (!info.usesOrder) continue;
                        for (int steps = 1; steps <= (info.usesSteps ? 2 : 1); ++steps)
                            rows.push_back({ca, ka, static_cast<std::int32_t>(info.kind), cb, kb,
                                            info.usesSteps ? steps : 0, order});
                    }
                }
    return rows;
}

// Collects the solutions listed by a search, which stops early once a stop is requested: the search
// then polls for it where the walk would poll its abort.
class Collector final : public SearchObserver {
public:
    // `cap`: the search stops once it has found more solutions than that.
    Collector(const std::stop_token& stop, std::optional<std::uint64_t> cap) : stop_(stop), cap_(cap) {}
    bool followsProgress() const override { return stop_.stop_possible() || cap_; }
    bool abortRequested() override { return stop_.stop_requested() || (cap_ && solutions.size() > *cap_); }
    void solutionFound(const Assignment& a, std::uint64_t) override { solutions.push_back(a); }
    std::vector<Assignment> solutions;

private:
    const std::stop_token& stop_;
    std::optional<std::uint64_t> cap_;
};

// The solutions of `rules` in visit order, all of them when there are at most `limit`, and the search's
// result; with `capped`, a search that finds more than `limit` stops there, aborted.
std::pair<SearchResult, std::vector<Assignment>> Solutions(const RuleTable& rules, const std::stop_token& stop,
                                                          std::uint64_t limit = kExactSolutions, bool capped = false) {
    Collector collector(stop, capped ? std::optional(limit) : std::nullopt);
    const SearchResult result = Search(rules, collector, {.listLimit = capped ? limit + 1 : limit});
    return {result, std::move(collector.solutions)};
}

// The number of solutions of `rules` (meaningless once a stop is requested).
std::uint64_t CountOf(const RuleTable& rules, const std::stop_token& stop) { return Solutions(rules, stop, 0).first.count; }

// For every two items, how many of the solutions put them at each rank difference along the order
// category (item A's rank minus item B's, -4..4; 0 when they share a slot): what a row about the two
// holds on, counted for every row at once.
class PairCounts {
public:
    PairCounts(const std::vector<Assignment>& solutions, int order) : counts_(kItems * kItems * 9), total_(solutions.size()) {
        for (const Assignment& a : solutions) {
            std::array<int, kItems> rank{};
            const Permutation& places = a.permutation(order);
            for (int c = 1; c <= kCategories; ++c) {
                const Permutation& p = a.permutation(c);
                for (int s = 0; s < kChoices; ++s) rank[static_cast<std::size_t>(Item(c, p[static_cast<std::size_t>(s)] + 1))] = places[static_cast<std::size_t>(s)];
            }
            for (int i = 0; i < kItems; ++i)
                for (int j = 0; j < kItems; ++j)
                    if (i != j) ++counts_[static_cast<std::size_t>((i * kItems + j) * 9 + rank[static_cast<std::size_t>(i)] - rank[static_cast<std::size_t>(j)] + 4)];
        }
    }

    // How many of the solutions `rule` holds on: a row of two different items, along the order category
    // when positional.
    std::uint64_t holding(const Rule& rule) const {
        const auto kind = static_cast<RelationKind>(rule.relation);
        constexpr std::uint16_t kSame = 1u << 4;
        const std::uint16_t accepted = kind == RelationKind::Corresponds      ? kSame
                                       : kind == RelationKind::NotCorresponds ? static_cast<std::uint16_t>(0x1FF & ~kSame)
                                                                              : AcceptedDifferences(kind, EffectiveSteps(rule.steps));
        const std::size_t at = static_cast<std::size_t>((Item(rule.categoryA, rule.choiceA) * kItems + Item(rule.categoryB, rule.choiceB)) * 9);
        std::uint64_t n = 0;
        for (int d = 0; d < 9; ++d)
            if (accepted >> d & 1u) n += counts_[at + static_cast<std::size_t>(d)];
        return n;
    }

    std::uint64_t total() const { return total_; }

private:
    static constexpr int kItems = kCategories * kChoices;
    static int Item(int category, int choice) { return (category - 1) * kChoices + (choice - 1); }
    std::vector<std::uint64_t> counts_;
    std::uint64_t total_;
};

// About 4,000 solutions drawn across the walk: the first at or after each of evenly drawn places.
std::vector<Assignment> SampleSolutions(const RuleTable& stated, const std::stop_token& stop) {
    Plan plan(stated);
    Draws draws(1);
    std::vector<Assignment> sample;
    for (int i = 0; i < 4000 && !stop.stop_requested(); ++i) {
        const WalkIndex at = static_cast<WalkIndex>(draws.below(1 << 30)) * kWalkSize / (WalkIndex{1} << 30);
        WalkIndex found = plan.search(at);
        if (found == kWalkSize) found = plan.search(0);
        sample.push_back(ToAssignment(ToPosition(found)));
    }
    return sample;
}

Grade GradeWith(const RuleTable& stated, int row, const Rule& rule) {
    RuleTable completed = stated;
    completed[row] = rule;
    return GradeOf(Deduce(completed));
}

// The fewest rows of `stated` that keep its one solution unique. A set that keeps it unique is reached
// from all the rows by taking rows away one at a time, each set on the way unique too (taking rows away
// only adds solutions), so the search goes down from all the rows, removing in row order, and gives up
// after `kTries` sets tried.
struct Smallest {
    std::vector<int> rows;
    bool proved = true;
};

Smallest SmallestUnique(const RuleTable& stated, const std::stop_token& stop) {
    constexpr int kTries = 4096;
    std::vector<int> all;
    for (int k = 1; k <= kRules; ++k)
        if (stated[k].relation != 0) all.push_back(k);
    Smallest best{all, true};
    int tries = 0;
    RuleTable table = stated;
    const auto down = [&](auto& self, std::size_t from, int kept) -> void {
        for (std::size_t i = from; i < all.size(); ++i) {
            if (tries == kTries || stop.stop_requested()) {
                best.proved = false;
                return;
            }
            // Even taking every later row away would not beat the best.
            if (kept - 1 - static_cast<int>(all.size() - 1 - i) >= static_cast<int>(best.rows.size())) continue;
            const Rule removed = std::exchange(table[all[i]], Rule{});
            ++tries;
            if (Plan(table).unique()) {
                if (kept - 1 < static_cast<int>(best.rows.size())) {
                    best.rows.clear();
                    for (int k : all)
                        if (table[k].relation != 0) best.rows.push_back(k);
                }
                self(self, i + 1, kept - 1);
            }
            table[all[i]] = removed;
        }
    };
    down(down, 0, static_cast<int>(all.size()));
    return best;
}

// The rows that, put in row `row` of `base` (which leaves that row empty and has `count` solutions, of
// which `listed` are all of them when there are at most kExactSolutions), leave the fewest solutions: only
// those that leave exactly one when some do (then the simplest first, then the easiest), or, unless
// `uniqueOnly`, the ones that leave fewest.
struct Found {
    std::vector<Suggestion> suggestions;
    bool sampled = false;
};

Found SuggestIn(const RuleTable& base, int row, std::uint64_t count, std::vector<Assignment> listed, int order,
                const std::vector<Rule>& candidates, bool uniqueOnly, const std::stop_token& stop) {
    Found found;
    if (stop.stop_requested()) return found;
    found.sampled = count > kExactSolutions;
    const PairCounts counts(found.sampled ? SampleSolutions(base, stop) : std::move(listed), order);
    if (!found.sampled) {
        std::vector<Suggestion> unique;
        for (const Rule& r : candidates)
            if (counts.holding(r) == 1) unique.push_back({r, 1, Grade::Easy});
        if (!unique.empty() || uniqueOnly) {
            std::stable_sort(unique.begin(), unique.end(),
                             [](const Suggestion& a, const Suggestion& b) { return Simplicity(a.rule) < Simplicity(b.rule); });
            // Graded a kind at a time until enough are in, then the simplest and easiest first.
            std::size_t graded = 0;
            while (graded < unique.size() && !stop.stop_requested() &&
                   (graded < kSuggestions || Simplicity(unique[graded].rule) == Simplicity(unique[graded - 1].rule))) {
                unique[graded].grade = GradeWith(base, row, unique[graded].rule);
                ++graded;
            }
            unique.resize(graded);
            std::stable_sort(unique.begin(), unique.end(), [](const Suggestion& a, const Suggestion& b) {
                return std::pair(Simplicity(a.rule), a.grade) < std::pair(Simplicity(b.rule), b.grade);
            });
            if (unique.size() > kSuggestions) unique.resize(kSuggestions);
            found.suggestions = std::move(unique);
            return found;
        }
    }

    // Otherwise the fewest solutions left, at least one: counted on the solutions, or on the sample and
    // then exactly.
    std::vector<std::pair<std::uint64_t, std::size_t>> ranked; // (count, candidate): those that cut some
    for (std::size_t i = 0; i < candidates.size(); ++i)
        if (const std::uint64_t n = counts.holding(candidates[i]); n > 0 && n < counts.total()) ranked.emplace_back(n, i);
    const std::size_t keep = found.sampled ? kSuggestions + 2 : kSuggestions;
    std::stable_sort(ranked.begin(), ranked.end());
    if (ranked.size() > keep) ranked.resize(keep);
    for (const auto& [n, i] : ranked) {
        Suggestion s{candidates[i], n, Grade::Easy};
        if (stop.stop_requested()) return found;
        if (found.sampled) {
            RuleTable completed = base;
            completed[row] = s.rule;
            s.count = CountOf(completed, stop);
            if (s.count == 0 || s.count >= count) continue;
        }
        found.suggestions.push_back(s);
    }
    std::stable_sort(found.suggestions.begin(), found.suggestions.end(), [](const Suggestion& a, const Suggestion& b) {
        return std::pair(a.count, Simplicity(a.rule)) < std::pair(b.count, Simplicity(b.rule));
    });
    if (found.suggestions.size() > kSuggestions) found.suggestions.resize(kSuggestions);
    for (Suggestion& sg : found.suggestions) sg.grade = GradeWith(base, row, sg.rule);
    return found;
}

} // namespace

Completion Complete(const Puzzle& screen, std::stop_token stop) {
    const RowsReading reading = ReadRows(screen);
    const RuleTable& stated = reading.stated;
    Completion done;
    auto [result, listed] = Solutions(stated, stop);
    done.count = result.count;
    using Kind = Completion::Kind;
    if (result.outcome == SearchOutcome::Aborted) return done; // stopped: the caller drops it
    if (result.outcome == SearchOutcome::RuleError) {
        done.kind = Kind::RuleError;
        return done;
    }
    if (result.count <= 1) {
        done.kind = result.count == 0 ? Kind::None : Kind::Unique;
        if (result.count == 1) {
            const Smallest smallest = SmallestUnique(stated, stop);
            done.smallest = smallest.rows;
            done.smallestProved = smallest.proved;
        }
        return done;
    }
    done.kind = Kind::Several;
    Puzzle named = screen;
    named.rules = reading.values;
    const int order = GridOf(named).order;
    const std::vector<Rule> candidates = Candidates(order);
    const auto take = [&](int row, Completion::Place place, Found found) {
        done.emptyRow = row;
        done.place = place;
        done.sampled = found.sampled;
        done.suggestions = std::move(found.suggestions);
    };

    // The first empty row.
    for (int k = 1; k <= kRules; ++k)
        if (reading.row(k).status == RowStatus::Empty) {
            take(k, Completion::Place::Empty, SuggestIn(stated, k, result.count, std::move(listed), order, candidates, false, stop));
            return done;
        }
    // None: the first row the others imply, whose condition a suggestion can take the place of.
    const auto without = [&](int k) {
        RuleTable base = stated;
        base[k] = Rule{};
        return base;
    };
    for (int k = 1; k <= kRules && !stop.stop_requested(); ++k) {
        if (stated[k].relation == 0) continue;
        const RuleTable base = without(k);
        if (CountOf(base, stop) == result.count) {
            take(k, Completion::Place::Implied, SuggestIn(base, k, result.count, std::move(listed), order, candidates, false, stop));
            return done;
        }
    }
    // Every row counts: the first row whose condition, replaced, leaves one solution.
    for (int k = 1; k <= kRules && !stop.stop_requested(); ++k) {
        if (stated[k].relation == 0) continue;
        const RuleTable base = without(k);
        // One row never takes more than kExactSolutions solutions down to one: such a row is not listed out.
        auto [left, all] = Solutions(base, stop, kExactSolutions, /*capped=*/true);
        if (left.outcome != SearchOutcome::Completed) continue;
        Found found = SuggestIn(base, k, left.count, std::move(all), order, candidates, true, stop);
        if (!found.suggestions.empty()) {
            take(k, Completion::Place::Needed, std::move(found));
            return done;
        }
    }
    return done;
}

} // namespace korvane::maker
