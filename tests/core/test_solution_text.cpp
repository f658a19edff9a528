// Solution lines as the window lists them, and the verdict.
#include <gtest/gtest.h>

#include <vector>

#include "core/plan.h"
#include "core/solution_text.h"

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

TEST(VerdictText, UniqueOrCount) {
    EXPECT_EQ(VerdictText(1), "Solution unique trouvée : FÉLICITATIONS");
    EXPECT_EQ(VerdictText(0), "Nombre de solutions trouvées : 0");
    EXPECT_EQ(VerdictText(24'883'200'000ull), "Nombre de solutions trouvées : 24883200000");
}

} // namespace
} // namespace korvane
