#include "puzzle_set.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "core/relations.h"
#include "engine/search.h"
#include "examples/puzzle_generator.h"
#include "examples/hard_tables.h"
#include "examples/sample_puzzles.h"

namespace korvane::bench {

namespace {

using samples::PuzzleGenerator;
using samples::Style;
using samples::WeakThreeTable;
using samples::NegativeThreeTable;
using samples::MixedThreeTable;

// Grid names, so that listings write real text.
Puzzle Named(const RuleTable& rules) {
    Puzzle p;
    for (int c = 1; c <= kCategories; ++c) {
        p.name(0, c) = "Categorie " + std::to_string(c);
        for (int k = 1; k <= kChoices; ++k) p.name(k, c) = "Choix " + std::to_string(c) + "." + std::to_string(k);
    }
    p.rules = rules;
    return p;
}

// Sixteen weak conditions, mostly negative, each along an order category of its own where it can.
RuleTable WeakTable(PuzzleGenerator& draw) {
    auto pick = [&](int lo, int hi) { return draw.pick(lo, hi); };
    RuleTable t;
    constexpr int kinds[] = {8, 9, 10, 8, 9, 10, 5, 6, 7};
    for (int k = 1; k <= kRules; ++k)
        t[k] = Rule{pick(1, 6), pick(1, 5), kinds[pick(0, 8)], pick(1, 6), pick(1, 5), pick(1, 4), (k - 1) % 6 + 1};
    return t;
}

// Eight conditions on items of categories 4-6 measured along categories 2-4: the visit order places the
// order categories first, and they alone decide nothing.
RuleTable DeepTable(PuzzleGenerator& draw) {
    auto pick = [&](int lo, int hi) { return draw.pick(lo, hi); };
    RuleTable t;
    for (int k = 1; k <= 8; ++k)
        t[k] = Rule{pick(4, 6), pick(1, 5), pick(2, 10), pick(4, 6), pick(1, 5), pick(1, 2), pick(2, 4)};
    return t;
}

// 1-16 conditions of any kind, most of them negative, along several order categories; now and then a
// field out of range as files and edits may leave one.
RuleTable RandomTable(PuzzleGenerator& draw) {
    auto pick = [&](int lo, int hi) { return draw.pick(lo, hi); };
    RuleTable t;
    const int rows = pick(1, kRules);
    for (int n = 0; n < rows; ++n) {
        Rule r{pick(1, 6), pick(1, 5), pick(1, 10) <= 6 ? std::array{5, 8, 9, 10}[static_cast<std::size_t>(pick(0, 3))] : pick(1, 10),
               pick(1, 6), pick(1, 5), pick(1, 4), pick(1, 6)};
        if (pick(1, 100) == 1) r.choiceB = 0;
        if (pick(1, 100) == 1) r.orderCategory = 0;
        if (pick(1, 200) == 1) r.categoryA = 7;
        t[pick(1, kRules)] = r;
    }
    return t;
}

// Tables of `draw` from seeds seed0, 2 * seed0, ..., kept while their count lies in [lo, hi], until `wanted`
// are kept: the hard set is defined by its counts, which the engine's work does not change.
template <class Draw>
void AddCounted(std::vector<Case>& set, const char* group, const char* name, std::uint64_t seed0, int wanted,
                std::uint64_t lo, std::uint64_t hi, Draw&& draw) {
    int kept = 0;
    for (std::uint64_t n = 1; kept < wanted; ++n) {
        PuzzleGenerator generator(n * seed0);
        const RuleTable t = draw(generator);
        const SearchResult counted = CountSolutions(t);
        if (std::getenv("KORVANE_BENCH_TRACE"))
            std::fprintf(stderr, "%s seed %llu: %llu solutions\n", group, static_cast<unsigned long long>(n),
                         static_cast<unsigned long long>(counted.count));
        if (counted.outcome != SearchOutcome::Completed || counted.count < lo || counted.count > hi) continue;
        set.push_back({group, std::string(name) + " seed " + std::to_string(n), Named(t), false});
        ++kept;
    }
}

} // namespace

std::vector<Case> HardSet(int perKind) {
    std::vector<Case> set;
    // 9-16 weak conditions, each on items of two categories along a third.
    AddCounted(set, "hard: weak 3-category", "weak3", 7919, 2 * perKind, 100'000'000, 10'000'000'000, [](PuzzleGenerator& draw) {
        const int rows = draw.pick(9, kRules);
        return WeakThreeTable(draw, rows);
    });
    // 14 of them, negative but for three "A droite de".
    AddCounted(set, "hard: 14 negative, 3 right of", "negative14", 6151, perKind, 100'000'000, 10'000'000'000,
               [](PuzzleGenerator& draw) { return NegativeThreeTable(draw, 14, 3); });
    // 15 conditions of every kind, mostly negative, with billions of solutions.
    AddCounted(set, "hard: mixed 15", "mixed15", 3571, perKind, 1'000'000'000, 10'000'000'000,
               [](PuzzleGenerator& draw) { return MixedThreeTable(draw, 15); });
    return set;
}

std::vector<Case> BenchmarkSet(int perStyle, int tables) {
    std::vector<Case> set;
    const std::pair<Style, const char*> styles[] = {{Style::AlongFirst, "zebra-like"}, {Style::Mixed, "mixed"}, {Style::Wide, "wide"}};
    for (const auto& [style, group] : styles) {
        int made = 0;
        for (std::uint64_t seed = 1; made < perStyle; ++seed) {
            const auto start = std::chrono::steady_clock::now();
            const auto rules = samples::MinimalUnique(style, seed);
            if (std::getenv("KORVANE_BENCH_TRACE"))
                std::fprintf(stderr, "%s seed %llu: %s in %.3f s\n", group, static_cast<unsigned long long>(seed), rules ? "made" : "failed",
                             std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
            if (rules) {
                set.push_back({group, std::string(group) + " seed " + std::to_string(seed), Named(*rules), true, true});
                ++made;
            }
        }
    }
    set.push_back({"examples", "zebra", samples::Zebra(), true, true});
    set.push_back({"examples", "zebra, house last", samples::MoveCategories(samples::Zebra(), {6, 1, 2, 3, 4, 5}), true, true});
    set.push_back({"examples", "zebra, busiest last", samples::MoveCategories(samples::Zebra(), {4, 5, 1, 2, 3, 6}), true, true});
    set.push_back({"examples", "seating", samples::Seating(), false, true});
    set.push_back({"examples", "relay", samples::Relay(), false, true});
    set.push_back({"examples", "no condition", Named(RuleTable{}), false});
    for (int n = 1; n <= tables; ++n) {
        PuzzleGenerator draw(static_cast<std::uint64_t>(n) * 7717);
        set.push_back({"random tables", "random seed " + std::to_string(n), Named(RandomTable(draw)), false});
    }
    for (int n = 1; n <= 20; ++n) {
        PuzzleGenerator draw(static_cast<std::uint64_t>(n) * 104729);
        set.push_back({"weak negative", "weak seed " + std::to_string(n), Named(WeakTable(draw)), false});
    }
    for (int n = 1; n <= 20; ++n) {
        PuzzleGenerator draw(static_cast<std::uint64_t>(n) * 15485863);
        RuleTable t = DeepTable(draw);
        set.push_back({"deep first", "deep seed " + std::to_string(n), Named(t), false});
        t[9] = Rule{0, 1, 3, 4, 2, 1, 2}; // "Erreur 204" once the rows above hold
        set.push_back({"deep, malformed row 9", "deep malformed seed " + std::to_string(n), Named(t), false});
    }
    return set;
}

} // namespace korvane::bench
