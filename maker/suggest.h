// Helping to finish a puzzle: the rows that, put in the first empty row, leave it one solution (or the
// fewest), and for a puzzle already unique, the fewest of its rows that keep it so.
#pragma once

#include <cstdint>
#include <stop_token>
#include <vector>

#include "core/model.h"
#include "reasoning/grade.h"

namespace korvane::maker {

struct Suggestion {
    Rule rule;               // the row's seven values, as a save writes them
    std::uint64_t count = 0; // the solutions of the puzzle with this row added
    Grade grade = Grade::Easy; // the grade of the puzzle with this row added
};

struct Completion {
    enum class Kind : std::uint8_t {
        RuleError, // the search stops on a malformed row: nothing can be suggested before it is mended
        None,      // no solution: a row more cannot help, the explanation's conflict is the answer
        Unique,    // one solution: `smallest` holds the rows that keep it so
        Several,   // several: `suggestions`, if there is an empty row to put them in
    };
    Kind kind = Kind::Several;
    std::uint64_t count = 0;  // the puzzle's solutions as it stands
    // The row the suggestions go in: the first whose boxes are all empty; when none is, the first stated row
    // that the others imply (without it the puzzle has the same solutions); when every row counts, the
    // first whose condition, replaced, can leave one solution. 0 when there is none of these.
    enum class Place : std::uint8_t { Empty, Implied, Needed };
    int emptyRow = 0;
    Place place = Place::Empty;
    // Several: up to kSuggestions rows, each leaving fewer solutions than now and at least one. When some
    // leave exactly one, only those, the simplest relation first, then the easiest grade; otherwise the
    // fewest solutions first.
    std::vector<Suggestion> suggestions;
    // Several, past kExactSolutions solutions: the rows were ranked on a sample of the solutions, and only
    // the ones shown were counted (exactly); another row may leave fewer.
    bool sampled = false;
    // Unique: the fewest of the stated rows that keep the solution unique, ascending, and whether no
    // smaller set exists (false when the search for one was cut short).
    std::vector<int> smallest;
    bool smallestProved = true;
};

inline constexpr std::size_t kSuggestions = 10;
inline constexpr std::uint64_t kExactSolutions = 100'000;

// What would complete `screen` (its names and box texts; its `rules` play no part), its rows read as the
// window reads them. The rows considered are those a published puzzle uses: two items that go together or
// not, and the positional relations (steps 1 and 2) along the category the puzzle's rows measure along
// most (category 1 when none does). A stop requested through `stop` ends it early with a completion that
// means nothing: the caller that asked for the stop drops it.
Completion Complete(const Puzzle& screen, std::stop_token stop = {});

// Puts `rule` in row `row` of `puzzle`: its values, and its boxes showing the texts that name them with
// the puzzle's names (the extra boxes its relation does not read empty). A zero rule empties the row.
void SetRow(Puzzle& puzzle, int row, const Rule& rule);
Puzzle WithRow(const Puzzle& screen, int row, const Rule& rule);

} // namespace korvane::maker
