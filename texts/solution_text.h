// The text of a solution as the window lists it, and the verdict line.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "core/model.h"

namespace korvane {

// Names of the choices, [category - 1][choice - 1], UTF-8, taken from the grid at the start of a solve.
using ChoiceNames = std::array<std::array<std::string, kChoices>, kCategories>;

inline constexpr std::size_t kNamePadding = 15;
// The line between two solutions: 142 hyphen-minus characters.
inline constexpr std::string_view kDashLine =
    "----------------------------------------------------------------------------------------------------------"
    "------------------------------------";
static_assert(kDashLine.size() == 142);

// One category's line of a solution: for slots 0..4 the name of the choice there, padded with spaces to
// at least 15 characters, joined by single tabs.
std::string SolutionLine(const Permutation& permutation, const std::array<std::string, kChoices>& names);

// Writes solutions as blocks of six lines with the dash line between consecutive blocks. The thirty
// names are padded once, into one buffer, and each line is built in one buffer that is used again:
// starting a listing costs two allocations, and listing thousands of solutions little more than copying
// their text.
class SolutionWriter {
public:
    explicit SolutionWriter(const ChoiceNames& names);
    // The names of the puzzle's grid (columns 1..5 of rows 1..6), read in place.
    explicit SolutionWriter(const Puzzle& puzzle);

    // Appends the solution's lines through `appendLine(std::string_view)`: the dash line first when one is
    // due, then categories 1..6. The view is valid until the next line is appended.
    template <class AppendLine>
    void write(const Assignment& a, AppendLine&& appendLine) {
        for (int c = 1; c <= kCategories; ++c) {
            // A line holds each name of its category once, so the room after the names always takes it.
            const Permutation& p = a.permutation(c);
            char* const line = text_.data() + start_.back();
            char* out = line;
            for (std::size_t s = 0; s < kChoices; ++s) {
                if (s > 0) *out++ = '\t';
                const std::string_view name = padded(c, p[s]);
                // Copied a chunk at a time, a few bytes too many: what follows the name is written over
                // next, and the buffer has a chunk of room past the line's. Through a local copy, as the
                // chunk read after the last names reaches into the line.
                for (std::size_t done = 0; done < name.size(); done += kChunk) {
                    char chunk[kChunk];
                    std::memcpy(chunk, name.data() + done, kChunk);
                    std::memcpy(out + done, chunk, kChunk);
                }
                out += name.size();
            }
            if (separatorPending_) {
                appendLine(kDashLine);
                separatorPending_ = false;
            }
            appendLine(std::string_view(line, static_cast<std::size_t>(out - line)));
        }
        separatorPending_ = true;
    }

private:
    template <class NameOf>
    void layOut(NameOf&& nameOf);
    // Choice `index` (0..4) of category c, padded as SolutionLine pads it.
    std::string_view padded(int c, std::size_t index) const {
        const std::size_t n = static_cast<std::size_t>(c - 1) * kChoices + index;
        return std::string_view(text_).substr(start_[n], start_[n + 1] - start_[n]);
    }

    static constexpr std::size_t kChunk = 32;
    std::string text_; // the padded names, one after another, then room for the longest line and a chunk
    std::array<std::size_t, kCategories * kChoices + 1> start_{}; // where each name begins, then the end
    bool separatorPending_ = false;
};

// "Solution unique trouvée : FÉLICITATIONS" for exactly one solution, otherwise
// "Nombre de solutions trouvées : " and the count.
std::string VerdictText(std::uint64_t count);

} // namespace korvane
