#include "core/explain.h"

#include <algorithm>
#include <bit>
#include <optional>
#include <span>

#include "core/plan.h"
#include "core/relations.h"

namespace korvane {

namespace {

// A set of condition rows, bit k for row k (1..16).
using RowMask = std::uint32_t;

constexpr RowMask RowBit(int row) { return RowMask{1} << row; }

std::vector<int> RowsOf(RowMask rows) {
    std::vector<int> list;
    for (int k = 1; k <= kRules; ++k)
        if (rows & RowBit(k)) list.push_back(k);
    return list;
}

// A renumbering of the categories. Which matchings satisfy a rule table does not depend on how its
// categories are numbered, but the engine's speed does: it fixes category 1 and places the others from
// 2 to 6, so a question about two categories is answered fastest when they come first, and a puzzle in
// general when its most cited categories do.
struct Labels {
    std::array<int, kCategories + 1> to{};   // to[c]: the new number of category c
    std::array<int, kCategories + 1> from{}; // from[l]: the category numbered l

    // `first` in the order given, then the other categories, most cited in `rules` first.
    static Labels Ordered(const RuleTable& rules, std::initializer_list<int> first) {
        std::array<int, kCategories + 1> cited{};
        for (int k = 1; k <= kRules; ++k) {
            const Rule& r = rules[k];
            if (!IsRelation(r.relation)) continue;
            for (const std::int32_t c : {r.categoryA, r.categoryB, r.orderCategory})
                if (IsCategory(c)) ++cited[static_cast<std::size_t>(c)];
        }
        for (const int c : first) cited[static_cast<std::size_t>(c)] = kRules * 3 + 1 + (first.end() - std::find(first.begin(), first.end(), c));
        std::array<int, kCategories> order{1, 2, 3, 4, 5, 6};
        std::stable_sort(order.begin(), order.end(), [&](int x, int y) {
            return cited[static_cast<std::size_t>(x)] > cited[static_cast<std::size_t>(y)];
        });
        Labels labels;
        for (int l = 1; l <= kCategories; ++l) {
            const int c = order[static_cast<std::size_t>(l - 1)];
            labels.from[static_cast<std::size_t>(l)] = c;
            labels.to[static_cast<std::size_t>(c)] = l;
        }
        return labels;
    }

    std::int32_t renumber(std::int32_t c) const { return IsCategory(c) ? to[static_cast<std::size_t>(c)] : c; }

    Rule renumber(Rule r) const {
        r.categoryA = renumber(r.categoryA);
        r.categoryB = renumber(r.categoryB);
        r.orderCategory = renumber(r.orderCategory);
        return r;
    }

    RuleTable renumber(const RuleTable& rules) const {
        RuleTable out;
        for (int k = 1; k <= kRules; ++k) out[k] = renumber(rules[k]);
        return out;
    }
};

// Solves sub-puzzles made of some of the rows, and remembers which rows each solution found satisfies, so
// that a question about rows that a known solution already satisfies needs no new solve.
class Solver {
public:
    Solver(const RuleTable& rules, RowMask universe) : rules_(rules), universe_(universe) {}

    // The engine for the rows in `rows` (each in its own row) followed by `extra`.
    Plan plan(RowMask rows, std::span<const Rule> extra = {}) const {
        RuleTable table;
        for (int k : RowsOf(rows)) table[k] = rules_[k];
        return Plan(table, extra);
    }

    // A solution of the rows in `rows`, or none.
    std::optional<Assignment> solve(RowMask rows) {
        const WalkIndex found = plan(rows).findFirst(0);
        ++solves_;
        if (found == kWalkSize) return std::nullopt;
        const Assignment a = ToAssignment(ToPosition(found));
        satisfied_.push_back(holding(a));
        return a;
    }

    // Whether the rows in `rows` admit a solution: known when a solution seen so far satisfies them all.
    bool satisfiable(RowMask rows) {
        for (RowMask seen : satisfied_)
            if ((rows & ~seen) == 0) return true;
        return solve(rows).has_value();
    }

    int solves() const { return solves_; }

private:
    // The rows of the universe that hold on `a`.
    RowMask holding(const Assignment& a) const {
        RowMask rows = 0;
        for (int k : RowsOf(universe_))
            if (EvaluateRule(a, rules_[k]) == Verdict::Holds) rows |= RowBit(k);
        return rows;
    }

    const RuleTable& rules_;
    const RowMask universe_;
    std::vector<RowMask> satisfied_;
    int solves_ = 0;
};

// Removes rows from `rows`, which admit no solution, until every remaining one is needed. The loop ends
// with a pass that removes nothing, so each remaining row has been checked against the final set.
RowMask Shrink(Solver& solver, RowMask rows) {
    for (bool changed = true; changed;) {
        changed = false;
        for (int k : RowsOf(rows)) {
            if (!solver.satisfiable(rows & ~RowBit(k))) {
                rows &= ~RowBit(k);
                changed = true;
            }
        }
    }
    return rows;
}

// Looking for a conflict smaller than the one found costs solves only for row sets that no solution seen
// so far satisfies; past this many solves the conflict found is shown without the claim that it is the
// smallest.
constexpr int kSmallestSearchSolves = 600;

// The first set of fewer than `size` rows of `candidates` that admits no solution, trying smaller sets
// first; 0 when there is none. `exhausted` tells whether every such set was tried.
RowMask SmallerConflict(Solver& solver, RowMask candidates, int size, bool& exhausted) {
    const std::vector<int> rows = RowsOf(candidates);
    const int n = static_cast<int>(rows.size());
    const int budget = solver.solves() + kSmallestSearchSolves;
    exhausted = false;
    for (int r = 1; r < size; ++r) {
        // Every r-element subset of the n candidates, as bit patterns over their indices.
        for (std::uint32_t pick = (1u << r) - 1; pick < (1u << n);) {
            RowMask subset = 0;
            for (int i = 0; i < n; ++i)
                if (pick >> i & 1u) subset |= RowBit(rows[static_cast<std::size_t>(i)]);
            if (solver.solves() >= budget) return 0;
            if (!solver.satisfiable(subset)) return exhausted = true, subset;
            const std::uint32_t low = pick & -pick, ripple = pick + low;
            pick = (((ripple ^ pick) >> 2) / low) | ripple;
        }
    }
    exhausted = true;
    return 0;
}

void ExplainConflict(Solver& solver, RowMask candidates, Explanation& out) {
    RowMask conflict = Shrink(solver, candidates);
    bool exhausted = false;
    if (const RowMask smaller = SmallerConflict(solver, candidates, std::popcount(conflict), exhausted))
        conflict = Shrink(solver, smaller); // every smaller set admits a solution: nothing goes
    out.kind = ExplanationKind::Conflict;
    out.rows = RowsOf(conflict);
    out.smallest = exhausted;
    if (!solver.satisfiable(candidates & ~conflict)) {
        out.others = OtherConflicts::Disjoint;
        return;
    }
    // A row in every conflict is one without which the candidates admit a solution.
    out.others = OtherConflicts::None;
    for (int k : out.rows)
        if (!solver.satisfiable(candidates & ~RowBit(k))) out.others = OtherConflicts::Sharing;
}

// How many solutions are listed before the partners left are asked about one by one.
constexpr int kListedSolutions = 32;

// Marks the partners of every item in `a`, a solution under `labels`.
void MarkPartners(const Assignment& a, const Labels& labels, PartnerTable& partners) {
    for (int l1 = 1; l1 <= kCategories; ++l1)
        for (int l2 = 1; l2 <= kCategories; ++l2)
            for (std::size_t s = 0; s < kChoices; ++s)
                partners.at(labels.from[static_cast<std::size_t>(l1)], a.permutation(l1)[s] + 1,
                            labels.from[static_cast<std::size_t>(l2)]) |=
                    static_cast<std::uint8_t>(1u << a.permutation(l2)[s]);
}

void ExplainOpenCells(const RuleTable& rules, Plan& plan, const Labels& labels, WalkIndex first, Explanation& out) {
    out.kind = ExplanationKind::OpenCells;
    PartnerTable& partners = out.partners;
    WalkIndex at = first;
    for (int n = 0; n < kListedSolutions && at < kWalkSize; ++n) {
        MarkPartners(ToAssignment(ToPosition(at)), labels, partners);
        at = plan.findFirst(at + 1);
    }
    if (at == kWalkSize) return; // every solution was seen
    // For each item, ask for a solution that gives it a partner outside those seen, until there is none.
    // The two categories asked about are numbered 1 and 2, where the engine settles them first.
    std::vector<Rule> outside;
    for (int c1 = 1; c1 < kCategories; ++c1)
        for (int c2 = c1 + 1; c2 <= kCategories; ++c2) {
            const Labels pair = Labels::Ordered(rules, {c1, c2});
            const RuleTable renumbered = pair.renumber(rules);
            for (int a = 1; a <= kChoices; ++a)
                for (;;) {
                    const std::uint8_t seen = partners.at(c1, a, c2);
                    if (seen == (1u << kChoices) - 1) break;
                    outside.clear();
                    for (int b = 1; b <= kChoices; ++b)
                        if (seen >> (b - 1) & 1u)
                            outside.push_back(Rule{1, a, static_cast<std::int32_t>(RelationKind::NotCorresponds), 2, b, 0, 0});
                    const WalkIndex found = Plan(renumbered, outside).findFirst(0);
                    if (found == kWalkSize) break;
                    MarkPartners(ToAssignment(ToPosition(found)), pair, partners);
                }
        }
}

void ExplainUnique(Solver& solver, RowMask stated, WalkIndex solution, Explanation& out) {
    for (int k : RowsOf(stated)) {
        // Without row k the solution remains; it is still the only one when nothing else passes.
        Plan plan = solver.plan(stated & ~RowBit(k));
        if (plan.findFirst(0) == solution && plan.findFirst(solution + 1) == kWalkSize) out.rows.push_back(k);
    }
    out.kind = out.rows.empty() ? ExplanationKind::Nothing : ExplanationKind::Redundant;
}

} // namespace

Explanation Explain(const RuleTable& rules) {
    Explanation out;
    RowMask stated = 0;
    for (int k = 1; k <= kRules; ++k)
        if (IsRelation(rules[k].relation)) stated |= RowBit(k);

    const Labels labels = Labels::Ordered(rules, {});
    const RuleTable renumbered = labels.renumber(rules);
    Plan plan(renumbered);
    const WalkIndex first = plan.findFirst(0);
    if (const int m = plan.errorRule(); m != 0) {
        // Rows below the malformed one are never read; the rows above it decide whether it is reached.
        const Rule& r = rules[m];
        out.malformed = MalformedRow{m, !IsCategory(r.categoryA), !IsCategory(r.categoryB), plan.errorText(),
                                     first < kWalkSize};
        if (out.malformed.reached) {
            out.kind = ExplanationKind::RuleError;
            return out;
        }
        stated &= RowBit(m) - 1;
    }
    Solver solver(renumbered, stated);
    if (first == kWalkSize) {
        ExplainConflict(solver, stated, out);
    } else if (plan.findFirst(first + 1) < kWalkSize) {
        ExplainOpenCells(rules, plan, labels, first, out);
    } else {
        ExplainUnique(solver, stated, first, out);
    }
    return out;
}

namespace {

const std::string& BoxText(const Puzzle& puzzle, int box) { return puzzle.boxTexts[static_cast<std::size_t>(box - 1)]; }

// A box's text, or a mark that it shows nothing.
std::string Shown(const std::string& text) { return text.empty() ? "(vide)" : text; }

std::string CategoryName(const Puzzle& puzzle, int category) {
    const std::string& name = puzzle.name(0, category);
    return name.empty() ? "Catégorie " + std::to_string(category) : name;
}

std::string ChoiceName(const Puzzle& puzzle, int category, int choice) {
    const std::string& name = puzzle.name(choice, category);
    return name.empty() ? "Choix " + std::to_string(choice) : name;
}

// "a", "a ou b", "a, b ou c".
std::string Alternatives(const std::vector<std::string>& names) {
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0) text += i + 1 == names.size() ? " ou " : ", ";
        text += names[i];
    }
    return text;
}

std::string RowLine(const Puzzle& puzzle, int row) { return "Ligne " + std::to_string(row) + " : " + RowText(puzzle, row); }

// The category boxes of the malformed row that name no category, with what they show.
std::string WrongBoxes(const Puzzle& puzzle, const MalformedRow& m) {
    std::vector<std::string> boxes;
    if (m.categoryA) boxes.push_back("la case de catégorie de gauche (« " + BoxText(puzzle, 5 * m.row - 4) + " »)");
    if (m.categoryB) boxes.push_back("la case de catégorie de droite (« " + BoxText(puzzle, 5 * m.row - 1) + " »)");
    const bool both = boxes.size() > 1;
    return (both ? boxes[0] + " et " + boxes[1] : boxes[0]) + (both ? " ne désignent" : " ne désigne") +
           " aucune des six catégories";
}

std::string RowCount(std::size_t n) { return std::to_string(n) + (n > 1 ? " lignes" : " ligne"); }

void ConflictLines(const Explanation& e, const Puzzle& puzzle, std::vector<std::string>& lines) {
    if (e.rows.size() == 1) {
        lines.push_back("Aucune solution : cette condition ne peut être satisfaite.");
    } else {
        lines.push_back("Aucune solution : ces " + RowCount(e.rows.size()) +
                        " ne peuvent être satisfaites ensemble, mais sans l'une quelconque d'entre elles les "
                        "autres le peuvent.");
    }
    for (int k : e.rows) lines.push_back(RowLine(puzzle, k));
    if (e.smallest && e.rows.size() > 1) lines.push_back("Aucun conflit ne compte moins de lignes.");
    switch (e.others) {
    case OtherConflicts::None: lines.push_back("C'est le seul conflit entre les conditions."); break;
    case OtherConflicts::Sharing:
        lines.push_back("D'autres conflits existent, qui reprennent une partie de ces lignes.");
        break;
    case OtherConflicts::Disjoint:
        lines.push_back("D'autres conflits existent : sans ces lignes, les autres conditions n'ont pas non plus "
                        "de solution.");
        break;
    }
    if (e.malformed.row != 0) {
        lines.push_back("La ligne " + std::to_string(e.malformed.row) + " porte aussi une erreur : " +
                        WrongBoxes(puzzle, e.malformed) + " (« " + std::string(e.malformed.errorText) +
                        " ») ; la recherche ne l'atteint pas tant que ce conflit demeure.");
    }
}

void OpenCellLines(const Explanation& e, const Puzzle& puzzle, std::vector<std::string>& lines) {
    lines.push_back("Plusieurs solutions : ces choix ont plus d'un partenaire possible d'une solution à "
                    "l'autre, une condition manque pour les fixer.");
    for (int c1 = 1; c1 < kCategories; ++c1)
        for (int c2 = c1 + 1; c2 <= kCategories; ++c2) {
            std::vector<std::string> items;
            for (int a = 1; a <= kChoices; ++a) {
                const std::uint8_t mask = e.partners.at(c1, a, c2);
                if (std::popcount(mask) < 2) continue;
                std::vector<std::string> names;
                for (int b = 1; b <= kChoices; ++b)
                    if (mask >> (b - 1) & 1u) names.push_back(ChoiceName(puzzle, c2, b));
                items.push_back(ChoiceName(puzzle, c1, a) + " (" + Alternatives(names) + ")");
            }
            if (items.empty()) continue;
            std::string line = CategoryName(puzzle, c1) + " / " + CategoryName(puzzle, c2) + " : ";
            for (std::size_t i = 0; i < items.size(); ++i) line += (i > 0 ? ", " : "") + items[i];
            lines.push_back(line);
        }
}

// Writes JSON text, putting the commas between the members of objects and arrays.
class JsonWriter {
public:
    JsonWriter& open(char bracket) { return separate(), out_ += bracket, first_ = true, *this; }
    JsonWriter& close(char bracket) { return out_ += bracket, first_ = false, *this; }
    JsonWriter& key(std::string_view name) { return value(name), out_ += ':', first_ = true, *this; }
    JsonWriter& value(int n) { return separate(), out_ += std::to_string(n), *this; }
    JsonWriter& value(bool b) { return separate(), out_ += b ? "true" : "false", *this; }
    JsonWriter& value(std::string_view text) {
        separate();
        out_ += '"';
        for (const char ch : text) {
            const auto c = static_cast<unsigned char>(ch);
            if (ch == '"' || ch == '\\') {
                out_ += '\\';
                out_ += ch;
            } else if (c < 0x20) {
                static constexpr char kHex[] = "0123456789abcdef";
                out_ += "\\u00";
                out_ += kHex[c >> 4];
                out_ += kHex[c & 0xF];
            } else {
                out_ += ch;
            }
        }
        out_ += '"';
        return *this;
    }
    std::string take() { return std::move(out_); }

private:
    void separate() {
        if (!first_) out_ += ',';
        first_ = false;
    }
    std::string out_;
    bool first_ = true;
};

std::string_view KindName(ExplanationKind kind) {
    switch (kind) {
    case ExplanationKind::Conflict: return "conflict";
    case ExplanationKind::OpenCells: return "open-cells";
    case ExplanationKind::Redundant: return "redundant";
    case ExplanationKind::RuleError: return "rule-error";
    case ExplanationKind::Nothing: return "nothing";
    }
    return ""; // unreachable: every kind is named above
}

std::string_view OthersName(OtherConflicts others) {
    switch (others) {
    case OtherConflicts::None: return "none";
    case OtherConflicts::Sharing: return "sharing";
    case OtherConflicts::Disjoint: return "disjoint";
    }
    return ""; // unreachable: every value is named above
}

} // namespace

std::string RowText(const Puzzle& puzzle, int row) {
    auto box = [&](int n) { return Shown(BoxText(puzzle, n)); };
    std::string text = box(5 * row - 4) + " " + box(5 * row - 3) + " — " + box(5 * row - 2);
    if (const RelationInfo* info = FindRelation(puzzle.rules[row].relation)) {
        if (info->usesSteps && info->usesOrder)
            text += " (crans : " + box(80 + row) + ", catégorie d'ordre : " + box(96 + row) + ")";
        else if (info->usesOrder)
            text += " (catégorie d'ordre : " + box(96 + row) + ")";
    }
    return text + " — " + box(5 * row - 1) + " " + box(5 * row);
}

std::vector<std::string> ExplanationLines(const Explanation& e, const Puzzle& puzzle) {
    std::vector<std::string> lines;
    switch (e.kind) {
    case ExplanationKind::Conflict: ConflictLines(e, puzzle, lines); break;
    case ExplanationKind::OpenCells: OpenCellLines(e, puzzle, lines); break;
    case ExplanationKind::Redundant:
        lines.push_back("Solution unique : " + std::string(e.rows.size() > 1 ? "chacune de ces lignes peut" : "cette ligne peut") +
                        " être retirée seule sans que la solution cesse d'être unique.");
        for (int k : e.rows) lines.push_back(RowLine(puzzle, k));
        break;
    case ExplanationKind::RuleError:
        lines.push_back("« " + std::string(e.malformed.errorText) + " » à la ligne " + std::to_string(e.malformed.row) +
                        " : " + WrongBoxes(puzzle, e.malformed) + ".");
        lines.push_back(RowLine(puzzle, e.malformed.row));
        break;
    case ExplanationKind::Nothing:
        lines.push_back("Solution unique : chaque condition est nécessaire, sans l'une quelconque d'entre elles "
                        "il y aurait plusieurs solutions.");
        break;
    }
    return lines;
}

std::string ExplanationJson(const Explanation& e, const Puzzle& puzzle) {
    JsonWriter json;
    json.open('{').key("kind").value(KindName(e.kind)).key("rows").open('[');
    for (int k : e.rows) json.open('{').key("row").value(k).key("text").value(RowText(puzzle, k)).close('}');
    json.close(']');
    if (e.kind == ExplanationKind::Conflict)
        json.key("smallest").value(e.smallest).key("otherConflicts").value(OthersName(e.others));
    if (e.kind == ExplanationKind::OpenCells) {
        json.key("openCells").open('[');
        for (int c1 = 1; c1 < kCategories; ++c1)
            for (int c2 = c1 + 1; c2 <= kCategories; ++c2) {
                bool opened = false;
                for (int a = 1; a <= kChoices; ++a) {
                    const std::uint8_t mask = e.partners.at(c1, a, c2);
                    if (std::popcount(mask) < 2) continue;
                    if (!opened) json.open('{').key("categoryA").value(c1).key("categoryB").value(c2).key("items").open('[');
                    opened = true;
                    json.open('{').key("choice").value(a).key("partners").open('[');
                    for (int b = 1; b <= kChoices; ++b)
                        if (mask >> (b - 1) & 1u) json.value(b);
                    json.close(']').close('}');
                }
                if (opened) json.close(']').close('}');
            }
        json.close(']');
    }
    if (const MalformedRow& m = e.malformed; m.row != 0) {
        json.key("malformedRow").open('{').key("row").value(m.row).key("text").value(RowText(puzzle, m.row));
        json.key("boxes").open('[');
        if (m.categoryA) json.value(5 * m.row - 4);
        if (m.categoryB) json.value(5 * m.row - 1);
        json.close(']').key("error").value(m.errorText).key("reached").value(m.reached).close('}');
    }
    return json.close('}').take();
}

} // namespace korvane
