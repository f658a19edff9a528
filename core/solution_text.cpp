#include "core/solution_text.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

namespace korvane {

namespace {

// Characters, not bytes: names are UTF-8 and every character of the program's code page is one
// character on screen. A character's bytes after its first are 10xxxxxx; they are counted eight at a
// time, as every solve pads all thirty names.
std::size_t CharacterCount(std::string_view text) {
    constexpr std::uint64_t kHigh = 0x8080808080808080ull;
    std::size_t continuation = 0, at = 0;
    for (; at + 8 <= text.size(); at += 8) {
        std::uint64_t word;
        std::memcpy(&word, text.data() + at, 8);
        continuation += static_cast<std::size_t>(std::popcount(word & ~(word << 1) & kHigh));
    }
    for (; at < text.size(); ++at) continuation += (static_cast<unsigned char>(text[at]) & 0xC0u) == 0x80u;
    return text.size() - continuation;
}

std::size_t SpacesAfter(std::string_view name) {
    const std::size_t characters = CharacterCount(name);
    return characters < kNamePadding ? kNamePadding - characters : 0;
}

} // namespace

std::string SolutionLine(const Permutation& permutation, const std::array<std::string, kChoices>& names) {
    std::string line;
    line.reserve(5 * (kNamePadding + 1));
    for (std::size_t s = 0; s < kChoices; ++s) {
        if (s > 0) line += '\t';
        const std::string& name = names[permutation[s]];
        line.append(name).append(SpacesAfter(name), ' ');
    }
    return line;
}

template <class NameOf>
void SolutionWriter::layOut(NameOf&& nameOf) {
    // Laid out first, then copied into a buffer of spaces that has the line's room at its end (and a chunk
    // more, see write()): one allocation, no growing.
    std::size_t n = 0, size = 0, longest = 0;
    for (int c = 1; c <= kCategories; ++c) {
        const std::size_t lineStart = size;
        for (int k = 1; k <= kChoices; ++k) {
            const std::string_view name = nameOf(c, k);
            start_[n++] = size;
            size += name.size() + SpacesAfter(name);
        }
        longest = std::max(longest, size - lineStart + kChoices - 1);
    }
    start_[n] = size;
    text_.assign(size + longest + kChunk, ' ');
    n = 0;
    for (int c = 1; c <= kCategories; ++c)
        for (int k = 1; k <= kChoices; ++k) {
            const std::string_view name = nameOf(c, k);
            name.copy(text_.data() + start_[n++], name.size());
        }
}

SolutionWriter::SolutionWriter(const ChoiceNames& names) {
    layOut([&](int c, int k) -> std::string_view {
        return names[static_cast<std::size_t>(c - 1)][static_cast<std::size_t>(k - 1)];
    });
}

SolutionWriter::SolutionWriter(const Puzzle& puzzle) {
    layOut([&](int c, int k) -> std::string_view { return puzzle.name(k, c); });
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
