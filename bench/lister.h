// An observer that lists solutions as the window would, text lines built, for the benchmarks.
#pragma once

#include "core/search.h"
#include "core/solution_text.h"

namespace korvane::bench {

class Lister final : public SearchObserver {
public:
    explicit Lister(const Puzzle& p) : writer_(ChoiceNamesOf(p)) {}
    void solutionFound(const Assignment& a, std::uint64_t) override {
        writer_.write(a, [&](std::string_view line) { bytes += line.size(); });
    }
    std::size_t bytes = 0;

private:
    SolutionWriter writer_;
};

} // namespace korvane::bench
