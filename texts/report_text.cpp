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

std::string NoStepText(const Trace& trace, const RuleTable& rules) {
    if (trace.outcome == TraceOutcome::RuleError) return "Aucune étape : la recherche s'arrête sur la ligne en erreur.";
    bool stated = false;
    for (int k = 1; k <= kRules; ++k) stated |= IsRelation(rules[k].relation);
    if (!stated) return "Aucune étape : aucune ligne n'énonce de condition.";
    return "Aucune étape : les lignes ne permettent aucune déduction.";
}

std::vector<std::string> ReportLines(const Report& report, const Puzzle& puzzle, std::size_t shownSteps) {
    std::vector<std::string> lines{ReportVerdict(report.explanation)};
    for (std::string& line : ExplanationLines(report.explanation, puzzle)) lines.push_back(std::move(line));
    lines.insert(lines.end(), report.idleLines.begin(), report.idleLines.end());
    // A search stopped by a malformed row has no steps, and the explanation already says where it stops.
    if (report.trace.outcome == TraceOutcome::RuleError) return lines;
    lines.emplace_back();
    lines.emplace_back("Pas à pas :");
    std::vector<std::string> steps = StepLines(report.trace, puzzle);
    const std::size_t total = report.trace.steps.size();
    if (shownSteps >= total) {
        for (std::string& line : steps) lines.push_back(std::move(line));
        return lines;
    }
    for (std::size_t i = 0; i < shownSteps; ++i) lines.push_back(std::move(steps[i]));
    const std::size_t hidden = total - shownSteps;
    lines.push_back(hidden == 1 ? "(une étape encore cachée)" : "(" + std::to_string(hidden) + " étapes encore cachées)");
    return lines;
}

} // namespace korvane
