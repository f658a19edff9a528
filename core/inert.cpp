#include "core/inert.h"

#include "core/boxes.h"
#include "core/explain.h"
#include "core/relations.h"

namespace korvane {

bool HoldsForEveryMatching(const Rule& rule) {
    const RelationInfo* info = FindRelation(rule.relation);
    if (!info || !IsCategory(rule.categoryA) || !IsCategory(rule.categoryB)) return false;
    // Category A keeps row 0; the others the rule reads take every row.
    std::vector<int> free;
    if (rule.categoryB != rule.categoryA) free.push_back(rule.categoryB);
    const int order = rule.orderCategory;
    if (info->usesOrder && IsCategory(order) && order != rule.categoryA && order != rule.categoryB) free.push_back(order);
    Assignment a;
    for (int c = 1; c <= kCategories; ++c) a.row[static_cast<std::size_t>(c)] = 0;
    const int runs = free.empty() ? 1 : free.size() == 1 ? kRows : kRows * kRows;
    for (int i = 0; i < runs; ++i) {
        if (free.size() >= 1) a.row[static_cast<std::size_t>(free[0])] = static_cast<std::int16_t>(i % kRows);
        if (free.size() == 2) a.row[static_cast<std::size_t>(free[1])] = static_cast<std::int16_t>(i / kRows);
        if (EvaluateRule(a, rule) != Verdict::Holds) return false;
    }
    return true;
}

std::vector<InertRow> InertRows(const RuleTable& rules) {
    std::vector<InertRow> rows;
    for (int k = 1; k <= kRules; ++k) {
        const Rule& r = rules[k];
        if (!HoldsForEveryMatching(r)) continue;
        InertReason reason = InertReason::Always;
        if (!IsChoice(r.choiceA) || !IsChoice(r.choiceB))
            reason = InertReason::NoChoice;
        else if (FindRelation(r.relation)->usesOrder && !IsCategory(r.orderCategory))
            reason = InertReason::NoOrderCategory;
        else if (r.categoryA == r.categoryB && r.choiceA == r.choiceB)
            reason = InertReason::SameItem;
        rows.push_back({k, reason});
    }
    return rows;
}

std::string InertRowLine(const InertRow& inert, const Puzzle& puzzle) {
    const Rule& r = puzzle.rules[inert.row];
    const std::string relation = "« " + std::string(FindRelation(r.relation)->listText) + " »";
    std::string why;
    switch (inert.reason) {
    case InertReason::NoChoice: {
        const bool left = !IsChoice(r.choiceA);
        const std::string& shown =
            puzzle.boxTexts[static_cast<std::size_t>(BoxNumber(left ? BoxRole::ChoiceA : BoxRole::ChoiceB, inert.row) - 1)];
        why = std::string("la case de choix de ") + (left ? "gauche" : "droite") +
              (shown.empty() ? " est vide" : " (« " + shown + " ») ne désigne aucun choix précis de sa catégorie") +
              ", " + relation + " vaut donc pour toute solution";
        break;
    }
    case InertReason::NoOrderCategory:
        why = "sans catégorie d'ordre (case « N° de la catégorie à utiliser »), " + relation +
              " vaut pour toute solution";
        break;
    case InertReason::SameItem:
        why = "les deux côtés désignent le même élément, " + ChoiceName(puzzle, r.categoryA, r.choiceA) + ", et " +
              relation + " vaut alors pour toute solution";
        break;
    case InertReason::Always: why = RowText(puzzle, inert.row) + " vaut pour toute solution"; break;
    }
    return "Ligne " + std::to_string(inert.row) + " : " + why + " : elle ne contraint rien.";
}

} // namespace korvane
