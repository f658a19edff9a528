// Solution lines as the window lists them, and the verdict.
#include <gtest/gtest.h>

#include <vector>

#include "engine/plan.h"
#include "texts/solution_text.h"

namespace korvane {
namespace {

ChoiceNames Numbered() {
    ChoiceNames names;
    for (int c = 0; c < kCategories; ++c)
        for (int k = 0; k < kChoices; ++k)
            names[static_cast<std::size_t>(c)][static_cast<std::size_t>(k)] = std::to_string(k + 1);
    return names;
}

TEST(SolutionLine, CategoryOneListsChoiceFiveFirstPaddedToFifteen) {
    const auto names = Numbered()[0];
    EXPECT_EQ(SolutionLine(PermutationTable()[0], names),
              "5              \t4              \t3              \t2              \t1              ");
}

TEST(SolutionLine, LongNamesWholeAndPaddingCountsCharactersNotBytes) {
    std::array<std::string, kChoices> names{"Vingt caractères ici", "Thé", "", "Crêpe brûlée", "x"};
    // Row 119 holds choice s + 1 in slot s.
    const std::string line = SolutionLine(PermutationTable()[119], names);
    EXPECT_EQ(line, "Vingt caractères ici\tThé            \t               \tCrêpe brûlée   \tx              ");
}

TEST(SolutionWriter, DashLineBetweenSolutionsOnly) {
    SolutionWriter writer(Numbered());
    std::vector<std::string> lines;
    auto append = [&](std::string_view l) { lines.emplace_back(l); };
    writer.write(ToAssignment({0, 0, 0, 0, 0}), append);
    ASSERT_EQ(lines.size(), 6u);
    writer.write(ToAssignment({0, 0, 0, 0, 1}), append);
    ASSERT_EQ(lines.size(), 13u);
    EXPECT_EQ(lines[6], std::string(142, '-'));
    EXPECT_EQ(lines[12].substr(0, 1), "4"); // category 6 on row 1: choice 4 in slot 0
}

// Names of every length around the padding and the eight-byte steps the counting takes, some longer than
// the chunks the writer copies by, with two-byte characters placed across those steps: each line is the
// five names padded to fifteen characters (counted here one byte at a time), whichever way the writer is
// given the names.
TEST(SolutionWriter, PadsByCharactersWhateverTheLengthAndWhereverTheAccents) {
    Puzzle puzzle;
    ChoiceNames names;
    for (int c = 1; c <= kCategories; ++c)
        for (int k = 1; k <= kChoices; ++k) {
            const int n = (c - 1) * kChoices + k - 1; // 0..29
            std::string name(static_cast<std::size_t>(n % 19 + (n % 7 == 3 ? 40 : 0)), 'a');
            if (n % 3 == 1) name.insert(static_cast<std::size_t>(n % 9) < name.size() ? static_cast<std::size_t>(n % 9) : 0, "é");
            if (n % 4 == 2) name += "ûü";
            puzzle.name(k, c) = names[static_cast<std::size_t>(c - 1)][static_cast<std::size_t>(k - 1)] = name;
        }
    auto padded = [](const std::string& name) {
        std::size_t characters = 0;
        for (unsigned char byte : name) characters += (byte & 0xC0u) != 0x80u;
        return name + std::string(characters < 15 ? 15 - characters : 0, ' ');
    };
    const Assignment a = ToAssignment({7, 31, 64, 90, 119});
    std::vector<std::string> fromNames, fromPuzzle;
    SolutionWriter(names).write(a, [&](std::string_view line) { fromNames.emplace_back(line); });
    SolutionWriter(puzzle).write(a, [&](std::string_view line) { fromPuzzle.emplace_back(line); });
    ASSERT_EQ(fromNames.size(), 6u);
    EXPECT_EQ(fromNames, fromPuzzle);
    for (int c = 1; c <= kCategories; ++c) {
        std::string expected;
        for (std::size_t s = 0; s < kChoices; ++s)
            expected += (s > 0 ? "\t" : "") + padded(names[static_cast<std::size_t>(c - 1)][a.permutation(c)[s]]);
        EXPECT_EQ(fromNames[static_cast<std::size_t>(c - 1)], expected) << "category " << c;
    }
}

// Every length up to a little past sixteen bytes, which short names are read in, with a two-byte and a
// three-byte character at every place, across the joins of those reads: the padding counts characters.
TEST(SolutionLine, PadsByCharactersWithTheAccentAtEveryPlace) {
    for (const std::string accent : {"é", "€"})
        for (std::size_t length = accent.size(); length <= 19; ++length)
            for (std::size_t at = 0; at + accent.size() <= length; ++at) {
                std::string name(length - accent.size(), 'a');
                name.insert(at, accent);
                const std::size_t characters = length - accent.size() + 1;
                std::array<std::string, kChoices> names{name, "", "", "", ""};
                const std::string line = SolutionLine(PermutationTable()[119], names); // choice 1 first
                EXPECT_EQ(line.substr(0, line.find('\t')), name + std::string(characters < 15 ? 15 - characters : 0, ' '))
                    << length << " bytes, accent at " << at;
            }
}

TEST(VerdictText, UniqueOrCount) {
    EXPECT_EQ(VerdictText(1), "Solution unique trouvée : FÉLICITATIONS");
    EXPECT_EQ(VerdictText(0), "Nombre de solutions trouvées : 0");
    EXPECT_EQ(VerdictText(24'883'200'000ull), "Nombre de solutions trouvées : 24883200000");
}

} // namespace
} // namespace korvane
