#include "texts/explain_text.h"

#include <bit>

#include "boxes/boxes.h"
#include "texts/json_writer.h"
#include "texts/names.h"

namespace korvane {

namespace {

// "a", "a ou b", "a, b ou c".
std::string Alternatives(const std::vector<std::string>& names) {
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0) text += i + 1 == names.size() ? " ou " : ", ";
        text += names[i];
    }
    return text;
}

std::string RowLine(const Puzzle& puzzle, int row) { return "Ligne " + std::to_string(row) + " : " + RowText(puzzle, row); }

// The category boxes of the malformed row that name no category, with what they show, and the value
// behind the text when a file left one that is no category.
std::string WrongBoxes(const Puzzle& puzzle, const MalformedRow& m) {
    auto box = [&](const char* side, int n, std::int32_t value) {
        return std::string("la case de catégorie de ") + side + " (« " + BoxText(puzzle, n) + " »" +
               (value != 0 ? ", valeur " + std::to_string(value) : "") + ")";
    };
    const Rule& r = puzzle.rules[m.row];
    std::vector<std::string> boxes;
    if (m.categoryA) boxes.push_back(box("gauche", BoxNumber(BoxRole::CategoryA, m.row), r.categoryA));
    if (m.categoryB) boxes.push_back(box("droite", BoxNumber(BoxRole::CategoryB, m.row), r.categoryB));
    const bool both = boxes.size() > 1;
    return (both ? boxes[0] + " et " + boxes[1] : boxes[0]) + (both ? " ne désignent" : " ne désigne") +
           " aucune des six catégories";
}

void ConflictLines(const Explanation& e, const Puzzle& puzzle, std::vector<std::string>& lines) {
    if (e.rows.size() == 1) {
        lines.push_back("Aucune solution : cette condition ne peut être satisfaite.");
    } else {
        lines.push_back("Aucune solution : ces " + std::to_string(e.rows.size()) + " lignes" +
                        " ne peuvent être satisfaites ensemble, mais sans l'une quelconque d'entre elles les "
                        "autres le peuvent.");
    }
    for (int k : e.rows) lines.push_back(RowLine(puzzle, k));
    if (e.smallest && e.rows.size() > 1) lines.push_back("Aucun conflit ne compte moins de lignes.");
    switch (e.others) {
    case OtherConflicts::None: lines.push_back("C'est le seul conflit entre les conditions."); break;
    case OtherConflicts::Sharing:
        lines.push_back("D'autres conflits existent, qui reprennent une partie de ces lignes.");
        break;
    case OtherConflicts::Disjoint:
        lines.push_back("D'autres conflits existent : sans ces lignes, les autres conditions n'ont pas non plus "
                        "de solution.");
        break;
    }
    if (e.malformed.row != 0) {
        lines.push_back("La ligne " + std::to_string(e.malformed.row) + " porte aussi une erreur : " +
                        WrongBoxes(puzzle, e.malformed) + " (« " + std::string(e.malformed.errorText) +
                        " ») ; la recherche ne l'atteint pas tant que les conditions au-dessus n'ont pas de solution.");
    }
}

std::string_view KindName(ExplanationKind kind) {
    switch (kind) {
    case ExplanationKind::Conflict: return "conflict";
    case ExplanationKind::OpenCells: return "open-cells";
    case ExplanationKind::Redundant: return "redundant";
    case ExplanationKind::RuleError: return "rule-error";
    case ExplanationKind::Nothing: return "nothing";
    }
    return ""; // unreachable: every kind is named above
}

std::string_view OthersName(OtherConflicts others) {
    switch (others) {
    case OtherConflicts::None: return "none";
    case OtherConflicts::Sharing: return "sharing";
    case OtherConflicts::Disjoint: return "disjoint";
    }
    return ""; // unreachable: every value is named above
}

} // namespace

std::vector<std::string> OpenCellLines(const PartnerTable& partners, const Puzzle& puzzle) {
    std::vector<std::string> lines;
    for (int c1 = 1; c1 < kCategories; ++c1)
        for (int c2 = c1 + 1; c2 <= kCategories; ++c2) {
            std::vector<std::string> items;
            for (int a = 1; a <= kChoices; ++a) {
                const std::uint8_t mask = partners.at(c1, a, c2);
                if (std::popcount(mask) < 2) continue;
                std::vector<std::string> names;
                for (int b = 1; b <= kChoices; ++b)
                    if (mask >> (b - 1) & 1u) names.push_back(ChoiceName(puzzle, c2, b));
                items.push_back(ChoiceName(puzzle, c1, a) + " (" + Alternatives(names) + ")");
            }
            if (items.empty()) continue;
            std::string line = CategoryName(puzzle, c1) + " / " + CategoryName(puzzle, c2) + " : ";
            for (std::size_t i = 0; i < items.size(); ++i) line += (i > 0 ? ", " : "") + items[i];
            lines.push_back(line);
        }
    return lines;
}

void WriteOpenCells(JsonWriter& json, const PartnerTable& partners) {
    json.open('[');
    for (int c1 = 1; c1 < kCategories; ++c1)
        for (int c2 = c1 + 1; c2 <= kCategories; ++c2) {
            bool opened = false;
            for (int a = 1; a <= kChoices; ++a) {
                const std::uint8_t mask = partners.at(c1, a, c2);
                if (std::popcount(mask) < 2) continue;
                if (!opened) json.open('{').key("categoryA").value(c1).key("categoryB").value(c2).key("items").open('[');
                opened = true;
                json.open('{').key("choice").value(a).key("partners").open('[');
                for (int b = 1; b <= kChoices; ++b)
                    if (mask >> (b - 1) & 1u) json.value(b);
                json.close(']').close('}');
            }
            if (opened) json.close(']').close('}');
        }
    json.close(']');
}

void WriteMalformedRow(JsonWriter& json, const MalformedRow& m, const Puzzle& puzzle) {
    json.open('{').key("row").value(m.row).key("text").value(RowText(puzzle, m.row));
    json.key("boxes").open('[');
    if (m.categoryA) json.value(BoxNumber(BoxRole::CategoryA, m.row));
    if (m.categoryB) json.value(BoxNumber(BoxRole::CategoryB, m.row));
    json.close(']').key("error").value(m.errorText).key("reached").value(m.reached).close('}');
}

std::vector<std::string> MalformedRowLines(const MalformedRow& m, const Puzzle& puzzle) {
    return {"« " + std::string(m.errorText) + " » à la ligne " + std::to_string(m.row) + " : " + WrongBoxes(puzzle, m) + ".",
            RowLine(puzzle, m.row)};
}

std::vector<std::string> ExplanationLines(const Explanation& e, const Puzzle& puzzle) {
    std::vector<std::string> lines;
    switch (e.kind) {
    case ExplanationKind::Conflict: ConflictLines(e, puzzle, lines); break;
    case ExplanationKind::OpenCells:
        lines.push_back("Plusieurs solutions : ces choix ont plus d'un partenaire possible d'une solution à "
                        "l'autre, une condition manque pour les fixer.");
        for (std::string& line : OpenCellLines(e.partners, puzzle)) lines.push_back(std::move(line));
        break;
    case ExplanationKind::Redundant:
        lines.push_back("Solution unique : " + std::string(e.rows.size() > 1 ? "chacune de ces lignes peut" : "cette ligne peut") +
                        " être retirée seule sans que la solution cesse d'être unique.");
        for (int k : e.rows) lines.push_back(RowLine(puzzle, k));
        break;
    case ExplanationKind::RuleError: lines = MalformedRowLines(e.malformed, puzzle); break;
    case ExplanationKind::Nothing:
        lines.push_back("Solution unique : chaque condition est nécessaire, sans l'une quelconque d'entre elles "
                        "il y aurait plusieurs solutions.");
        break;
    }
    return lines;
}

std::string ExplanationJson(const Explanation& e, const Puzzle& puzzle) {
    JsonWriter json;
    json.open('{').key("kind").value(KindName(e.kind)).key("rows").open('[');
    for (int k : e.rows) json.open('{').key("row").value(k).key("text").value(RowText(puzzle, k)).close('}');
    json.close(']');
    if (e.kind == ExplanationKind::Conflict)
        json.key("smallest").value(e.smallest).key("otherConflicts").value(OthersName(e.others));
    if (e.kind == ExplanationKind::OpenCells) WriteOpenCells(json.key("openCells"), e.partners);
    if (e.malformed.row != 0) WriteMalformedRow(json.key("malformedRow"), e.malformed, puzzle);
    return json.close('}').take();
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
