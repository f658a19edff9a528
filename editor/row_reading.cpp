#include "editor/row_reading.h"

#include <algorithm>

#include "core/relations.h"
#include "editor/condition_rows.h"
#include "editor/normalise.h"
#include "reasoning/inert.h"
#include "texts/explain_text.h"
#include "texts/names.h"

namespace korvane {

namespace {

const std::string& BoxText(const Puzzle& screen, BoxRole role, int k) {
    return screen.boxTexts[static_cast<std::size_t>(BoxNumber(role, k) - 1)];
}

std::string_view BoxName(BoxRole role) {
    switch (role) {
    case BoxRole::CategoryA: return "la case de catégorie de gauche";
    case BoxRole::ChoiceA: return "la case de choix de gauche";
    case BoxRole::Relation: return "la case de relation";
    case BoxRole::CategoryB: return "la case de catégorie de droite";
    case BoxRole::ChoiceB: return "la case de choix de droite";
    case BoxRole::Steps: return "la case du nombre de crans";
    case BoxRole::Order: return "la case de la catégorie d'ordre";
    }
    return {}; // unreachable: every role is named above
}

// "ligne 3", "lignes 3 et 10", "lignes 3, 7 et 10".
std::string RowList(const std::vector<int>& rows) { return (rows.size() > 1 ? "lignes " : "ligne ") + NumberList(rows); }

} // namespace

RowsReading ReadRows(const Puzzle& screen) {
    RowsReading reading;
    for (int n = 1; n <= kBoxes; ++n) BoxValue(reading.values, n) = ValueOfText(screen, n);
    reading.stated = reading.values;
    ClearEmptyRuleFields(reading.stated, screen.boxTexts);
    for (int k = 1; k <= kRules; ++k) {
        RowReading& row = reading.rows[static_cast<std::size_t>(k - 1)];
        bool anyMain = false, allMain = true;
        for (const BoxRole role : kMainRoles) {
            const bool empty = BoxText(screen, role, k).empty();
            anyMain |= !empty;
            allMain &= !empty;
        }
        for (const BoxRoleInfo& info : kBoxRoleTable) {
            std::string why = BoxProblem(screen, BoxNumber(info.role, k));
            if (!why.empty()) row.notes.push_back({info.role, std::move(why)});
        }
        row.status = !anyMain            ? RowStatus::Empty
                     : !allMain          ? RowStatus::Incomplete
                     : !row.notes.empty() ? RowStatus::Faulty
                                          : RowStatus::Stated;
    }
    return reading;
}

std::vector<IdleRow> IdleRows(const RowsReading& reading, const Puzzle& screen) {
    Puzzle stated = screen;
    stated.rules = reading.stated;
    const std::vector<InertRow> inert = InertRows(reading.stated);
    std::vector<IdleRow> idle;
    for (int k = 1; k <= kRules; ++k) {
        const RowReading& row = reading.row(k);
        const std::string lead = "Ligne " + std::to_string(k) + " : ";
        if (row.status == RowStatus::Empty) continue;
        if (row.status == RowStatus::Incomplete) {
            std::string empty;
            for (const BoxRole role : kMainRoles)
                if (BoxText(screen, role, k).empty()) {
                    empty = BoxName(role);
                    break;
                }
            idle.push_back({k, IdleRow::Kind::LeftOut, lead + "incomplète (" + empty + " est vide), laissée de côté."});
            continue;
        }
        if (reading.stated[k].relation == 0) {
            // The relation box shows a text that names none of the ten.
            idle.push_back({k, IdleRow::Kind::LeftOut,
                            lead + "« " + BoxText(screen, BoxRole::Relation, k) +
                                " » n'est aucune des dix relations, la ligne est laissée de côté."});
            continue;
        }
        const Rule& rule = reading.stated[k];
        // A row with a category the search cannot read stops it; the explanation names its box.
        if (!IsCategory(rule.categoryA) || !IsCategory(rule.categoryB)) continue;
        const auto inertRow = std::find_if(inert.begin(), inert.end(), [&](const InertRow& i) { return i.row == k; });
        if (inertRow != inert.end()) {
            idle.push_back({k, IdleRow::Kind::Inert, InertRowLine(*inertRow, stated)});
            continue;
        }
        if (row.status == RowStatus::Faulty) {
            const BoxNote& note = row.notes.front();
            std::string box(BoxName(note.role));
            box[0] = static_cast<char>(box[0] - 'a' + 'A');
            idle.push_back({k, IdleRow::Kind::Faulty, lead + box + " — " + note.why});
        }
    }
    return idle;
}

std::string IdleRowsNotice(const std::vector<IdleRow>& idle) {
    std::string notice;
    const auto part = [&](IdleRow::Kind kind, std::string_view one, std::string_view several) {
        std::vector<int> rows;
        for (const IdleRow& i : idle)
            if (i.kind == kind) rows.push_back(i.row);
        if (rows.empty()) return;
        if (!notice.empty()) notice += " ";
        notice += std::string(rows.size() > 1 ? several : one) + " : " + RowList(rows) + ".";
    };
    part(IdleRow::Kind::LeftOut, "Laissée de côté", "Laissées de côté");
    part(IdleRow::Kind::Inert, "Sans effet", "Sans effet");
    part(IdleRow::Kind::Faulty, "À corriger", "À corriger");
    return notice;
}

} // namespace korvane
