// The consistency check: a complete assignment against the sixteen rules, in row order; and which rows
// it reads, up to the first malformed one, as the search and the explanations take them.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "core/model.h"
#include "core/relations.h"

namespace korvane {

struct CheckResult {
    Verdict verdict = Verdict::Holds;
    int rule = 0; // the rule that failed or was malformed (1..16); 0 when every rule holds
};

// Evaluates rules 1..16 in order, skipping those with a relation outside 1..10, and stops at the first
// that fails or is malformed. Precondition: the assignment is complete.
CheckResult CheckAssignment(const RuleTable& rules, const Assignment& assignment);

// A stated condition with a category outside 1..6, the first in row order.
struct MalformedRow {
    int row = 0;                // 1..16; 0 when every stated condition is well formed
    bool categoryA = false;     // the category box of item A names no category
    bool categoryB = false;     // the category box of item B names no category
    std::string_view errorText; // "Erreur 201" .. "Erreur 210"
    bool reached = false;       // the search reaches it and stops there
};

// Whether a rule that states a condition (relation 1..10) is malformed: a category outside 1..6, which
// stops the search with the relation's error message once reached.
constexpr bool IsMalformed(const Rule& r) { return !IsCategory(r.categoryA) || !IsCategory(r.categoryB); }

// Rule `r` standing in row `row`, which states a condition of relation `info`, when a category of it lies
// outside 1..6 (`reached` false); row 0 when it is well formed.
inline MalformedRow MalformedRowOf(const Rule& r, int row, const RelationInfo& info) {
    if (!IsMalformed(r)) return {};
    return {row, !IsCategory(r.categoryA), !IsCategory(r.categoryB), info.errorText, false};
}
// The same for any rule: row 0 too when it states no condition.
inline MalformedRow MalformedRowOf(const Rule& r, int row) {
    const RelationInfo* info = FindRelation(r.relation);
    return info ? MalformedRowOf(r, row, *info) : MalformedRow{};
}

// A set of condition rows, bit k for row k (1..16).
using RowMask = std::uint32_t;
constexpr RowMask RowBit(int row) { return RowMask{1} << row; }
// The rows of a set, ascending.
std::vector<int> RowsOf(RowMask rows);

// What the check reads of a table: the rows stating a condition (relation 1..10) above the first
// malformed one, and that one (row 0 when every stated row is well formed), which stops whatever reaches it.
struct RowsRead {
    RowMask stated = 0;
    MalformedRow malformed;
};
RowsRead StatedRows(const RuleTable& rules);

} // namespace korvane
