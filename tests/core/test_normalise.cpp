// The tidying of the rule table before a search.
#include <gtest/gtest.h>

#include "editor/normalise.h"

namespace korvane {
namespace {

struct Row {
    RuleTable rules;
    std::array<std::string, kBoxes> texts;
    Row() {
        for (int k = 1; k <= kRules; ++k) rules[k] = Rule{1, 2, 2, 3, 4, 2, 5};
        texts.fill("x");
    }
    void clear(int box) { texts[static_cast<std::size_t>(box - 1)].clear(); }
};

struct Case {
    const char* name;
    std::vector<int> emptyBoxesOfRow3; // 1..5 main boxes, 6 steps, 7 order
    Rule expected;
    friend void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }
};

class ClearEmptyRuleFieldsTest : public ::testing::TestWithParam<Case> {};

TEST_P(ClearEmptyRuleFieldsTest, Row3) {
    Row r;
    const int boxes[] = {11, 12, 13, 14, 15, 83, 99}; // row 3's boxes in field order, then steps and order
    for (int b : GetParam().emptyBoxesOfRow3) r.clear(boxes[b - 1]);
    ClearEmptyRuleFields(r.rules, r.texts);
    EXPECT_EQ(r.rules[3], GetParam().expected);
    EXPECT_EQ(r.rules[2], (Rule{1, 2, 2, 3, 4, 2, 5})) << "other rows untouched";
    const RuleTable once = r.rules;
    ClearEmptyRuleFields(r.rules, r.texts);
    EXPECT_EQ(r.rules, once) << "a second run changes nothing";
}

INSTANTIATE_TEST_SUITE_P(
    EmptyBoxes, ClearEmptyRuleFieldsTest,
    ::testing::Values(Case{"AllFilledKeepEverything", {}, {1, 2, 2, 3, 4, 2, 5}},
                      Case{"EmptyChoiceBDropsChoiceAndRelation", {5}, {1, 2, 0, 3, 0, 2, 5}},
                      Case{"EmptyRelationDropsOnlyTheRelation", {3}, {1, 2, 0, 3, 4, 2, 5}},
                      Case{"EmptyCategoryADropsItsChoiceToo", {1}, {0, 0, 0, 3, 4, 2, 5}},
                      Case{"EmptyCategoryBDropsItsChoiceToo", {4}, {1, 2, 0, 0, 0, 2, 5}},
                      Case{"EmptyStepsKeepsTheRelation", {6}, {1, 2, 2, 3, 4, 0, 5}},
                      Case{"EmptyOrderKeepsTheRelation", {7}, {1, 2, 2, 3, 4, 2, 0}},
                      Case{"EverythingEmpty", {1, 2, 3, 4, 5, 6, 7}, {0, 0, 0, 0, 0, 0, 0}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ClearEmptyRuleFields, BlankTextIsNotEmpty) {
    Row r;
    r.texts[10] = " ";
    ClearEmptyRuleFields(r.rules, r.texts);
    EXPECT_EQ(r.rules[3], (Rule{1, 2, 2, 3, 4, 2, 5}));
}

} // namespace
} // namespace korvane
