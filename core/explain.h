// Explaining the outcome of a solve: the conditions at fault when nothing solves the puzzle, the items
// left open when several matchings do, the conditions that could go when exactly one does, and the row
// and box that stop a solve with its error message. Every claim is backed by a solve made for it.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/model.h"

namespace korvane {

enum class ExplanationKind : std::uint8_t {
    Conflict,  // no solution: `rows` admit none together, and any one removed leaves a solution
    OpenCells, // several solutions: `partners` shows which items are not pinned down
    Redundant, // one solution: each of `rows`, removed alone, leaves it the only one
    RuleError, // the search reaches a malformed condition and stops with its error message
    Nothing,   // one solution, and every condition is needed for it to be the only one
};

// Besides the conflict shown, as established by solving the other rows.
enum class OtherConflicts : std::uint8_t {
    None,     // every conflict holds all the rows shown: it is the only one
    Sharing,  // another conflict leaves out at least one of the rows shown
    Disjoint, // the stated rows outside those shown admit no solution either
};

// For each pair of categories, which choices can share a slot: bit (b - 1) of at(c1, a, c2) is set when
// item (c1, a) and item (c2, b) share a slot in at least one solution.
class PartnerTable {
public:
    std::uint8_t at(int category1, int choice, int category2) const { return masks_[index(category1, choice, category2)]; }
    std::uint8_t& at(int category1, int choice, int category2) { return masks_[index(category1, choice, category2)]; }

    friend bool operator==(const PartnerTable&, const PartnerTable&) = default;

private:
    static std::size_t index(int c1, int choice, int c2) {
        return static_cast<std::size_t>(((c1 - 1) * kCategories + (c2 - 1)) * kChoices + (choice - 1));
    }
    std::array<std::uint8_t, kCategories * kCategories * kChoices> masks_{};
};

// A stated condition with a category outside 1..6, the first in row order.
struct MalformedRow {
    int row = 0;                // 1..16; 0 when every stated condition is well formed
    bool categoryA = false;     // the category box of item A names no category
    bool categoryB = false;     // the category box of item B names no category
    std::string_view errorText; // "Erreur 201" .. "Erreur 210"
    bool reached = false;       // the search reaches it and stops there
};

struct Explanation {
    ExplanationKind kind = ExplanationKind::Nothing;
    std::vector<int> rows;       // Conflict: the conflicting rows; Redundant: the redundant rows; ascending
    bool smallest = false;       // Conflict: no conflict has fewer rows
    OtherConflicts others = OtherConflicts::None; // Conflict
    PartnerTable partners;       // OpenCells: the partners seen across all solutions
    MalformedRow malformed;      // RuleError; also set beside a Conflict that keeps the search from it
};

// Explains what a search of `rules` finds. `rules` must be tidied as for a search (empty boxes cleared),
// so that it holds the conditions the search reads. Takes a few milliseconds.
Explanation Explain(const RuleTable& rules);

// Condition row `row` as the user typed it: "Nation Anglais — Correspond à — Couleur Rouge", with the
// steps and the order category where the row's relation uses them.
std::string RowText(const Puzzle& puzzle, int row);

// The explanation in French, one text per line, rows shown with RowText().
std::vector<std::string> ExplanationLines(const Explanation& explanation, const Puzzle& puzzle);

// The explanation as one JSON object (UTF-8, no line breaks).
std::string ExplanationJson(const Explanation& explanation, const Puzzle& puzzle);

// The names as the grid shows them, or "Catégorie c" / "Choix k" for an empty cell.
std::string CategoryName(const Puzzle& puzzle, int category);
std::string ChoiceName(const Puzzle& puzzle, int category, int choice);

// The items with more than one partner, one line per pair of categories:
// "Chaise / Métier : C (Notaire ou Peintre), D (Notaire ou Peintre)".
std::vector<std::string> OpenCellLines(const PartnerTable& partners, const Puzzle& puzzle);

class JsonWriter;
// The same items as a JSON array of {"categoryA", "categoryB", "items": [{"choice", "partners"}]}.
void WriteOpenCells(JsonWriter& json, const PartnerTable& partners);
// The malformed row as a JSON object {"row", "text", "boxes", "error", "reached"}.
void WriteMalformedRow(JsonWriter& json, const MalformedRow& malformed, const Puzzle& puzzle);

} // namespace korvane
