#include "texts/solution_text.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <type_traits>

namespace korvane {

namespace {

// The bytes of a name of 1..16 bytes as two words, the first byte lowest, zeros past the end: read in
// at most four loads that stay within the name, overlapping where it is not a multiple of their size.
struct ShortText {
    std::uint64_t low = 0, high = 0;
};
ShortText WordsOf(const char* p, std::size_t size) {
    auto load = [p]<class Word>(Word, std::size_t at) {
        Word w;
        std::memcpy(&w, p + at, sizeof w);
        return static_cast<std::uint64_t>(w);
    };
    // The second load's bytes that the first one read are shifted out, below.
    if (size > 8) return {load(std::uint64_t{}, 0), load(std::uint64_t{}, size - 8) >> (8 * (16 - size))};
    if (size >= 4) return {load(std::uint32_t{}, 0) | load(std::uint32_t{}, size - 4) >> (8 * (8 - size)) << 32, 0};
    if (size >= 2) return {load(std::uint16_t{}, 0) | load(std::uint16_t{}, size - 2) >> (8 * (4 - size)) << 16, 0};
    return {size != 0 ? static_cast<std::uint64_t>(static_cast<unsigned char>(p[0])) : 0u, 0};
}

// Characters, not bytes: names are UTF-8 and every character of the program's code page is one
// character on screen. A character's bytes after its first are 10xxxxxx; they are counted eight at a
// time, as every solve pads all thirty names.
std::size_t CharacterCount(std::string_view text) {
    constexpr std::uint64_t kHigh = 0x8080808080808080ull;
    auto continuations = [](std::uint64_t word) {
        return static_cast<std::size_t>(std::popcount(word & ~(word << 1) & kHigh));
    };
    if constexpr (std::endian::native == std::endian::little) {
        if (text.size() <= 16) { // most names: no loop
            const ShortText words = WordsOf(text.data(), text.size());
            return text.size() - continuations(words.low) - continuations(words.high);
        }
    }
    std::size_t continuation = 0, at = 0;
    for (; at + 8 <= text.size(); at += 8) {
        std::uint64_t word;
        std::memcpy(&word, text.data() + at, 8);
        continuation += continuations(word);
    }
    for (; at < text.size(); ++at) continuation += (static_cast<unsigned char>(text[at]) & 0xC0u) == 0x80u;
    return text.size() - continuation;
}

// Copies a name as memcpy would, with the few loads and stores of a short one inline: each solve
// copies all thirty names.
void CopyName(char* to, std::string_view name) {
    const char* from = name.data();
    const std::size_t size = name.size();
    auto copy = [&]<std::size_t kBytes>(std::integral_constant<std::size_t, kBytes>) {
        std::memcpy(to, from, kBytes);
        std::memcpy(to + size - kBytes, from + size - kBytes, kBytes);
    };
    if (size > 16) std::memcpy(to, from, size);
    else if (size >= 8) copy(std::integral_constant<std::size_t, 8>{});
    else if (size >= 4) copy(std::integral_constant<std::size_t, 4>{});
    else if (size >= 2) copy(std::integral_constant<std::size_t, 2>{});
    else if (size == 1) to[0] = from[0];
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
            CopyName(text_.data() + start_[n++], name);
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

} // namespace korvane
