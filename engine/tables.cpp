#include "engine/tables.h"

namespace korvane {

constexpr Tables::Tables() {
    constexpr std::array<Permutation, kRows> table = BuildPermutationTable();
    for (int r = 0; r < kRows; ++r) {
        const Permutation& p = table[r];
        for (int s = 0; s < kChoices; ++s) {
            slotOf[r][p[s]] = static_cast<std::uint8_t>(s);
            for (int set = 0; set < 32; ++set) {
                if (set >> s & 1) valueIn[p[s]][set].set(r);
                if (set >> p[s] & 1) valueAt[s][set].set(r);
            }
            for (int t = 0; t < kChoices; ++t) difference[s][t][p[s] - p[t] + 4].set(r);
        }
        // The pairs at each difference, then every set of differences from a smaller one.
        std::array<std::uint32_t, 9> at{};
        for (int sa = 0; sa < kChoices; ++sa)
            for (int sb = 0; sb < kChoices; ++sb)
                at[p[sa] - p[sb] + 4] |=
                    1u << (sa * kChoices + sb);
        auto& row = pairs[r];
        for (unsigned accepted = 1; accepted < 512; ++accepted)
            row[accepted] = row[accepted & (accepted - 1)] | at[std::countr_zero(accepted)];
    }
    for (unsigned accepted = 1; accepted < 512; ++accepted)
        for (int pair = 0; pair < kChoices * kChoices; ++pair)
            ranksApart[accepted][pair] =
                ranksApart[accepted & (accepted - 1)][pair] |
                difference[pair / kChoices][pair % kChoices]
                          [std::countr_zero(accepted)];
}

constexpr Tables kTables;

RanksFrom::RanksFrom() {
    for (int kind = 1; kind <= 10; ++kind)
        for (int steps = 1; steps <= 4; ++steps) {
            const std::uint16_t accepted = AcceptedDifferences(static_cast<RelationKind>(kind), steps) & 511u;
            if (index_[accepted] != 0) continue;
            BySlot& sets = sets_.emplace_back();
            index_[accepted] = static_cast<std::uint8_t>(sets_.size());
            for (int sa = 0; sa < kChoices; ++sa)
                for (unsigned set = 1; set < 32; ++set)
                    sets[sa][set] = sets[sa][set & (set - 1)] | T().ranksApart[accepted][sa * kChoices + std::countr_zero(set)];
        }
}

const RanksFrom& RanksFromTable() {
    static const RanksFrom table;
    return table;
}

} // namespace korvane
