#include "gecode_model.h"

#include <gecode/int.hh>
#include <gecode/minimodel.hh>
#include <gecode/search.hh>

#include "core/relations.h"

namespace korvane::bench {

namespace {

using namespace Gecode;

class Matching : public Space {
public:
    explicit Matching(const RuleTable& rules) : slot_(*this, 30, 0, 4), at_(*this, 30, 0, 4) {
        for (int c = 0; c < kCategories; ++c) channel(*this, slots(c), ats(c));
        for (int s = 0; s < kChoices; ++s) rel(*this, at_[s], IRT_EQ, PermutationTable()[0][static_cast<std::size_t>(s)]);
        for (int k = 1; k <= kRules; ++k) {
            const Rule& r = rules[k];
            const RelationInfo* info = FindRelation(r.relation);
            if (!info) continue;
            IntVar a = slot_[(r.categoryA - 1) * 5 + r.choiceA - 1], b = slot_[(r.categoryB - 1) * 5 + r.choiceB - 1];
            if (info->kind == RelationKind::Corresponds) {
                rel(*this, a, IRT_EQ, b);
            } else if (info->kind == RelationKind::NotCorresponds) {
                rel(*this, a, IRT_NQ, b);
            } else {
                IntVar rankA(*this, 0, 4), rankB(*this, 0, 4), d(*this, -4, 4);
                element(*this, ats(r.orderCategory - 1), a, rankA);
                element(*this, ats(r.orderCategory - 1), b, rankB);
                rel(*this, d == rankA - rankB);
                IntArgs accepted;
                const std::uint16_t set = AcceptedDifferences(info->kind, EffectiveSteps(r.steps));
                for (int v = -4; v <= 4; ++v)
                    if (Accepts(set, v)) accepted << v;
                dom(*this, d, IntSet(accepted));
            }
        }
        branch(*this, slot_, INT_VAR_SIZE_MIN(), INT_VAL_MIN());
    }
    Matching(Matching& other) : Space(other) {
        slot_.update(*this, other.slot_);
        at_.update(*this, other.at_);
    }
    Space* copy() override { return new Matching(*this); }

private:
    IntVarArgs slots(int c) { return IntVarArgs(slot_.slice(c * 5, 1, 5)); }
    IntVarArgs ats(int c) { return IntVarArgs(at_.slice(c * 5, 1, 5)); }

    IntVarArray slot_; // [category * 5 + choice]: the slot of that choice (0-based)
    IntVarArray at_;   // [category * 5 + slot]: the choice there, which is the slot's rank in that order
};

} // namespace

bool ModelFits(const RuleTable& rules) {
    for (int k = 1; k <= kRules; ++k) {
        const Rule& r = rules[k];
        const RelationInfo* info = FindRelation(r.relation);
        if (!info) continue;
        if (!IsCategory(r.categoryA) || !IsCategory(r.categoryB) || !IsChoice(r.choiceA) || !IsChoice(r.choiceB))
            return false;
        if (info->usesOrder && !IsCategory(r.orderCategory)) return false;
    }
    return true;
}

std::uint64_t GecodeCount(const RuleTable& rules) {
    Matching* root = new Matching(rules);
    DFS<Matching> search(root);
    delete root;
    std::uint64_t count = 0;
    while (Matching* s = search.next()) {
        ++count;
        delete s;
    }
    return count;
}

} // namespace korvane::bench
