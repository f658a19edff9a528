#include "literal_walk.h"

namespace korvane::testing {

void RecordingObserver::solutionFound(const Assignment& a, std::uint64_t count) {
    Position p{};
    for (int i = 0; i < kLevels; ++i) p[static_cast<std::size_t>(i)] = a.row[static_cast<std::size_t>(i + 2)];
    // Appended piece by piece: g++ 12 warns falsely (-Wrestrict) on "literal" + std::string.
    std::string event = "S";
    event += std::to_string(ToIndex(p));
    event += '#';
    event += std::to_string(count);
    events.push_back(std::move(event));
}

void RecordingObserver::pump() {
    events.push_back("P");
    ++pumps_;
    if (auto it = onPump.find(pumps_); it != onPump.end()) it->second(live_);
    if (pumps_ == abortAtPump) abort_ = true;
}

SearchResult LiteralWalk(const RuleTable& live, SearchObserver& observer, const SearchOptions& options, int onlyJ,
                         int onlyK) {
    SearchResult result;
    const bool progress = observer.followsProgress();
    bool pollDue = false;
    auto pump = [&] {
        observer.pump();
        pollDue = true;
    };
    auto aborted = [&] {
        if (!pollDue) return false;
        pollDue = false;
        return observer.abortRequested();
    };
    int inner = 0, outer = 0;
    Assignment a;
    a.row[1] = 0;
    for (int j = 0; j < 120; ++j) {
        a.row[2] = static_cast<std::int16_t>(j);
        for (int k = 0; k < 120; ++k) {
            a.row[3] = static_cast<std::int16_t>(k);
            const bool checked = (onlyJ < 0 || j == onlyJ) && (onlyK < 0 || k == onlyK);
            for (int l = 0; l < 120; ++l) {
                a.row[4] = static_cast<std::int16_t>(l);
                for (int m = 0; checked && m < 120; ++m) {
                    a.row[5] = static_cast<std::int16_t>(m);
                    for (int i = 0; i < 120; ++i) {
                        a.row[6] = static_cast<std::int16_t>(i);
                        const CheckResult check = CheckAssignment(live, a);
                        if (check.verdict == Verdict::Malformed) {
                            result.outcome = SearchOutcome::RuleError;
                            result.errorRule = check.rule;
                            result.errorText = FindRelation(live[check.rule].relation)->errorText;
                            result.errorAt = a;
                            return result;
                        }
                        if (check.verdict != Verdict::Holds) continue;
                        if (result.listed < options.listLimit) {
                            if (aborted()) return result.outcome = SearchOutcome::Aborted, result;
                            ++result.count;
                            ++result.listed;
                            observer.solutionFound(a, result.count);
                            pump();
                            pump();
                        } else {
                            ++result.count;
                        }
                    }
                }
                if (!progress) continue;
                if (aborted()) return result.outcome = SearchOutcome::Aborted, result;
                const int p = k * 100 / 120, before = inner;
                inner = p;
                if (p > before) {
                    if (result.listed >= options.listLimit) observer.solutionsCounted(result.count);
                    observer.stepInnerBar();
                    pump();
                }
            }
            if (!progress) continue;
            const int p = j * 100 / 120, before = outer;
            outer = p;
            if (p > before) {
                if (result.listed >= options.listLimit) observer.solutionsCounted(result.count);
                observer.stepOuterBar();
                pump();
            }
        }
    }
    return result;
}

RowVerdicts CheckOpen(const RuleTable& rules, Assignment a, std::uint8_t open) {
    RowVerdicts v;
    std::array<std::size_t, kLevels> walked{};
    int n = 0;
    for (int c = 2; c <= kCategories; ++c)
        if (open >> c & 1u) walked[static_cast<std::size_t>(n++)] = static_cast<std::size_t>(c);
    for (int i = 0; i < n; ++i) a.row[walked[static_cast<std::size_t>(i)]] = 0;
    for (;;) {
        Position p{};
        for (int i = 0; i < kLevels; ++i) p[static_cast<std::size_t>(i)] = a.row[static_cast<std::size_t>(i + 2)];
        const CheckResult check = CheckAssignment(rules, a);
        if (check.verdict == Verdict::Malformed) {
            v.firstMalformed = ToIndex(p);
            v.malformed = check.rule;
            return v;
        }
        if (check.verdict == Verdict::Holds) v.passing.push_back(ToIndex(p));
        // The next assignment: the last open category fastest.
        int i = n - 1;
        for (; i >= 0; --i) {
            std::int16_t& row = a.row[walked[static_cast<std::size_t>(i)]];
            if (++row < kRows) break;
            row = 0;
        }
        if (i < 0) return v;
    }
}

RowVerdicts CheckRow(const RuleTable& rules, int j, int k, int l) {
    return CheckOpen(rules, ToAssignment({j, k, l, 0, 0}), 1u << 5 | 1u << 6);
}

} // namespace korvane::testing
