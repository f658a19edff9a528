#include "core/model.h"


#include <algorithm>
#include <cassert>

namespace korvane {

namespace {

constexpr std::array<Permutation, kRows> kPermutationTable = BuildPermutationTable();

static_assert(kPermutationTable[0] == Permutation{4, 3, 2, 1, 0});
static_assert(kPermutationTable[1] == Permutation{3, 4, 2, 1, 0});
static_assert(kPermutationTable[24] == Permutation{4, 3, 2, 0, 1});
static_assert(kPermutationTable[119] == Permutation{0, 1, 2, 3, 4});

} // namespace

const std::array<Permutation, kRows>& PermutationTable() { return kPermutationTable; }

bool Assignment::complete() const {
    return std::all_of(row.begin() + 1, row.end(), [](std::int16_t r) { return r != kUnset; });
}

std::optional<int> SlotOf(const Assignment& a, int category, std::int32_t choice) {
    if (!IsChoice(choice)) return std::nullopt;
    const Permutation& p = a.permutation(category);
    for (int s = 0; s < kChoices; ++s)
        if (p[static_cast<std::size_t>(s)] == choice - 1) return s;
    assert(false && "every row holds every choice once");
    return std::nullopt;
}

int RankDifference(const Assignment& a, std::int32_t orderCategory, int slotA, int slotB) {
    if (!IsCategory(orderCategory)) return 1;
    const Permutation& p = a.permutation(orderCategory);
    return int{p[static_cast<std::size_t>(slotA)]} - int{p[static_cast<std::size_t>(slotB)]};
}

} // namespace korvane
