#include "maker/themes.h"

#include "core/relations.h"

namespace korvane::maker {

namespace {

constexpr std::array<Theme, 4> kThemes{{
    {"des maisons dans une rue",
     {"Maison", "Famille", "Façade", "Animal", "Boisson", "Métier"},
     {{{"1", "2", "3", "4", "5"},
       {"Martin", "Bernard", "Dubois", "Lefèvre", "Moreau"},
       {"Rouge", "Bleue", "Verte", "Jaune", "Blanche"},
       {"Chat", "Chien", "Lapin", "Perroquet", "Tortue"},
       {"Café", "Thé", "Lait", "Cidre", "Chocolat"},
       {"Boulanger", "Médecin", "Facteur", "Peintre", "Notaire"}}},
     1},
    {"des invités à un dîner",
     {"Place", "Invité", "Plat", "Vin", "Dessert", "Ville"},
     {{{"1", "2", "3", "4", "5"},
       {"Alice", "Bruno", "Chloé", "Denis", "Emma"},
       {"Soupe", "Poisson", "Gratin", "Salade", "Ragoût"},
       {"Bordeaux", "Chablis", "Sancerre", "Cahors", "Muscat"},
       {"Tarte", "Flan", "Sorbet", "Crêpe", "Mousse"},
       {"Lyon", "Brest", "Metz", "Nice", "Caen"}}},
     1},
    {"une course de relais",
     {"Relais", "Coureur", "Équipe", "Maillot", "Ville", "Temps"},
     {{{"1", "2", "3", "4", "5"},
       {"Paul", "Marc", "Léa", "Inès", "Hugo"},
       {"Aigles", "Loups", "Ours", "Lynx", "Faucons"},
       {"Rouge", "Bleu", "Vert", "Blanc", "Noir"},
       {"Lille", "Rennes", "Dijon", "Pau", "Tours"},
       {"48 s", "49 s", "50 s", "51 s", "52 s"}}},
     1},
    {"les étages d'un immeuble",
     {"Étage", "Locataire", "Instrument", "Voiture", "Plante", "Journal"},
     {{{"1", "2", "3", "4", "5"},
       {"Jeanne", "Louis", "Margot", "Victor", "Zoé"},
       {"Piano", "Violon", "Flûte", "Guitare", "Batterie"},
       {"Clio", "Twingo", "Mégane", "Kangoo", "Scénic"},
       {"Ficus", "Cactus", "Fougère", "Orchidée", "Bambou"},
       {"Le Monde", "Libération", "Le Figaro", "L'Équipe", "Ouest-France"}}},
     1},
}};

std::string& Cell(Grid& grid, int column, int row) { return grid.names[static_cast<std::size_t>(column * 6 + (row - 1))]; }

} // namespace

std::span<const Theme> Themes() { return kThemes; }

Grid GridOf(const Theme& theme) {
    Grid grid;
    for (int c = 1; c <= kCategories; ++c) {
        Cell(grid, 0, c) = theme.categories[static_cast<std::size_t>(c - 1)];
        for (int k = 1; k <= kChoices; ++k)
            Cell(grid, k, c) = theme.choices[static_cast<std::size_t>(c - 1)][static_cast<std::size_t>(k - 1)];
    }
    grid.order = theme.order;
    return grid;
}

Grid GridOf(const Puzzle& puzzle) {
    Grid grid;
    grid.names = puzzle.names;
    std::array<int, kCategories + 1> uses{};
    for (int k = 1; k <= kRules; ++k) {
        const Rule& r = puzzle.rules[k];
        const RelationInfo* info = FindRelation(r.relation);
        if (info && info->usesOrder && IsCategory(r.orderCategory)) ++uses[static_cast<std::size_t>(r.orderCategory)];
    }
    for (int c = 2; c <= kCategories; ++c)
        if (uses[static_cast<std::size_t>(c)] > uses[static_cast<std::size_t>(grid.order)]) grid.order = c;
    return grid;
}

std::optional<std::string> GridProblem(const Grid& grid) {
    const auto quoted = [](const std::string& text) { return "« " + text + " »"; };
    for (int c = 1; c <= kCategories; ++c) {
        const std::string row = "la ligne " + std::to_string(c) + " de la grille";
        if (grid.name(0, c).empty()) return "le nom de la catégorie de " + row + " est vide.";
        for (int other = 1; other < c; ++other)
            if (grid.name(0, other) == grid.name(0, c))
                return "les lignes " + std::to_string(other) + " et " + std::to_string(c) +
                       " de la grille portent le même nom de catégorie, " + quoted(grid.name(0, c)) + ".";
        for (int k = 1; k <= kChoices; ++k) {
            if (grid.name(k, c).empty())
                return "le choix " + std::to_string(k) + " de la catégorie " + quoted(grid.name(0, c)) + " est vide.";
            for (int other = 1; other < k; ++other)
                if (grid.name(other, c) == grid.name(k, c))
                    return "les choix " + std::to_string(other) + " et " + std::to_string(k) + " de la catégorie " +
                           quoted(grid.name(0, c)) + " portent le même nom, " + quoted(grid.name(k, c)) + ".";
        }
    }
    return std::nullopt;
}

} // namespace korvane::maker
