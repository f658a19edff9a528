#include "texts/report_text.h"

#include "texts/explain_text.h"
#include "texts/step_text.h"

namespace korvane {

std::string ReportVerdict(const Explanation& explanation) {
    switch (explanation.kind) {
    case ExplanationKind::Conflict: return "Aucune solution";
    case ExplanationKind::OpenCells: return "Plusieurs solutions";
    case ExplanationKind::Redundant:
    case ExplanationKind::Nothing: return "Solution unique";
    case ExplanationKind::RuleError: return std::string(explanation.malformed.errorText);
    }
    return {};
}

std::vector<std::string> ReportLines(const Report& report, const Puzzle& puzzle) {
    std::vector<std::string> lines{ReportVerdict(report.explanation)};
    for (std::string& line : ExplanationLines(report.explanation, puzzle)) lines.push_back(std::move(line));
    // A search stopped by a malformed row has no steps, and the explanation already says where it stops.
    if (report.trace.outcome == TraceOutcome::RuleError) return lines;
    lines.emplace_back();
    lines.emplace_back("Pas à pas :");
    for (std::string& line : StepLines(report.trace, puzzle)) lines.push_back(std::move(line));
    return lines;
}

} // namespace korvane
