#include "maker/suggest_text.h"

#include "texts/json_writer.h"
#include "texts/names.h"

namespace korvane::maker {

namespace {

std::string Solutions(std::uint64_t n) { return std::to_string(n) + (n == 1 ? " solution" : " solutions"); }

} // namespace

std::string SuggestionLine(const Suggestion& suggestion, const Completion& completion, const Puzzle& screen) {
    const Puzzle completed = WithRow(screen, completion.emptyRow, suggestion.rule);
    return RowText(completed, completion.emptyRow) + " : " + Solutions(suggestion.count) + " (" +
           std::string(GradeName(suggestion.grade)) + ")";
}

std::string SuggestionsHeading(const Completion& completion, const Puzzle& screen) {
    if (completion.kind != Completion::Kind::Several) return "";
    if (completion.emptyRow == 0)
        return "Aucune ligne n'est vide et chacune compte : il n'y a pas de place pour une condition de plus.";
    using Place = Completion::Place;
    const std::string replaced = completion.place == Place::Empty ? "" : " « " + RowText(screen, completion.emptyRow) + " »";
    const std::string row = "en ligne " + std::to_string(completion.emptyRow) +
                            (completion.place == Place::Implied  ? " à la place de" + replaced + ", que les autres lignes impliquent"
                             : completion.place == Place::Needed ? " à la place de" + replaced
                                                                 : "");
    if (completion.suggestions.empty()) return "Aucune condition mise " + row + " ne réduit le nombre de solutions.";
    if (completion.suggestions.front().count == 1)
        return "Conditions qui, mises " + row + ", laissent une seule solution :";
    return std::string("Aucune condition seule ne laisse une solution unique ; mises ") + row +
           ", celles qui en laissent le moins" + (completion.sampled ? " (choisies sur un échantillon des solutions)" : "") +
           " :";
}

std::string SmallestLine(const Completion& completion) {
    if (completion.kind != Completion::Kind::Unique) return "";
    const std::size_t n = completion.smallest.size();
    return std::string(completion.smallestProved ? "Le moins de lignes qui gardent la solution unique : "
                                                 : "Lignes qui suffisent à garder la solution unique : ") +
           (n == 1 ? "la ligne " : "les lignes ") + NumberList(completion.smallest) + " (" + std::to_string(n) +
           (n == 1 ? " ligne)." : " lignes).");
}

std::string CompletionJsonMembers(const Completion& completion) {
    JsonWriter json;
    if (completion.kind == Completion::Kind::Several) {
        json.key("emptyRow");
        if (completion.emptyRow) json.value(completion.emptyRow); else json.null();
        // What the row holds now: null when empty, "implied" or "needed" for a condition a suggestion replaces.
        json.key("replaces");
        if (completion.emptyRow == 0 || completion.place == Completion::Place::Empty)
            json.null();
        else
            json.value(completion.place == Completion::Place::Implied ? "implied" : "needed");
        json.key("suggestions").open('[');
        for (const Suggestion& s : completion.suggestions) {
            json.open('{').key("row").open('[');
            for (const std::int32_t v : {s.rule.categoryA, s.rule.choiceA, s.rule.relation, s.rule.categoryB, s.rule.choiceB,
                                         s.rule.steps, s.rule.orderCategory})
                json.value(static_cast<int>(v));
            json.close(']').key("count").value(s.count).key("grade").value(GradeName(s.grade)).close('}');
        }
        json.close(']').key("sampled").value(completion.sampled);
    } else if (completion.kind == Completion::Kind::Unique) {
        json.key("smallest").open('[');
        for (int k : completion.smallest) json.value(k);
        json.close(']').key("smallestProved").value(completion.smallestProved);
    }
    std::string members = json.take();
    return members.empty() ? members : ", " + members;
}

} // namespace korvane::maker
