#include "texts/names.h"

#include "boxes/boxes.h"
#include "core/relations.h"

namespace korvane {

namespace {

// A box's text, or a mark that it shows nothing.
std::string Shown(const std::string& text) { return text.empty() ? "(vide)" : text; }

} // namespace

std::string CategoryName(const Puzzle& puzzle, int category) {
    const std::string& name = puzzle.name(0, category);
    return name.empty() ? "Catégorie " + std::to_string(category) : name;
}

std::string ChoiceName(const Puzzle& puzzle, int category, int choice) {
    const std::string& name = puzzle.name(choice, category);
    return name.empty() ? "Choix " + std::to_string(choice) : name;
}

std::string RowText(const Puzzle& puzzle, int row) {
    auto box = [&](BoxRole role) { return Shown(BoxText(puzzle, BoxNumber(role, row))); };
    std::string text = box(BoxRole::CategoryA) + " " + box(BoxRole::ChoiceA) + " — " + box(BoxRole::Relation);
    if (const RelationInfo* info = FindRelation(puzzle.rules[row].relation)) {
        if (info->usesSteps && info->usesOrder)
            text += " (crans : " + box(BoxRole::Steps) + ", catégorie d'ordre : " + box(BoxRole::Order) + ")";
        else if (info->usesOrder)
            text += " (catégorie d'ordre : " + box(BoxRole::Order) + ")";
    }
    return text + " — " + box(BoxRole::CategoryB) + " " + box(BoxRole::ChoiceB);
}

} // namespace korvane
