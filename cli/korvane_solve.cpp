// korvane-solve: solves puzzle files with the window's engine and prints what the window would list.
// Qt-free, so that a script calling it once per file pays only a plain program's start.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "command_line.h"
#include "core/relations.h"
#include "editor/row_reading.h"
#include "engine/search.h"
#include "files/puzzle_format.h"
#include "korvane_version.h"
#include "maker/suggest.h"
#include "maker/suggest_text.h"
#include "reasoning/deduce.h"
#include "reasoning/explain.h"
#include "texts/explain_text.h"
#include "texts/json_writer.h"
#include "texts/solution_text.h"
#include "texts/step_text.h"

namespace {

using korvane::Assignment;
using korvane::Puzzle;
using korvane::SearchOutcome;
using korvane::SearchResult;

constexpr std::string_view kProgram = "korvane-solve";

enum ExitCode : int { kSolved = 0, kUnusable = 2, kRuleError = 3 };

constexpr std::string_view kUsage =
    "Usage : korvane-solve [--limit N] [--count] [--json] [--explain] [--steps] [--repeat N] ENIGME.e65...\n"
    "        korvane-solve --suggest [--json] ENIGME.e65...\n"
    "\n"
    "Résout l'énigme d'un fichier .e65 comme le bouton « soluce » de la fenêtre : écrit les solutions\n"
    "telles que la fenêtre les liste, puis le verdict.\n"
    "\n"
    "Avec plusieurs fichiers, chacun est résolu à son tour et sa sortie suit une ligne « ==> FICHIER <== »\n"
    "(une ligne vide sépare deux fichiers) ; avec --json, un objet par ligne, avec le membre \"file\" ;\n"
    "avec --count, une ligne par fichier, précédée de « FICHIER: ». Un fichier illisible est signalé sur\n"
    "la sortie d'erreur et les autres sont résolus quand même.\n"
    "\n"
    "  --limit N    n'écrit que les N premières solutions ; le nombre de solutions reste exact\n"
    "  --count      n'écrit que le verdict\n"
    "  --json       écrit un objet JSON : \"solutions\" (chaque solution en six listes, une par catégorie,\n"
    "               des cinq noms dans l'ordre des colonnes), \"count\", \"listed\", \"verdict\" et \"error\"\n"
    "               (null, ou {\"rule\": k, \"message\": \"Erreur 20x\", \"relation\": texte de la relation})\n"
    "  --explain    explique ensuite le résultat : sans solution, des conditions contradictoires ; avec\n"
    "               plusieurs, les choix qui restent ouverts ; avec une seule, les conditions superflues ;\n"
    "               sur une erreur, la ligne et la case fautives (en JSON, le membre \"explanation\")\n"
    "  --steps      écrit ensuite la résolution pas à pas, une ligne par étape avec les lignes et les étapes\n"
    "               qu'elle utilise, puis la difficulté (en JSON, les membres \"steps\" et \"grade\")\n"
    "  --suggest    aide à finir l'énigme : avec plusieurs solutions, jusqu'à 10 conditions qui, mises dans\n"
    "               la première ligne vide, laissent une seule solution (sinon le moins possible), chacune\n"
    "               avec le nombre de solutions et la difficulté qu'elle donne ; avec une seule, les\n"
    "               conditions superflues et le moins de lignes qui la gardent unique ; sans solution, les\n"
    "               conditions contradictoires (en JSON, \"suggestions\" : {\"row\": les sept valeurs de la\n"
    "               ligne, \"count\", \"grade\"}, ou \"smallest\", et \"explanation\")\n"
    "  --repeat N   résout N fois (chargement exclu) et écrit sur la sortie d'erreur les durées médiane\n"
    "               et minimale de la résolution\n"
    "  --help       affiche cette aide\n"
    "  --version    affiche la version\n"
    "\n"
    "Codes de sortie : 0 énigme résolue (quel que soit le nombre de solutions), 2 usage incorrect ou\n"
    "fichier manquant, illisible ou abîmé, 3 une condition arrête la résolution (« Erreur 201 » à\n"
    "« Erreur 210 »). Avec plusieurs fichiers, le pire d'entre eux : 2, sinon 3, sinon 0.\n";

struct Options {
    std::uint64_t limit = std::numeric_limits<std::uint64_t>::max();
    bool countOnly = false;
    bool json = false;
    bool explain = false;
    bool steps = false;
    bool suggest = false;
    int repeat = 1;
    bool timed = false; // --repeat given: report the solve times
    std::vector<std::string> paths;
};

// The messages on stderr, after the program's name.
void PrintError(std::string_view message) { korvane::cli::PrintError(kProgram, message); }

// The options of the command line, or the exit code when there is nothing to solve: after --help and
// --version (0), or after a usage error, reported on stderr (2).
std::variant<Options, int> ParseArguments(int argc, char** argv) {
    Options options;
    korvane::cli::CommandLine line(kProgram, kUnusable, argc, argv);
    using korvane::cli::ParseNumber;
    while (const std::optional<std::string_view> option = line.next()) {
        const std::string_view name = *option;
        if (const std::optional<int> answered = line.answerStandard(name, kUsage, KORVANE_VERSION)) return *answered;
        if (name == "--count") {
            if (const int error = line.refuseValue(name)) return error;
            options.countOnly = true;
        } else if (name == "--json") {
            if (const int error = line.refuseValue(name)) return error;
            options.json = true;
        } else if (name == "--explain") {
            if (const int error = line.refuseValue(name)) return error;
            options.explain = true;
        } else if (name == "--steps") {
            if (const int error = line.refuseValue(name)) return error;
            options.steps = true;
        } else if (name == "--suggest") {
            if (const int error = line.refuseValue(name)) return error;
            options.suggest = true;
        } else if (name == "--limit") {
            const auto number = ParseNumber<std::uint64_t>(line.takeValue().value_or(""), 0, options.limit);
            if (!number) return line.usageError("--limit attend un nombre entier positif ou nul");
            options.limit = *number;
        } else if (name == "--repeat") {
            const auto number = ParseNumber<int>(line.takeValue().value_or(""), 1, 1'000'000);
            if (!number) return line.usageError("--repeat attend un nombre de 1 à 1000000");
            options.repeat = *number;
            options.timed = true;
        } else {
            return line.usageError("option inconnue : " + std::string(line.argument()));
        }
    }
    const std::vector<std::string_view>& files = line.operands();
    if (files.empty()) return line.usageError("il manque le fichier d'énigme");
    if (options.suggest && (options.countOnly || options.explain || options.steps || options.timed ||
                            options.limit != std::numeric_limits<std::uint64_t>::max()))
        return line.usageError("--suggest ne se combine qu'avec --json");
    options.paths.assign(files.begin(), files.end());
    return options;
}

// Output text gathered in large pieces for stdout, so that a long listing costs no flush per line; a
// muted output is formatted all the same and dropped, so that repeated solves are timed alike. A
// non-empty `linePrefix` starts every line (the file's name when several share one listing).
class Output {
public:
    explicit Output(bool muted, std::string linePrefix = {}) : muted_(muted), linePrefix_(std::move(linePrefix)) {}
    ~Output() { flush(); }
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;

    Output& operator<<(std::string_view text) {
        if (linePrefix_.empty()) {
            buffer_ += text;
        } else {
            for (const char c : text) {
                if (atLineStart_) buffer_ += linePrefix_;
                buffer_ += c;
                atLineStart_ = c == '\n';
            }
        }
        if (buffer_.size() >= kChunk) flush();
        return *this;
    }
    Output& operator<<(std::uint64_t n) { return *this << std::string_view(std::to_string(n)); }

    void flush() {
        if (!muted_) std::fwrite(buffer_.data(), 1, buffer_.size(), stdout);
        buffer_.clear();
    }

private:
    static constexpr std::size_t kChunk = 1 << 16;
    bool muted_;
    std::string linePrefix_;
    bool atLineStart_ = true;
    std::string buffer_;
};

using korvane::JsonString;

// The idle rows as a JSON array of {"row", "kind", "text"}.
std::string IdleRowsJson(const std::vector<korvane::IdleRow>& idle) {
    std::string json = "[";
    for (const korvane::IdleRow& row : idle) {
        const std::string_view kind = row.kind == korvane::IdleRow::Kind::LeftOut ? "left-out"
                                      : row.kind == korvane::IdleRow::Kind::Inert ? "inert"
                                                                                 : "faulty";
        json += (json.size() > 1 ? ", " : "") + std::string("{\"row\": ") + std::to_string(row.row) +
                ", \"kind\": " + JsonString(kind) + ", \"text\": " + JsonString(row.line) + "}";
    }
    return json + "]";
}

// How one file's output is marked when a call solves several: in JSON, the object is written on one line
// and names its file first.
struct FileMark {
    bool several = false;
    std::string_view path;
};

// Writes the solutions as they are found: as the window's lines, or as the members of a JSON object.
class SolutionPrinter final : public korvane::SearchObserver {
public:
    SolutionPrinter(const Puzzle& puzzle, bool json, FileMark mark, Output& out)
        : puzzle_(puzzle), writer_(puzzle), json_(json),
          oneLine_(mark.several), out_(out) {
        if (!json_) return;
        out_ << (oneLine_ ? "{" : "{\n  ");
        if (oneLine_) out_ << "\"file\": " << JsonString(mark.path) << member();
        out_ << "\"solutions\": [";
    }

    void solutionFound(const Assignment& assignment, std::uint64_t count) override {
        if (!json_) {
            writer_.write(assignment, [this](std::string_view line) { out_ << line << "\n"; });
            return;
        }
        // Six arrays, categories 1..6, of the names in slots 0..4: the columns of the window's listing.
        if (count > 1) out_ << ",";
        out_ << (oneLine_ ? (count > 1 ? " [" : "[") : "\n    [");
        for (int c = 1; c <= korvane::kCategories; ++c) {
            out_ << (c == 1 ? "[" : ", [");
            for (std::size_t s = 0; s < korvane::kChoices; ++s)
                out_ << (s == 0 ? "" : ", ") << JsonString(puzzle_.name(assignment.permutation(c)[s] + 1, c));
            out_ << "]";
        }
        out_ << "]";
    }

    // Ends the listing: the verdict line and the explanation's lines, or the rest of the JSON object.
    void finish(const SearchResult& result, const korvane::RuleTable& rules, const korvane::Explanation* explanation,
                const std::vector<korvane::IdleRow>& idle, const korvane::Trace* trace) {
        const bool stopped = result.outcome == SearchOutcome::RuleError;
        if (!json_) {
            if (!stopped) out_ << korvane::VerdictText(result.count) << "\n";
            if (explanation) {
                for (const std::string& line : korvane::ExplanationLines(*explanation, puzzle_)) out_ << line << "\n";
                for (const korvane::IdleRow& row : idle) out_ << row.line << "\n";
            }
            if (trace)
                for (const std::string& line : korvane::StepLines(*trace, puzzle_)) out_ << line << "\n";
            return;
        }
        out_ << (result.listed > 0 && !oneLine_ ? "\n  ]" : "]");
        out_ << member() << "\"count\": " << result.count << member() << "\"listed\": " << result.listed;
        out_ << member() << "\"verdict\": " << (stopped ? "null" : JsonString(korvane::VerdictText(result.count)));
        out_ << member() << "\"error\": ";
        if (stopped) {
            const korvane::RelationInfo* relation = korvane::FindRelation(rules[result.errorRule].relation);
            out_ << "{\"rule\": " << static_cast<std::uint64_t>(result.errorRule)
                 << ", \"message\": " << JsonString(result.errorText)
                 << ", \"relation\": " << (relation ? JsonString(relation->listText) : "null") << "}";
        } else {
            out_ << "null";
        }
        if (explanation) {
            out_ << member() << "\"explanation\": " << korvane::ExplanationJson(*explanation, puzzle_);
            if (!idle.empty()) out_ << member() << "\"idleRows\": " << IdleRowsJson(idle);
        }
        if (trace) out_ << member() << korvane::StepsJsonMembers(*trace, puzzle_);
        out_ << (oneLine_ ? "}\n" : "\n}\n");
    }

private:
    // What goes between two members of the object.
    std::string_view member() const { return oneLine_ ? ", " : ",\n  "; }

    const Puzzle& puzzle_;
    korvane::SolutionWriter writer_;
    bool json_;
    bool oneLine_;
    Output& out_;
};

// One solve as the window runs it: the rules the rows state (`puzzle.rules`, read from the rows and
// tidied), then the search, printed to `out`; with --explain, the explanation of what it found and the
// rows that take no part in it (`reading`).
SearchResult Solve(const Puzzle& puzzle, const korvane::RowsReading& reading, const Options& options, FileMark mark,
                   Output& out) {
    const korvane::RuleTable& rules = puzzle.rules;
    SolutionPrinter printer(puzzle, options.json, mark, out);
    const SearchResult result = options.countOnly ? korvane::CountSolutions(rules)
                                                  : korvane::Search(rules, printer, {.listLimit = options.limit});
    std::optional<korvane::Explanation> explanation;
    std::vector<korvane::IdleRow> idle;
    if (options.explain) {
        explanation = korvane::Explain(rules);
        idle = korvane::IdleRows(reading, puzzle);
    }
    std::optional<korvane::Trace> trace;
    if (options.steps) trace = explanation ? korvane::Deduce(rules, *explanation) : korvane::Deduce(rules);
    printer.finish(result, rules, explanation ? &*explanation : nullptr, idle, trace ? &*trace : nullptr);
    return result;
}

// What would complete the puzzle (--suggest): the verdict, then the rows to add, or the rows to keep and
// the superfluous ones, or the conflict; in JSON, one object. False when a malformed row stops the search.
bool Suggest(const Puzzle& screen, const Puzzle& puzzle, FileMark mark, bool json) {
    Output out(false);
    namespace maker = korvane::maker;
    using Kind = maker::Completion::Kind;
    const maker::Completion completion = maker::Complete(screen);
    std::optional<korvane::Explanation> explanation;
    if (completion.kind != Kind::Several) explanation = korvane::Explain(puzzle.rules);
    if (json) {
        out << "{";
        if (mark.several) out << "\"file\": " << JsonString(mark.path) << ", ";
        out << "\"count\": " << completion.count << ", \"verdict\": "
            << (completion.kind == Kind::RuleError ? "null" : JsonString(korvane::VerdictText(completion.count)));
        out << maker::CompletionJsonMembers(completion);
        if (explanation) out << ", \"explanation\": " << korvane::ExplanationJson(*explanation, puzzle);
        out << "}\n";
        return completion.kind != Kind::RuleError;
    }
    if (completion.kind != Kind::RuleError) out << korvane::VerdictText(completion.count) << "\n";
    if (explanation)
        for (const std::string& line : korvane::ExplanationLines(*explanation, puzzle)) out << line << "\n";
    if (const std::string smallest = maker::SmallestLine(completion); !smallest.empty()) out << smallest << "\n";
    if (const std::string heading = maker::SuggestionsHeading(completion, screen); !heading.empty()) out << heading << "\n";
    for (const maker::Suggestion& s : completion.suggestions)
        out << "  " << maker::SuggestionLine(s, completion, screen) << "\n";
    return completion.kind != Kind::RuleError;
}

std::string Duration(double micros) {
    char text[32];
    if (micros < 1000)
        std::snprintf(text, sizeof text, "%.1f us", micros);
    else
        std::snprintf(text, sizeof text, "%.1f ms", micros / 1000);
    return text;
}

// "solve time: median 41.2 us, min 39.8 us, 100 runs"
std::string TimingLine(std::vector<double> micros) {
    std::sort(micros.begin(), micros.end());
    const std::size_t n = micros.size();
    const double median = n % 2 ? micros[n / 2] : (micros[n / 2 - 1] + micros[n / 2]) / 2;
    return "solve time: median " + Duration(median) + ", min " + Duration(micros.front()) + ", " + std::to_string(n) +
           (n == 1 ? " run" : " runs");
}

// The exit code of a call over several files: the worst of theirs, a file that could not be solved at
// all before a stopped solve before a solved one.
int Worse(int a, int b) {
    const auto rank = [](int code) { return code == kUnusable ? 2 : code == kRuleError ? 1 : 0; };
    return rank(a) >= rank(b) ? a : b;
}

// Solves the puzzle file at `path` and prints what it finds, marked as `mark` says; returns its exit
// code. `headerShown` tells whether a file's "==> FILE <==" line came before (head's layout: a blank
// line between files).
int SolveFile(const std::string& path, const Options& options, FileMark mark, bool& headerShown) {
    const auto loaded = korvane::ReadPuzzleFile(path, path);
    if (const auto* error = std::get_if<korvane::FormatError>(&loaded)) {
        PrintError(error->message);
        return kUnusable;
    }
    // The rows as the window reads them once loaded: each box's text against the grid's names.
    const Puzzle& screen = std::get<Puzzle>(loaded);
    Puzzle puzzle = screen;
    const korvane::RowsReading reading = korvane::ReadRows(puzzle);
    puzzle.rules = reading.stated;

    // Several files: a header line before each listing, or the file's name before each line of --count.
    const bool headed = mark.several && !options.json && !options.countOnly;
    const std::string linePrefix = mark.several && !options.json && options.countOnly ? path + ": " : "";
    const std::string label = mark.several ? path + ": " : "";
    if (headed) {
        Output(false) << (headerShown ? "\n==> " : "==> ") << path << " <==\n";
        headerShown = true;
    }

    if (options.suggest) {
        if (Suggest(screen, puzzle, mark, options.json)) return kSolved;
        const SearchResult stopped = korvane::CountSolutions(puzzle.rules);
        PrintError(label + "condition " + std::to_string(stopped.errorRule) + " : " + std::string(stopped.errorText));
        return kRuleError;
    }

    // Every run is timed alike; only the first one's output is printed.
    std::vector<double> micros;
    std::optional<SearchResult> first;
    for (int run = 0; run < options.repeat; ++run) {
        Output out(/*muted=*/run > 0, linePrefix);
        const auto start = std::chrono::steady_clock::now();
        const SearchResult result = Solve(puzzle, reading, options, mark, out);
        micros.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
        if (!first) first = result;
    }
    if (options.timed) {
        std::fflush(stdout);
        std::fprintf(stderr, "%s%s\n", label.c_str(), TimingLine(micros).c_str());
    }

    if (first->outcome == SearchOutcome::RuleError) {
        PrintError(label + "condition " + std::to_string(first->errorRule) + " : " + std::string(first->errorText));
        return kRuleError;
    }
    return kSolved;
}

} // namespace

int main(int argc, char** argv) {
    const auto parsed = ParseArguments(argc, argv);
    if (const int* exitCode = std::get_if<int>(&parsed)) return *exitCode;
    const Options& options = std::get<Options>(parsed);

    const bool several = options.paths.size() > 1;
    bool headerShown = false;
    int exitCode = kSolved;
    for (const std::string& path : options.paths)
        exitCode = Worse(exitCode, SolveFile(path, options, {several, path}, headerShown));
    return exitCode;
}
