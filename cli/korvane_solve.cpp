// korvane-solve: solves a puzzle file with the window's engine and prints what the window would list.
#include <QString>
#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "core/deduce.h"
#include "core/explain.h"
#include "core/json_writer.h"
#include "core/relations.h"
#include "core/search.h"
#include "core/solution_text.h"
#include "editor/normalise.h"
#include "files/puzzle_file.h"

namespace {

using korvane::Assignment;
using korvane::Puzzle;
using korvane::SearchOutcome;
using korvane::SearchResult;

constexpr std::string_view kProgram = "korvane-solve";

enum ExitCode : int { kSolved = 0, kUnusable = 2, kRuleError = 3 };

constexpr std::string_view kUsage =
    "Usage : korvane-solve [--limit N] [--count] [--json] [--explain] [--steps] [--repeat N] ENIGME.e65\n"
    "\n"
    "Résout l'énigme d'un fichier .e65 comme le bouton « soluce » de la fenêtre : écrit les solutions\n"
    "telles que la fenêtre les liste, puis le verdict.\n"
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
    "  --repeat N   résout N fois (chargement exclu) et écrit sur la sortie d'erreur les durées médiane\n"
    "               et minimale de la résolution\n"
    "  --help       affiche cette aide\n"
    "  --version    affiche la version\n"
    "\n"
    "Codes de sortie : 0 énigme résolue (quel que soit le nombre de solutions), 2 usage incorrect ou\n"
    "fichier manquant, illisible ou abîmé, 3 une condition arrête la résolution (« Erreur 201 » à\n"
    "« Erreur 210 »).\n";

struct Options {
    std::uint64_t limit = std::numeric_limits<std::uint64_t>::max();
    bool countOnly = false;
    bool json = false;
    bool explain = false;
    bool steps = false;
    int repeat = 1;
    bool timed = false; // --repeat given: report the solve times
    std::string path;
};

void PrintError(std::string_view message) {
    std::fprintf(stderr, "%.*s: %.*s\n", static_cast<int>(kProgram.size()), kProgram.data(),
                 static_cast<int>(message.size()), message.data());
}

int UsageError(const std::string& message) {
    PrintError(message);
    std::fprintf(stderr, "Essayez « korvane-solve --help ».\n");
    return kUnusable;
}

template <typename Number> std::optional<Number> ParseNumber(std::string_view text, Number min, Number max) {
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < min || value > max) return std::nullopt;
    return value;
}

// The options of the command line, or the exit code when there is nothing to solve: after --help and
// --version (0), or after a usage error, reported on stderr (2).
std::variant<Options, int> ParseArguments(int argc, char** argv) {
    Options options;
    std::vector<std::string_view> files;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (optionsEnded || !arg.starts_with("-") || arg == "-") {
            files.push_back(arg);
            continue;
        }
        // "--limit N" and "--limit=N" alike.
        const std::size_t equals = arg.find('=');
        const std::string_view name = arg.substr(0, equals);
        std::optional<std::string_view> value;
        if (equals != std::string_view::npos) value = arg.substr(equals + 1);
        const auto takeValue = [&]() -> std::optional<std::string_view> {
            if (value) return value;
            if (i + 1 < argc) return std::string_view(argv[++i]);
            return std::nullopt;
        };
        const auto noValue = [&] {
            return value ? UsageError("l'option " + std::string(name) + " ne prend pas de valeur") : 0;
        };

        if (name == "--") {
            optionsEnded = true;
        } else if (name == "--help" || name == "-h") {
            if (int error = noValue()) return error;
            std::fwrite(kUsage.data(), 1, kUsage.size(), stdout);
            return kSolved;
        } else if (name == "--version") {
            if (int error = noValue()) return error;
            std::printf("%.*s %s\n", static_cast<int>(kProgram.size()), kProgram.data(), KORVANE_VERSION);
            return kSolved;
        } else if (name == "--count") {
            if (int error = noValue()) return error;
            options.countOnly = true;
        } else if (name == "--json") {
            if (int error = noValue()) return error;
            options.json = true;
        } else if (name == "--explain") {
            if (int error = noValue()) return error;
            options.explain = true;
        } else if (name == "--steps") {
            if (int error = noValue()) return error;
            options.steps = true;
        } else if (name == "--limit") {
            const auto number = ParseNumber<std::uint64_t>(takeValue().value_or(""), 0, options.limit);
            if (!number) return UsageError("--limit attend un nombre entier positif ou nul");
            options.limit = *number;
        } else if (name == "--repeat") {
            const auto number = ParseNumber<int>(takeValue().value_or(""), 1, 1'000'000);
            if (!number) return UsageError("--repeat attend un nombre de 1 à 1000000");
            options.repeat = *number;
            options.timed = true;
        } else {
            return UsageError("option inconnue : " + std::string(arg));
        }
    }
    if (files.empty()) return UsageError("il manque le fichier d'énigme");
    if (files.size() > 1) return UsageError("un seul fichier d'énigme à la fois");
    options.path = files.front();
    return options;
}

// Output text gathered in large pieces for stdout, so that a long listing costs no flush per line; a
// muted output is formatted all the same and dropped, so that repeated solves are timed alike.
class Output {
public:
    explicit Output(bool muted) : muted_(muted) {}
    ~Output() { flush(); }
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;

    Output& operator<<(std::string_view text) {
        buffer_ += text;
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
    std::string buffer_;
};

using korvane::JsonString;

// Writes the solutions as they are found: as the window's lines, or as the members of a JSON object.
class SolutionPrinter final : public korvane::SearchObserver {
public:
    SolutionPrinter(const Puzzle& puzzle, bool json, Output& out)
        : puzzle_(puzzle), names_(korvane::ChoiceNamesOf(puzzle)), writer_(names_), json_(json), out_(out) {
        if (json_) out_ << "{\n  \"solutions\": [";
    }

    void solutionFound(const Assignment& assignment, std::uint64_t count) override {
        if (!json_) {
            writer_.write(assignment, [this](std::string_view line) { out_ << line << "\n"; });
            return;
        }
        // Six arrays, categories 1..6, of the names in slots 0..4: the columns of the window's listing.
        out_ << (count == 1 ? "\n    [" : ",\n    [");
        for (int c = 1; c <= korvane::kCategories; ++c) {
            const auto& names = names_[static_cast<std::size_t>(c - 1)];
            out_ << (c == 1 ? "[" : ", [");
            for (std::size_t s = 0; s < korvane::kChoices; ++s)
                out_ << (s == 0 ? "" : ", ") << JsonString(names[assignment.permutation(c)[s]]);
            out_ << "]";
        }
        out_ << "]";
    }

    // Ends the listing: the verdict line and the explanation's lines, or the rest of the JSON object.
    void finish(const SearchResult& result, const korvane::RuleTable& rules, const korvane::Explanation* explanation,
                const korvane::Trace* trace) {
        const bool stopped = result.outcome == SearchOutcome::RuleError;
        if (!json_) {
            if (!stopped) out_ << korvane::VerdictText(result.count) << "\n";
            if (explanation)
                for (const std::string& line : korvane::ExplanationLines(*explanation, puzzle_)) out_ << line << "\n";
            if (trace)
                for (const std::string& line : korvane::StepLines(*trace, puzzle_)) out_ << line << "\n";
            return;
        }
        out_ << (result.listed > 0 ? "\n  ],\n" : "],\n");
        out_ << "  \"count\": " << result.count << ",\n  \"listed\": " << result.listed << ",\n";
        out_ << "  \"verdict\": " << (stopped ? "null" : JsonString(korvane::VerdictText(result.count))) << ",\n";
        out_ << "  \"error\": ";
        if (stopped) {
            const korvane::RelationInfo* relation = korvane::FindRelation(rules[result.errorRule].relation);
            out_ << "{\"rule\": " << static_cast<std::uint64_t>(result.errorRule)
                 << ", \"message\": " << JsonString(result.errorText)
                 << ", \"relation\": " << (relation ? JsonString(relation->listText) : "null") << "}";
        } else {
            out_ << "null";
        }
        if (explanation) out_ << ",\n  \"explanation\": " << korvane::ExplanationJson(*explanation, puzzle_);
        if (trace) out_ << ",\n  " << korvane::StepsJsonMembers(*trace, puzzle_);
        out_ << "\n}\n";
    }

private:
    const Puzzle& puzzle_;
    korvane::ChoiceNames names_;
    korvane::SolutionWriter writer_;
    bool json_;
    Output& out_;
};

// One solve as the window runs it: the tidying of the rules, then the search, printed to `out`; with
// --explain, the explanation of what it found.
SearchResult Solve(const Puzzle& puzzle, const Options& options, Output& out) {
    korvane::RuleTable rules = puzzle.rules;
    korvane::ClearEmptyRuleFields(rules, puzzle.boxTexts);
    SolutionPrinter printer(puzzle, options.json, out);
    const SearchResult result = options.countOnly ? korvane::CountSolutions(rules)
                                                  : korvane::Search(rules, printer, {.listLimit = options.limit});
    std::optional<korvane::Explanation> explanation;
    if (options.explain) explanation = korvane::Explain(rules);
    std::optional<korvane::Trace> trace;
    if (options.steps) trace = korvane::Deduce(rules);
    printer.finish(result, rules, explanation ? &*explanation : nullptr, trace ? &*trace : nullptr);
    return result;
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

} // namespace

int main(int argc, char** argv) {
    const auto parsed = ParseArguments(argc, argv);
    if (const int* exitCode = std::get_if<int>(&parsed)) return *exitCode;
    const Options& options = std::get<Options>(parsed);

    const auto loaded = korvane::LoadPuzzleFile(QString::fromLocal8Bit(options.path.c_str()));
    if (const auto* error = std::get_if<korvane::FileError>(&loaded)) {
        PrintError(error->message.toStdString());
        return kUnusable;
    }
    const Puzzle& puzzle = std::get<Puzzle>(loaded);

    // Every run is timed alike; only the first one's output is printed.
    std::vector<double> micros;
    std::optional<SearchResult> first;
    for (int run = 0; run < options.repeat; ++run) {
        Output out(/*muted=*/run > 0);
        const auto start = std::chrono::steady_clock::now();
        const SearchResult result = Solve(puzzle, options, out);
        micros.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
        if (!first) first = result;
    }
    std::fflush(stdout);
    if (options.timed) std::fprintf(stderr, "%s\n", TimingLine(micros).c_str());

    if (first->outcome == SearchOutcome::RuleError) {
        PrintError("condition " + std::to_string(first->errorRule) + " : " + std::string(first->errorText));
        return kRuleError;
    }
    return kSolved;
}
