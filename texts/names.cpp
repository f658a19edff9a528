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

std::string Listed(const std::vector<std::string>& parts, std::string_view last) {
    std::string text;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) text += i + 1 == parts.size() ? last : ", ";
        text += parts[i];
    }
    return text;
}

std::string NumberList(const std::vector<int>& numbers) {
    std::vector<std::string> parts;
    for (int n : numbers) parts.push_back(std::to_string(n));
    return Listed(parts);
}

} // namespace korvane
