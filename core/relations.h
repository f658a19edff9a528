// The ten relations: their table (list text, extra boxes, error message, test on the rank difference)
// and the evaluator deciding whether one rule holds on a complete assignment.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "core/model.h"

namespace korvane {

// What an evaluator answers. Malformed: a relation was chosen but a category lies outside 1..6; the
// solve stops with the kind's error message.
enum class Verdict : std::uint8_t { Holds, Fails, Malformed };

struct RelationInfo {
    RelationKind kind;
    std::string_view listText;   // entry of the relation box, UTF-8
    bool usesSteps;              // shows the "Nombre de crans" box
    bool usesOrder;              // shows the "N° de la catégorie à utiliser" box
    std::string_view errorText;  // shown when a category is outside 1..6
};

// The ten relations in list order (index = kind - 1).
std::span<const RelationInfo, 10> Relations();
// The entry for a relation value, or none outside 1..10.
const RelationInfo* FindRelation(std::int32_t relation);

// For the kinds measured along an order category: the set of rank differences d (item A's rank minus
// item B's, -4..4) that satisfy the kind with step count n, as bit (d + 4). Corresponds and
// NotCorresponds compare slots, which is d == 0 and d != 0 in the order of any category.
std::uint16_t AcceptedDifferences(RelationKind kind, int n);
inline bool Accepts(std::uint16_t differences, int d) { return (differences >> (d + 4)) & 1u; }

// Dispatches a rule whose relation is 1..10 to its evaluator.
Verdict EvaluateRule(const Assignment&, const Rule&);

} // namespace korvane
