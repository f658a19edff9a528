// The scale of difficulty of a puzzle, read from its deduction trace alone: how many moves of each kind
// the person solving needs, not only the hardest. The hardest move alone cannot tell puzzles of sixteen rows
// apart at either end: nearly all of them need positional reasoning (so none would be "Facile" but those
// without a positional row), and none measured needs the search engine's last resort (so none would be
// "Très difficile").
#pragma once

#include <optional>
#include <string_view>

#include "reasoning/deduce.h"

namespace korvane {

enum class Grade : std::uint8_t {
    Easy = 1,     // "Facile": no supposition, at most kEasyPositionSteps positional steps
    Medium = 2,   // "Moyen": no supposition, more positional steps than that
    Hard = 3,     // "Difficile": one what-if
    VeryHard = 4, // "Très difficile": kVeryHardWhatIfs what-ifs or more, or a deep what-if
};
inline constexpr int kGrades = 4;

// The most `position` steps a "Facile" trace may hold, and the fewest `what-if` steps of a "Très
// difficile" one.
inline constexpr int kEasyPositionSteps = 4;
inline constexpr int kVeryHardWhatIfs = 2;

// The grade of a trace, whatever its outcome (a trace that stops on a malformed row has no steps and is
// "Facile"; korvane-solve shows no grade for it).
Grade GradeOf(const Trace& trace);

// "Facile", "Moyen", "Difficile", "Très difficile".
std::string_view GradeName(Grade grade);

// The grade a command line names: one of the four texts, letter case ignored, "e" accepted for "è".
std::optional<Grade> GradeNamed(std::string_view text);

} // namespace korvane
