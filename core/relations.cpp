#include "core/relations.h"

#include <array>

namespace korvane {

namespace {

constexpr std::array<RelationInfo, 10> kRelations{{
    {RelationKind::Corresponds, "Correspond à", false, false, "Erreur 201"},
    {RelationKind::Contiguous, "Contigu de", true, true, "Erreur 202"},
    {RelationKind::RightNeighbour, "Voisin droit de", true, true, "Erreur 204"},
    {RelationKind::LeftNeighbour, "Voisin gauche de", true, true, "Erreur 203"},
    {RelationKind::NotCorresponds, "Ne correspond pas à", false, false, "Erreur 205"},
    {RelationKind::RightOf, "A droite de", false, true, "Erreur 207"},
    {RelationKind::LeftOf, "A gauche de", false, true, "Erreur 206"},
    {RelationKind::NotRightNeighbour, "Pas voisin droit de", true, true, "Erreur 209"},
    {RelationKind::NotLeftNeighbour, "Pas voisin gauche de", true, true, "Erreur 208"},
    {RelationKind::NotContiguous, "PasContigu de", true, true, "Erreur 210"},
}};

constexpr bool Test(RelationKind kind, int d, int n) {
    const int distance = d < 0 ? -d : d;
    switch (kind) {
    case RelationKind::Corresponds: return d == 0;
    case RelationKind::NotCorresponds: return d != 0;
    case RelationKind::Contiguous: return distance == n;
    case RelationKind::RightNeighbour: return d == n;
    case RelationKind::LeftNeighbour: return d == -n;
    case RelationKind::RightOf: return d >= 1;
    case RelationKind::LeftOf: return d <= -1;
    case RelationKind::NotRightNeighbour: return d != n;
    case RelationKind::NotLeftNeighbour: return d != -n;
    case RelationKind::NotContiguous: return distance != n;
    }
    return false; // unreachable: every kind is handled above
}

bool CategoriesValid(std::int32_t categoryA, std::int32_t categoryB) {
    return IsCategory(categoryA) && IsCategory(categoryB);
}

// The shared walk of the eight kinds measured along an order category: the one pair of slots holding
// item A and item B (none when a choice is outside 1..5) must pass the kind's test.
Verdict EvaluateTwoSlot(RelationKind kind, const Assignment& a, std::int32_t categoryA, std::int32_t categoryB,
                        std::int32_t choiceA, std::int32_t choiceB, std::int32_t steps,
                        std::int32_t orderCategory) {
    if (!CategoriesValid(categoryA, categoryB)) return Verdict::Malformed;
    const int n = EffectiveSteps(steps);
    const Permutation& pa = a.permutation(categoryA);
    const Permutation& pb = a.permutation(categoryB);
    for (int sa = 0; sa < kChoices; ++sa) {
        for (int sb = 0; sb < kChoices; ++sb) {
            if (pa[static_cast<std::size_t>(sa)] == choiceA - 1 && pb[static_cast<std::size_t>(sb)] == choiceB - 1) {
                if (!Test(kind, RankDifference(a, orderCategory, sa, sb), n)) return Verdict::Fails;
            }
        }
    }
    return Verdict::Holds;
}

Verdict EvaluateCorresponds(const Assignment& a, std::int32_t categoryA, std::int32_t categoryB,
                            std::int32_t choiceA, std::int32_t choiceB) {
    if (!CategoriesValid(categoryA, categoryB)) return Verdict::Malformed;
    const Permutation& pa = a.permutation(categoryA);
    const Permutation& pb = a.permutation(categoryB);
    for (std::size_t s = 0; s < kChoices; ++s)
        if (pa[s] == choiceA - 1 && pb[s] != choiceB - 1) return Verdict::Fails;
    return Verdict::Holds;
}

Verdict EvaluateNotCorresponds(const Assignment& a, std::int32_t categoryA, std::int32_t categoryB,
                               std::int32_t choiceA, std::int32_t choiceB) {
    if (!CategoriesValid(categoryA, categoryB)) return Verdict::Malformed;
    const Permutation& pa = a.permutation(categoryA);
    const Permutation& pb = a.permutation(categoryB);
    for (std::size_t s = 0; s < kChoices; ++s)
        if (pa[s] == choiceA - 1 && pb[s] == choiceB - 1) return Verdict::Fails;
    return Verdict::Holds;
}

} // namespace

std::span<const RelationInfo, 10> Relations() { return kRelations; }

const RelationInfo* FindRelation(std::int32_t relation) {
    return IsRelation(relation) ? &kRelations[static_cast<std::size_t>(relation - 1)] : nullptr;
}

// By kind and step count (1..4): every rule of every search asks.
constexpr auto kAccepted = [] {
    std::array<std::array<std::uint16_t, 5>, 11> sets{};
    for (int k = 1; k <= 10; ++k)
        for (int steps = 1; steps <= 4; ++steps)
            for (int d = -4; d <= 4; ++d)
                if (Test(static_cast<RelationKind>(k), d, steps))
                    sets[static_cast<std::size_t>(k)][static_cast<std::size_t>(steps)] |= static_cast<std::uint16_t>(1u << (d + 4));
    return sets;
}();

std::uint16_t AcceptedDifferences(RelationKind kind, int n) {
    return kAccepted[static_cast<std::size_t>(kind)][static_cast<std::size_t>(EffectiveSteps(n))];
}

Verdict EvaluateRule(const Assignment& a, const Rule& r) {
    const RelationInfo* info = FindRelation(r.relation);
    if (!info) return Verdict::Holds; // a relation outside 1..10 states no condition
    switch (info->kind) {
    case RelationKind::Corresponds: return EvaluateCorresponds(a, r.categoryA, r.categoryB, r.choiceA, r.choiceB);
    case RelationKind::NotCorresponds: return EvaluateNotCorresponds(a, r.categoryA, r.categoryB, r.choiceA, r.choiceB);
    default: // the eight kinds measured along an order category (for "A droite de" and "A gauche de" the steps do not matter)
        return EvaluateTwoSlot(info->kind, a, r.categoryA, r.categoryB, r.choiceA, r.choiceB, r.steps, r.orderCategory);
    }
}

} // namespace korvane
