// The explanation window's decisions, kept here so that the command line and the tests share them.
#include "reasoning/report.h"

#include <algorithm>
#include <cstdint>

namespace korvane {

Report MakeReport(const RuleTable& rules) {
    Report report{Explain(rules), {}, {}};
    report.trace = Deduce(rules, report.explanation); // the explanation once, for both
    return report;
}

PartnerTable KnownAfter(const Trace& trace, std::size_t steps) {
    constexpr std::uint8_t kAll = (1u << kChoices) - 1;
    PartnerTable known;
    for (int c1 = 1; c1 <= kCategories; ++c1)
        for (int a = 1; a <= kChoices; ++a)
            for (int c2 = 1; c2 <= kCategories; ++c2)
                known.at(c1, a, c2) = c1 == c2 ? static_cast<std::uint8_t>(1u << (a - 1)) : kAll;
    auto set = [&](Item x, Item y, bool same) {
        std::uint8_t& mask = known.at(x.category, x.choice, y.category);
        const auto bit = static_cast<std::uint8_t>(1u << (y.choice - 1));
        mask = same ? bit : static_cast<std::uint8_t>(mask & ~bit);
    };
    const std::size_t shown = std::min(steps, trace.steps.size());
    for (std::size_t i = 0; i < shown; ++i)
        for (const Fact& f : trace.steps[i].facts) {
            set(f.a, f.b, f.same);
            set(f.b, f.a, f.same);
        }
    return known;
}

} // namespace korvane
