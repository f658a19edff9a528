// The decisions behind the sixteen condition rows, made from the grid's names and the texts the boxes
// show: the entries a box offers, the value a typed text or a pick stores, which extra boxes a relation
// shows, the order in which clearing empties a row, and why a box's text does not state what the row
// solves. The window only shows the outcome, so a row cannot solve something other than what it shows.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "boxes/boxes.h"
#include "core/model.h"

namespace korvane {

// One entry of a box's list: the text shown, and the value that choosing it stores.
struct Entry {
    std::string text;
    std::int32_t value = 0;

    friend bool operator==(const Entry&, const Entry&) = default;
};
using Entries = std::vector<Entry>;

// The category names of the grid that are not empty, top to bottom, each storing its grid row.
Entries CategoryEntries(const Puzzle& screen);

// The choice names, not empty, of the first grid row whose category name is `category` exactly (letter
// case and accents included), each storing its grid column; none when no row bears that name. An empty
// `category` finds the first row without a name.
Entries ChoiceEntries(const Puzzle& screen, std::string_view category);

// The list box n (1..112) offers with the grid as it is now: the grid's names for category and choice
// boxes (a choice box's from the text of the category box on its left), for the others their fixed list:
// the ten relations, "1".."4" crans, "1".."6" order categories, each storing its position + 1.
Entries EntriesOf(const Puzzle& screen, int n);

// The entry a text typed into a box selects: the first whose text begins with it, letter case ignored
// (completion); none for an empty text. After a deletion completion would put back what the user just
// deleted, so only an entry the text shows exactly is selected.
std::optional<std::size_t> TypedEntry(const Entries& entries, std::string_view typed, bool deleting);

// The entry whose text is `text` exactly.
std::optional<std::size_t> EntryShown(const Entries& entries, std::string_view text);

// The value box n's text stores with the grid as it is now: that of the one entry it shows, 0 when it
// shows none, or a name that two entries bear (two categories, or two choices of one category, named
// alike: which one the user means is not known).
std::int32_t ValueOfText(const Puzzle& screen, int n);

// The choice box whose list follows category box n: changing what n shows changes what it names.
constexpr int ChoiceBoxOf(int n) {
    const BoxPlace place = PlaceOf(n);
    return BoxNumber(place.role == BoxRole::CategoryA ? BoxRole::ChoiceA : BoxRole::ChoiceB, place.row);
}

// Which extra boxes of its row a relation value shows: the steps box for the relations measured in
// steps, the order box for those that depend on positions. None for a value that leaves them as they
// are (0 and values outside 1..10).
struct ExtraBoxes {
    bool steps = false;
    bool order = false;

    friend bool operator==(ExtraBoxes, ExtraBoxes) = default;
};
std::optional<ExtraBoxes> ExtraBoxesFor(std::int32_t relation);

// The order in which clearing a row empties its boxes; its rule then becomes all zeros and its extra
// boxes are hidden, whatever it showed.
inline constexpr std::array<BoxRole, kBoxRoles> kClearOrder{BoxRole::CategoryA, BoxRole::ChoiceA, BoxRole::Relation,
                                                           BoxRole::CategoryB, BoxRole::ChoiceB, BoxRole::Steps,
                                                           BoxRole::Order};

// Why box n does not state what its row needs of it, in French, for the user; empty when it does. A
// text must be exactly one entry of the list the box offers now. An empty main box is left to the
// tidying before a search; an empty steps or order box is a problem when the relation its row shows is
// measured in steps or along an order. Steps and order boxes whose relation does not use them are not
// read, and have none.
std::string BoxProblem(const Puzzle& screen, int n);

// Renaming grid cell [column, row] (column 0: a category) to `name`: the boxes that showed the old name,
// meaning that cell, and are to show `name` now, so that they go on meaning it. None when `name` is
// empty or already names another cell of its kind (another category, or another choice of the same
// category): such rows keep the old text and are marked, rather than changed behind the user's back.
std::vector<int> BoxesFollowingRename(const Puzzle& before, int column, int row, const std::string& name);

// The cell renamed and the boxes that follow it, as above.
void RenameCell(Puzzle& screen, int column, int row, const std::string& name);

} // namespace korvane
