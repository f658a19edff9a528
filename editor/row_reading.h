// What the sixteen condition rows state, read from what the window shows and nothing else: the grid's
// names and the texts of the 112 boxes. The rule table the search and the save use is this reading, so
// that no sequence of edits can leave a row solving something other than what it shows; a row whose
// boxes show something it cannot state is told apart, with the box and the reason.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "boxes/boxes.h"
#include "core/model.h"

namespace korvane {

enum class RowStatus : std::uint8_t {
    Empty,      // its five main boxes are empty: the row says nothing
    Stated,     // every box it needs names what it must, once: the search reads what it shows
    Incomplete, // a main box is empty: the search leaves the row out
    Faulty,     // a box it needs shows a text that names nothing, or names two things, or is empty
};

struct BoxNote {
    BoxRole role;
    std::string why; // French, for the box's tooltip
    friend bool operator==(const BoxNote&, const BoxNote&) = default;
};

struct RowReading {
    RowStatus status = RowStatus::Empty;
    std::vector<BoxNote> notes; // the boxes to mark, left to right
};

struct RowsReading {
    // Field by field, the value each box's text names (0 for none): what a save writes.
    RuleTable values;
    // What the search reads: `values` tidied as before every search, so that a row with an empty main box
    // states no condition.
    RuleTable stated;
    std::array<RowReading, kRules> rows; // rows 1..16 at 0..15

    const RowReading& row(int k) const { return rows[static_cast<std::size_t>(k - 1)]; }
};

// Reads `screen.names` and `screen.boxTexts`; `screen.rules` plays no part.
RowsReading ReadRows(const Puzzle& screen);

// A row that takes no part in what the search finds, or takes part otherwise than it shows, with the
// reason in a line "Ligne k : …".
struct IdleRow {
    enum class Kind : std::uint8_t {
        LeftOut, // the search does not read it: a main box is empty or its relation names none
        Inert,   // the search reads it, but every matching satisfies it
        Faulty,  // a box it needs shows what it cannot state (marked in the window)
    };
    int row = 0;
    Kind kind = Kind::LeftOut;
    std::string line;
};

// The idle rows of `reading`, in row order, one each (left out before inert before faulty).
// `screen` gives the names and texts the lines quote.
std::vector<IdleRow> IdleRows(const RowsReading& reading, const Puzzle& screen);

// The short notice the window shows under its verdict, e.g. "Laissée de côté : ligne 15. Sans effet :
// lignes 3 et 10."; empty when no row is idle.
std::string IdleRowsNotice(const std::vector<IdleRow>& idle);

} // namespace korvane
