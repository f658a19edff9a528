// An observer that lists solutions as the window would, text lines built, for the benchmarks.
#pragma once

#include "engine/search.h"
#include "texts/solution_text.h"

namespace korvane::bench {

class Lister final : public SearchObserver {
public:
    explicit Lister(const Puzzle& p) : writer_(p) {}
    void solutionFound(const Assignment& a, std::uint64_t) override {
        writer_.write(a, [&](std::string_view line) { bytes += line.size(); });
        ++listed;
    }
    // Stops the search (as "Abandon" would) at the first poll after `stopAfter` solutions.
    bool abortRequested() override { return listed >= stopAfter; }
    std::size_t bytes = 0;
    std::uint64_t listed = 0;
    std::uint64_t stopAfter = ~0ull;

private:
    SolutionWriter writer_;
};

} // namespace korvane::bench
