// The condition rows that constrain nothing: stated, well formed, and true for every matching, such as a
// positional row with no order category, or a row whose choice names nothing.
#pragma once

#include <cstdint>
#include <vector>

#include "core/model.h"

namespace korvane {

// Why a row holds for every matching, the most telling reason first.
enum class InertReason : std::uint8_t {
    NoChoice,        // a choice field lies outside 1..5: no slot holds that item
    NoOrderCategory, // a positional relation without an order category compares nothing
    SameItem,        // both sides name one item, which the relation always accepts
    Always,          // any other rule that no matching can break
};

struct InertRow {
    int row = 0; // 1..16
    InertReason reason = InertReason::Always;
    friend bool operator==(const InertRow&, const InertRow&) = default;
};

// Whether `rule` states a condition (relation 1..10, categories 1..6) that every matching satisfies.
// Exact: it tries every arrangement of the categories the rule reads, one of them held fixed (renumbering
// the slots of every category alike changes no rule's verdict). At most 14,400 evaluations.
bool HoldsForEveryMatching(const Rule& rule);

// The rows of `rules` (tidied as for a search) that hold for every matching, in row order.
std::vector<InertRow> InertRows(const RuleTable& rules);

} // namespace korvane
