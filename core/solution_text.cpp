#include "core/solution_text.h"

namespace korvane {

namespace {

// Characters, not bytes: names are UTF-8 and every character of the program's code page is one
// character on screen.
std::size_t CharacterCount(std::string_view text) {
    std::size_t n = 0;
    for (unsigned char c : text)
        if ((c & 0xC0u) != 0x80u) ++n;
    return n;
}

std::string Padded(const std::string& name) {
    const std::size_t characters = CharacterCount(name), spaces = characters < kNamePadding ? kNamePadding - characters : 0;
    std::string padded;
    padded.reserve(name.size() + spaces); // one allocation per name: every solve pads all thirty
    padded.append(name).append(spaces, ' ');
    return padded;
}

} // namespace

std::string SolutionLine(const Permutation& permutation, const std::array<std::string, kChoices>& names) {
    std::string line;
    line.reserve(5 * (kNamePadding + 1));
    for (std::size_t s = 0; s < kChoices; ++s) {
        if (s > 0) line += '\t';
        line += Padded(names[permutation[s]]);
    }
    return line;
}

SolutionWriter::SolutionWriter(const ChoiceNames& names) {
    for (std::size_t c = 0; c < kCategories; ++c)
        for (std::size_t k = 0; k < kChoices; ++k) padded_[c][k] = Padded(names[c][k]);
}

std::string VerdictText(std::uint64_t count) {
    if (count == 1) return "Solution unique trouvée : FÉLICITATIONS";
    return "Nombre de solutions trouvées : " + std::to_string(count);
}

ChoiceNames ChoiceNamesOf(const Puzzle& puzzle) {
    ChoiceNames names;
    for (int c = 1; c <= kCategories; ++c)
        for (int k = 1; k <= kChoices; ++k)
            names[static_cast<std::size_t>(c - 1)][static_cast<std::size_t>(k - 1)] = puzzle.name(k, c);
    return names;
}

} // namespace korvane
