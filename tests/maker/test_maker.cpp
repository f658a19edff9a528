// The puzzle maker against what it promises, over seeds and grades: one solution (the search's count, the
// solution checked row by row by the plain evaluator), every row needed (without each, two different
// matchings of the other rows, both checked), the grade asked, rows that read as a published puzzle's,
// the same bytes for the same seed, and a file that loads back equal, whose boxes read back the values
// written. Then the grading scale on hand-made traces, the grade names, the themes and grids, and the
// safe writing of files.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

#include "core/check.h"
#include "reasoning/deduce.h"
#include "core/relations.h"
#include "engine/search.h"
#include "editor/row_reading.h"
#include "examples/sample_puzzles.h"
#include "files/puzzle_format.h"
#include "reasoning/grade.h"
#include "maker/puzzle_maker.h"
#include "maker/themes.h"
#include "maker/write_file.h"

namespace korvane {
namespace {

constexpr Grade kAllGrades[] = {Grade::Easy, Grade::Medium, Grade::Hard, Grade::VeryHard};

std::string Name(Grade grade) { return std::string(GradeName(grade)); }

} // namespace

// Test names and messages show a grade by its text.
void PrintTo(Grade grade, std::ostream* out) { *out << GradeName(grade); }

namespace {

// Keeps the first `limit` solutions the search lists.
class Listing final : public SearchObserver {
public:
    void solutionFound(const Assignment& a, std::uint64_t) override { solutions.push_back(a); }
    std::vector<Assignment> solutions;
};

std::vector<Assignment> FirstSolutions(const RuleTable& rules, std::uint64_t limit) {
    Listing listing;
    Search(rules, listing, {.listLimit = limit});
    return listing.solutions;
}

int RowCount(const RuleTable& rules) {
    int rows = 0;
    while (rows < kRules && rules[rows + 1].relation != 0) ++rows;
    return rows;
}

bool IsPositional(std::int32_t relation) {
    return relation != static_cast<std::int32_t>(RelationKind::Corresponds) &&
           relation != static_cast<std::int32_t>(RelationKind::NotCorresponds);
}

// The rows of `rules` hold on `a`, by the plain evaluator.
bool Satisfies(const RuleTable& rules, const Assignment& a) { return CheckAssignment(rules, a).verdict == Verdict::Holds; }

std::string BoxText(const Puzzle& p, BoxRole role, int k) { return p.boxTexts[static_cast<std::size_t>(BoxNumber(role, k) - 1)]; }

// Everything the maker promises of one puzzle of `grade` on `grid`, made from `seed`.
void CheckMade(const maker::MadePuzzle& made, const maker::Grid& grid, Grade grade, std::uint64_t seed) {
    const Puzzle& p = made.puzzle;
    const RuleTable& rules = p.rules;
    const int rows = RowCount(rules);
    ASSERT_GE(rows, 1);
    ASSERT_LE(rows, kRules);
    EXPECT_EQ(made.grade, grade);
    EXPECT_GE(made.tries, made.graded);
    EXPECT_GE(made.graded, 1);
    EXPECT_EQ(p.names, grid.names);

    // The rows: each well formed and about two different items, no two about the same items, positional
    // ones along the order category with 1 or 2 steps, and all three kinds of row.
    std::set<std::pair<std::pair<int, int>, std::pair<int, int>>> pairs;
    std::array<int, 3> kinds{};
    for (int k = 1; k <= kRules; ++k) {
        SCOPED_TRACE("row " + std::to_string(k));
        const Rule& r = rules[k];
        if (k > rows) {
            EXPECT_EQ(r, Rule{});
            continue;
        }
        ASSERT_TRUE(IsRelation(r.relation));
        ASSERT_TRUE(IsCategory(r.categoryA) && IsCategory(r.categoryB));
        ASSERT_TRUE(IsChoice(r.choiceA) && IsChoice(r.choiceB));
        const std::pair a{r.categoryA, r.choiceA}, b{r.categoryB, r.choiceB};
        EXPECT_NE(a, b);
        EXPECT_TRUE(pairs.insert(std::minmax(a, b)).second) << "two rows about the same items";
        const RelationInfo& info = *FindRelation(r.relation);
        EXPECT_EQ(r.steps, info.usesSteps ? r.steps : 0);
        if (info.usesSteps) {
            EXPECT_TRUE(r.steps == 1 || r.steps == 2);
        }
        EXPECT_EQ(r.orderCategory, info.usesOrder ? grid.order : 0);
        EXPECT_NE(r.categoryA, grid.order) << "a place reads last";
        if (!IsPositional(r.relation)) {
            EXPECT_NE(r.categoryA, r.categoryB);
        }
        ++kinds[r.relation == 1 ? 0 : r.relation == 5 ? 1 : 2];
    }
    EXPECT_GT(kinds[0], 0);
    EXPECT_GT(kinds[1], 0);
    EXPECT_GT(kinds[2], 0);

    // The box texts are the lists' texts, and nothing else is shown.
    for (int k = 1; k <= kRules; ++k) {
        const Rule& r = rules[k];
        const RelationInfo* info = FindRelation(r.relation);
        EXPECT_EQ(BoxText(p, BoxRole::CategoryA, k), info ? grid.name(0, r.categoryA) : "");
        EXPECT_EQ(BoxText(p, BoxRole::ChoiceA, k), info ? grid.name(r.choiceA, r.categoryA) : "");
        EXPECT_EQ(BoxText(p, BoxRole::Relation, k), info ? std::string(info->listText) : "");
        EXPECT_EQ(BoxText(p, BoxRole::CategoryB, k), info ? grid.name(0, r.categoryB) : "");
        EXPECT_EQ(BoxText(p, BoxRole::ChoiceB, k), info ? grid.name(r.choiceB, r.categoryB) : "");
        EXPECT_EQ(BoxText(p, BoxRole::Steps, k), info && info->usesSteps ? std::to_string(r.steps) : "");
        EXPECT_EQ(BoxText(p, BoxRole::Order, k), info && info->usesOrder ? std::to_string(r.orderCategory) : "");
    }

    // The file: the same bytes from the same seed, and read back, the same puzzle, whose boxes name the
    // values written and state them all.
    const auto bytes = RenderPuzzle(p);
    ASSERT_TRUE(std::holds_alternative<std::string>(bytes));
    const auto again = maker::MakeGradedPuzzle(grid, grade, seed);
    ASSERT_TRUE(again);
    EXPECT_EQ(std::get<std::string>(RenderPuzzle(again->puzzle)), std::get<std::string>(bytes));
    const auto parsed = ParsePuzzle(std::get<std::string>(bytes));
    ASSERT_TRUE(std::holds_alternative<Puzzle>(parsed));
    EXPECT_EQ(std::get<Puzzle>(parsed), p);
    const RowsReading reading = ReadRows(std::get<Puzzle>(parsed));
    EXPECT_EQ(reading.values, rules);
    EXPECT_EQ(reading.stated, rules);
    for (int k = 1; k <= kRules; ++k) {
        EXPECT_EQ(reading.row(k).status, k <= rows ? RowStatus::Stated : RowStatus::Empty) << "row " << k;
        EXPECT_TRUE(reading.row(k).notes.empty()) << "row " << k;
    }

    // One solution, which every row holds on.
    EXPECT_EQ(CountSolutions(rules).count, 1u);
    const std::vector<Assignment> only = FirstSolutions(rules, 2);
    ASSERT_EQ(only.size(), 1u);
    EXPECT_TRUE(Satisfies(rules, only[0]));
    // Every row needed: without it, two different matchings of the others.
    for (int k = 1; k <= rows; ++k) {
        RuleTable fewer = rules;
        fewer[k] = Rule{};
        const std::vector<Assignment> two = FirstSolutions(fewer, 2);
        ASSERT_EQ(two.size(), 2u) << "row " << k << " is not needed";
        EXPECT_NE(two[0].row, two[1].row);
        EXPECT_TRUE(Satisfies(fewer, two[0]) && Satisfies(fewer, two[1]));
    }

    // The grade asked, on the whole solve.
    const Trace trace = Deduce(reading.stated);
    EXPECT_EQ(trace.outcome, TraceOutcome::Solved);
    EXPECT_EQ(GradeOf(trace), grade);
}

class MadeEachGrade : public ::testing::TestWithParam<Grade> {};

TEST_P(MadeEachGrade, KeepsEveryPromiseOverSeeds) {
    const Grade grade = GetParam();
    std::set<std::string> files;
    std::set<std::string> themes;
    for (std::uint64_t seed = 1; seed <= KORVANE_MAKER_SEEDS; ++seed) {
        SCOPED_TRACE(Name(grade) + ", replay with: korvane-make --grade \"" + Name(grade) + "\" --seed " + std::to_string(seed));
        const maker::Theme& theme = maker::ThemeFor(seed);
        const maker::Grid grid = maker::GridOf(theme);
        const auto made = maker::MakeGradedPuzzle(grade, seed);
        ASSERT_TRUE(made);
        CheckMade(*made, grid, grade, seed);
        files.insert(std::get<std::string>(RenderPuzzle(made->puzzle)));
        themes.insert(std::string(theme.title));
    }
    EXPECT_EQ(files.size(), static_cast<std::size_t>(KORVANE_MAKER_SEEDS)) << "two seeds gave the same puzzle";
}

INSTANTIATE_TEST_SUITE_P(Grades, MadeEachGrade, ::testing::ValuesIn(kAllGrades),
                         [](const auto& info) { return "Grade" + std::to_string(static_cast<int>(info.param)); });

// A grid taken from a file: its names, and its positional rows along its own order category.
TEST(MadeOnAGrid, TakesTheNamesAndTheOrderCategory) {
    struct Row {
        const char* name;
        Puzzle puzzle;
        int order;
    };
    const Row rows[] = {
        {"zebra", samples::Zebra(), 1},
        {"zebra-house-last", samples::MoveCategories(samples::Zebra(), {6, 1, 2, 3, 4, 5}), 6},
        {"relay", samples::Relay(), 5},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const maker::Grid grid = maker::GridOf(row.puzzle);
        EXPECT_EQ(grid.names, row.puzzle.names);
        EXPECT_EQ(grid.order, row.order);
        const auto made = maker::MakeGradedPuzzle(grid, Grade::Medium, 3);
        ASSERT_TRUE(made);
        CheckMade(*made, grid, Grade::Medium, 3);
    }
}

TEST(MadeOnAGrid, SeedsPickEveryTheme) {
    std::set<std::string_view> picked;
    for (std::uint64_t seed = 1; seed <= 20; ++seed) picked.insert(maker::ThemeFor(seed).title);
    EXPECT_EQ(picked.size(), maker::Themes().size());
    EXPECT_EQ(&maker::ThemeFor(7), &maker::ThemeFor(7));
}

// The draws behind a seed's puzzle: what korvane-make users get from a seed must change knowingly.
TEST(Draws, ASeedGivesWhatItAlwaysHas) {
    maker::Draws draws(1);
    std::vector<int> first;
    for (int i = 0; i < 8; ++i) first.push_back(draws.below(120));
    EXPECT_EQ(first, (std::vector<int>{8, 102, 90, 6, 24, 9, 68, 105}));
    maker::Draws weights(2);
    for (int i = 0; i < 200; ++i) {
        const int n = weights.below(7);
        EXPECT_TRUE(n >= 0 && n < 7);
        EXPECT_NE(weights.weighted(std::array{0, 3, 0, 1}) % 2, 0);
    }
}

// The grade of hand-made traces: the kinds of steps counted, nothing else.
TEST(MakerGrade, CountsPositionsAndSuppositions) {
    const auto trace = [](std::initializer_list<std::pair<Technique, int>> steps) {
        Trace t;
        for (const auto& [technique, n] : steps)
            for (int i = 0; i < n; ++i) {
                Step step;
                step.technique = technique;
                t.steps.push_back(step);
                t.hardest = std::max(t.hardest, technique);
            }
        return t;
    };
    using enum Technique;
    struct Row {
        const char* name;
        Trace trace;
        Grade grade;
    };
    const Row rows[] = {
        {"no steps", trace({}), Grade::Easy},
        {"correspondences and grid", trace({{Direct, 12}, {Grid, 9}, {ThreeCategories, 7}}), Grade::Easy},
        {"four positions", trace({{Direct, 10}, {Position, kEasyPositionSteps}}), Grade::Easy},
        {"five positions", trace({{Direct, 10}, {Position, kEasyPositionSteps + 1}}), Grade::Medium},
        {"many positions", trace({{Position, 30}, {Grid, 20}}), Grade::Medium},
        {"one what-if", trace({{Position, 1}, {WhatIf, 1}}), Grade::Hard},
        {"one what-if among many positions", trace({{Position, 25}, {WhatIf, 1}}), Grade::Hard},
        {"two what-ifs", trace({{Direct, 3}, {WhatIf, kVeryHardWhatIfs}}), Grade::VeryHard},
        {"a deep what-if", trace({{Direct, 3}, {DeepWhatIf, 1}}), Grade::VeryHard},
    };
    for (const Row& row : rows) EXPECT_EQ(GradeOf(row.trace), row.grade) << row.name;

    // The sample puzzles: the houses and the relay take positions but no supposition, the seating
    // (with its two solutions) three what-ifs.
    EXPECT_EQ(GradeOf(Deduce(samples::Zebra().rules)), Grade::Medium);
    EXPECT_EQ(GradeOf(Deduce(samples::Relay().rules)), Grade::Medium);
    EXPECT_EQ(GradeOf(Deduce(samples::Seating().rules)), Grade::VeryHard);
}

TEST(GradeNamed, TheFourTextsLetterCaseAndAccentAside) {
    for (const Grade grade : kAllGrades) EXPECT_EQ(GradeNamed(GradeName(grade)), grade);
    EXPECT_EQ(GradeNamed("facile"), Grade::Easy);
    EXPECT_EQ(GradeNamed("MOYEN"), Grade::Medium);
    EXPECT_EQ(GradeNamed("tres difficile"), Grade::VeryHard);
    EXPECT_EQ(GradeNamed("TRÈS DIFFICILE"), Grade::VeryHard);
    for (const char* unknown : {"", "Facil", "Moyenne", "Très  difficile", "Trés difficile", " Moyen", "Extrême", "4"})
        EXPECT_EQ(GradeNamed(unknown), std::nullopt) << unknown;
}

TEST(Themes, AreGridsTheFileCarries) {
    for (const maker::Theme& theme : maker::Themes()) {
        SCOPED_TRACE(std::string(theme.title));
        const maker::Grid grid = maker::GridOf(theme);
        EXPECT_EQ(maker::GridProblem(grid), std::nullopt);
        for (int k = 1; k <= kChoices; ++k) EXPECT_EQ(grid.name(k, grid.order), std::to_string(k));
        Puzzle p;
        p.names = grid.names;
        EXPECT_TRUE(std::holds_alternative<std::string>(RenderPuzzle(p)));
    }
}

TEST(GridProblem, EmptyOrRepeatedNames) {
    const maker::Grid good = maker::GridOf(maker::Themes()[0]);
    auto with = [&](int column, int row, const std::string& name) {
        maker::Grid g = good;
        g.names[static_cast<std::size_t>(column * 6 + row - 1)] = name;
        return maker::GridProblem(g);
    };
    EXPECT_EQ(with(0, 3, ""), "le nom de la catégorie de la ligne 3 de la grille est vide.");
    EXPECT_EQ(with(0, 5, "Famille"),
              "les lignes 2 et 5 de la grille portent le même nom de catégorie, « Famille ».");
    EXPECT_EQ(with(4, 2, ""), "le choix 4 de la catégorie « Famille » est vide.");
    EXPECT_EQ(with(4, 2, "Martin"), "les choix 1 et 4 de la catégorie « Famille » portent le même nom, « Martin ».");
    // One name in two categories names two different items: the category box tells them apart.
    EXPECT_EQ(with(1, 4, "Rouge"), std::nullopt);
}

TEST(GridOf, OrderCategoryMostUsedByPositionalRows) {
    Puzzle p = samples::Zebra();
    EXPECT_EQ(maker::GridOf(p).order, 1);
    for (int k = 1; k <= kRules; ++k) p.rules[k] = Rule{};
    EXPECT_EQ(maker::GridOf(p).order, 1); // no positional row
    p.rules[1] = {2, 1, static_cast<std::int32_t>(RelationKind::RightOf), 3, 1, 0, 4};
    p.rules[2] = {2, 1, static_cast<std::int32_t>(RelationKind::Contiguous), 3, 2, 1, 3};
    p.rules[3] = {2, 1, static_cast<std::int32_t>(RelationKind::Corresponds), 3, 3, 0, 6}; // no order read
    EXPECT_EQ(maker::GridOf(p).order, 3); // a tie: the lower
    p.rules[4] = {2, 2, static_cast<std::int32_t>(RelationKind::LeftOf), 3, 1, 0, 4};
    EXPECT_EQ(maker::GridOf(p).order, 4);
}

// A folder of its own for the file tests, removed with what it holds.
class Folder {
public:
    Folder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "korvane-maker-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data()) ? pattern : "";
    }
    ~Folder() { std::filesystem::remove_all(path_); }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }
    std::vector<std::string> names() const {
        std::vector<std::string> list;
        for (const auto& entry : std::filesystem::directory_iterator(path_)) list.push_back(entry.path().filename().string());
        std::sort(list.begin(), list.end());
        return list;
    }

private:
    std::string path_;
};

std::string Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

TEST(WriteFileSafely, ReplacesWholeOrNotAtAll) {
    Folder folder;
    const std::string path = folder / "new.e65";
    EXPECT_EQ(maker::WriteFileSafely(path, "first"), std::nullopt);
    EXPECT_EQ(Contents(path), "first");
    // Replacing keeps the file's permissions.
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    EXPECT_EQ(maker::WriteFileSafely(path, std::string(100'000, 'x')), std::nullopt);
    EXPECT_EQ(Contents(path), std::string(100'000, 'x'));
    struct stat status {};
    ASSERT_EQ(::stat(path.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0640u);
    // Through a link, the file it names.
    const std::string link = folder / "link.e65";
    ASSERT_EQ(::symlink(path.c_str(), link.c_str()), 0);
    EXPECT_EQ(maker::WriteFileSafely(link, "linked"), std::nullopt);
    EXPECT_EQ(Contents(path), "linked");
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(folder.names(), (std::vector<std::string>{"link.e65", "new.e65"}));

    // Failures name the file and leave nothing behind.
    EXPECT_EQ(maker::WriteFileSafely(folder / "missing/out.e65", "x"),
              "Impossible d'enregistrer le fichier " + (folder / "missing/out.e65") + " : No such file or directory");
    ASSERT_EQ(::mkdir((folder / "sub").c_str(), 0755), 0);
    EXPECT_EQ(maker::WriteFileSafely(folder / "sub", "x"),
              "Impossible d'enregistrer le fichier " + (folder / "sub") + " : Is a directory");
    EXPECT_EQ(folder.names(), (std::vector<std::string>{"link.e65", "new.e65", "sub"}));
    EXPECT_EQ(Contents(path), "linked");
}

TEST(WriteFileSafely, WritesADeviceInPlace) {
    EXPECT_EQ(maker::WriteFileSafely("/dev/null", "nothing"), std::nullopt);
    struct stat status {};
    ASSERT_EQ(::stat("/dev/null", &status), 0);
    EXPECT_TRUE(S_ISCHR(status.st_mode));
}

} // namespace
} // namespace korvane
