#include "texts/step_text.h"

#include <algorithm>
#include <array>

#include "texts/explain_text.h"
#include "texts/json_writer.h"
#include "reasoning/grade.h"
#include "texts/names.h"

namespace korvane {

namespace {

// Each move's name in the JSON output.
constexpr std::array<std::string_view, kTechniques> kTechniqueNames{
    "direct", "grid", "three-categories", "position", "what-if", "deep-what-if"};

} // namespace

std::string_view TechniqueName(Technique technique) { return kTechniqueNames[static_cast<std::size_t>(technique) - 1]; }

namespace {


// "(lignes 3 et 5, étape 2)"; empty when the step reads nothing.
std::string Citation(const Step& step) {
    std::vector<std::string> parts;
    if (!step.rows.empty()) parts.push_back((step.rows.size() > 1 ? "lignes " : "ligne ") + NumberList(step.rows));
    if (!step.uses.empty()) parts.push_back((step.uses.size() > 1 ? "étapes " : "étape ") + NumberList(step.uses));
    return parts.empty() ? "" : " (" + Listed(parts, ", ") + ")";
}

// "de Maison", "d'Animal", "d'Équipe".
std::string Of(const std::string& name) {
    static constexpr std::string_view kVowels[] = {"A", "E", "I", "O", "U", "Y", "H", "a", "e", "i", "o", "u", "y", "h",
                                                   "É", "È", "Ê", "À", "Â", "Î", "Ô", "é", "è", "ê", "à", "â", "î", "ô"};
    const bool elided = std::any_of(std::begin(kVowels), std::end(kVowels), [&](std::string_view v) { return name.starts_with(v); });
    return (elided ? "d'" : "de ") + name;
}

std::string ItemText(const Puzzle& puzzle, Item x) {
    return CategoryName(puzzle, x.category) + " " + ChoiceName(puzzle, x.category, x.choice);
}

std::string FactText(const Puzzle& puzzle, const Fact& f) {
    return ItemText(puzzle, f.a) + (f.same ? " est " : " n'est pas ") + ItemText(puzzle, f.b);
}

// What the step concludes: its "same" facts, and its "not" facts grouped by item, leaving out those that
// a "same" fact of the step already says (the rest of its row and column):
// "Maison 1 n'est pas Animal Escargots ou Cheval ni Boisson Thé".
std::string Conclusions(const Puzzle& puzzle, const std::vector<Fact>& facts) {
    auto implied = [&](const Fact& f) {
        return std::any_of(facts.begin(), facts.end(), [&](const Fact& s) {
            return s.same && ((s.a == f.a && s.b.category == f.b.category) || (s.b == f.b && s.a.category == f.a.category) ||
                              (s.a == f.b && s.b.category == f.a.category) || (s.b == f.a && s.a.category == f.b.category));
        });
    };
    std::vector<std::string> parts;
    std::vector<bool> done(facts.size());
    for (std::size_t i = 0; i < facts.size(); ++i) {
        const Fact& f = facts[i];
        if (done[i] || (!f.same && implied(f))) continue;
        if (f.same) {
            parts.push_back(FactText(puzzle, f));
            continue;
        }
        std::vector<std::string> categories;
        for (int c = 1; c <= kCategories; ++c) {
            std::vector<std::string> choices;
            for (std::size_t j = i; j < facts.size(); ++j)
                if (!done[j] && !facts[j].same && facts[j].a == f.a && facts[j].b.category == c && !implied(facts[j])) {
                    choices.push_back(ChoiceName(puzzle, c, facts[j].b.choice));
                    done[j] = true;
                }
            if (!choices.empty()) categories.push_back(CategoryName(puzzle, c) + " " + Listed(choices, " ou "));
        }
        parts.push_back(ItemText(puzzle, f.a) + " n'est pas " + Listed(categories, " ni "));
    }
    std::string text;
    for (const std::string& part : parts) text += (text.empty() ? "" : " ; ") + part;
    return text;
}

std::string Body(const Step& step, const Puzzle& puzzle) {
    const std::vector<Fact> own(step.facts.begin(), step.facts.begin() + static_cast<std::ptrdiff_t>(std::min(step.own, step.facts.size())));
    const std::string concluded = Conclusions(puzzle, own);
    switch (step.technique) {
    case Technique::Direct:
        if (step.never)
            return "la condition « " + RowText(puzzle, step.rows.front()) + " » ne peut jamais être satisfaite.";
        break;
    case Technique::Grid:
        if (!step.contradiction)
            return concluded + ", seul choix " + Of(CategoryName(puzzle, step.facts.front().b.category)) +
                   " qui reste pour " + ItemText(puzzle, step.facts.front().a) + ".";
        break;
    case Technique::ThreeCategories:
        if (step.link.a.category != 0)
            return "comme " + FactText(puzzle, step.link) + ", ce que l'on sait de l'un vaut pour l'autre : " +
                   (step.contradiction ? "contradiction." : concluded + ".");
        if (!step.contradiction)
            return concluded + " : ils n'ont aucun choix " + Of(CategoryName(puzzle, step.category)) + " en commun.";
        break;
    case Technique::Position:
        if (!step.contradiction)
            return "selon « " + RowText(puzzle, step.rows.front()) + " », " + concluded + ".";
        return "« " + RowText(puzzle, step.rows.front()) + " » ne laisse aucune place possible : contradiction.";
    case Technique::WhatIf:
        return "hypothèse : si " + ItemText(puzzle, step.supposed.a) +
               (step.supposed.same ? " était " : " n'était pas ") + ItemText(puzzle, step.supposed.b) +
               ", les étapes simples aboutiraient à une contradiction ; donc " + concluded + ".";
    case Technique::DeepWhatIf:
        if (step.contradiction) return "aucune répartition ne satisfait ces conditions ensemble : contradiction.";
        return "hypothèse profonde : si " + ItemText(puzzle, step.supposed.a) +
               (step.supposed.same ? " était " : " n'était pas ") + ItemText(puzzle, step.supposed.b) +
               ", aucune répartition ne satisferait les lignes citées ; donc " + concluded + ".";
    }
    if (step.contradiction) return "contradiction : ces conditions et ces étapes ne peuvent être vraies ensemble.";
    return concluded + ".";
}

// What follows at once from the step's own facts, two items sharing a slot sharing what is known of
// them: " Par suite : Nation Japonais est Animal Zèbre."; empty when it only crosses out cells (the JSON
// lists them all).
std::string CarriedOver(const Step& step, const Puzzle& puzzle) {
    std::vector<Fact> same;
    for (std::size_t i = step.own; i < step.facts.size(); ++i)
        if (step.facts[i].same) same.push_back(step.facts[i]);
    return same.empty() ? std::string() : " Par suite : " + Conclusions(puzzle, same) + ".";
}

std::string Summary(const Step& step, const Puzzle& puzzle) { return Body(step, puzzle) + CarriedOver(step, puzzle); }

std::string StepText(const Step& step, int number, const Puzzle& puzzle) {
    return "Étape " + std::to_string(number) + Citation(step) + " : " + Summary(step, puzzle);
}

std::string_view OutcomeName(TraceOutcome outcome) {
    switch (outcome) {
    case TraceOutcome::Solved: return "solved";
    case TraceOutcome::Open: return "open";
    case TraceOutcome::Contradiction: return "contradiction";
    case TraceOutcome::RuleError: return "rule-error";
    }
    return ""; // unreachable: every outcome is named above
}

void WriteFact(JsonWriter& json, const Fact& f) {
    json.open('{').key("a").open('[').value(f.a.category).value(f.a.choice).close(']');
    json.key("b").open('[').value(f.b.category).value(f.b.choice).close(']');
    json.key("same").value(f.same).close('}');
}

} // namespace

std::vector<std::string> StepLines(const Trace& trace, const Puzzle& puzzle) {
    if (trace.outcome == TraceOutcome::RuleError) {
        Explanation stopped;
        stopped.kind = ExplanationKind::RuleError;
        stopped.malformed = trace.malformed;
        return ExplanationLines(stopped, puzzle);
    }
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < trace.steps.size(); ++i)
        lines.push_back(StepText(trace.steps[i], static_cast<int>(i + 1), puzzle));
    switch (trace.outcome) {
    case TraceOutcome::Solved: lines.push_back("La grille est complète : c'est la solution."); break;
    case TraceOutcome::Open:
        lines.push_back("La logique s'arrête ici : plusieurs solutions, ces choix restent ouverts.");
        for (std::string& line : OpenCellLines(trace.open, puzzle)) lines.push_back(std::move(line));
        break;
    case TraceOutcome::Contradiction: lines.push_back("Aucune solution : la dernière étape aboutit à une contradiction."); break;
    case TraceOutcome::RuleError: break; // handled above
    }
    lines.push_back("Difficulté : " + std::string(GradeName(GradeOf(trace))));
    return lines;
}

std::string StepsJsonMembers(const Trace& trace, const Puzzle& puzzle) {
    JsonWriter json;
    json.key("steps").open('[');
    for (std::size_t i = 0; i < trace.steps.size(); ++i) {
        const Step& step = trace.steps[i];
        json.open('{').key("step").value(static_cast<int>(i + 1)).key("technique").value(TechniqueName(step.technique));
        json.key("rows").open('[');
        for (int k : step.rows) json.value(k);
        json.close(']').key("uses").open('[');
        for (int u : step.uses) json.value(u);
        json.close(']');
        if (step.contradiction) {
            json.key("contradiction").value(true);
        } else {
            json.key("facts").open('[');
            for (const Fact& f : step.facts) WriteFact(json, f);
            json.close(']');
        }
        if (step.technique == Technique::WhatIf || (step.technique == Technique::DeepWhatIf && !step.contradiction))
            WriteFact(json.key("supposed"), step.supposed);
        json.key("summary").value(Summary(step, puzzle));
        json.key("text").value(StepText(step, static_cast<int>(i + 1), puzzle)).close('}');
    }
    json.close(']').key("outcome").value(OutcomeName(trace.outcome)).key("grade");
    if (trace.outcome == TraceOutcome::RuleError)
        json.null();
    else
        json.value(GradeName(GradeOf(trace)));
    if (trace.outcome == TraceOutcome::Open) WriteOpenCells(json.key("openCells"), trace.open);
    if (trace.outcome == TraceOutcome::RuleError) WriteMalformedRow(json.key("malformedRow"), trace.malformed, puzzle);
    return json.take();
}

} // namespace korvane
