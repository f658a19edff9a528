// The benchmark set, timed in one run: every unique puzzle solved (all solutions listed with their text,
// and counted) by the engine and, when built with it, by a general constraint solver on an equivalent
// model; every rule table counted, its first 10,000 solutions listed, or its error stop reached. Prints
// one table of medians, maxima and ratios, then the slowest cases. Options: --quick (fewer cases),
// --list (one line per case), --hard (only the tables drawn to be hard to count).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "engine/search.h"
#include "lister.h"
#include "puzzle_set.h"
#ifdef KORVANE_WITH_GECODE
#include "gecode_model.h"
#endif

namespace {

using namespace korvane;
using Clock = std::chrono::steady_clock;

using bench::Lister;

// The quickest of a few runs, in microseconds: seven while they are short, three when they are long (a
// single run of a long case is at the mercy of the machine's other work). A case of less than 50 us runs
// in batches of about 200 us instead, each batch's mean counting as one run: a single run of a few
// microseconds is at the mercy of the clock and of cold caches, and moved a case's ratio to the model
// by 10% from one run of the set to the next.
double Time(const std::function<void()>& run) {
    auto once = [&] {
        const auto start = Clock::now();
        run();
        return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
    };
    double best = once(), spent = best;
    if (best < 50) {
        const int batch = static_cast<int>(200 / std::max(best, 0.1)) + 1;
        for (int n = 0; n < 5; ++n) {
            const auto start = Clock::now();
            for (int k = 0; k < batch; ++k) run();
            best = std::min(best, std::chrono::duration<double, std::micro>(Clock::now() - start).count() / batch);
        }
        return best;
    }
    for (int n = 1; n < 7 && (n < 3 || spent < 20'000); ++n) {
        const double us = once();
        best = std::min(best, us);
        spent += us;
    }
    return best;
}

struct Measured {
    const bench::Case* c;
    SearchResult solved; // all listed, or the first 10,000
    double solveUs = 0;  // everything listed (unique puzzles, examples) or the first 10,000 listed
    double countUs = 0;
    double firstListedUs = 0; // the first 10,000 listed (or all, or the error stop), the search then abandoned
    double firstUs = 0;  // the first solution listed, the rest counted
    double firstOnlyUs = 0; // the first solution listed, the search then abandoned (where 100 or more are listed)
    double gecodeUs = 0; // 0 when not measured
    std::uint64_t gecodeCount = 0;
};

double Median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

std::string Us(double us) {
    char text[32];
    if (us >= 1e6) std::snprintf(text, sizeof text, "%.2f s", us / 1e6);
    else if (us >= 1e3) std::snprintf(text, sizeof text, "%.2f ms", us / 1e3);
    else std::snprintf(text, sizeof text, "%.1f us", us);
    return text;
}

} // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IOLBF, 0); // lines show as they come, also into a file
    bool quick = false, perCase = false, hardOnly = false;
    for (int n = 1; n < argc; ++n) {
        quick |= std::strcmp(argv[n], "--quick") == 0;
        perCase |= std::strcmp(argv[n], "--list") == 0;
        hardOnly |= std::strcmp(argv[n], "--hard") == 0;
    }
    const auto madeAt = Clock::now();
    std::vector<bench::Case> set = hardOnly ? std::vector<bench::Case>{} : bench::BenchmarkSet(quick ? 10 : 50, quick ? 100 : 1000);
    for (bench::Case& c : bench::HardSet(quick ? 4 : 10)) set.push_back(std::move(c));
    std::printf("%zu cases made in %.1f s\n", set.size(),
                std::chrono::duration<double>(Clock::now() - madeAt).count());

    constexpr std::uint64_t kListed = 10000;
    std::vector<Measured> all;
    for (const bench::Case& c : set) {
        Measured m{&c, {}};
        const bool whole = c.listAll;
        m.solveUs = Time([&] {
            Lister lister(c.puzzle);
            m.solved = Search(c.puzzle.rules, lister, SearchOptions{whole ? ~0ull : kListed});
        });
        m.countUs = Time([&] { CountSolutions(c.puzzle.rules); });
        // The first 10,000 on screen, before the rest are counted (or the error stop, or the end).
        m.firstListedUs = whole ? m.solveUs : Time([&] {
            Lister lister(c.puzzle);
            lister.stopAfter = kListed;
            Search(c.puzzle.rules, lister);
        });
        m.firstUs = Time([&] {
            Lister lister(c.puzzle);
            Search(c.puzzle.rules, lister, SearchOptions{1});
        });
        if (m.solved.listed >= 100)
            m.firstOnlyUs = Time([&] {
                Lister lister(c.puzzle);
                lister.stopAfter = 1;
                Search(c.puzzle.rules, lister);
            });
#ifdef KORVANE_WITH_GECODE
        if (whole && bench::ModelFits(c.puzzle.rules) && m.solved.count < 100000) {
            m.gecodeUs = Time([&] { m.gecodeCount = bench::GecodeCount(c.puzzle.rules); });
            if (m.gecodeCount != m.solved.count)
                std::printf("MISMATCH %s: engine %llu, model %llu\n", c.name.c_str(),
                            static_cast<unsigned long long>(m.solved.count), static_cast<unsigned long long>(m.gecodeCount));
        }
#endif
        if (perCase)
            std::printf("%-28s count %-12llu solve %-10s count %-10s first %-10s 10000 %-10s model %s\n", c.name.c_str(),
                        static_cast<unsigned long long>(m.solved.count), Us(m.solveUs).c_str(), Us(m.countUs).c_str(),
                        Us(m.firstUs).c_str(), Us(m.firstListedUs).c_str(), m.gecodeUs > 0 ? Us(m.gecodeUs).c_str() : "-");
        all.push_back(m);
    }

    std::map<std::string, std::vector<const Measured*>> groups;
    std::vector<std::string> order;
    for (const Measured& m : all) {
        if (!groups.count(m.c->group)) order.push_back(m.c->group);
        groups[m.c->group].push_back(&m);
    }
    std::printf("\n| set | cases | solve/list median | solve/list max | first 10,000 max | count median | count max | "
                "model median | model/solve min | model/solve median | model/count min |\n"
                "|---|---|---|---|---|---|---|---|---|---|---|\n");
    for (const std::string& g : order) {
        std::vector<double> solve, count, model, ratio, listed, countRatio;
        for (const Measured* m : groups[g]) {
            solve.push_back(m->solveUs);
            count.push_back(m->countUs);
            listed.push_back(m->firstListedUs);
            if (m->gecodeUs > 0) {
                model.push_back(m->gecodeUs);
                ratio.push_back(m->gecodeUs / m->solveUs);
                countRatio.push_back(m->gecodeUs / m->countUs);
            }
        }
        auto times = [](const std::vector<double>& v, double value) {
            return v.empty() ? std::string("-") : std::to_string(value).substr(0, 6) + "x";
        };
        std::printf("| %s | %zu | %s | %s | %s | %s | %s | %s | %s | %s | %s |\n", g.c_str(), groups[g].size(),
                    Us(Median(solve)).c_str(), Us(*std::max_element(solve.begin(), solve.end())).c_str(),
                    Us(*std::max_element(listed.begin(), listed.end())).c_str(),
                    Us(Median(count)).c_str(), Us(*std::max_element(count.begin(), count.end())).c_str(),
                    model.empty() ? "-" : Us(Median(model)).c_str(),
                    times(ratio, ratio.empty() ? 0 : *std::min_element(ratio.begin(), ratio.end())).c_str(),
                    times(ratio, Median(ratio)).c_str(),
                    times(countRatio, countRatio.empty() ? 0 : *std::min_element(countRatio.begin(), countRatio.end())).c_str());
    }

    // The cases where the model comes closest, by name.
    std::vector<const Measured*> closest;
    for (const Measured& m : all)
        if (m.gecodeUs > 0) closest.push_back(&m);
    std::sort(closest.begin(), closest.end(), [](const Measured* a, const Measured* b) {
        return a->gecodeUs / a->solveUs < b->gecodeUs / b->solveUs;
    });
    if (!closest.empty()) std::printf("\nclosest to the model (model/solve):");
    for (std::size_t n = 0; n < 4 && n < closest.size(); ++n)
        std::printf("%s %s %.1fx (%s / %s)", n ? "," : "", closest[n]->c->name.c_str(), closest[n]->gecodeUs / closest[n]->solveUs,
                    Us(closest[n]->gecodeUs).c_str(), Us(closest[n]->solveUs).c_str());
    if (!closest.empty()) std::printf("\n");

    // Listing: the cost of each solution after the first, where at least 100 were listed. Both runs stop
    // once they have listed theirs: a table with more than 10,000 solutions would otherwise go on to
    // count them all, and the difference of two counts of tens of milliseconds, shared out over 10,000
    // solutions, moves by a few hundred nanoseconds from one run to the next.
    std::vector<std::pair<double, const Measured*>> perSolution;
    for (const Measured& m : all)
        if (m.solved.listed >= 100 && m.solved.outcome == SearchOutcome::Completed)
            perSolution.emplace_back((m.firstListedUs - m.firstOnlyUs) / static_cast<double>(m.solved.listed - 1), &m);
    if (!perSolution.empty()) {
        std::sort(perSolution.begin(), perSolution.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        std::vector<double> costs;
        for (const auto& [us, m] : perSolution) costs.push_back(us);
        // In nanoseconds: the target is a fraction of a microsecond.
        std::printf("\nlisting, per solution after the first (%zu tables with 100 or more listed): median %.0f ns, max %.0f ns (%s)\n",
                    perSolution.size(), 1000 * Median(costs), 1000 * perSolution.back().first,
                    perSolution.back().second->c->name.c_str());
    }

    std::vector<const Measured*> slowest;
    for (const Measured& m : all) slowest.push_back(&m);
    std::sort(slowest.begin(), slowest.end(), [](const Measured* a, const Measured* b) {
        return std::max(a->solveUs, a->countUs) > std::max(b->solveUs, b->countUs);
    });
    std::printf("\nslowest:\n");
    for (std::size_t n = 0; n < 8 && n < slowest.size(); ++n) {
        const Measured& m = *slowest[n];
        std::printf("  %-28s %llu solutions%s: solve/list %s, count %s\n", m.c->name.c_str(),
                    static_cast<unsigned long long>(m.solved.count),
                    m.solved.outcome == SearchOutcome::RuleError ? " (error stop)" : "", Us(m.solveUs).c_str(),
                    Us(m.countUs).c_str());
    }
    return 0;
}
