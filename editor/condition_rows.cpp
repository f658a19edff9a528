#include "editor/condition_rows.h"

#include <algorithm>

#include "core/relations.h"

namespace korvane {

namespace {

// The next code point of UTF-8 text at `i`, advancing `i`; a byte that starts no valid sequence stands
// for itself, so that any bytes compare consistently.
char32_t NextCodePoint(std::string_view text, std::size_t& i) {
    const auto byte = [&](std::size_t at) { return static_cast<unsigned char>(text[at]); };
    const unsigned char lead = byte(i);
    const int length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
    if (length <= 1 || i + static_cast<std::size_t>(length) > text.size()) return ++i, lead;
    char32_t code = lead & (0x7F >> length);
    for (int k = 1; k < length; ++k) {
        const unsigned char next = byte(i + static_cast<std::size_t>(k));
        if ((next >> 6) != 0x2) return ++i, lead;
        code = (code << 6) | (next & 0x3F);
    }
    i += static_cast<std::size_t>(length);
    return code;
}

// The lower-case letter of `c` for the scripts the grid's names are written in (Latin with its accented
// letters, Greek, Cyrillic); other characters stand for themselves.
char32_t LowerCase(char32_t c) {
    if ((c >= U'A' && c <= U'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return c + 0x20;
    if (c >= 0x100 && c <= 0x17F) {
        if (c == 0x178) return 0xFF; // Ÿ
        const bool evenUpper = (c <= 0x137) || (c >= 0x14A && c <= 0x177);
        const bool oddUpper = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
        if ((evenUpper && c % 2 == 0) || (oddUpper && c % 2 == 1)) return c + 1;
        return c;
    }
    if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) return c + 0x20;
    if (c >= 0x410 && c <= 0x42F) return c + 0x20;
    if (c >= 0x400 && c <= 0x40F) return c + 0x50;
    return c;
}

// Whether `text` begins with `start`, letter case ignored.
bool BeginsWithIgnoringCase(std::string_view text, std::string_view start) {
    std::size_t i = 0, j = 0;
    while (j < start.size()) {
        if (i >= text.size()) return false;
        if (LowerCase(NextCodePoint(text, i)) != LowerCase(NextCodePoint(start, j))) return false;
    }
    return true;
}

Entries NumberEntries(int last) {
    Entries entries;
    for (int i = 1; i <= last; ++i) entries.push_back({std::to_string(i), i});
    return entries;
}

const Entries& FixedEntries(BoxRole role) {
    static const Entries relations = [] {
        Entries entries;
        for (const RelationInfo& info : Relations())
            entries.push_back({std::string(info.listText), static_cast<std::int32_t>(info.kind)});
        return entries;
    }();
    static const Entries steps = NumberEntries(4);
    static const Entries orders = NumberEntries(kCategories);
    return role == BoxRole::Relation ? relations : role == BoxRole::Steps ? steps : orders;
}

// "« text »", the way the program quotes what the user typed.
std::string Quoted(std::string_view text) { return "« " + std::string(text) + " »"; }

// How many entries bear `text`.
std::size_t Bearers(const Entries& entries, std::string_view text) {
    return static_cast<std::size_t>(std::count_if(entries.begin(), entries.end(), [&](const Entry& e) { return e.text == text; }));
}

std::string NotAnEntry(const Puzzle& screen, int n) {
    const BoxPlace place = PlaceOf(n);
    const std::string text = Quoted(BoxText(screen, n));
    switch (place.role) {
    case BoxRole::CategoryA:
    case BoxRole::CategoryB:
        return text + " n'est le nom d'aucune catégorie de la grille : cette case ne désigne aucune catégorie.";
    case BoxRole::ChoiceA:
    case BoxRole::ChoiceB: {
        const int categoryBox = BoxNumber(place.role == BoxRole::ChoiceA ? BoxRole::CategoryA : BoxRole::CategoryB,
                                          place.row);
        const std::string& category = BoxText(screen, categoryBox);
        if (category.empty())
            return text + " ne désigne aucun choix : la case de catégorie à sa gauche est vide.";
        if (!EntryShown(CategoryEntries(screen), category))
            return text + " ne désigne aucun choix : la case de catégorie à sa gauche ne désigne aucune catégorie "
                          "de la grille.";
        return text + " n'est pas un choix de la catégorie " + Quoted(category) + " dans la grille.";
    }
    case BoxRole::Relation: return text + " n'est aucune des dix relations de la liste.";
    case BoxRole::Steps: return text + " n'est pas un nombre de crans : choisissez 1, 2, 3 ou 4.";
    case BoxRole::Order: return text + " n'est pas un numéro de catégorie : choisissez un nombre de 1 à 6.";
    }
    return {}; // unreachable: every role is handled above
}

} // namespace

Entries CategoryEntries(const Puzzle& screen) {
    Entries entries;
    for (int r = 1; r <= kCategories; ++r)
        if (!screen.name(0, r).empty()) entries.push_back({screen.name(0, r), r});
    return entries;
}

Entries ChoiceEntries(const Puzzle& screen, std::string_view category) {
    Entries entries;
    for (int r = 1; r <= kCategories; ++r) {
        if (screen.name(0, r) != category) continue;
        for (int c = 1; c <= kChoices; ++c)
            if (!screen.name(c, r).empty()) entries.push_back({screen.name(c, r), c});
        break;
    }
    return entries;
}

Entries EntriesOf(const Puzzle& screen, int n) {
    const BoxPlace place = PlaceOf(n);
    switch (place.role) {
    case BoxRole::CategoryA:
    case BoxRole::CategoryB: return CategoryEntries(screen);
    case BoxRole::ChoiceA: return ChoiceEntries(screen, BoxText(screen, BoxNumber(BoxRole::CategoryA, place.row)));
    case BoxRole::ChoiceB: return ChoiceEntries(screen, BoxText(screen, BoxNumber(BoxRole::CategoryB, place.row)));
    case BoxRole::Steps:
    case BoxRole::Relation:
    case BoxRole::Order: return FixedEntries(place.role);
    }
    return {}; // unreachable: every role is handled above
}

std::optional<std::size_t> TypedEntry(const Entries& entries, std::string_view typed, bool deleting) {
    if (deleting) return EntryShown(entries, typed);
    if (typed.empty()) return std::nullopt;
    const auto match = std::find_if(entries.begin(), entries.end(),
                                    [&](const Entry& e) { return BeginsWithIgnoringCase(e.text, typed); });
    if (match == entries.end()) return std::nullopt;
    return static_cast<std::size_t>(match - entries.begin());
}

std::optional<std::size_t> EntryShown(const Entries& entries, std::string_view text) {
    const auto match = std::find_if(entries.begin(), entries.end(), [&](const Entry& e) { return e.text == text; });
    if (match == entries.end()) return std::nullopt;
    return static_cast<std::size_t>(match - entries.begin());
}

std::int32_t ValueOfText(const Puzzle& screen, int n) {
    const Entries entries = EntriesOf(screen, n);
    const std::string& text = BoxText(screen, n);
    const auto shown = EntryShown(entries, text);
    if (!shown || Bearers(entries, text) > 1) return 0;
    return entries[*shown].value;
}

std::optional<ExtraBoxes> ExtraBoxesFor(std::int32_t relation) {
    const RelationInfo* info = FindRelation(relation);
    if (!info) return std::nullopt;
    return ExtraBoxes{info->usesSteps, info->usesOrder};
}

std::string BoxProblem(const Puzzle& screen, int n) {
    const BoxPlace place = PlaceOf(n);
    const bool extra = place.role == BoxRole::Steps || place.role == BoxRole::Order;
    const RelationInfo* relation = FindRelation(ValueOfText(screen, BoxNumber(BoxRole::Relation, place.row)));
    // An extra box its row's relation does not read is hidden; what it shows changes nothing. With no
    // relation named, the boxes stay as the last relation left them, so they are still checked.
    const bool read = !extra || !relation ||
                      (place.role == BoxRole::Steps ? relation->usesSteps : relation->usesOrder);
    if (!read) return {};
    const std::string& text = BoxText(screen, n);
    if (text.empty()) {
        if (!extra || !relation) return {};
        const std::string named = "« " + std::string(relation->listText) + " »";
        if (place.role == BoxRole::Steps)
            return "Case vide : choisissez le nombre de crans (1 à 4) ; tant qu'elle est vide, " + named +
                   " compte 1 cran.";
        return "Case vide : choisissez le numéro de la catégorie dont l'ordre compte (1 à 6) ; sans lui, " + named +
               " ne compare aucune position.";
    }
    const Entries entries = EntriesOf(screen, n);
    if (!EntryShown(entries, text)) return NotAnEntry(screen, n);
    if (Bearers(entries, text) > 1) {
        if (IsCategoryRole(place.role))
            return Quoted(text) + " est le nom de plusieurs catégories de la grille : donnez-leur des noms différents.";
        const int categoryBox = BoxNumber(place.role == BoxRole::ChoiceA ? BoxRole::CategoryA : BoxRole::CategoryB,
                                          place.row);
        return Quoted(text) + " est le nom de plusieurs choix de la catégorie " + Quoted(BoxText(screen, categoryBox)) +
               " dans la grille : donnez-leur des noms différents.";
    }
    return {};
}

std::vector<int> BoxesFollowingRename(const Puzzle& before, int column, int row, const std::string& name) {
    const std::string& old = before.name(column, row);
    if (old.empty() || name.empty() || old == name) return {};
    // A name that another cell of its kind bears already would mean two things.
    if (column == 0) {
        for (int r = 1; r <= kCategories; ++r)
            if (r != row && before.name(0, r) == name) return {};
    } else {
        for (int c = 1; c <= kChoices; ++c)
            if (c != column && before.name(c, row) == name) return {};
    }
    std::vector<int> boxes;
    for (int k = 1; k <= kRules; ++k)
        for (const BoxRole side : {BoxRole::CategoryA, BoxRole::CategoryB}) {
            const int categoryBox = BoxNumber(side, k);
            const int choiceBox = ChoiceBoxOf(categoryBox);
            if (column == 0) {
                if (ValueOfText(before, categoryBox) == row) boxes.push_back(categoryBox);
                continue;
            }
            // The choice box names a choice of the first grid row that bears its category box's name.
            int listed = 1;
            while (listed <= kCategories && before.name(0, listed) != BoxText(before, categoryBox)) ++listed;
            if (listed == row && ValueOfText(before, choiceBox) == column) boxes.push_back(choiceBox);
        }
    return boxes;
}

void RenameCell(Puzzle& screen, int column, int row, const std::string& name) {
    const std::vector<int> boxes = BoxesFollowingRename(screen, column, row, name);
    screen.name(column, row) = name;
    for (const int n : boxes) screen.boxTexts[static_cast<std::size_t>(n - 1)] = name;
}

} // namespace korvane
