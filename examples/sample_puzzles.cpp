#include "examples/sample_puzzles.h"

#include "boxes/boxes.h"
#include "core/relations.h"

namespace korvane::samples {

Puzzle MakePuzzle(const Grid& grid, const std::vector<Clue>& clues) {
    Puzzle p;
    for (int c = 1; c <= kCategories; ++c) {
        p.name(0, c) = grid.categories[static_cast<std::size_t>(c - 1)];
        for (int k = 1; k <= kChoices; ++k)
            p.name(k, c) = grid.choices[static_cast<std::size_t>(c - 1)][static_cast<std::size_t>(k - 1)];
    }
    int row = 0;
    for (const Clue& clue : clues) {
        ++row;
        const RelationInfo& info = *FindRelation(static_cast<std::int32_t>(clue.relation));
        Rule& r = p.rules[row];
        r = Rule{clue.categoryA, clue.choiceA, static_cast<std::int32_t>(clue.relation), clue.categoryB,
                 clue.choiceB, clue.steps, clue.order};
        auto box = [&](BoxRole role) -> std::string& {
            return p.boxTexts[static_cast<std::size_t>(BoxNumber(role, row) - 1)];
        };
        box(BoxRole::CategoryA) = p.name(0, clue.categoryA);
        box(BoxRole::ChoiceA) = p.name(clue.choiceA, clue.categoryA);
        box(BoxRole::Relation) = std::string(info.listText);
        box(BoxRole::CategoryB) = p.name(0, clue.categoryB);
        box(BoxRole::ChoiceB) = p.name(clue.choiceB, clue.categoryB);
        if (clue.steps != 0) box(BoxRole::Steps) = std::to_string(clue.steps);
        if (clue.order != 0) box(BoxRole::Order) = std::to_string(clue.order);
    }
    return p;
}

Puzzle MoveCategories(const Puzzle& puzzle, const std::array<int, kCategories>& order) {
    auto moved = [&](std::int32_t c) { return IsCategory(c) ? order[static_cast<std::size_t>(c - 1)] : c; };
    Puzzle p = puzzle;
    for (int c = 1; c <= kCategories; ++c)
        for (int column = 0; column <= kChoices; ++column) p.name(column, moved(c)) = puzzle.name(column, c);
    for (int k = 1; k <= kRules; ++k) {
        Rule& r = p.rules[k];
        r.categoryA = moved(r.categoryA);
        r.categoryB = moved(r.categoryB);
        if (r.orderCategory != 0) {
            r.orderCategory = moved(r.orderCategory);
            p.boxTexts[static_cast<std::size_t>(BoxNumber(BoxRole::Order, k) - 1)] = std::to_string(r.orderCategory);
        }
    }
    return p;
}

Puzzle Zebra() {
    const Grid grid{
        {"Maison", "Nation", "Couleur", "Animal", "Boisson", "Cigarette"},
        {{{"1", "2", "3", "4", "5"},
          {"Anglais", "Espagnol", "Ukrainien", "Norvégien", "Japonais"},
          {"Rouge", "Verte", "Ivoire", "Jaune", "Bleue"},
          {"Chien", "Escargots", "Renard", "Cheval", "Zèbre"},
          {"Café", "Thé", "Lait", "Jus d'orange", "Eau"},
          {"Old Gold", "Kools", "Chesterfield", "Lucky Strike", "Parliament"}}}};
    using enum RelationKind;
    return MakePuzzle(grid, {
                                {2, 1, Corresponds, 3, 1},           // the Englishman lives in the red house
                                {2, 2, Corresponds, 4, 1},           // the Spaniard owns the dog
                                {5, 1, Corresponds, 3, 2},           // coffee is drunk in the green house
                                {2, 3, Corresponds, 5, 2},           // the Ukrainian drinks tea
                                {3, 2, RightNeighbour, 3, 3, 1, 1},  // green is just right of ivory
                                {6, 1, Corresponds, 4, 2},           // the Old Gold smoker owns snails
                                {6, 2, Corresponds, 3, 4},           // Kools in the yellow house
                                {5, 3, Corresponds, 1, 3},           // milk in the middle house
                                {2, 4, Corresponds, 1, 1},           // the Norwegian in the first house
                                {6, 3, Contiguous, 4, 3, 1, 1},      // Chesterfield next to the fox
                                {6, 2, Contiguous, 4, 4, 1, 1},      // Kools next to the horse
                                {6, 4, Corresponds, 5, 4},           // Lucky Strike with orange juice
                                {2, 5, Corresponds, 6, 5},           // the Japanese smokes Parliament
                                {2, 4, Contiguous, 3, 5, 1, 1},      // the Norwegian next to the blue house
                            });
}

Puzzle Seating() {
    const Grid grid{{"Chaise", "Invité", "Plat", "Vin", "Dessert", "Métier"},
                    {{{"A", "B", "C", "D", "E"},
                      {"Alice", "Bruno", "Chloé", "Denis", "Emma"},
                      {"Soupe", "Poisson", "Gratin", "Salade", "Ragoût"},
                      {"Bordeaux", "Chablis", "Sancerre", "Cahors", "Muscat"},
                      {"Tarte", "Flan", "Sorbet", "Crêpe", "Mousse"},
                      {"Juge", "Pilote", "Luthier", "Notaire", "Peintre"}}}};
    using enum RelationKind;
    return MakePuzzle(grid, {
                                {4, 2, Corresponds, 6, 2},
                                {2, 2, RightNeighbour, 2, 1, 1, 1},
                                {2, 3, RightOf, 2, 2, 0, 1},
                                {2, 5, Corresponds, 1, 5},
                                {3, 1, Corresponds, 2, 3},
                                {3, 2, Contiguous, 3, 1, 1, 1},
                                {3, 3, Corresponds, 1, 5},
                                {4, 1, Corresponds, 3, 2},
                                {4, 2, LeftNeighbour, 4, 3, 2, 1},
                                {4, 4, Corresponds, 2, 2},
                                {5, 1, Corresponds, 4, 3},
                                {5, 2, NotContiguous, 5, 1, 1, 1},
                                {5, 3, Corresponds, 2, 4},
                                {6, 1, Corresponds, 5, 5},
                                {6, 2, LeftOf, 6, 1, 0, 1},
                                {6, 3, Corresponds, 3, 5},
                            });
}

Puzzle Relay() {
    const Grid grid{{"Équipe", "Ville", "Maillot", "Coureur", "Relais", "Temps"},
                    {{{"Aigles", "Loups", "Ours", "Lynx", "Faucons"},
                      {"Lyon", "Brest", "Metz", "Nice", "Caen"},
                      {"Rouge", "Bleu", "Vert", "Blanc", "Noir"},
                      {"Paul", "Marc", "Léa", "Inès", "Hugo"},
                      {"1er", "2e", "3e", "4e", "5e"},
                      {"48 s", "49 s", "50 s", "51 s", "52 s"}}}};
    using enum RelationKind;
    return MakePuzzle(grid, {
                                {2, 1, Corresponds, 1, 2},
                                {3, 4, Corresponds, 2, 3},
                                {4, 2, Corresponds, 3, 1},
                                {6, 1, Corresponds, 5, 3},   // the 48 s leg is the third
                                {6, 5, RightOf, 6, 4, 0, 5}, // 52 s runs after 51 s
                                {6, 4, RightOf, 6, 3, 0, 5},
                                {6, 3, RightOf, 6, 2, 0, 5},
                                {6, 2, RightOf, 6, 1, 0, 5}, // so 48 s must run first: contradiction
                            });
}

} // namespace korvane::samples
